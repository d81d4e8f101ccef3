#pragma once
// One row of a themed popup menu: a caption with an optional check or radio
// mark, icon and shortcut text, a separator (Text "-"), or, once it has
// sub-items, the opener of a sub-menu of the same kind. Enabled and Visible
// are the action's own.
#include <QAction>
#include <QString>

#include <memory>

class FXIconSelect;
class FXPopupItems;
class FXPopupMenu;

class FXPopupItem : public QAction {
    Q_OBJECT
    Q_PROPERTY(QString Text READ Text WRITE setText)
    Q_PROPERTY(QString Hint READ Hint WRITE setHint)
    Q_PROPERTY(bool AutoCheck READ AutoCheck WRITE setAutoCheck)
    Q_PROPERTY(bool Checked READ Checked WRITE setChecked)
    Q_PROPERTY(bool Enabled READ isEnabled WRITE setEnabled)
    Q_PROPERTY(bool IsDefault READ IsDefault WRITE setIsDefault)
    Q_PROPERTY(bool RadioItem READ RadioItem WRITE setRadioItem)
    Q_PROPERTY(bool Visible READ isVisible WRITE setVisible)
    Q_PROPERTY(QString Shortcut READ Shortcut WRITE setShortcut)
    Q_PROPERTY(bool IsSeparator READ IsSeparator WRITE setIsSeparator)
    Q_PROPERTY(int MenuIndex READ MenuIndex)

  public:
    explicit FXPopupItem(const QString& Text = QString(), QObject* parent = nullptr);
    ~FXPopupItem() override;

    QString Text() const { return text(); }
    // "-" makes the row a separator.
    void setText(const QString& value);
    const QString& Hint() const { return FHint; }
    void setHint(const QString& value);
    // Clicking toggles Checked (a checked radio item stays checked).
    bool AutoCheck() const { return FAutoCheck; }
    void setAutoCheck(bool value);
    bool Checked() const { return FChecked; }
    // Checking a radio item clears the radio items next to it in its menu.
    void setChecked(bool value);
    // Drawn bold.
    bool IsDefault() const { return FDefault; }
    void setIsDefault(bool value);
    bool RadioItem() const { return FRadioItem; }
    void setRadioItem(bool value);
    // Only shown beside the caption; it is not a key binding.
    const QString& Shortcut() const { return FShortCut; }
    void setShortcut(const QString& value);
    bool IsSeparator() const { return Text() == QLatin1String("-"); }
    // True makes the row a separator; false changes nothing.
    void setIsSeparator(bool value);
    // The position in the owning menu's rows, -1 outside a menu.
    int MenuIndex() const;

    // Disabled until given a glyph or picture.
    FXIconSelect* Image() const { return FImage; }
    // The rows of this item's sub-menu; the sub-menu window exists from the first call.
    FXPopupItems* Items();
    bool HasSubItems() const;
    // The window showing the sub-items, null before Items was first asked for.
    FXPopupMenu* SubMenu() const { return FSubMenu.get(); }
    // The list holding this item, null when it is in none.
    FXPopupItems* OwnerList() const { return FList; }

  signals:
    void OnClick(FXPopupItem* Sender);
    void OnHover(FXPopupItem* Sender);
    void OnCheck(FXPopupItem* Sender);

  private:
    friend class FXPopupItems;
    friend class FXPopupMenu;
    // What the row shows changed: the menu measures and repaints.
    void Changed();
    void SubItemsChanged();
    // Whether anything listens to the click (decides which Close flag applies).
    bool HasClickHandler() const;

    QString FHint;
    bool FAutoCheck = false;
    bool FChecked = false;
    bool FDefault = false;
    bool FRadioItem = false;
    FXIconSelect* FImage = nullptr;
    QString FShortCut;
    FXPopupItems* FList = nullptr;
    std::unique_ptr<FXPopupMenu> FSubMenu;
};
