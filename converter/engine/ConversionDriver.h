#pragma once
// Runs a conversion: the queued files are handed to worker threads, up to
// "Simultaneous conversions" at once, while the window's thread only starts them
// and applies what they report: each file's state and percentage, the overall
// progress, a stop, and the chosen finishing action at the end of a run.
#include "ConversionJob.h"
#include "ConversionSettings.h"
#include "FormatCatalogue.h"
#include "JobList.h"
#include "OutputPath.h"
#include "WorkerPool.h"

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
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
// The converters run on worker threads, several at once; the library calls are
// made on the driver's thread, the release only once no conversion runs any more.
struct TConverterSet {
    Converter Image;
    Converter Audio;
    std::function<void()> InitiateLibraries = [] {};
    std::function<void()> FreeLibraries = [] {};
};

// Lives on the window's thread; every view call and every change of the job list
// happens there.
class TConversionDriver : public QObject {
  public:
    TConversionDriver(TJobList& jobs, TDriverView& view, TFinishingActions& actions,
                      QObject* parent = nullptr);
    // Cancels what still runs and waits for it.
    ~TConversionDriver() override;

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
    // The queue position of the next file to start.
    int RunPos() const { return FRunPos; }
    // The file started last, or -1.
    int CurrentItem() const { return FCurrentItem; }
    int OverallPercent() const { return FOverallPercent; }
    // Whether the driver still has work to do on its thread or a conversion is
    // still running, also a cancelled one that has yet to end.
    bool TimerActive() const { return FPumpPending || !FTasks.empty(); }
    // Conversions running now, cancelled ones that have yet to end included.
    int ActiveConversions() const;

    // "🢂 Convert All": every item again, from "Waiting".
    void ConvertAll();
    // The row's save button: one item to an explicit path; refused while a run is active.
    void ConvertSingle(int index, const QString& target);
    void StartConvert();
    void StopConversion();
    void FinishConvert();
    void UpdateProgress();
    // The percentage of the file started last.
    void SetItemPercent(int percent);
    void PrepareList();

    QString TempFolder(bool create) const;
    // Leaves the folder alone while conversions run: each clears its own part of it.
    void ClearTempFolder() const;

  private:
    struct TTask;
    struct TMessage;

    // Starts waiting files while fewer than the limit run; ends the run when
    // nothing is left to start and nothing runs.
    void Pump();
    void SchedulePump();
    void StartTask(int item);
    static void RunTask(TConversionDriver* driver, const std::shared_ptr<TTask>& task, ConversionJob job);
    // Writes the output under its staging name and moves it into place; throws.
    static TModifyProgress ConvertInWorker(TTask& task, ConversionJob& job, const TOutputReservations& names);
    void Post(TMessage message);
    void DeliverMessages();
    void TaskStarted(TTask& task);
    void ApplyPercent(const TTask& task, int percent);
    void ApplyOutcome(TTask& task, TModifyProgress result, const QString& reason);
    void TaskEnded(const std::shared_ptr<TTask>& task);
    bool Current(const TTask& task) const;
    void FinishRun();
    // Once the run is over and nothing of it runs: the libraries, the empty temporary folder.
    void ReleaseWhenUnused();
    void RunFinishingAction();
    void AddRemark(int item, const QString& remark);

    TJobList& FJobs;
    TDriverView& FView;
    TFinishingActions& FActions;
    RunStateKind FRunState = RunStateKind::Idle;
    std::vector<std::int32_t> FRunQueue;
    int FRunPos = -1;
    int FCurrentItem = -1;
    int FCompleted = 0; // files of the queue that need nothing more
    int FOverallPercent = 0;
    int FLimit = 1;
    bool FPumpPending = false;
    // Started by a run, released once that run has ended and no conversion of it
    // runs any more, so a stopped file never loses its library under it.
    bool FLibrariesStarted = false;
    std::uint64_t FRunNumber = 0;
    std::uint64_t FTaskNumber = 0;
    // Conversions handed to the pool that have not reported their end, in list order;
    // up to the limit run, as many again wait their turn.
    std::vector<std::shared_ptr<TTask>> FTasks;
    TOutputReservations FReservations;

    // What the workers report, handed to the driver's thread in the order it was sent.
    std::mutex FMailMutex;
    std::vector<TMessage> FMail;
    bool FMailPosted = false;

    // Last: destroyed first, so every worker has ended before what it uses goes.
    TWorkerPool FPool;
};
