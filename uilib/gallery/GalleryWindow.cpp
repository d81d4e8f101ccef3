#include "GalleryWindow.h"

#include "CImage.h"
#include "CPanel.h"
#include "FXAnimatedTextBox.h"
#include "FXColorSets.h"
#include "FXCustomTooltip.h"
#include "FXDrawing.h"
#include "FXPanel.h"
#include "FXTextBox.h"
#include "FXThemeManager.h"
#include "GalleryControls.h"

#include <QGridLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QTimer>

namespace {

FXTextBox* Label(const QString& text, QWidget* parent) {
    auto* label = new FXTextBox(parent);
    label->setText(text);
    return label;
}

// A picture with an obvious top, left and transparency, so mirroring and fitting show.
QImage SamplePicture() {
    QImage picture(120, 60, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient gradient(0, 0, 120, 60);
    gradient.setColorAt(0, QColor(0, 120, 215));
    gradient.setColorAt(1, QColor(0, 200, 140));
    painter.setBrush(gradient);
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(QRectF(0, 0, 120, 60), 10, 10);
    painter.setBrush(QColor(255, 200, 0));
    painter.drawEllipse(QRectF(8, 8, 24, 24));
    painter.setPen(Qt::white);
    QFont font = painter.font();
    font.setPixelSize(16);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(QRectF(40, 8, 76, 44), Qt::AlignCenter, QStringLiteral("Fx"));
    return picture;
}

} // namespace

GalleryWindow::GalleryWindow(QWidget* parent) : FXForm(parent) {
    setWindowTitle(tr("User-interface library gallery"));
    resize(1180, 1640);
    FGrid = new QGridLayout(this);
    FGrid->setContentsMargins(16, 12, 16, 16);
    FGrid->setSpacing(14);
    BuildLabels();
    BuildPanels();
    BuildImages();
    BuildBaseControls();
    BuildTooltipsAndSmoke();
    BuildThemedControls();
    BuildOlderButtonsBlurAndMenu();
    BuildDialogs();
    UpdateTheme(true);
    // The preview is a window of its own: it recolours with every form, then is photographed again.
    connect(this, &FXForm::OnThemeChange, this,
            [this] { QTimer::singleShot(0, this, &GalleryWindow::RefreshPreviews); });
}

void GalleryWindow::RefreshPreviews() {
    // Shown only while photographed: a visible preview would keep the program open.
    FSmokePreview->show();
    FSmokeShot->setPicture(FSmokePreview->grab());
    FSmokePreview->hide();
    RefreshDialogPictures();
}

QWidget* GalleryWindow::AddSection(const QString& title, int row, int column, int columnSpan) {
    auto* section = new FXPanel(this);
    section->setBackgroundColor(FXBackgroundColor::Content);
    auto* layout = new QVBoxLayout(section);
    layout->setContentsMargins(14, 10, 14, 14);
    layout->setSpacing(6);
    auto* heading = Label(title, section);
    heading->setFont(FXFont(ThemeManager->FormFont(), ThemeManager->LargeFontHeight()));
    layout->addWidget(heading);
    FGrid->addWidget(section, row, column, 1, columnSpan);
    return section;
}

void GalleryWindow::BuildLabels() {
    QWidget* section = AddSection(tr("Text labels"), 0, 0);
    auto* layout = static_cast<QVBoxLayout*>(section->layout());
    layout->addWidget(Label(tr("A plain caption on its panel"), section));
    auto* wrapped =
        Label(tr("A word-wrapped label sizes itself to the block of its lines, broken at spaces."), section);
    wrapped->setWordWrap(true);
    wrapped->setAutoSize(false);
    wrapped->setMinimumHeight(48);
    layout->addWidget(wrapped);
    for (const auto& [horizontal, vertical, name] :
         {std::tuple{FXLayout::Beginning, FXLayout::Beginning, tr("Top left")},
          std::tuple{FXLayout::Center, FXLayout::Center, tr("Centred")},
          std::tuple{FXLayout::Ending, FXLayout::Ending, tr("Bottom right")}}) {
        auto* placed = Label(name, section);
        placed->setAutoSize(false);
        placed->setLayoutHorizontal(horizontal);
        placed->setLayoutVertical(vertical);
        placed->setMinimumHeight(34);
        placed->setOverlayColor(0x18000000 | 0x808080);
        layout->addWidget(placed);
    }
    auto* overlaid = Label(tr("Black overlay at alpha 128"), section);
    overlaid->setOverlayColor(0x80000000);
    layout->addWidget(overlaid);
    auto* custom = Label(tr("Own colours (CustomColors)"), section);
    custom->CustomColors()->setLightBackGround(0x3B2ED8);
    custom->CustomColors()->setLightForeGround(0xFFFFFF);
    custom->CustomColors()->setDarkBackGround(0x8F7DF4);
    custom->CustomColors()->setDarkForeGround(0x101010);
    custom->CustomColors()->setEnabled(true);
    layout->addWidget(custom);
    auto* animated = new FXAnimatedTextBox(section);
    animated->setAdderMode(true);
    animated->setAdderText(tr("Animated: "));
    animated->setItems({tr("first item"), tr("second item"), tr("third item")});
    layout->addWidget(animated);
    layout->addStretch();
}

void GalleryWindow::BuildPanels() {
    QWidget* section = AddSection(tr("Panels"), 0, 1);
    auto* layout = static_cast<QVBoxLayout*>(section->layout());
    auto* background = new FXPanel(section);
    background->setMinimumHeight(54);
    auto* backgroundLayout = new QVBoxLayout(background);
    backgroundLayout->addWidget(Label(tr("FXPanel, Background"), background));
    layout->addWidget(background);
    auto* content = new FXPanel(section);
    content->setBackgroundColor(FXBackgroundColor::Content);
    content->setAccentLine(true);
    content->setMinimumHeight(54);
    auto* contentLayout = new QVBoxLayout(content);
    contentLayout->setContentsMargins(30, 6, 6, 6);
    contentLayout->addWidget(Label(tr("FXPanel, Content, accent line"), content));
    layout->addWidget(content);
    for (const auto& [accent, name] : {std::pair{CAccentColor::None, tr("CPanel, no accent")},
                                       std::pair{CAccentColor::Accent, tr("CPanel, Accent")},
                                       std::pair{CAccentColor::AccentAdjust, tr("CPanel, AccentAdjust")},
                                       std::pair{CAccentColor::AccentCustom, tr("CPanel, AccentCustom")}}) {
        auto* panel = new CPanel(section);
        panel->setUseAccentColor(accent);
        panel->setMinimumHeight(30);
        auto* caption = new QLabel(name, panel);
        caption->setForegroundRole(QPalette::WindowText);
        auto* panelLayout = new QVBoxLayout(panel);
        panelLayout->setContentsMargins(10, 4, 4, 4);
        panelLayout->addWidget(caption);
        if (accent != CAccentColor::None) {
            QPalette colours = caption->palette();
            colours.setColor(QPalette::WindowText, Qt::white);
            caption->setPalette(colours);
        }
        layout->addWidget(panel);
    }
    layout->addStretch();
}

void GalleryWindow::BuildImages() {
    QWidget* section = AddSection(tr("Image control"), 0, 2);
    auto* layout = static_cast<QVBoxLayout*>(section->layout());
    auto* grid = new QGridLayout;
    grid->setSpacing(8);
    const QImage picture = SamplePicture();
    struct Sample {
        TDrawMode Mode;
        QString Name;
        bool FlipX;
        int Opacity;
    };
    const Sample samples[] = {
        {TDrawMode::CenterFit, tr("CenterFit"), false, 255},
        {TDrawMode::CenterFill, tr("CenterFill"), false, 255},
        {TDrawMode::Stretch, tr("Stretch"), false, 255},
        {TDrawMode::Tile, tr("Tile"), false, 255},
        {TDrawMode::Stretch, tr("FlipX"), true, 255},
        {TDrawMode::CenterFit, tr("Opacity 128"), false, 128},
    };
    int index = 0;
    for (const Sample& sample : samples) {
        auto* cell = new QVBoxLayout;
        auto* image = new CImage(section);
        image->setPicture(picture);
        image->setDrawMode(sample.Mode);
        image->setFlipX(sample.FlipX);
        image->setOpacity(sample.Opacity);
        image->setFixedSize(sample.Mode == TDrawMode::Tile ? QSize(150, 80) : QSize(150, 80));
        if (sample.Mode == TDrawMode::Tile) {
            image->setPicture(picture.scaled(40, 20, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        }
        cell->addWidget(image);
        cell->addWidget(Label(sample.Name, section));
        grid->addLayout(cell, index / 2, index % 2);
        ++index;
    }
    layout->addLayout(grid);
    layout->addStretch();
}

void GalleryWindow::BuildBaseControls() {
    QWidget* section = AddSection(tr("Control base: states, focus, transparency"), 1, 0, 2);
    auto* layout = static_cast<QVBoxLayout*>(section->layout());
    auto* row = new QHBoxLayout;
    for (const auto& [state, name] :
         {std::pair{FXControlState::None, tr("None")}, std::pair{FXControlState::Hover, tr("Hover")},
          std::pair{FXControlState::Press, tr("Press")}}) {
        auto* swatch = new GallerySwatch(name, section);
        swatch->PinState(state);
        row->addWidget(swatch);
    }
    auto* disabled = new GallerySwatch(tr("Disabled"), section);
    disabled->setFill(0x9A9A9A);
    disabled->setEnabled(false);
    row->addWidget(disabled);
    auto* focused = new GallerySwatch(tr("Focus"), section);
    focused->setObjectName(QStringLiteral("FocusedSwatch"));
    row->addWidget(focused);
    row->addStretch();
    layout->addLayout(row);

    // A translucent control over an earlier one shows it through its corners
    // and body without the parent repainting.
    auto* stage = new FXPanel(section);
    stage->setBackgroundColor(FXBackgroundColor::Content);
    stage->setFixedHeight(90);
    auto* lower = new GallerySwatch(tr("Beneath"), stage);
    lower->setFill(0x2E8B57);
    lower->setGeometry(10, 10, 160, 60);
    auto* upper = new GallerySwatch(tr("Over it, translucent"), stage);
    upper->setFill(0xD77800);
    upper->setGeometry(120, 30, 190, 52);
    auto* opaque = new GallerySwatch(tr("Opacity 120"), stage);
    opaque->setFill(0xC0392B);
    opaque->setOpacity(120);
    opaque->setGeometry(290, 8, 150, 48);
    layout->addWidget(stage);
    layout->addStretch();
}

void GalleryWindow::BuildTooltipsAndSmoke() {
    QWidget* section = AddSection(tr("Tooltips and the dimming overlay"), 1, 2);
    auto* layout = static_cast<QVBoxLayout*>(section->layout());
    for (bool dark : {false, true}) {
        FXCustomTooltip* tip = dark ? static_cast<FXCustomTooltip*>(new FXDarkTooltip)
                                    : static_cast<FXCustomTooltip*>(new FXLightTooltip);
        tip->ActivateHint(QPoint(0, 0), dark ? tr("A dark tooltip") : tr("A light tooltip"));
        auto* image = new CImage(section);
        image->setPicture(tip->grab());
        image->setDrawMode(TDrawMode::Normal);
        image->setFixedSize(tip->size());
        image->setToolTip(tr("Hover for a live tooltip"));
        layout->addWidget(image);
        delete tip;
    }
    FSmokePreview = std::make_unique<FXForm>();
    FSmokePreview->setWindowTitle(tr("A form with SmokeEffect"));
    FSmokePreview->setAllowThemeChangeAnimation(false);
    FSmokePreview->resize(300, 150);
    auto* previewLayout = new QVBoxLayout(FSmokePreview.get());
    previewLayout->addWidget(Label(tr("Content beneath the overlay"), FSmokePreview.get()));
    FSmokePreview->setAttribute(Qt::WA_DontShowOnScreen);
    FSmokePreview->setAttribute(Qt::WA_QuitOnClose, false);
    FSmokePreview->show();
    FSmokePreview->setSmokeEffect(true);
    FSmokeShot = new CImage(section);
    FSmokeShot->setDrawMode(TDrawMode::CenterFit);
    FSmokeShot->setFixedSize(300, 150);
    layout->addWidget(FSmokeShot);
    layout->addStretch();
    RefreshPreviews();
}
