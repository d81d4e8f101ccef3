// The gallery's rows of themed controls: buttons, progress bars, check boxes,
// sliders, scroll bars and the scroll box, each in its states. A focused
// control is photographed in a window of its own, since only one control of
// the gallery can hold the focus.
#include "CImage.h"
#include "CProgress.h"
#include "FXButton.h"
#include "FXCheckBox.h"
#include "FXCustomTooltip.h"
#include "FXIconSelect.h"
#include "FXPanel.h"
#include "FXProgress.h"
#include "FXScrollBox.h"
#include "FXScrollbar.h"
#include "FXSlider.h"
#include "FXTextBox.h"
#include "FXThemeManager.h"
#include "GalleryWindow.h"

#include <QApplication>
#include <QGridLayout>
#include <QPainter>
#include <QTimer>

namespace {

// A control whose interaction state is pinned for display.
template <class Control> class Pinned : public Control {
  public:
    explicit Pinned(QWidget* parent, FXControlState state) : Control(parent) {
        this->SetInteractionState(state, true);
    }
};

FXTextBox* Caption(const QString& text, QWidget* parent) {
    auto* label = new FXTextBox(parent);
    label->setText(text);
    return label;
}

// A themed window off screen that holds one focused control and photographs it.
class FocusPreview : public QObject {
  public:
    FocusPreview(QWidget* control, CImage* picture) : FControl(control), FPicture(picture) {}
    void Shoot() {
        QWidget* form = FControl->window();
        QWidget* active = QApplication::activeWindow();
        QApplication::setActiveWindow(form);
        FControl->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
        FPicture->setPicture(FControl->grab());
        if (active != nullptr) QApplication::setActiveWindow(active);
    }

  private:
    QWidget* FControl;
    CImage* FPicture;
};

} // namespace

