#include "ConversionDriver.h"

#include "Base64.h"
#include "NotificationSound.h"
#include "PowerControl.h"
#include "StagedOutput.h"

#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QMetaObject>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <unistd.h>

// Every failed file and its reason, for whoever looks into a run afterwards:
// quiet unless QT_LOGGING_RULES="formshift.convert.info=true".
Q_LOGGING_CATEGORY(convertLog, "formshift.convert", QtWarningMsg)

namespace {

// The text after the last "." of the file name; empty when it has none.
QString ExtensionOf(const QString& path) {
    const qsizetype nameStart = path.lastIndexOf(QLatin1Char('/')) + 1;
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    return dot < nameStart ? QString() : path.mid(dot + 1);
}

// Halves go to the even neighbour, as the progress figures are defined.
int RoundHalfEven(double value) {
    return static_cast<int>(std::nearbyint(value));
}

// A conversion's private scratch folder goes when it ends, also after a failure or
// a stop. The shared folder above it goes once no conversion runs (another one may be
// creating its own folder in there at any moment before).
void RemoveTempFolder(const QString& folder) {
    const QFileInfo info(folder);
    if (folder.isEmpty() || !info.isAbsolute() || info.isSymLink()) return;
    if (info.isDir()) QDir(folder).removeRecursively();
}

} // namespace

// One file's conversion, shared by the driver's thread and the worker that runs it.
struct TConversionDriver::TTask {
    // Fixed before the worker starts.
    int Item = -1;
    std::uint64_t Run = 0;
    ConverterFamily Family = ConverterFamily::None;
    Converter Convert;
    QString FinalPath;

    std::atomic<bool> CancelRequested = false;

    // Who decides the file's fate: a stop, or the worker once its output is complete.
    enum class Phase { Queued, Running, Committing, Settled, Cancelled };
    std::mutex Mutex;
    std::condition_variable PhaseChanged;
    Phase State = Phase::Queued;
    TModifyProgress Result = TModifyProgress::Converting;
    QString Reason;

    // The driver's thread only: the worker said it began; the outcome has been shown in the file's row.
    bool StartSeen = false;
    bool Applied = false;
};

struct TConversionDriver::TMessage {
    enum class Kind { Started, Percent, Loss, Ended };
    Kind What = Kind::Ended;
    std::shared_ptr<TTask> Task;
    int Percent = 0;
    QString Text;
};

void TFinishingActions::PlaySystemSound() {
    PlayCompletionSound();
}

void TFinishingActions::ShutDown() {
    PowerOffNow();
}

TConversionDriver::TConversionDriver(TJobList& jobs, TDriverView& view, TFinishingActions& actions,
                                     QObject* parent)
    : QObject(parent), FJobs(jobs), FView(view), FActions(actions) {}

TConversionDriver::~TConversionDriver() {
    // As a stop does: nothing that still runs is moved into place any more.
    for (const auto& task : FTasks) {
        const std::lock_guard lock(task->Mutex);
        if (task->State == TTask::Phase::Queued || task->State == TTask::Phase::Running)
            task->State = TTask::Phase::Cancelled;
        task->CancelRequested = true;
    }
    // The workers end while the pool is destroyed; what they report then has nobody to go to.
    const std::lock_guard lock(FMailMutex);
    FMailPosted = true;
}

void TConversionDriver::PrepareList() {
    FJobs.PrepareList();
    FView.ListChanged();
}

void TConversionDriver::ConvertAll() {
    if (FRunState != RunStateKind::Idle) return;
    for (auto& target : FJobs.ItemTarget)
        target.clear();
    PrepareList();
    FRunQueue.resize(FJobs.Count());
    for (int i = 0; i < FJobs.Count(); ++i)
        FRunQueue[i] = i;
    std::fill(FJobs.ItemStatus.begin(), FJobs.ItemStatus.end(), TModifyProgress::Waiting);
    StartConvert();
}

