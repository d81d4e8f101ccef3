#include "ConversionDriver.h"

#include "Base64.h"
#include "NotificationSound.h"
#include "OutputPath.h"
#include "PowerControl.h"
#include "StagedOutput.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cmath>

namespace {

// The text after the last "." of the file name; empty when it has none.
QString ExtensionOf(const QString& path) {
    const qsizetype nameStart = path.lastIndexOf(QLatin1Char('/')) + 1;
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    return dot < nameStart ? QString() : path.mid(dot + 1);
}

// Halves go to the even neighbour, as the progress figures are defined.
int RoundHalfEven(double value) { return static_cast<int>(std::nearbyint(value)); }

} // namespace

void TFinishingActions::PlaySystemSound() { PlayCompletionSound(); }

void TFinishingActions::ShutDown() { PowerOffNow(); }

TConversionDriver::TConversionDriver(TJobList& jobs, TDriverView& view, TFinishingActions& actions, QObject* parent)
    : QObject(parent), FJobs(jobs), FView(view), FActions(actions) {
    FConvertTimer.setInterval(1);
    FConvertTimer.setTimerType(Qt::PreciseTimer);
    connect(&FConvertTimer, &QTimer::timeout, this, &TConversionDriver::ConvertTimerTimer);
}

void TConversionDriver::PrepareList() {
    FJobs.PrepareList();
    FView.ListChanged();
}

void TConversionDriver::ConvertAll() {
    if (FRunState != RunStateKind::Idle) return;
    for (auto& target : FJobs.ItemTarget) target.clear();
    PrepareList();
    FRunQueue.resize(FJobs.Count());
    for (int i = 0; i < FJobs.Count(); ++i) FRunQueue[i] = i;
    std::fill(FJobs.ItemStatus.begin(), FJobs.ItemStatus.end(), TModifyProgress::Waiting);
    if (!FConvertTimer.isActive()) StartConvert();
}

void TConversionDriver::ConvertSingle(int index, const QString& target) {
    if (FRunState != RunStateKind::Idle || index < 0 || index >= FJobs.Count()) return;
    PrepareList();
    FJobs.ItemTarget[index] = target;
    FRunQueue = {index};
    StartConvert();
}

void TConversionDriver::StartConvert() {
    if (!QFileInfo(ExportPath).isDir() || ExportPath.isEmpty()) {
        const QString chosen = FView.ProvideExportPath();
        if (chosen.isEmpty() || !QFileInfo(chosen).isDir()) return;
        ExportPath = chosen;
    }
    // A run killed in this folder earlier could not remove its half-written files.
    StagedOutput::RemoveStaleFiles(ExportPath);
    Converters.InitiateLibraries();
    FRunState = RunStateKind::Converting;
    ++FRunNumber;
    FView.RunStarted();
    FRunPos = 0;
    PrepareList();
    UpdateProgress();
    FConvertTimer.start();
}

void TConversionDriver::StopConversion() {
    if (FRunState == RunStateKind::Idle) return;
    FRunState = RunStateKind::Stopping;
    FConvertTimer.stop();
    for (auto& status : FJobs.ItemStatus) {
        if (status == TModifyProgress::Converting) status = TModifyProgress::Cancelled;
    }
    FinishConvert();
}

void TConversionDriver::FinishConvert() {
    FConvertTimer.stop();
    FRunState = RunStateKind::Idle;
    FRunPos = -1;
    FCurrentItem = -1;
    FView.RunFinished();
    PrepareList();
    if (FInsideConversion) {
        FFreeLibrariesPending = true;
    } else {
        Converters.FreeLibraries();
    }
}

