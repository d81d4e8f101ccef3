#pragma once
// The converter's main window: the file list with its states, the format
// buttons, "Convert All" / "Stop", the export folder and the run's progress.
#include "CommandLine.h"
#include "ConversionDriver.h"
#include "JobList.h"
#include "JobListModel.h"

#include <QWidget>

class QCheckBox;
class QLabel;
class QListView;
class QProgressBar;
class QPushButton;

class TFormshift : public QWidget, private TDriverView {
public:
    explicit TFormshift(const QString& dataFolder, QWidget* parent = nullptr);

    TConversionDriver& Driver() { return FDriver; }
    TJobList& Jobs() { return FJobs; }
    // Obeys the command line; returns false when the program should end at once.
    bool ProcessCommandLine(const TCommandLine& line);
    void AddFiles(const QStringList& paths);
    void SelectPath(const QString& path);
    void SyncVarNames();
    // Set when a background run could not start for want of an export folder.
    bool MissingExportFolder() const { return FMissingExportFolder; }

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void ListChanged() override;
    void ProgressChanged(int overall) override;
    void RunStarted() override;
    void RunFinished() override;
    QString ProvideExportPath() override;
    void CloseMainWindow() override;

    void BuildControls();
    void ChooseFormat(QPushButton* button, bool source);
    void UpdatePathCaption();
    void OpenFilesDialog();

    TJobList FJobs;
    TFinishingActions FActions;
    TConversionDriver FDriver;
    TJobListModel FModel{FJobs};
    TJobRowDelegate FDelegate;
    bool FMissingExportFolder = false;

    QWidget* MenuTop = nullptr;
    QPushButton* BtFrom = nullptr;
    QPushButton* BtTo = nullptr;
    QPushButton* ConvertBt = nullptr;
    QPushButton* ClearAll = nullptr;
    QPushButton* AddBt = nullptr;
    QPushButton* StopBt = nullptr;
    QPushButton* dirlabel = nullptr;
    QCheckBox* Set_IgnoreComplete = nullptr;
    QCheckBox* Set_IgnoreForErr = nullptr;
    QListView* ItemsFiles = nullptr;
    QProgressBar* ProgressStat = nullptr;
};