void TConversionDriver::ConvertSingle(int index, const QString& target) {
    if (FRunState != RunStateKind::Idle || index < 0 || index >= FJobs.Count()) return;
    PrepareList();
    FJobs.ItemTarget[index] = target;
    FRunQueue = {index};
    StartConvert();
}

void TConversionDriver::StartConvert() {
    if (FRunState != RunStateKind::Idle) return;
    if (!QFileInfo(ExportPath).isDir() || ExportPath.isEmpty()) {
        const QString chosen = FView.ProvideExportPath();
        if (chosen.isEmpty() || !QFileInfo(chosen).isDir()) return;
        ExportPath = chosen;
    }
    // A run killed in this folder earlier could not remove its half-written files.
    StagedOutput::RemoveStaleFiles(ExportPath);
    // Conversions of a stopped run that are still ending keep the libraries started.
    if (!FLibrariesStarted) Converters.InitiateLibraries();
    FLibrariesStarted = true;
    FRunState = RunStateKind::Converting;
    ++FRunNumber;
    FLimit = ClampSimultaneousConversions(Settings.SimultaneousConversions);
    FPool.SetLimit(FLimit);
    FReservations.Clear();
    FView.RunStarted();
    FRunPos = 0;
    FCompleted = 0;
    FCurrentItem = -1;
    PrepareList();
    UpdateProgress();
    // Even an empty run ends from the event loop, as every other run does.
    SchedulePump();
}

void TConversionDriver::SchedulePump() {
    if (FPumpPending) return;
    FPumpPending = true;
    QMetaObject::invokeMethod(
        this, [this] { Pump(); }, Qt::QueuedConnection);
}

void TConversionDriver::Pump() {
    FPumpPending = false;
    if (FRunState != RunStateKind::Converting) return;
    bool changed = false;
    // As many again wait in the pool's queue, so a worker that gets free starts the next
    // file at once, without waiting for this thread to come round.
    while (static_cast<int>(FTasks.size()) < 2 * FLimit && FRunPos < static_cast<int>(FRunQueue.size())) {
        const int item = FRunQueue[FRunPos++];
        changed = true;
        if (item < 0 || item >= FJobs.Count()) {
            ++FCompleted;
            continue;
        }
        const QString& file = FJobs.FileList[item];
        const bool wrongFormat = !Settings.IgnoreForErr && SourceFormat != FormatTag::AUTO &&
                                 FormatFromExtension(ExtensionOf(file)) != SourceFormat;
        const bool alreadyDone =
            Settings.IgnoreComplete && FJobs.ItemStatus[item] == TModifyProgress::Finalised;
        // Skipped files keep their state.
        if (wrongFormat || alreadyDone) {
            ++FCompleted;
            continue;
        }
        StartTask(item);
    }
    if (changed) {
        PrepareList();
        UpdateProgress();
    }
    if (FRunPos >= static_cast<int>(FRunQueue.size()) && FTasks.empty()) FinishRun();
}

int TConversionDriver::ActiveConversions() const {
    return static_cast<int>(
        std::count_if(FTasks.begin(), FTasks.end(), [](const auto& task) { return task->StartSeen; }));
}

