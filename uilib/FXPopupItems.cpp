#include "FXPopupItems.h"

#include "FXPopupItem.h"
#include "FXPopupMenu.h"

FXPopupItems::FXPopupItems(FXPopupMenu* Window) : FWindow(Window) {}

void FXPopupItems::Add(FXPopupItem* Item) {
    if (Item == nullptr) return;
    if (Item->FList != nullptr) Item->FList->Delete(Item->FList->IndexOf(Item), FXItemRelease::Keep);
    FItems.append(Item);
    Item->FList = this;
    Item->setParent(FWindow);
    Changed();
}

void FXPopupItems::Clear(FXItemRelease AndFree) {
    const QList<FXPopupItem*> items = FItems;
    FItems.clear();
    for (FXPopupItem* item : items) {
        item->FList = nullptr;
        if (AndFree == FXItemRelease::Free) {
            delete item;
        } else {
            if (FWindow) FWindow->removeAction(item);
            item->setParent(nullptr);
        }
    }
    Changed();
}

void FXPopupItems::Delete(int Index, FXItemRelease AndFree) {
    if (Index < 0 || Index >= Count()) return;
    FXPopupItem* item = FItems.takeAt(Index);
    item->FList = nullptr;
    if (AndFree == FXItemRelease::Free) {
        delete item;
    } else {
        if (FWindow) FWindow->removeAction(item);
        item->setParent(nullptr);
    }
    Changed();
}

FXPopupItem* FXPopupItems::GetItem(int Index) const {
    return Index >= 0 && Index < Count() ? FItems[Index] : nullptr;
}

int FXPopupItems::IndexOf(const QString& Text) const {
    for (int i = 0; i < Count(); ++i)
        if (FItems[i]->Text() == Text) return i;
    return -1;
}

int FXPopupItems::IndexOf(const FXPopupItem* Item) const {
    return int(FItems.indexOf(const_cast<FXPopupItem*>(Item)));
}

void FXPopupItems::Changed() {
    if (FWindow) FWindow->SyncActions();
}

void FXPopupItems::Forget(FXPopupItem* Item) {
    FItems.removeOne(Item);
    Changed();
}
