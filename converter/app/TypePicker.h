#pragma once
// The format picker: a borderless popup with one button per format, opened below
// the source or target button of the main window. AUTO can be a source only.
#include <QWidget>
#include <memory>

namespace Ui {
class Types;
}
class QScrollArea;
class TLabelButton;

class TTypes : public QWidget {
    Q_OBJECT

  public:
    explicit TTypes(QWidget* parent = nullptr);
    ~TTypes() override;

    // 1 while the source format is picked, 2 for the target format.
    int AChangeID() const { return FChangeID; }
    // Places the picker right below the clicked format button, then opens it in
    // the mode of the button's tag.
    void PickItem(TLabelButton* button);
    void OpenUI(int changeId);
    void RefreshTypeButtons();
    QList<TLabelButton*> FormatButtons() const;
    QScrollArea* Hold() const;

  signals:
    // A format was chosen in mode `changeId`; the picker has closed.
    void Picked(int changeId, int tag);

  protected:
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Select(TLabelButton* button);

    std::unique_ptr<Ui::Types> FUi;
    int FChangeID = 1;
};