void TConversionDriver::StartTask(int item) {
    const QString& file = FJobs.FileList[item];

    auto task = std::make_shared<TTask>();
    task->Item = item;
    task->Run = FRunNumber;
    const FormatTag source =
        SourceFormat == FormatTag::AUTO ? FormatFromExtension(ExtensionOf(file)) : SourceFormat;
    task->Family = ChooseConverter(source, TargetFormat);
    if (task->Family == ConverterFamily::Audio) task->Convert = Converters.Audio;
    if (task->Family == ConverterFamily::Image) task->Convert = Converters.Image;
    const bool hasConverter = task->Family == ConverterFamily::Base64Decode ||
                              task->Family == ConverterFamily::Base64Encode || task->Convert;
    // Taken here, in queue order, so the counters follow the list whatever finishes first.
    // A pair without converter still takes its turn in the pool, so its "Format error"
    // is reported in list order, but it takes no name.
    if (hasConverter)
        task->FinalPath = FReservations.Reserve(
            FormOutputPath(file, source, TargetFormat, FJobs.ItemTarget[item], ExportPath));

    ConversionJob job;
    job.SourcePath = file;
    job.SourceFormat = source;
    job.TargetFormat = TargetFormat;
    job.TempFolder = TempFolder(false) + QStringLiteral("%1-%2/").arg(::getpid()).arg(++FTaskNumber);
    job.Settings = Settings;
    const std::weak_ptr<TTask> weak = task;
    job.SetItemPercent = [this, weak](int percent) {
        if (const auto task = weak.lock()) Post({TMessage::Kind::Percent, task, percent, QString()});
    };
    job.CheckCancelled = [weak] {
        const auto task = weak.lock();
        return !task || task->CancelRequested.load();
    };
    job.ReportLoss = [this, weak](const QString& what) {
        if (const auto task = weak.lock()) Post({TMessage::Kind::Loss, task, 0, what});
    };
    FTasks.push_back(task);
    FPool.Start([this, task, job = std::move(job)]() mutable { RunTask(this, task, std::move(job)); });
}

// On a worker thread: touches nothing of the driver but the reservations and the mail.
void TConversionDriver::RunTask(TConversionDriver* driver, const std::shared_ptr<TTask>& task,
                                ConversionJob job) {
    using Phase = TTask::Phase;
    bool start = false;
    {
        const std::lock_guard lock(task->Mutex);
        start = task->State == Phase::Queued;
        if (start) task->State = Phase::Running;
    }
    // Stopped while it waited for its turn.
    if (!start) {
        driver->Post({TMessage::Kind::Ended, task, 0, QString()});
        return;
    }
    driver->Post({TMessage::Kind::Started, task, 0, QString()});
    // Without a converter (no name was taken) the result stays Converting: "Format error".
    TModifyProgress result = TModifyProgress::Converting;
    QString reason;
    if (!task->FinalPath.isEmpty()) {
        try {
            result = ConvertInWorker(*task, job, driver->FReservations);
        } catch (const std::exception& error) {
            result = TModifyProgress::Error;
            reason = QString::fromUtf8(error.what());
        } catch (...) {
            result = TModifyProgress::Error;
            reason = QStringLiteral("unknown error");
        }
    }
    RemoveTempFolder(job.TempFolder);
    {
        const std::lock_guard lock(task->Mutex);
        if (task->State != Phase::Cancelled) {
            task->State = Phase::Settled;
            task->Result = result;
            task->Reason = reason;
        }
    }
    task->PhaseChanged.notify_all();
    driver->Post({TMessage::Kind::Ended, task, 0, QString()});
}

TModifyProgress TConversionDriver::ConvertInWorker(TTask& task, ConversionJob& job,
                                                   const TOutputReservations& names) {
    using Phase = TTask::Phase;
    StagedOutput staged(task.FinalPath);
    job.OutputPath = staged.StagingPath();
    TModifyProgress result = TModifyProgress::Converting;
    switch (task.Family) {
    case ConverterFamily::Base64Decode:
        DecodeBase64File(job.SourcePath, job.OutputPath, job.TargetFormat);
        result = TModifyProgress::Finalised;
        break;
    case ConverterFamily::Base64Encode:
        EncodeBase64File(job.SourcePath, job.OutputPath);
        result = TModifyProgress::Finalised;
        break;
    case ConverterFamily::Audio:
    case ConverterFamily::Image:
        result = task.Convert(job);
        break;
    case ConverterFamily::None:
        break;
    }
    if (result != TModifyProgress::Finalised) return result;
    if (job.Settings.KeepFileDates) staged.KeepDateOf(job.SourcePath, job.ReportLoss);
    {
        const std::lock_guard lock(task.Mutex);
        // A stopped file leaves nothing behind, even one that got written in time.
        if (task.State != Phase::Running) return TModifyProgress::Cancelled;
        task.State = Phase::Committing;
    }
    staged.Commit([&names](const QString& path) { return names.IsReserved(path); });
    return result;
}

