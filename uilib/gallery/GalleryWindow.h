#pragma once
// One themed window that shows every control of the library in each of its
// states, so that a change can be looked at light and dark at a glance.
#include "FXForm.h"
#include "FXPopupMenu.h"

#include <memory>
#include <vector>

class QGridLayout;
class QVBoxLayout;

// Screenshots show a sample desktop picture behind the blur, not the machine's.
void UseSampleDesktop();

class GalleryWindow : public FXForm {
    Q_OBJECT

  public:
    explicit GalleryWindow(QWidget* parent = nullptr);

  private:
    QWidget* AddSection(const QString& title, int row, int column, int columnSpan = 1);
    void BuildLabels();
    void BuildPanels();
    void BuildImages();
    void BuildBaseControls();
    void BuildTooltipsAndSmoke();
    void BuildThemedControls();
    void BuildOlderButtonsBlurAndMenu();
    void BuildDialogs();
    void RefreshDialogPictures();
    void RefreshMenuPreview();

    void RefreshPreviews();

    QGridLayout* FGrid = nullptr;
    // A second themed form, kept off screen, whose picture shows its overlay.
    std::unique_ptr<FXForm> FSmokePreview;
    class CImage* FSmokeShot = nullptr;
    // Windows off screen, each holding one focused control to photograph.
    std::vector<std::unique_ptr<FXForm>> FFocusPreviews;
    // The popup menu, opened off screen and photographed for every theme.
    std::unique_ptr<FXPopupMenu> FMenuPreview;
    class CImage* FMenuShot = nullptr;
    // Pictures of open message dialogs, drawn again for every theme.
    std::vector<class CImage*> FDialogShots;
};
