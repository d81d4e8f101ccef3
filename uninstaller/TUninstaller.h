#pragma once
// The uninstaller's window, a themed form: a cover on the left and, on the
// right, the Welcome, Processes, Uninstall, Success and Fail pages, each sliding
// in from the right when it is shown; the one-second timer drives the removal
// steps.
#include "FXForm.h"

#include <QPointer>

class CoverPicture;
class FXButton;
class FXCheckBox;
class FXPanel;
class FXProgress;
class FXTextBox;
class QTimer;
class TUninstallProcedure;

class TUninstaller : public FXForm {
    Q_OBJECT
  public:
    enum Page {
        NoPage = 0,
        Page_Welcome = 1,
        Page_Processes = 2,
        Page_Uninstall = 3,
        Page_Success = 4,
        Page_Fail = 5
    };
    // The page slide's length; tests wait for it to end rather than for a time.
    static constexpr int SlideDuration = 100;

    TUninstaller(TUninstallProcedure& procedure, int startPage, QWidget* parent = nullptr);
    ~TUninstaller() override;

    int CurrentPage() const { return FCurrentPage; }
    void GoToPage(int page);
    int NextPage(int page);
    // Tag 2 is "Uninstall", tag 3 "Close".
    void NavClicker(int tag);
    void Navigation_TerminateClick();
    void UninstallTickTimer();
    void FinishUninstall();

    // The panel of a page (tag 1 to 5); null for any other number.
    FXPanel* PageWidget(int page) const;
    // Whether a page is still sliding in.
    bool Sliding() const { return FSlides > 0; }

    QTimer* UninstallTick() const { return FUninstallTick; }
    FXProgress* Uninstall_Progress() const { return FUninstall_Progress; }
    FXCheckBox* Option_RemoveProgramData() const { return FOption_RemoveProgramData; }
    FXTextBox* Process_Name() const { return FProcess_Name; }
    FXTextBox* Fail_Reasons() const { return FFail_Reasons; }
    FXButton* Navigation_Uninstall() const { return FNavigation_Uninstall; }
    FXButton* Navigation_Close() const { return FNavigation_Close; }
    FXButton* Navigation_Terminate() const { return FNavigation_Terminate; }
    QWidget* Panels_Container() const { return FPanels_Container; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    FXPanel* MakePage(int tag, const QString& heading, const QString& text);
    void SlideIn(FXPanel* page, FXPanel* old);
    void SelfDeleteAndClose();
    void ThemeChanged();

    TUninstallProcedure& FProcedure;
    int FCurrentPage = NoPage;
    bool FCloseRequested = false;
    int FSlides = 0;
    CoverPicture* FCover = nullptr;
    QWidget* FPanels_Container = nullptr;
    FXPanel* FPages[5] = {};
    FXTextBox* FProgram_Title = nullptr;
    FXCheckBox* FOption_RemoveProgramData = nullptr;
    FXTextBox* FProcess_Name = nullptr;
    FXButton* FNavigation_Terminate = nullptr;
    FXProgress* FUninstall_Progress = nullptr;
    FXTextBox* FFail_Reasons = nullptr;
    FXButton* FNavigation_Uninstall = nullptr;
    FXButton* FNavigation_Close = nullptr;
    QTimer* FUninstallTick = nullptr;
};