void TConversionDriver::Post(TMessage message) {
    bool wake = false;
    {
        const std::lock_guard lock(FMailMutex);
        FMail.push_back(std::move(message));
        wake = !FMailPosted;
        FMailPosted = true;
    }
    if (wake)
        QMetaObject::invokeMethod(
            this, [this] { DeliverMessages(); }, Qt::QueuedConnection);
}

void TConversionDriver::DeliverMessages() {
    std::vector<TMessage> mail;
    {
        const std::lock_guard lock(FMailMutex);
        mail.swap(FMail);
        FMailPosted = false;
    }
    for (const TMessage& message : mail) {
        TTask& task = *message.Task;
        switch (message.What) {
        case TMessage::Kind::Started:
            TaskStarted(task);
            break;
        case TMessage::Kind::Percent:
            ApplyPercent(task, message.Percent);
            break;
        case TMessage::Kind::Loss:
            if (Current(task)) {
                AddRemark(task.Item, message.Text);
                FView.FileLostSomething(task.Item, message.Text);
            }
            break;
        case TMessage::Kind::Ended:
            TaskEnded(message.Task);
            break;
        }
    }
}

bool TConversionDriver::Current(const TTask& task) const {
    return !task.Applied && task.Run == FRunNumber && FRunState == RunStateKind::Converting &&
           task.Item >= 0 && task.Item < FJobs.Count();
}

void TConversionDriver::TaskStarted(TTask& task) {
    task.StartSeen = true;
    if (!Current(task)) return;
    FCurrentItem = task.Item;
    FJobs.ItemStatus[task.Item] = TModifyProgress::Converting;
    FJobs.ItemPercent[task.Item] = 0;
    FJobs.ItemRemarks[task.Item].clear();
    FView.ListChanged();
}

void TConversionDriver::ApplyPercent(const TTask& task, int percent) {
    if (!Current(task) || FJobs.ItemPercent[task.Item] == percent) return;
    FJobs.ItemPercent[task.Item] = percent;
    FView.ListChanged();
    UpdateProgress();
}

void TConversionDriver::ApplyOutcome(TTask& task, TModifyProgress result, const QString& reason) {
    task.Applied = true;
    const int item = task.Item;
    if (item < 0 || item >= FJobs.Count()) return;
    // A converter that took the pair but wrote nothing (a HEIC tool) gives "Format error" too.
    if (result == TModifyProgress::Converting) result = TModifyProgress::FormatErr;
    FJobs.ItemStatus[item] = result;
    if (result == TModifyProgress::Error || result == TModifyProgress::FormatErr) {
        const QString why =
            !reason.isEmpty()
                ? reason
                : QStringLiteral("format error: it cannot be converted to %1").arg(FormatName(TargetFormat));
        qCInfo(convertLog).noquote() << FJobs.FileList[item] << "failed:" << why;
        AddRemark(item, why);
        FView.FileFailed(item, why);
    }
}

void TConversionDriver::TaskEnded(const std::shared_ptr<TTask>& task) {
    std::erase(FTasks, task);
    if (Current(*task)) {
        TModifyProgress result;
        QString reason;
        {
            const std::lock_guard lock(task->Mutex);
            result = task->Result;
            reason = task->Reason;
        }
        ApplyOutcome(*task, result, reason);
        ++FCompleted;
        PrepareList();
        UpdateProgress();
    }
    ReleaseWhenUnused();
    Pump();
}

