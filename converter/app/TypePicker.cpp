#include "TypePicker.h"

#include "LabelButton.h"
#include "SymbolFont.h"
#include "ui_Types.h"

#include <QScrollBar>
#include <QWheelEvent>

namespace {

const QColor EnabledColor(175, 9, 247);
const QColor DisabledColor(128, 128, 128);

} // namespace

TTypes::TTypes(QWidget* parent) : QWidget(parent, Qt::Popup | Qt::FramelessWindowHint), FUi(new Ui::Types) {
    FUi->setupUi(this);
    // The headings' symbols are written as symbol-font code points in the form.
    const QString iconFont = ChooseIconFont();
    for (QLabel* glyph : {FUi->Glyph1, FUi->Glyph2, FUi->Glyph3, FUi->Glyph4}) {
        QFont font = glyph->font();
        font.setFamily(iconFont);
        font.setPixelSize(18);
        glyph->setFont(font);
        glyph->setText(SymbolText(glyph->text(), iconFont));
    }
    FUi->Hold->viewport()->installEventFilter(this);
    for (TLabelButton* button : FormatButtons())
        connect(button, &TLabelButton::clicked, this, [this, button] { Select(button); });
}

TTypes::~TTypes() = default;

QScrollArea* TTypes::Hold() const {
    return FUi->Hold;
}

QList<TLabelButton*> TTypes::FormatButtons() const {
    // Headings are labels too; only the ones with the hand pointer pick a format.
    QList<TLabelButton*> buttons;
    for (TLabelButton* label : FUi->HoldArea->findChildren<TLabelButton*>()) {
        if (label->cursor().shape() == Qt::PointingHandCursor) buttons << label;
    }
    return buttons;
}

void TTypes::PickItem(TLabelButton* button) {
    move(button->mapToGlobal(QPoint(0, button->height())));
    OpenUI(button->Tag());
}

void TTypes::OpenUI(int changeId) {
    FUi->Hold->verticalScrollBar()->setValue(0);
    FChangeID = changeId;
    RefreshTypeButtons();
    show();
    raise();
    activateWindow();
}

void TTypes::RefreshTypeButtons() {
    const bool autoDisabled = FChangeID == 2;
    for (TLabelButton* button : FormatButtons()) {
        const bool disabled = autoDisabled && button->Tag() == 1;
        button->setEnabled(!disabled);
        button->setColor(disabled ? DisabledColor : EnabledColor);
    }
}

void TTypes::Select(TLabelButton* button) {
    if (!button->isEnabled()) return;
    const int changeId = FChangeID;
    hide();
    emit Picked(changeId, button->Tag());
}

void TTypes::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isVisible() && !isActiveWindow()) hide();
    QWidget::changeEvent(event);
}

bool TTypes::eventFilter(QObject* watched, QEvent* event) {
    if (watched == FUi->Hold->viewport() && event->type() == QEvent::Wheel) {
        // One notch (120) moves 60 pixels, whatever the desktop's scroll speed.
        QScrollBar* bar = FUi->Hold->verticalScrollBar();
        bar->setValue(bar->value() + static_cast<QWheelEvent*>(event)->angleDelta().y() / -2);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