void TConversionDriver::UpdateProgress() {
    const auto n = static_cast<double>(FRunQueue.size());
    int overall = n > 0 && FRunPos > 0 ? RoundHalfEven(FRunPos / n * 100.0) : 0;
    if (FCurrentItem >= 0 && FCurrentItem < FJobs.Count() &&
        FJobs.ItemStatus[FCurrentItem] == TModifyProgress::Converting) {
        const int p = FJobs.ItemPercent[FCurrentItem];
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

void TConversionDriver::ConvertTimerTimer() {
    FConvertTimer.stop();
    // A tick that fires while a converter waits on the event loop must not start a
    // second conversion inside the first one.
    if (FInsideConversion) {
        if (FRunState == RunStateKind::Converting) FConvertTimer.start();
        return;
    }
    if (FRunPos >= static_cast<int>(FRunQueue.size()) || FRunState == RunStateKind::Stopping) {
        FinishConvert();
        RunFinishingAction();
        if (BackgroundMode) FView.CloseMainWindow();
        return;
    }

    const int item = FRunQueue[FRunPos];
    FCurrentItem = item;
    const std::uint64_t run = FRunNumber;
    TModifyProgress result = FJobs.ItemStatus[item];
    bool converted = false;
    QString reason;
    try {
        const QString& file = FJobs.FileList[item];
        const bool wrongFormat = !Settings.IgnoreForErr && SourceFormat != FormatTag::AUTO &&
                                 FormatFromExtension(ExtensionOf(file)) != SourceFormat;
        const bool alreadyDone = Settings.IgnoreComplete && FJobs.ItemStatus[item] == TModifyProgress::Finalised;
        if (!wrongFormat && !alreadyDone) {
            FJobs.ItemStatus[item] = TModifyProgress::Converting;
            FJobs.ItemRemarks[item].clear();
            converted = true;
            result = ConvertFile(file, SourceFormat, FJobs.ItemTarget[item], TargetFormat);
        }
    } catch (const std::exception& error) {
        converted = true;
        result = TModifyProgress::Error;
        reason = QString::fromUtf8(error.what());
    } catch (...) {
        converted = true;
        result = TModifyProgress::Error;
        reason = QStringLiteral("unknown error");
    }

    const bool stopped = run != FRunNumber || FRunState != RunStateKind::Converting;
    if (stopped) {
        // The stop marked the file "Cancelled"; a file that did get written says so.
        if (result == TModifyProgress::Finalised && item < FJobs.Count()) FJobs.ItemStatus[item] = result;
        return;
    }
    if (converted) FJobs.ItemStatus[item] = result;
    if (converted && (result == TModifyProgress::Error || result == TModifyProgress::FormatErr)) {
        if (reason.isEmpty())
            reason = QStringLiteral("format error: it cannot be converted to %1").arg(FormatName(TargetFormat));
        AddRemark(item, reason);
        FView.FileFailed(item, reason);
    }
    PrepareList();
    ++FRunPos;
    UpdateProgress();
    if (FRunState == RunStateKind::Converting) FConvertTimer.start();
}

void TConversionDriver::RunFinishingAction() {
    switch (static_cast<DoneAction>(Settings.DoneConvert)) {
    case DoneAction::PlaySound: FActions.PlaySystemSound(); break;
    case DoneAction::Close: FView.CloseMainWindow(); break;
    case DoneAction::ShutDown: FActions.ShutDown(); break;
    case DoneAction::DoNothing: break;
    }
}

void TConversionDriver::AddRemark(int item, const QString& remark) {
    if (item < 0 || item >= FJobs.ItemRemarks.size()) return;
    QString& remarks = FJobs.ItemRemarks[item];
    if (!remarks.isEmpty()) remarks += QLatin1Char('\n');
    remarks += remark;
}

TModifyProgress TConversionDriver::RunConverter(const Converter& converter, const ConversionJob& job) {
    if (!converter) return TModifyProgress::Converting;
    FInsideConversion = true;
    struct Leave {
        TConversionDriver& Driver;
        ~Leave() {
            Driver.FInsideConversion = false;
            if (Driver.FFreeLibrariesPending) {
                Driver.FFreeLibrariesPending = false;
                Driver.Converters.FreeLibraries();
            }
        }
    } leave{*this};
    return converter(job);
}

TModifyProgress TConversionDriver::ConvertFile(const QString& sourcePath, FormatTag sourceTag,
                                               const QString& targetOverride, FormatTag targetTag) {
    const FormatTag source = sourceTag == FormatTag::AUTO ? FormatFromExtension(ExtensionOf(sourcePath)) : sourceTag;
    const QString output = FreeOutputPath(FormOutputPath(sourcePath, source, targetTag, targetOverride, ExportPath));
    SetItemPercent(0);
    TModifyProgress result = TModifyProgress::Converting;
    PrepareList();

    const ConverterFamily family = ChooseConverter(source, targetTag);
    if (family != ConverterFamily::None) {
        StagedOutput staged(output);
        ConversionJob job;
        job.SourcePath = sourcePath;
        job.SourceFormat = source;
        job.TargetFormat = targetTag;
        job.OutputPath = staged.StagingPath();
        job.TempFolder = TempFolder(false);
        job.Settings = Settings;
        job.SetItemPercent = [this](int percent) { SetItemPercent(percent); };
        const std::uint64_t run = FRunNumber;
        job.CheckCancelled = [this, run] {
            QCoreApplication::processEvents();
            return run != FRunNumber || FRunState != RunStateKind::Converting;
        };
        const int item = FCurrentItem;
        job.ReportLoss = [this, item](const QString& what) {
            AddRemark(item, what);
            FView.FileLostSomething(item, what);
        };
        switch (family) {
        case ConverterFamily::Base64Decode:
            DecodeBase64File(sourcePath, job.OutputPath, targetTag);
            result = TModifyProgress::Finalised;
            break;
        case ConverterFamily::Base64Encode:
            EncodeBase64File(sourcePath, job.OutputPath);
            result = TModifyProgress::Finalised;
            break;
        case ConverterFamily::Audio: result = RunConverter(Converters.Audio, job); break;
        case ConverterFamily::Image: result = RunConverter(Converters.Image, job); break;
        case ConverterFamily::None: break;
        }
        if (result == TModifyProgress::Finalised && Settings.KeepFileDates)
            staged.KeepDateOf(sourcePath, job.ReportLoss);
        if (result == TModifyProgress::Finalised) staged.Commit();
    }
    if (result == TModifyProgress::Converting) result = TModifyProgress::FormatErr;
    return result;
}

QString TConversionDriver::TempFolder(bool create) const {
    const QString folder = DataFolder + QStringLiteral("Temp/");
    if (create && !QFileInfo(folder).isDir() && !QDir().mkpath(folder))
        throw ConversionError(QStringLiteral("cannot create %1").arg(folder).toStdString());
    return folder;
}

void TConversionDriver::ClearTempFolder() const {
    const QString folder = TempFolder(false);
    if (QFileInfo(folder).isDir()) QDir(folder).removeRecursively();
}
