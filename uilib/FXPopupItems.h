#pragma once
// The ordered rows of one popup menu window. The list owns its items (they
// are children of the window) and keeps the window's actions in its order.
#include <QList>
#include <QString>

class FXPopupItem;
class FXPopupMenu;

// Whether Clear and Delete free the items they remove or hand them back.
enum class FXItemRelease : bool { Keep = false, Free = true };

class FXPopupItems {
  public:
    explicit FXPopupItems(FXPopupMenu* Window);
    FXPopupItems(const FXPopupItems&) = delete;
    FXPopupItems& operator=(const FXPopupItems&) = delete;

    // Appends; the item leaves any list it was in.
    void Add(FXPopupItem* Item);
    void Clear(FXItemRelease AndFree = FXItemRelease::Free);
    // Later items move down by one. An index out of range does nothing.
    void Delete(int Index, FXItemRelease AndFree = FXItemRelease::Free);
    int Count() const { return int(FItems.size()); }
    // nullptr for an index out of range.
    FXPopupItem* GetItem(int Index) const;
    FXPopupItem* operator[](int Index) const { return GetItem(Index); }
    // The first item whose Text is exactly Text, else -1.
    int IndexOf(const QString& Text) const;
    int IndexOf(const FXPopupItem* Item) const;
    const QList<FXPopupItem*>& List() const { return FItems; }
    // The menu window that shows these rows.
    FXPopupMenu* Window() const { return FWindow; }

  private:
    friend class FXPopupItem;
    void Changed();
    // An item being destroyed leaves its list.
    void Forget(FXPopupItem* Item);

    FXPopupMenu* FWindow = nullptr;
    QList<FXPopupItem*> FItems;
};
