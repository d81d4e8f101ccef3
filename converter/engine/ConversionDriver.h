#pragma once
// Runs a conversion: one queued file per tick of a 1 ms timer on the event loop,
// each file's state and percentage kept current, the overall progress shown,
// a stop honoured, and the chosen finishing action run at the end of a run.
#include "ConversionJob.h"
#include "ConversionSettings.h"
#include "FormatCatalogue.h"
#include "JobList.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <vector>

enum class RunStateKind : std::uint8_t { Idle = 0, Converting = 1, Stopping = 2 };

// What the window does for the driver; every call is a notification except
// ProvideExportPath, which asks the user for a folder when none is set.
class TDriverView {
public:
    virtual ~TDriverView() = default;
    virtual void ListChanged() {}
    virtual void ProgressChanged(int /*overall*/) {}
    virtual void RunStarted() {}
    virtual void RunFinished() {}
    // Returns the chosen folder, or an empty text when the user cancelled.
    virtual QString ProvideExportPath() { return QString(); }
    virtual void CloseMainWindow() {}
    // A file of the run ended as "Error!" or "Format error", with the reason.
    virtual void FileFailed(int /*item*/, const QString& /*reason*/) {}
    // A converted file's output could not keep something its source carries.
    virtual void FileLostSomething(int /*item*/, const QString& /*what*/) {}
};

// The platform side of the finishing actions, replaceable so tests power nothing off.
class TFinishingActions {
public:
    virtual ~TFinishingActions() = default;
    virtual void PlaySystemSound();
    virtual void ShutDown();
};

// The converters of the families other than Base64, plus the audio library's
// start and release around a run. Missing ones leave their pairs as "Format error".
struct TConverterSet {
    Converter Image;
    Converter Audio;
    std::function<void()> InitiateLibraries = [] {};
    std::function<void()> FreeLibraries = [] {};
};

class TConversionDriver : public QObject {
public:
    TConversionDriver(TJobList& jobs, TDriverView& view, TFinishingActions& actions, QObject* parent = nullptr);

    // Settings of the catalogue and the run; the window keeps them current.
    FormatTag SourceFormat = FormatTag::AUTO;
    FormatTag TargetFormat = FormatTag::PNG;
    QString ExportPath;
    QString DataFolder; // ends in "/"
    ConversionSettings Settings;
    bool BackgroundMode = false;
    TConverterSet Converters;

    RunStateKind RunState() const { return FRunState; }
    const std::vector<std::int32_t>& RunQueue() const { return FRunQueue; }
    int RunPos() const { return FRunPos; }
    int CurrentItem() const { return FCurrentItem; }
    int OverallPercent() const { return FOverallPercent; }
    bool TimerActive() const { return FConvertTimer.isActive(); }

    // "🢂 Convert All": every item again, from "Waiting".
    void ConvertAll();
    // The row's save button: one item to an explicit path; refused while a run is active.
    void ConvertSingle(int index, const QString& target);
    void StartConvert();
    void StopConversion();
    void FinishConvert();
    void UpdateProgress();
    void SetItemPercent(int percent);
    void PrepareList();
    TModifyProgress ConvertFile(const QString& sourcePath, FormatTag sourceTag, const QString& targetOverride,
                                FormatTag targetTag);

    QString TempFolder(bool create) const;
    void ClearTempFolder() const;

private:
    void ConvertTimerTimer();
    void RunFinishingAction();
    void AddRemark(int item, const QString& remark);
    TModifyProgress RunConverter(const Converter& converter, const ConversionJob& job);

    TJobList& FJobs;
    TDriverView& FView;
    TFinishingActions& FActions;
    QTimer FConvertTimer;
    RunStateKind FRunState = RunStateKind::Idle;
    std::vector<std::int32_t> FRunQueue;
    int FRunPos = -1;
    int FCurrentItem = -1;
    int FOverallPercent = 0;
    // A stop can arrive while a converter waits on the event loop; the libraries it
    // uses are released only once it has returned.
    bool FInsideConversion = false;
    bool FFreeLibrariesPending = false;
    std::uint64_t FRunNumber = 0;
};
