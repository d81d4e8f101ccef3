#include "FXPopupItem.h"

#include "FXIconSelect.h"
#include "FXPopupItems.h"
#include "FXPopupMenu.h"

#include <QMetaMethod>

FXPopupItem::FXPopupItem(const QString& Text, QObject* parent) : QAction(parent) {
    FImage = new FXIconSelect(this);
    setText(Text);
}

FXPopupItem::~FXPopupItem() {
    if (FList) FList->Forget(this);
    FList = nullptr;
    setMenu(static_cast<QMenu*>(nullptr));
    FSubMenu.reset();
}

void FXPopupItem::setText(const QString& value) {
    QAction::setText(value);
    setSeparator(value == QLatin1String("-"));
    Changed();
}

void FXPopupItem::setHint(const QString& value) {
    FHint = value;
    setStatusTip(value);
    setToolTip(value);
}

void FXPopupItem::setAutoCheck(bool value) {
    if (FAutoCheck == value) return;
    FAutoCheck = value;
    Changed();
}

void FXPopupItem::setChecked(bool value) {
    FChecked = value;
    // Unchecking a radio item leaves its neighbours as they are: only a check moves the mark.
    if (value && FRadioItem && FList) {
        const int index = FList->IndexOf(this);
        for (int i = index - 1; i >= 0 && FList->GetItem(i)->RadioItem(); --i)
            FList->GetItem(i)->FChecked = false;
        for (int i = index + 1; i < FList->Count() && FList->GetItem(i)->RadioItem(); ++i)
            FList->GetItem(i)->FChecked = false;
    }
    Changed();
}

void FXPopupItem::setIsDefault(bool value) {
    if (FDefault == value) return;
    FDefault = value;
    Changed();
}

void FXPopupItem::setRadioItem(bool value) {
    if (FRadioItem == value) return;
    FRadioItem = value;
    Changed();
}

void FXPopupItem::setShortcut(const QString& value) {
    if (FShortCut == value) return;
    FShortCut = value;
    Changed();
}

void FXPopupItem::setIsSeparator(bool value) {
    if (value) setText(QStringLiteral("-"));
}

int FXPopupItem::MenuIndex() const {
    return FList ? FList->IndexOf(this) : -1;
}

FXPopupItems* FXPopupItem::Items() {
    if (!FSubMenu) {
        FSubMenu = std::make_unique<FXPopupMenu>();
        FSubMenu->FOwnerItem = this;
    }
    return FSubMenu->Items();
}

bool FXPopupItem::HasSubItems() const {
    return FSubMenu && FSubMenu->Items()->Count() > 0;
}

bool FXPopupItem::HasClickHandler() const {
    // Not QAction::triggered: every menu holding the action listens to that one.
    return isSignalConnected(QMetaMethod::fromSignal(&FXPopupItem::OnClick));
}

void FXPopupItem::Changed() {
    if (FList && FList->Window()) FList->Window()->ItemChanged();
}

void FXPopupItem::SubItemsChanged() {
    setMenu(HasSubItems() ? static_cast<QMenu*>(FSubMenu.get()) : nullptr);
    Changed();
}
