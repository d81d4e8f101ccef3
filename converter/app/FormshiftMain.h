#pragma once
// The converter's main window: the file list with its states, the format
// buttons, "Convert All" / "Stop", the export folder with its history, the
// settings panel, file intake from dialogs, drops and other running copies.
#include "ConversionDriver.h"
#include "DropHandling.h"
#include "FXForm.h"
#include "JobList.h"
#include "RunningCopies.h"

#include <QTimer>
#include <functional>
#include <memory>

namespace Ui {
class Formshift;
}
class TFileCatcher;
class THistView;
class TLabelButton;
class TTypes;
class FXButton;
class FXCheckBox;
class FXProgress;
class FXTextBox;

// The dialogs the window asks the user through; tests replace them.
struct TFormshiftDialogs {
    // An existing folder, or an empty text when cancelled.
    std::function<QString(QWidget* parent, const QString& start)> ChooseFolder;
    // The files chosen to open, in the dialog's order; empty when cancelled.
    std::function<QStringList(QWidget* parent)> ChooseFiles;
    // The file to save one row's conversion to, and whether the first filter
    // (the target format's own) was selected; an empty name when cancelled.
    std::function<QString(QWidget* parent, const QStringList& filters, bool& firstFilter)> ChooseSaveFile;
};

class TFormshift : public FXForm, private TDriverView, private TRunningCopiesHost {
    Q_OBJECT

  public:
    enum class StartOutcome {
        Run,            // the window goes on
        HandedOver,     // a second copy passed its files to the first one and ends now
        NoExportFolder, // an unattended run has no folder to write to
        UsageError      // the command line cannot be acted on; its reason was shown
    };

    // Builds the window and loads the settings; `dataFolder` ends in "/".
    explicit TFormshift(const QString& dataFolder, QWidget* parent = nullptr);
    ~TFormshift() override;

    TConversionDriver& Driver() { return FDriver; }
    // Files of this session's runs that ended as "Error!" or "Format error".
    int FailedFiles() const { return FFailedFiles; }
    TJobList& Jobs() { return FJobs; }
    const QString& DataFolder() const { return FDataFolder; }
    QString HandOverFolder() const { return FDataFolder + QStringLiteral("Send/"); }
    TFormshiftDialogs Dialogs;
    // Whether another copy of the program was running when this one started.
    bool SecondInstance() const { return FSecondInstance; }
    void setSecondInstance(bool value) { FSecondInstance = value; }

    // Obeys the command line; a second copy hands its files to the first one.
    StartOutcome ProcessCommandLine(const QStringList& parameters, bool secondInstance);
    // What the command line asks of the window.
    bool HandOverToFirstCopy(const QStringList& files);
    bool ExportPathFromOpenedFiles() const;
    // A background run that found no export folder to write to.
    bool MissingExportFolder() const { return FMissingExportFolder; }
    // Hides the window as soon as the event loop runs: an unattended run shows nothing.
    void HideForBackgroundRun();
    // From now on other copies reach this window under its caption.
    void StartInstanceChannel() { FCopies.Start(); }
    // Handles a word from another copy; the reply travels back with the acknowledgement.
    QByteArray InstanceCommand(const QString& word) { return FCopies.InstanceCommand(word); }
    // Words beyond the four, for whoever watches this copy from outside.
    void setInstanceExtraWords(TRunningCopies::ExtraWords value) { FCopies.setExtraWords(std::move(value)); }
    bool FetchFilesActive() const { return FCopies.FetchFilesActive(); }
    void FetchFilesTimer() { FCopies.FetchFilesTimer(); }

    // File intake.
    void AddFile(const QString& path);
    void AddFiles(const QStringList& list) override;
    void GuessSourceFormat();
    void OpenFiles();
    void DropFiles(const TFileCatcher& catcher);
    bool DropZoneFlashing() const { return FDropFlash.Active(); }
    void ReturnDropColorTimer() { FDropFlash.Tick(); }

    // Export folder.
    bool SelectPath(const QString& path, bool NoHistory);
    void UpdatePathCaption();
    THistView& HistView();
    bool HistoryCreated() const { return FHistView != nullptr; }

    // Opens a new about window (the version label, "About Formshift", F1).
    void Label3Click();
    // Opens the maker's web site in the browser (the notice label).
    void Label4Click();

    // Formats.
    void SyncVarNames();
    TTypes& Types();

    // Reads or writes "setings.ini" and "window.ini"; returns the reasons a
    // write failed (empty on success).
    QStringList ExchangeSettings(bool Load);
    void FormResize();

    // Follows the theme manager's colours (light/dark and accent); the plain
    // widgets of the window, which the theme manager does not reach, with it.
    void UpdateTheme(bool UpdateChildren) override;

    // The "Update" settings page, for the update check that fills it in.
    FXTextBox* VerText() const;
    FXTextBox* VerServerText() const;
    FXButton* VerCheck() const;
    FXProgress* VerAnim() const;
    FXCheckBox* CheckUpdateStart() const;
    // Runs when "Check for updates" is pressed; the button is enabled only once it is set.
    void setOnCheckForUpdates(std::function<void()> value);

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void ListChanged() override;
    void ProgressChanged(int overall) override;
    void RunStarted() override;
    void RunFinished() override;
    QString ProvideExportPath() override;
    void CloseMainWindow() override;
    void FileFailed(int item, const QString& reason) override;

    void BindControls();
    void BindShortcuts();
    void FillDesignedTexts();
    void ApplyThemeColors();
    void SetTabOrder();
    void ReadOptions();
    void ArrangePanels();
    void ShowListOrDropZone();
    void SettingsBtClick();
    void ToggleExtraConvert();
    void ClearAllClick();
    void DeleteRow(int row);
    void SaveRow(int row);
    void dirlabelRelease(Qt::MouseButton button);
    void PaintDropZone(const QColor& colour);
    QColor DropZoneBase() const;
    void ClearCacheClick();
    void RefreshClearCache();
    void FormCloseQuery();
    void ReportError(const QString& text) override;
    QString Caption() const override { return windowTitle(); }
    void SetCaption(const QString& caption) override { setWindowTitle(caption); }
    void FilesArrived() override;
    void BringToFront() override;
    bool Unattended() const override { return FDriver.BackgroundMode; }

    std::unique_ptr<Ui::Formshift> FUi;
    QString FDataFolder;
    TJobList FJobs;
    TFinishingActions FActions;
    TConversionDriver FDriver;
    TRunningCopies FCopies;
    TDropZoneFlash FDropFlash;
    bool FSecondInstance = false;
    bool FMissingExportFolder = false;
    int FFailedFiles = 0;
    bool FClosed = false;
    THistView* FHistView = nullptr;
    TTypes* FTypes = nullptr;

    QTimer FHideUX;
    std::function<void()> FOnCheckForUpdates;
};
