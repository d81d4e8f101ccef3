// The gallery's row of the older push button in every preset and state, the
// blur material and the popup menu, shown open.
#include "GalleryWindow.h"

#include "CButton.h"
#include "CImage.h"
#include "DesktopCaptureCache.h"
#include "FXBlurMaterial.h"
#include "FXDrawing.h"
#include "FXIconSelect.h"
#include "FXPopupItem.h"
#include "FXPopupMenu.h"
#include "FXTextBox.h"
#include "FXThemeManager.h"

#include <QGridLayout>
#include <QLinearGradient>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>

namespace {

FXTextBox* Caption(const QString& text, QWidget* parent) {
    auto* label = new FXTextBox(parent);
    label->setText(text);
    return label;
}

CButton* StateButton(CButtonPreset kind, CButtonState state, bool enabled, QWidget* parent) {
    auto* button = new CButton(parent);
    button->setFixedSize(100, 44);
    if (kind != CButtonPreset::cbprCustom) {
        button->setUseAccentColor(CAccentColor::None);
        CButtonPresets preset;
        preset.Kind = kind;
        preset.Color = 0xC07020;
        button->setPreset(preset);
    }
    button->setText(!enabled                          ? QObject::tr("Off")
                    : state == CButtonState::mbsEnter ? QObject::tr("Enter")
                    : state == CButtonState::mbsDown  ? QObject::tr("Down")
                                                      : QObject::tr("Leave"));
    button->setState(state);
    button->setEnabled(enabled);
    // A pinned state: the pointer and the focus do not move it.
    button->setAttribute(Qt::WA_TransparentForMouseEvents);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

void FillMenu(FXPopupMenu& menu) {
    const auto add = [](FXPopupItems* items, const QString& text) {
        auto* item = new FXPopupItem(text);
        items->Add(item);
        return item;
    };
    const auto icon = [](FXPopupItem* item, char16_t codePoint) {
        item->Image()->setSelectSegoe(QString(QChar(codePoint)));
        item->Image()->setEnabled(true);
    };
    FXPopupItem* open = add(menu.Items(), QObject::tr("Open picture"));
    open->setIsDefault(true);
    icon(open, 0xEB9F);
    FXPopupItem* save = add(menu.Items(), QObject::tr("Save"));
    save->setShortcut(QStringLiteral("Ctrl+S"));
    icon(save, 0xE78C);
    FXPopupItem* remove = add(menu.Items(), QObject::tr("Delete"));
    remove->setEnabled(false);
    icon(remove, 0xE74D);
    add(menu.Items(), QStringLiteral("-"));
    FXPopupItem* wrap = add(menu.Items(), QObject::tr("Word wrap"));
    wrap->setAutoCheck(true);
    wrap->setChecked(true);
    for (const QString& size : {QObject::tr("Small"), QObject::tr("Medium"), QObject::tr("Large")}) {
        FXPopupItem* radio = add(menu.Items(), size);
        radio->setRadioItem(true);
        radio->setAutoCheck(true);
        if (size == QObject::tr("Medium")) radio->setChecked(true);
    }
    add(menu.Items(), QStringLiteral("-"));
    FXPopupItem* more = add(menu.Items(), QObject::tr("More"));
    add(more->Items(), QObject::tr("Favourite"));
    add(more->Items(), QObject::tr("Properties"));
}

} // namespace

void GalleryWindow::BuildOlderButtonsBlurAndMenu() {
    const int row = FGrid->rowCount();
    resize(width(), height() + 860);

    QWidget* buttons = AddSection(tr("Older button (CButton): presets and states"), row, 0, 2);
    auto* table = new QGridLayout;
    table->setColumnMinimumWidth(0, 150);
    table->setHorizontalSpacing(8);
    table->setVerticalSpacing(4);
    const std::pair<CButtonPreset, QString> presets[] = {
        {CButtonPreset::cbprCustom, tr("Accent (new button)")},
        {CButtonPreset::cbprFluent, tr("Fluent")},
        {CButtonPreset::cbprFluentFlat, tr("FluentFlat")},
        {CButtonPreset::cbprFluentRound, tr("FluentRound")},
        {CButtonPreset::cbprMetro, tr("Metro")},
        {CButtonPreset::cbprMetroLink, tr("MetroLink")},
        {CButtonPreset::cbprMetroSimple, tr("MetroSimple")},
        {CButtonPreset::cbprMetroFade, tr("MetroFade")},
        {CButtonPreset::cbprFluentGray, tr("FluentGray")},
        {CButtonPreset::cbprClassic, tr("Classic")},
        {CButtonPreset::cbprNewClassic, tr("NewClassic")},
        {CButtonPreset::cbprGlobalApplyColor, tr("GlobalApplyColor")},
        {CButtonPreset::cbprWin32, tr("Win32")},
        {CButtonPreset::cbprAeroLink, tr("AeroLink")},
        {CButtonPreset::cbprLink, tr("Link")},
    };
    int line = 0;
    for (const auto& [kind, name] : presets) {
        table->addWidget(Caption(name, buttons), line, 0, Qt::AlignVCenter);
        int state = 1;
        for (const CButtonState pinned :
             {CButtonState::mbsLeave, CButtonState::mbsEnter, CButtonState::mbsDown})
            table->addWidget(StateButton(kind, pinned, true, buttons), line, state++);
        table->addWidget(StateButton(kind, CButtonState::mbsLeave, false, buttons), line, state);
        ++line;
    }
    // The drawing options beside the presets: glyphs, a second line, a gradient, a picture-less icon.
    auto* features = new QVBoxLayout;
    features->setSpacing(8);
    auto* glyph = new CButton(buttons);
    glyph->setFixedSize(130, 44);
    glyph->setText(tr("Next"));
    glyph->setButtonIcon(CButtonIcon::cicNext);
    glyph->setBImageLayout(CPosition::cpRight);
    features->addWidget(glyph);
    auto* symbol = new CButton(buttons);
    symbol->setFixedSize(130, 44);
    symbol->setText(tr("Favourite"));
    symbol->setButtonIcon(CButtonIcon::cicSegoeFluent);
    features->addWidget(symbol);
    auto* lines = new CButton(buttons);
    lines->setFixedSize(130, 56);
    lines->setSubTextEnabled(true);
    lines->setText(tr("Two lines"));
    lines->setSubText(tr("with a sub text"));
    features->addWidget(lines);
    auto* gradient = new CButton(buttons);
    gradient->setFixedSize(130, 44);
    gradient->setText(tr("Gradient"));
    gradient->setGradientOptions({0xFF00FF, 0x0000FF, 0x000080, true});
    features->addWidget(gradient);
    auto* iconOnly = new CButton(buttons);
    iconOnly->setFixedSize(56, 44);
    iconOnly->setText(QString());
    iconOnly->setButtonIcon(CButtonIcon::cicSearch);
    features->addWidget(iconOnly);
    features->addStretch();
    auto* columns = new QHBoxLayout;
    columns->addLayout(table);
    columns->addSpacing(16);
    columns->addLayout(features);
    columns->addStretch();
    auto* layout = static_cast<QVBoxLayout*>(buttons->layout());
    layout->addLayout(columns);
    layout->addStretch();

    QWidget* glass = AddSection(tr("Blur material and popup menu"), row, 2);
    auto* glassLayout = static_cast<QVBoxLayout*>(glass->layout());
    auto* materials = new QGridLayout;
    materials->setHorizontalSpacing(10);
    int place = 0;
    for (const auto& [tinted, name] :
         {std::pair{true, tr("Blurred wallpaper")}, std::pair{false, tr("Without tint")}}) {
        auto* material = new FXBlurMaterial(glass);
        material->setEnableTinting(tinted);
        material->setFixedSize(150, 110);
        // Nested in a panel, the material hears of the window's moves from the window itself.
        connect(this, &FXForm::OnMove, material, &FXBlurMaterial::FormMoveSync);
        materials->addWidget(material, 0, place);
        materials->addWidget(Caption(name, glass), 1, place);
        ++place;
    }
    glassLayout->addLayout(materials);

    FMenuPreview = std::make_unique<FXPopupMenu>();
    FillMenu(*FMenuPreview);
    FMenuPreview->setAnimationType(FXAnimateSelection::Instant);
    FMenuPreview->setAttribute(Qt::WA_DontShowOnScreen);
    FMenuShot = new CImage(glass);
    FMenuShot->setDrawMode(TDrawMode::Normal);
    FMenuShot->setFixedSize(FMenuPreview->NormalWidth(), FMenuPreview->NormalHeight());
    glassLayout->addWidget(FMenuShot);

    auto* live = new FXPopupMenu(this);
    FillMenu(*live);
    auto* opener = new CButton(glass);
    opener->setFixedSize(200, 40);
    opener->setText(tr("Open the menu"));
    connect(opener, &CButton::OnClick, live, [live, opener] { live->PopupUnder(opener); });
    glassLayout->addWidget(opener);
    glassLayout->addStretch();

    connect(this, &FXForm::OnThemeChange, this,
            [this] { QTimer::singleShot(0, this, &GalleryWindow::RefreshMenuPreview); });
    RefreshMenuPreview();
}

void GalleryWindow::RefreshMenuPreview() {
    // Opened where no other window is, photographed, closed again.
    FMenuPreview->PopupAtPoint(QPoint(40, 60));
    FMenuPreview->setActiveAction(FMenuPreview->Items()->GetItem(1));
    FMenuShot->setPicture(FMenuPreview->grab());
    FMenuPreview->hide();
}

void UseSampleDesktop() {
    // A desktop with a colourful picture, so the screenshots show what the blur does.
    static QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("sample-wallpaper.png"));
    QImage picture(1400, 2000, QImage::Format_RGB32);
    QPainter painter(&picture);
    QLinearGradient sky(0, 0, 1400, 2000);
    sky.setColorAt(0, QColor(18, 60, 140));
    sky.setColorAt(0.5, QColor(170, 70, 150));
    sky.setColorAt(1, QColor(250, 170, 60));
    painter.fillRect(picture.rect(), sky);
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < 40; ++i) {
        painter.setBrush(QColor::fromHsv((i * 37) % 360, 200, 240));
        painter.drawEllipse(QPoint((i * 211) % 1400, (i * 337) % 2000), 40 + (i * 13) % 90,
                            40 + (i * 29) % 90);
    }
    painter.end();
    picture.save(path);
    DesktopCaptureCache::Sources sources;
    // As large as the gallery window, which is taller than the offscreen screen.
    sources.Monitors = [] { return QList<QRect>{QRect(0, 0, 1400, 2000)}; };
    sources.Wallpaper = [path] {
        return DesktopWallpaper::Setting{path, DesktopWallpaper::Placement::Zoom, {}};
    };
    sources.WallpaperFileSize = [] { return qint64(1); };
    DesktopCaptureCache::Instance().SetSources(std::move(sources));
}