void GalleryWindow::BuildThemedControls() {
    // Buttons: every kind in every state.
    QWidget* buttons = AddSection(tr("Buttons: kinds and states"), 2, 0, 2);
    auto* buttonGrid = new QGridLayout;
    buttonGrid->setSpacing(6);
    buttonGrid->setColumnMinimumWidth(0, 56);
    const std::pair<FXControlState, QString> states[] = {{FXControlState::None, tr("None")},
                                                         {FXControlState::Hover, tr("Hover")},
                                                         {FXControlState::Press, tr("Press")}};
    const std::pair<FXButtonKind, QString> kinds[] = {
        {FXButtonKind::Normal, tr("Normal")}, {FXButtonKind::Accent, tr("Accent")},
        {FXButtonKind::Toggle, tr("Toggle")}, {FXButtonKind::Dropdown, tr("Dropdown")},
        {FXButtonKind::Link, tr("Link")},     {FXButtonKind::Flat, tr("Flat")}};
    int column = 0;
    for (const auto& [kind, name] : kinds) {
        buttonGrid->addWidget(Caption(name, buttons), 0, column + 1);
        ++column;
    }
    int row = 1;
    for (const auto& [state, stateName] : states) {
        buttonGrid->addWidget(Caption(stateName, buttons), row, 0);
        column = 1;
        for (const auto& [kind, name] : kinds) {
            auto* button = new Pinned<FXButton>(buttons, state);
            button->setButtonKind(kind);
            button->setText(kind == FXButtonKind::Toggle     ? tr("Checked")
                            : kind == FXButtonKind::Dropdown ? tr("Menu")
                                                             : name);
            if (kind == FXButtonKind::Toggle) button->setChecked(true);
            button->setFixedSize(108, 35);
            buttonGrid->addWidget(button, row, column++);
        }
        ++row;
    }
    buttonGrid->addWidget(Caption(tr("More"), buttons), row, 0);
    auto* disabled = new FXButton(buttons);
    disabled->setText(tr("Disabled"));
    disabled->setEnabled(false);
    auto* underline = new FXButton(buttons);
    underline->setText(tr("Underline"));
    underline->setDetail(FXDetailType::Underline);
    auto* outline = new FXButton(buttons);
    outline->setText(tr("Outline"));
    outline->setDetail(FXDetailType::Outline);
    auto* iconLeft = new FXButton(buttons);
    iconLeft->setText(tr("Save"));
    iconLeft->Image()->setSelectSegoe(QString(QChar(0xE78C)));
    iconLeft->Image()->setEnabled(true);
    auto* state = new FXButton(buttons);
    state->setButtonKind(FXButtonKind::Accent);
    state->setText(tr("Check"));
    state->setStateText(tr("Checking..."));
    state->setStateDuration(0);
    state->setStateEnabled(true);
    auto* focused = new CImage(buttons);
    focused->setDrawMode(TDrawMode::Normal);
    column = 1;
    for (QWidget* widget :
         {static_cast<QWidget*>(disabled), static_cast<QWidget*>(underline), static_cast<QWidget*>(outline),
          static_cast<QWidget*>(iconLeft), static_cast<QWidget*>(state), static_cast<QWidget*>(focused)}) {
        widget->setFixedSize(108, 35);
        buttonGrid->addWidget(widget, row, column++);
    }
    ++row;
    auto* iconTop = new FXButton(buttons);
    iconTop->setText(tr("Icon above"));
    iconTop->setImageLayout(FXDrawLayout::Top);
    iconTop->Image()->setSelectSegoe(QString(QChar(0xEB9F)));
    iconTop->Image()->setEnabled(true);
    iconTop->setFixedSize(108, 70);
    buttonGrid->addWidget(iconTop, row, 1);
    auto* iconRight = new FXButton(buttons);
    iconRight->setText(tr("Delete"));
    iconRight->setImageLayout(FXDrawLayout::Right);
    iconRight->Image()->setSelectSegoe(QString(QChar(0xE74D)));
    iconRight->Image()->setEnabled(true);
    iconRight->setFixedSize(108, 35);
    buttonGrid->addWidget(iconRight, row, 2, Qt::AlignTop);
    auto* unchecked = new FXButton(buttons);
    unchecked->setButtonKind(FXButtonKind::Toggle);
    unchecked->setText(tr("Unchecked"));
    unchecked->setFixedSize(108, 35);
    buttonGrid->addWidget(unchecked, row, 3, Qt::AlignTop);
    auto* layout = static_cast<QVBoxLayout*>(buttons->layout());
    layout->addLayout(buttonGrid);
    layout->addStretch();

    // Check boxes.
    QWidget* checks = AddSection(tr("Check boxes"), 2, 2);
    auto* checkLayout = static_cast<QVBoxLayout*>(checks->layout());
    const auto addCheck = [&](FXCheckBox* box, const QString& text) {
        box->setText(text);
        box->setFixedHeight(30);
        checkLayout->addWidget(box);
        return box;
    };
    addCheck(new FXCheckBox(checks), tr("Unchecked"));
    addCheck(new FXCheckBox(checks), tr("Checked"))->setState(FXCheckBoxState::Checked);
    auto* grayed = addCheck(new FXCheckBox(checks), tr("Grayed (mixed)"));
    grayed->setAllowGrayed(true);
    grayed->setState(FXCheckBoxState::Grayed);
    auto* still = addCheck(new FXCheckBox(checks), tr("Checked, no animation"));
    still->setAnimationEnabled(false);
    still->setState(FXCheckBoxState::Checked);
    addCheck(new Pinned<FXCheckBox>(checks, FXControlState::Hover), tr("Checked, hover"))
        ->setState(FXCheckBoxState::Checked);
    addCheck(new Pinned<FXCheckBox>(checks, FXControlState::Press), tr("Checked, press"))
        ->setState(FXCheckBoxState::Checked);
    auto* off = addCheck(new FXCheckBox(checks), tr("Disabled, checked"));
    off->setState(FXCheckBoxState::Checked);
    off->setEnabled(false);
    addCheck(new FXCheckBox(checks), tr("Box on the right"))->setLayout(FXDrawLayout::Right);
    auto* focusedCheck = new CImage(checks);
    focusedCheck->setDrawMode(TDrawMode::Normal);
    focusedCheck->setFixedSize(220, 30);
    checkLayout->addWidget(focusedCheck);
    checkLayout->addStretch();

    // Progress bars, themed and older.
    QWidget* progress = AddSection(tr("Progress bars"), 3, 0);
    auto* progressLayout = static_cast<QVBoxLayout*>(progress->layout());
    for (const auto& [value, kind, name] :
         {std::tuple{0.0f, FXProgressKind::Normal, tr("0 %")},
          std::tuple{30.0f, FXProgressKind::Normal, tr("30 %")},
          std::tuple{70.0f, FXProgressKind::Normal, tr("70 %")},
          std::tuple{100.0f, FXProgressKind::Normal, tr("100 %")},
          std::tuple{0.0f, FXProgressKind::Intermediate, tr("Indeterminate")},
          std::tuple{60.0f, FXProgressKind::Paused, tr("Paused, 60 %")},
          std::tuple{45.0f, FXProgressKind::Error, tr("Error, 45 %")}}) {
        auto* row = new QHBoxLayout;
        auto* label = Caption(name, progress);
        label->setAutoSize(false);
        label->setFixedWidth(125);
        row->addWidget(label);
        auto* bar = new FXProgress(progress);
        bar->setAnimations(false);
        bar->setValue(value);
        bar->setProgressKind(kind);
        bar->setFixedHeight(20);
        row->addWidget(bar);
        progressLayout->addLayout(row);
    }
    auto* disabledRow = new QHBoxLayout;
    auto* disabledLabel = Caption(tr("Disabled, 50 %"), progress);
    disabledLabel->setAutoSize(false);
    disabledLabel->setFixedWidth(125);
    disabledRow->addWidget(disabledLabel);
    auto* disabledBar = new FXProgress(progress);
    disabledBar->setAnimations(false);
    disabledBar->setValue(50);
    disabledBar->setEnabled(false);
    disabledBar->setFixedHeight(20);
    disabledRow->addWidget(disabledBar);
    progressLayout->addLayout(disabledRow);
    auto* legacy = new CProgress(progress);
    CProgressText overlay = legacy->TextOverlay();
    overlay.Enabled = true;
    overlay.CaptionText = tr("Converting");
    overlay.FontColor = 0xFFFFFF;
    legacy->setTextOverlay(overlay);
    legacy->SetValue(60, true);
    legacy->setFixedHeight(22);
    progressLayout->addWidget(Caption(tr("Older bar: accent, caption, presets"), progress));
    progressLayout->addWidget(legacy);
    auto* presetGrid = new QGridLayout;
    int index = 0;
    for (CProgressPreset preset :
         {CProgressPreset::cprStandard, CProgressPreset::cprError, CProgressPreset::cprBlue,
          CProgressPreset::cprMarble, CProgressPreset::cprModern, CProgressPreset::cprWindows}) {
        auto* bar = new CProgress(progress);
        bar->setPresets(preset);
        bar->SetValue(70, true);
        bar->setFixedHeight(16);
        presetGrid->addWidget(bar, index / 2, index % 2);
        ++index;
    }
    progressLayout->addLayout(presetGrid);
    progressLayout->addStretch();

    // Sliders and the value hint.
    QWidget* sliders = AddSection(tr("Sliders and the value hint"), 3, 1);
    auto* sliderLayout = static_cast<QVBoxLayout*>(sliders->layout());
    auto* tooltip = new FXCustomTooltip;
    QFont hintFont = tooltip->font();
    hintFont.setPointSize(11);
    tooltip->setFont(hintFont);
    auto* hintPicture = new CImage(sliders);
    hintPicture->setDrawMode(TDrawMode::Normal);
    hintPicture->setFixedHeight(34);
    sliderLayout->addWidget(hintPicture);
    auto* withHint = new FXSlider(sliders);
    withHint->setPosition(64);
    withHint->setFixedSize(225, 40);
    sliderLayout->addWidget(withHint);
    const auto addSlider = [&](FXSlider* slider, qint64 position, const QString& name) {
        auto* row = new QHBoxLayout;
        slider->setPosition(position);
        slider->setFixedSize(225, 40);
        row->addWidget(slider);
        row->addWidget(Caption(name, sliders));
        sliderLayout->addLayout(row);
        return slider;
    };
    addSlider(new FXSlider(sliders), 0, tr("0"));
    addSlider(new FXSlider(sliders), 50, tr("50, 5 ticks"))->setTotalTicks(5);
    addSlider(new FXSlider(sliders), 100, tr("100"));
    addSlider(new Pinned<FXSlider>(sliders, FXControlState::Hover), 30, tr("Hover"));
    addSlider(new Pinned<FXSlider>(sliders, FXControlState::Press), 70, tr("Press"));
    addSlider(new FXSlider(sliders), 40, tr("Disabled"))->setEnabled(false);
    auto* focusedSlider = new CImage(sliders);
    focusedSlider->setDrawMode(TDrawMode::Normal);
    focusedSlider->setFixedSize(225, 40);
    sliderLayout->addWidget(focusedSlider);
    sliderLayout->addStretch();

    // Scroll bars and a scroll box with content.
    QWidget* scrolling = AddSection(tr("Scroll bars and scroll box"), 3, 2);
    auto* scrollLayout = static_cast<QVBoxLayout*>(scrolling->layout());
    auto* barRow = new QHBoxLayout;
    const auto addBar = [&](FXScrollbar* bar, qint64 position) {
        bar->setPageSize(30);
        bar->setPosition(position);
        bar->setFixedSize(12, 160);
        barRow->addWidget(bar);
        return bar;
    };
    addBar(new FXScrollbar(scrolling), 20);
    addBar(new Pinned<FXScrollbar>(scrolling, FXControlState::Hover), 50);
    addBar(new Pinned<FXScrollbar>(scrolling, FXControlState::Press), 80);
    auto* offBar = addBar(new Pinned<FXScrollbar>(scrolling, FXControlState::Hover), 40);
    offBar->setEnabled(false);
    auto* focusedBar = new CImage(scrolling);
    focusedBar->setDrawMode(TDrawMode::Normal);
    focusedBar->setFixedSize(12, 160);
    barRow->addWidget(focusedBar);
    auto* box = new FXScrollBox(scrolling);
    box->setBackgroundColor(FXBackgroundColor::Content);
    box->setFixedSize(200, 160);
    for (int i = 0; i < 8; ++i) {
        auto* item = new FXCheckBox(box);
        item->setText(tr("Setting %1").arg(i + 1));
        item->setGeometry(8, 8 + i * 34, 170, 30);
    }
    auto* wide = new FXProgress(box);
    wide->setAnimations(false);
    wide->setValue(80);
    wide->setGeometry(8, 8 + 8 * 34, 320, 20);
    barRow->addWidget(box);
    barRow->addStretch();
    scrollLayout->addLayout(barRow);
    auto* horizontal = new Pinned<FXScrollbar>(scrolling, FXControlState::Hover);
    horizontal->setOrientation(FXOrientation::Horizontal);
    horizontal->setPageSize(30);
    horizontal->setPosition(30);
    horizontal->setFixedSize(225, 12);
    scrollLayout->addWidget(horizontal);
    scrollLayout->addWidget(Caption(tr("Minimised, hover, press, off, focus"), scrolling));
    scrollLayout->addStretch();
    // The box lays out its content once it is shown; then it starts scrolled a little.
    QTimer::singleShot(0, box, [box] {
        box->UpdateRanges();
        box->ScrollBarVert()->setPosition(60);
    });

    // Focused controls, each in a themed window of its own.
    const auto preview = [this](QWidget* control, CImage* picture) {
        auto form = std::make_unique<FXForm>();
        form->setAllowThemeChangeAnimation(false);
        form->setAttribute(Qt::WA_DontShowOnScreen);
        auto* formLayout = new QVBoxLayout(form.get());
        auto* panel = new FXPanel(form.get());
        panel->setBackgroundColor(FXBackgroundColor::Content);
        auto* panelLayout = new QVBoxLayout(panel);
        panelLayout->setContentsMargins(0, 0, 0, 0);
        control->setParent(panel);
        control->setFixedSize(picture->size());
        panelLayout->addWidget(control);
        formLayout->addWidget(panel);
        form->show();
        FFocusPreviews.push_back(std::move(form));
        auto* shooter = new FocusPreview(control, picture);
        shooter->setParent(picture);
        return shooter;
    };
    auto* focusButton = new FXButton;
    focusButton->setText(tr("Focused"));
    auto* focusCheck = new FXCheckBox;
    focusCheck->setText(tr("Focused"));
    focusCheck->setState(FXCheckBoxState::Checked);
    auto* focusSlider = new FXSlider;
    focusSlider->setPosition(75);
    auto* focusBar = new FXScrollbar;
    focusBar->setAutoMinimise(false);
    focusBar->setMinimised(false);
    focusBar->setPageSize(30);
    focusBar->setPosition(60);
    std::vector<FocusPreview*> shooters{preview(focusButton, focused), preview(focusCheck, focusedCheck),
                                        preview(focusSlider, focusedSlider), preview(focusBar, focusedBar)};
    const auto shootAll = [this, shooters, tooltip, hintPicture] {
        for (FocusPreview* shooter : shooters)
            shooter->Shoot();
        auto* dark = ThemeManager->DarkTheme() ? static_cast<FXCustomTooltip*>(new FXDarkTooltip)
                                               : static_cast<FXCustomTooltip*>(new FXLightTooltip);
        tooltip->setBackColor(dark->BackColor());
        tooltip->setBorderColor(dark->BorderColor());
        delete dark;
        tooltip->ActivateHint(QPoint(0, 0), QStringLiteral("64"));
        const QPixmap shot = tooltip->grab();
        tooltip->hide();
        // The hint stands centred above the thumb of the slider beneath it.
        QImage above(225, 34, QImage::Format_ARGB32_Premultiplied);
        above.fill(Qt::transparent);
        QPainter painter(&above);
        painter.drawPixmap(QPoint(11 + 203 * 64 / 100 - shot.width() / 2, 0), shot);
        painter.end();
        hintPicture->setPicture(above);
        hintPicture->setFixedWidth(225);
    };
    shootAll();
    connect(this, &FXForm::OnThemeChange, this, [this, shootAll] { QTimer::singleShot(0, this, shootAll); });
    connect(this, &QObject::destroyed, tooltip, [tooltip] { delete tooltip; });
}
