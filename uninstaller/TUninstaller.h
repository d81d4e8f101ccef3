#pragma once
// The uninstaller's window: Welcome, Processes, Uninstall, Success and Fail
// pages, and the one-second timer that drives the removal steps. Plain Qt
// widgets stand in until the themed form takes over the same flow.
#include <QWidget>

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QStackedLayout;
class QTimer;
class TUninstallProcedure;

class TUninstaller : public QWidget {
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

    TUninstaller(TUninstallProcedure& procedure, int startPage, QWidget* parent = nullptr);

    int CurrentPage() const { return FCurrentPage; }
    void GoToPage(int page);
    int NextPage(int page);
    // Tag 2 is "Uninstall", tag 3 "Close".
    void NavClicker(int tag);
    void Navigation_TerminateClick();
    void UninstallTickTimer();
    void FinishUninstall();

    QTimer* UninstallTick() const { return FUninstallTick; }
    QProgressBar* Uninstall_Progress() const { return FUninstall_Progress; }
    QCheckBox* Option_RemoveProgramData() const { return FOption_RemoveProgramData; }
    QLabel* Process_Name() const { return FProcess_Name; }
    QPushButton* Navigation_Uninstall() const { return FNavigation_Uninstall; }
    QPushButton* Navigation_Close() const { return FNavigation_Close; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    QWidget* MakePage(const QString& heading, const QString& text);
    void SelfDeleteAndClose();

    TUninstallProcedure& FProcedure;
    int FCurrentPage = NoPage;
    bool FCloseRequested = false;
    QStackedLayout* FPages = nullptr;
    QLabel* FProgram_Title = nullptr;
    QCheckBox* FOption_RemoveProgramData = nullptr;
    QLabel* FProcess_Name = nullptr;
    QProgressBar* FUninstall_Progress = nullptr;
    QPushButton* FNavigation_Uninstall = nullptr;
    QPushButton* FNavigation_Close = nullptr;
    QTimer* FUninstallTick = nullptr;
};