void TConversionDriver::StopConversion() {
    if (FRunState == RunStateKind::Idle) return;
    FRunState = RunStateKind::Stopping;
    FPumpPending = false;
    using Phase = TTask::Phase;
    for (const auto& task : FTasks) {
        if (task->Applied || task->Run != FRunNumber) continue;
        TModifyProgress result = TModifyProgress::Cancelled;
        QString reason;
        {
            std::unique_lock lock(task->Mutex);
            if (task->State == Phase::Queued) {
                // It never began: its row stays "Waiting".
                task->State = Phase::Cancelled;
                task->CancelRequested = true;
                task->Applied = true;
                continue;
            }
            if (task->State == Phase::Running) {
                task->State = Phase::Cancelled;
                task->CancelRequested = true;
            } else {
                // The output is being moved into place, a matter of a rename: its row
                // shows what became of it.
                task->PhaseChanged.wait(lock, [&] { return task->State == Phase::Settled; });
                result = task->Result;
                reason = task->Reason;
            }
        }
        ApplyOutcome(*task, result, reason);
    }
    for (auto& status : FJobs.ItemStatus) {
        if (status == TModifyProgress::Converting) status = TModifyProgress::Cancelled;
    }
    FinishConvert();
}

void TConversionDriver::FinishConvert() {
    FPumpPending = false;
    FRunState = RunStateKind::Idle;
    FRunPos = -1;
    FCurrentItem = -1;
    FView.RunFinished();
    PrepareList();
    ReleaseWhenUnused();
}

void TConversionDriver::ReleaseWhenUnused() {
    if (FRunState != RunStateKind::Idle || !FTasks.empty()) return;
    // Only an empty folder goes; what a killed program left in it waits for "Clear cache".
    if (!DataFolder.isEmpty()) QDir().rmdir(TempFolder(false));
    if (!FLibrariesStarted) return;
    FLibrariesStarted = false;
    Converters.FreeLibraries();
}

void TConversionDriver::FinishRun() {
    FinishConvert();
    RunFinishingAction();
    if (BackgroundMode) FView.CloseMainWindow();
}

void TConversionDriver::UpdateProgress() {
    const auto n = static_cast<double>(FRunQueue.size());
    int overall = n > 0 && FCompleted > 0 ? RoundHalfEven(FCompleted / n * 100.0) : 0;
    for (const auto& task : FTasks) {
        if (!Current(*task) || FJobs.ItemStatus[task->Item] != TModifyProgress::Converting) continue;
        const int p = FJobs.ItemPercent[task->Item];
        if (p != 0) overall += RoundHalfEven(100.0 / n * p / 100.0);
    }
    if (overall != FOverallPercent) {
        FOverallPercent = overall;
        FView.ProgressChanged(overall);
    }
}

void TConversionDriver::SetItemPercent(int percent) {
    if (FCurrentItem < 0 || FCurrentItem >= FJobs.Count()) return;
    if (FJobs.ItemPercent[FCurrentItem] == percent) return;
    FJobs.ItemPercent[FCurrentItem] = percent;
    FView.ListChanged();
    UpdateProgress();
}

void TConversionDriver::RunFinishingAction() {
    switch (static_cast<DoneAction>(Settings.DoneConvert)) {
    case DoneAction::PlaySound:
        FActions.PlaySystemSound();
        break;
    case DoneAction::Close:
        FView.CloseMainWindow();
        break;
    case DoneAction::ShutDown:
        FActions.ShutDown();
        break;
    case DoneAction::DoNothing:
        break;
    }
}

void TConversionDriver::AddRemark(int item, const QString& remark) {
    if (item < 0 || item >= FJobs.ItemRemarks.size()) return;
    QString& remarks = FJobs.ItemRemarks[item];
    if (!remarks.isEmpty()) remarks += QLatin1Char('\n');
    remarks += remark;
}

QString TConversionDriver::TempFolder(bool create) const {
    const QString folder = DataFolder + QStringLiteral("Temp/");
    if (create && !QFileInfo(folder).isDir() && !QDir().mkpath(folder))
        throw ConversionError(QStringLiteral("cannot create %1").arg(folder).toStdString());
    return folder;
}

void TConversionDriver::ClearTempFolder() const {
    // The running conversions keep their scratch files in there; each removes its own.
    if (!FTasks.empty()) return;
    const QString folder = TempFolder(false);
    if (QFileInfo(folder).isDir()) QDir(folder).removeRecursively();
}
