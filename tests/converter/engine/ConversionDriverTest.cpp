#include "ConversionDriver.h"
#include "Base64.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <set>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

namespace {

struct RecordingView : TDriverView {
    std::vector<int> Progress;
    int Started = 0, Finished = 0, Closed = 0;
    QString FolderToOffer;
    std::function<void()> OnRunFinished;
    void ProgressChanged(int overall) override { Progress.push_back(overall); }
    void RunStarted() override { ++Started; }
    void RunFinished() override {
        ++Finished;
        if (OnRunFinished) OnRunFinished();
    }
    QString ProvideExportPath() override { return FolderToOffer; }
    void CloseMainWindow() override { ++Closed; }
    std::vector<QString> Failures;
    std::vector<int> FailedItems;
    void FileFailed(int item, const QString& reason) override {
        Failures.push_back(reason);
        FailedItems.push_back(item);
    }
    std::vector<std::pair<int, QString>> Losses;
    void FileLostSomething(int item, const QString& what) override { Losses.emplace_back(item, what); }
};

struct RecordingActions : TFinishingActions {
    int Sounds = 0, ShutDowns = 0;
    bool IdleAtShutDown = false;
    const TConversionDriver* Driver = nullptr;
    void PlaySystemSound() override { ++Sounds; }
    void ShutDown() override {
        ++ShutDowns;
        IdleAtShutDown = Driver && Driver->RunState() == RunStateKind::Idle;
    }
};

// A converter whose files wait until the test lets each of them go, counting how
// many run at once. A released file writes its source's path into its output.
class TGate {
  public:
    Converter AsConverter() {
        return [this](const ConversionJob& job) { return Convert(job); };
    }

    int Running() const {
        const std::lock_guard lock(FMutex);
        return FRunning;
    }
    int MostAtOnce() const {
        const std::lock_guard lock(FMutex);
        return FMost;
    }
    QStringList Started() const {
        const std::lock_guard lock(FMutex);
        return FStarted;
    }
    bool RanOnThread(std::thread::id thread) const {
        const std::lock_guard lock(FMutex);
        return FThreads.count(thread) > 0;
    }
    // Lets the file whose name ends in `name` finish.
    void Release(const QString& name) {
        {
            const std::lock_guard lock(FMutex);
            FReleased << name;
        }
        FChanged.notify_all();
    }
    void ReleaseAll() {
        {
            const std::lock_guard lock(FMutex);
            FAll = true;
        }
        FChanged.notify_all();
    }

  private:
    TModifyProgress Convert(const ConversionJob& job) {
        // A partial output, which must never survive a stop.
        QFile output(job.OutputPath);
        if (!output.open(QIODevice::WriteOnly)) throw ConversionError("cannot write");
        output.write("partial ");
        std::unique_lock lock(FMutex);
        ++FRunning;
        FMost = std::max(FMost, FRunning);
        FStarted << QFileInfo(job.SourcePath).fileName();
        FThreads.insert(std::this_thread::get_id());
        const auto released = [&] {
            return FAll || std::any_of(FReleased.begin(), FReleased.end(),
                                       [&](const QString& name) { return job.SourcePath.endsWith(name); });
        };
        // Cancellation is a flag the converter polls, as the real ones do between stages.
        while (!released() && !job.CheckCancelled())
            FChanged.wait_for(lock, std::chrono::milliseconds(2));
        --FRunning;
        if (!released()) return TModifyProgress::Cancelled;
        lock.unlock();
        output.write(job.SourcePath.toUtf8());
        return TModifyProgress::Finalised;
    }

    mutable std::mutex FMutex;
    std::condition_variable FChanged;
    int FRunning = 0, FMost = 0;
    QStringList FStarted, FReleased;
    bool FAll = false;
    std::set<std::thread::id> FThreads;
};

class ConversionDriverTest : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "driver-test";
        static char* argv[] = {name, nullptr};
        if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
    }

    void SetUp() override {
        ASSERT_TRUE(QDir().mkpath(In()));
        ASSERT_TRUE(QDir().mkpath(Out()));
        Driver.ExportPath = Out();
        Driver.DataFolder = Dir.path() + "/data/";
        Driver.TargetFormat = FormatTag::BASE64;
        Actions.Driver = &Driver;
    }

    QString In() const { return Dir.path() + "/in"; }
    QString Out() const { return Dir.path() + "/out"; }

    QString AddFile(const QString& name, const QByteArray& bytes = "payload") {
        const QString path = In() + "/" + name;
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        Jobs.FileList << path;
        Jobs.PrepareList();
        return path;
    }

    // Runs the event loop until `condition` holds; the limit only keeps a broken
    // driver from hanging the suite.
    static bool Eventually(const std::function<bool()>& condition) {
        QDeadlineTimer limit(20000);
        while (!condition()) {
            if (limit.hasExpired()) return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        return true;
    }

    // Until the run has ended and every conversion, also a cancelled one, is over.
    void RunToEnd() {
        ASSERT_TRUE(
            Eventually([&] { return Driver.RunState() == RunStateKind::Idle && !Driver.TimerActive(); }));
    }

    QStringList OutputFiles() const { return QDir(Out()).entryList(QDir::Files | QDir::Hidden, QDir::Name); }

    QTemporaryDir Dir;
    TJobList Jobs;
    RecordingView View;
    RecordingActions Actions;
    TConversionDriver Driver{Jobs, View, Actions};
};

TEST_F(ConversionDriverTest, EmptyListRunsAndFinishesWithTheSound) {
    Driver.ConvertAll();
    EXPECT_EQ(Driver.RunState(), RunStateKind::Converting);
    RunToEnd();
    EXPECT_EQ(View.Started, 1);
    EXPECT_EQ(View.Finished, 1);
    EXPECT_EQ(Actions.Sounds, 1);
    EXPECT_EQ(Driver.OverallPercent(), 0);
    EXPECT_EQ(View.Closed, 0);
}

TEST_F(ConversionDriverTest, Base64RoundTripAndNumberedClashes) {
    // Begins as an MP3 file does, since it is decoded for the target MP3 below.
    QByteArray bytes("ID3\x04\0\0\0\0\0\0", 10);
    for (int i = 0; i < 1000; ++i)
        bytes += char(i * 7);
    AddFile("song.mp3", bytes);
    AddFile("song.mp3", bytes); // the same file twice: the second output is numbered
    Driver.ConvertAll();
    RunToEnd();
    EXPECT_EQ(Jobs.ItemStatus, (std::vector{TModifyProgress::Finalised, TModifyProgress::Finalised}));
    EXPECT_EQ(OutputFiles(), (QStringList{"song.mp3 (1).b64", "song.mp3.b64"}));
    EXPECT_EQ(Driver.OverallPercent(), 100);

    Jobs.FileList = {Out() + "/song.mp3.b64"};
    Jobs.PrepareList();
    Driver.SourceFormat = FormatTag::AUTO;
    Driver.TargetFormat = FormatTag::MP3;
    Driver.ExportPath = In() + "/back";
    QDir().mkpath(Driver.ExportPath);
    Driver.ConvertAll();
    RunToEnd();
    QFile back(In() + "/back/song.mp3");
    ASSERT_TRUE(back.open(QIODevice::ReadOnly));
    EXPECT_EQ(back.readAll(), bytes);
}

TEST_F(ConversionDriverTest, Base64ThatDecodesToAnotherFormatOrToNothingIsAnErrorAndWritesNothing) {
    AddFile("python.png.b64", Base64Encode(QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)));
    AddFile("empty.b64", "");
    Driver.SourceFormat = FormatTag::BASE64;
    Driver.TargetFormat = FormatTag::BMP;
    Driver.ConvertAll();
    RunToEnd();
    EXPECT_EQ(Jobs.ItemStatus, (std::vector{TModifyProgress::Error, TModifyProgress::Error}));
    EXPECT_EQ(OutputFiles(), QStringList{});
    EXPECT_EQ(View.Failures.size(), 2u);
    EXPECT_TRUE(Jobs.ItemRemarks[0].contains("PNG data, not BMP data")) << Jobs.ItemRemarks[0].toStdString();
    EXPECT_TRUE(Jobs.ItemRemarks[1].contains("decodes to nothing")) << Jobs.ItemRemarks[1].toStdString();
}

TEST_F(ConversionDriverTest, ARunRemovesWhatAKilledRunLeftInItsFolder) {
    const pid_t killed = fork();
    if (killed == 0) _exit(0);
    waitpid(killed, nullptr, 0);
    const QString stale = Out() + "/.formshift-" + QString::number(killed) + "-k1.part.b64";
    QFile(stale).open(QIODevice::WriteOnly);
    AddFile("a.bin");
    Driver.ConvertAll();
    RunToEnd();
    EXPECT_EQ(OutputFiles(), QStringList{"a.bin.b64"});
}

class LongNameTest : public ConversionDriverTest, public testing::WithParamInterface<int> {};

// Every name the file system allows converts, or fails with a reason when the
// output's name would be longer than the file system allows.
TEST_P(LongNameTest, ConvertsOrSaysTheNameIsTooLong) {
    const QString name = QString(GetParam() - 4, QLatin1Char('n')) + ".bin";
    AddFile(name);
    Driver.ConvertAll();
    RunToEnd();
    const bool fits = GetParam() + 4 <= 255; // the output adds ".b64"
    EXPECT_EQ(Jobs.ItemStatus[0], fits ? TModifyProgress::Finalised : TModifyProgress::Error);
    EXPECT_EQ(OutputFiles(), fits ? QStringList{name + ".b64"} : QStringList{});
    if (!fits) {
        ASSERT_EQ(View.Failures.size(), 1u);
        EXPECT_TRUE(View.Failures[0].contains("too long")) << View.Failures[0].toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Bytes, LongNameTest, testing::Values(240, 245, 250, 251, 252, 254));

TEST_F(ConversionDriverTest, FormatCheckSkipsFilesOfAnotherExtensionUnlessIgnored) {
    AddFile("a.png");
    AddFile("b.jpg");
    Driver.SourceFormat = FormatTag::PNG;
    Driver.Settings.IgnoreForErr = false;
    Driver.ConvertAll();
    RunToEnd();
    EXPECT_EQ(Jobs.ItemStatus, (std::vector{TModifyProgress::Finalised, TModifyProgress::Waiting}));

    Driver.Settings.IgnoreForErr = true;
    Driver.ConvertAll();
    RunToEnd();
    EXPECT_EQ(Jobs.ItemStatus, (std::vector{TModifyProgress::Finalised, TModifyProgress::Finalised}));
}

TEST_F(ConversionDriverTest, IgnoreCompletedSkipsOnlyTheSingleFileConversion) {
    AddFile("a.png");
    Driver.ConvertAll();
    RunToEnd();
    ASSERT_EQ(OutputFiles().size(), 1);

    Driver.Settings.IgnoreComplete = true;
    Driver.ConvertSingle(0, Out() + "/chosen.b64");
    RunToEnd();
    EXPECT_EQ(Jobs.ItemStatus[0], TModifyProgress::Finalised);
    EXPECT_EQ(OutputFiles().size(), 1);

    // Convert All resets every state first, so it converts again.
    Driver.ConvertAll();
    RunToEnd();
    EXPECT_EQ(OutputFiles().size(), 2);
}

TEST_F(ConversionDriverTest, SingleFileConversionWritesTheChosenName) {
    AddFile("a.png");
    AddFile("b.png");
    Driver.ConvertSingle(1, Out() + "/chosen.b64");
    RunToEnd();
    EXPECT_EQ(Jobs.ItemStatus, (std::vector{TModifyProgress::Waiting, TModifyProgress::Finalised}));
    EXPECT_EQ(OutputFiles(), QStringList{"chosen.b64"});
}

TEST_F(ConversionDriverTest, FailuresAreMarkedAndTheRunGoesOn) {
    const QString missing = AddFile("gone.bin");
    AddFile("pic.png");
    AddFile("ok.bin");
    QFile::remove(missing);
    Driver.TargetFormat = FormatTag::MP3; // no converter for image -> audio
    Driver.Converters.Audio = [](const ConversionJob&) -> TModifyProgress {
        throw ConversionError("broken");
    };
    Jobs.FileList[2] = In() + "/ok.bin";
    Driver.SourceFormat = FormatTag::WAVE;
    Driver.Settings.IgnoreForErr = true;
    Driver.ConvertAll();
    RunToEnd();
    EXPECT_EQ(Jobs.ItemStatus,
              (std::vector{TModifyProgress::Error, TModifyProgress::Error, TModifyProgress::Error}));
    EXPECT_TRUE(OutputFiles().isEmpty());

    Driver.SourceFormat = FormatTag::AUTO;
    Driver.ConvertAll();
    RunToEnd();
    // gone.bin: unknown source -> no converter; pic.png: image to audio -> no converter.
    EXPECT_EQ(Jobs.ItemStatus, (std::vector{TModifyProgress::FormatErr, TModifyProgress::FormatErr,
                                            TModifyProgress::FormatErr}));
}

TEST_F(ConversionDriverTest, EachRowKeepsWhyItFailedAndWhatItsOutputCouldNotKeep) {
    AddFile("broken.wav");
    AddFile("cover.wav");
    Driver.TargetFormat = FormatTag::MP3;
    bool failFirst = true;
    Driver.Converters.Audio = [&failFirst](const ConversionJob& job) -> TModifyProgress {
        if (job.SourcePath.endsWith("broken.wav") && failFirst) throw ConversionError("not a WAVE file");
        job.ReportLoss("cover art: WAVE holds no pictures");
        job.ReportLoss("comment: too long");
        QFile file(job.OutputPath);
        if (!file.open(QIODevice::WriteOnly)) throw ConversionError("cannot write");
        return TModifyProgress::Finalised;
    };
    Driver.ConvertAll();
    RunToEnd();
    EXPECT_EQ(Jobs.ItemStatus, (std::vector{TModifyProgress::Error, TModifyProgress::Finalised}));
    EXPECT_EQ(Jobs.ItemRemarks,
              (QStringList{"not a WAVE file", "cover art: WAVE holds no pictures\ncomment: too long"}));
    ASSERT_EQ(View.Losses.size(), 2u);
    EXPECT_EQ(View.Losses[0], std::make_pair(1, QString("cover art: WAVE holds no pictures")));

    // A second run starts each row's remarks afresh; removing a row takes its remarks along.
    failFirst = false;
    Driver.ConvertAll();
    RunToEnd();
    EXPECT_EQ(Jobs.ItemRemarks[0], "cover art: WAVE holds no pictures\ncomment: too long");
    Jobs.RemoveItem(0);
    EXPECT_EQ(Jobs.ItemRemarks.size(), 1);
}

// Whoever looks into a run afterwards can switch the log on and read every failure's reason.
TEST_F(ConversionDriverTest, TheConversionLogNamesEachFailedFileAndWhyOnceSwitchedOn) {
    static QStringList logged;
    logged.clear();
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext& context, const QString& text) {
            if (QLatin1String(context.category) == QLatin1String("formshift.convert")) logged << text;
        });
    const QString broken = AddFile("broken.wav");
    Driver.TargetFormat = FormatTag::MP3;
    Driver.Converters.Audio = [](const ConversionJob&) -> TModifyProgress {
        throw ConversionError("not a WAVE file");
    };
    Driver.ConvertAll();
    RunToEnd();
    EXPECT_TRUE(logged.isEmpty()) << "quiet by default";

    QLoggingCategory::setFilterRules(QStringLiteral("formshift.convert.info=true"));
    Driver.ConvertAll();
    RunToEnd();
    QLoggingCategory::setFilterRules(QString());
    qInstallMessageHandler(previous);
    EXPECT_EQ(logged, QStringList{broken + " failed: not a WAVE file"});
}

TEST_F(ConversionDriverTest, UnwritableExportFolderIsAnErrorAndLeavesNothing) {
    AddFile("a.bin");
    Driver.ExportPath = Out() + "/readonly";
    QDir().mkpath(Driver.ExportPath);
    QFile::setPermissions(Driver.ExportPath, QFile::ReadOwner | QFile::ExeOwner);
    if (QFile file(Driver.ExportPath + "/probe"); file.open(QIODevice::WriteOnly)) {
        file.remove();
        GTEST_SKIP() << "running with rights that ignore permissions";
    }
    Driver.ConvertAll();
    RunToEnd();
    EXPECT_EQ(Jobs.ItemStatus[0], TModifyProgress::Error);
    EXPECT_TRUE(QDir(Driver.ExportPath).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST_F(ConversionDriverTest, ConverterThatFailsLeavesNoPartialOutput) {
    AddFile("a.wav");
    Driver.TargetFormat = FormatTag::MP3;
    Driver.Converters.Audio = [](const ConversionJob& job) -> TModifyProgress {
        QFile file(job.OutputPath);
        file.open(QIODevice::WriteOnly);
        file.write("half");
        throw ConversionError("disk full");
    };
    Driver.ConvertAll();
    RunToEnd();
    EXPECT_EQ(Jobs.ItemStatus[0], TModifyProgress::Error);
    EXPECT_TRUE(OutputFiles().isEmpty());
}

TEST_F(ConversionDriverTest, ProgressAddsTheCurrentFilesShareRoundedHalfToEven) {
    for (const char* name : {"1.wav", "2.wav", "3.wav", "4.wav"})
        AddFile(name);
    Driver.TargetFormat = FormatTag::MP3;
    Driver.Settings.SimultaneousConversions = 1;
    Driver.Converters.Audio = [](const ConversionJob& job) {
        job.SetItemPercent(50);
        QFile(job.OutputPath).open(QIODevice::WriteOnly);
        return TModifyProgress::Finalised;
    };
    Driver.ConvertAll();
    RunToEnd();
    // Each file at half way adds 12.5, rounded to the even 12, to the files done.
    EXPECT_EQ(View.Progress, (std::vector{12, 25, 37, 50, 62, 75, 87, 100}));
    EXPECT_EQ(Driver.OverallPercent(), 100);
}

TEST_F(ConversionDriverTest, StopDuringTheSecondFileCancelsItAndKeepsTheRest) {
    for (const char* name : {"1.wav", "2.wav", "3.wav"})
        AddFile(name);
    Driver.TargetFormat = FormatTag::MP3;
    Driver.BackgroundMode = true;
    Driver.Settings.SimultaneousConversions = 1;
    int frees = 0, freesWhileConverting = 0;
    std::atomic<bool> converting = false;
    Driver.Converters.FreeLibraries = [&] {
        ++frees;
        if (converting) ++freesWhileConverting;
    };
    Driver.Converters.Audio = [&](const ConversionJob& job) {
        converting = true;
        // The user presses "Stop" while the second file converts.
        if (job.SourcePath.endsWith("2.wav"))
            QMetaObject::invokeMethod(
                &Driver, [&] { Driver.StopConversion(); }, Qt::QueuedConnection);
        QFile(job.OutputPath).open(QIODevice::WriteOnly);
        const bool second = job.SourcePath.endsWith("2.wav");
        while (second && !job.CheckCancelled())
            std::this_thread::yield();
        converting = false;
        return second ? TModifyProgress::Cancelled : TModifyProgress::Finalised;
    };
    Driver.ConvertAll();
    RunToEnd();
    EXPECT_EQ(Jobs.ItemStatus, (std::vector{TModifyProgress::Finalised, TModifyProgress::Cancelled,
                                            TModifyProgress::Waiting}));
    EXPECT_EQ(Actions.Sounds, 0);
    EXPECT_EQ(View.Closed, 0);
    EXPECT_EQ(frees, 1);
    EXPECT_EQ(freesWhileConverting, 0);
    EXPECT_EQ(OutputFiles(), QStringList{"1.mp3"});
}

TEST_F(ConversionDriverTest, FinishingActionsRunAfterTheRunEnds) {
    struct Case {
        int DoneConvert;
        bool Background;
        int Sounds, ShutDowns, Closed;
    };
    for (const Case& c : {Case{0, false, 0, 0, 0}, Case{1, false, 1, 0, 0}, Case{2, false, 0, 0, 1},
                          Case{3, false, 0, 1, 0}, Case{7, false, 0, 0, 0}, Case{0, true, 0, 0, 1}}) {
        Actions.Sounds = Actions.ShutDowns = View.Closed = 0;
        Driver.Settings.DoneConvert = c.DoneConvert;
        Driver.BackgroundMode = c.Background;
        Driver.ConvertAll();
        RunToEnd();
        EXPECT_EQ(Actions.Sounds, c.Sounds) << c.DoneConvert;
        EXPECT_EQ(Actions.ShutDowns, c.ShutDowns) << c.DoneConvert;
        EXPECT_EQ(View.Closed, c.Closed) << c.DoneConvert;
    }
    EXPECT_TRUE(Actions.IdleAtShutDown);
}

TEST_F(ConversionDriverTest, NoRunWithoutAnExportFolder) {
    AddFile("a.bin");
    Driver.ExportPath.clear();
    Driver.ConvertAll();
    EXPECT_EQ(Driver.RunState(), RunStateKind::Idle);
    EXPECT_EQ(View.Started, 0);

    View.FolderToOffer = Out();
    Driver.ConvertAll();
    RunToEnd();
    EXPECT_EQ(Driver.ExportPath, Out());
    EXPECT_EQ(Jobs.ItemStatus[0], TModifyProgress::Finalised);
}

TEST_F(ConversionDriverTest, DeletingARowKeepsTheOthersStates) {
    for (const char* name : {"a.bin", "b.bin", "c.bin"})
        AddFile(name);
    Jobs.ItemStatus = {TModifyProgress::Finalised, TModifyProgress::Finalised, TModifyProgress::Error};
    Jobs.RemoveItem(1);
    Jobs.PrepareList();
    EXPECT_EQ(Jobs.ItemStatus, (std::vector{TModifyProgress::Finalised, TModifyProgress::Error}));
    EXPECT_EQ(Jobs.ItemPercent.size(), 2u);
    EXPECT_EQ(Jobs.ItemTarget.size(), 2);
}

TEST_F(ConversionDriverTest, TempFolderIsCreatedOnDemandAndCleared) {
    const QString folder = Driver.TempFolder(true);
    EXPECT_EQ(folder, Dir.path() + "/data/Temp/");
    QFile(folder + "x.png").open(QIODevice::WriteOnly);
    Driver.ClearTempFolder();
    EXPECT_FALSE(QFileInfo::exists(folder));
}

// Every conversion has a scratch folder of its own inside the temporary folder, gone
// when it ends, whatever its outcome; clearing the cache waits for the run.
TEST_F(ConversionDriverTest, EachConversionHasItsOwnScratchFolder) {
    for (const char* name : {"a.png", "b.png", "c.png"})
        AddFile(name);
    Driver.TargetFormat = FormatTag::JPEG;
    Driver.Settings.SimultaneousConversions = 3;
    std::mutex mutex;
    QStringList folders;
    TGate gate;
    const Converter gated = gate.AsConverter();
    Driver.Converters.Image = [&](const ConversionJob& job) {
        QDir().mkpath(job.TempFolder);
        QFile(job.TempFolder + "scratch.png").open(QIODevice::WriteOnly);
        {
            const std::lock_guard lock(mutex);
            folders << job.TempFolder;
        }
        if (job.SourcePath.endsWith("b.png")) throw ConversionError("damaged");
        return gated(job);
    };
    Driver.ConvertAll();
    ASSERT_TRUE(
        Eventually([&] { return gate.Running() == 2 && Jobs.ItemStatus[1] == TModifyProgress::Error; }));
    Driver.ClearTempFolder();
    {
        const std::lock_guard lock(mutex);
        ASSERT_EQ(folders.size(), 3);
        EXPECT_EQ(QSet<QString>(folders.begin(), folders.end()).size(), 3);
        for (const QString& folder : folders)
            EXPECT_TRUE(folder.startsWith(Driver.TempFolder(false))) << folder.toStdString();
    }
    // The failed file's folder went at once; the running ones' stay, the cache clearing notwithstanding.
    EXPECT_EQ(std::count_if(folders.begin(), folders.end(),
                            [](const QString& folder) { return QFileInfo::exists(folder + "scratch.png"); }),
              2);
    gate.ReleaseAll();
    RunToEnd();
    EXPECT_FALSE(QFileInfo::exists(Driver.TempFolder(false)));
    EXPECT_EQ(Jobs.ItemStatus,
              (std::vector{TModifyProgress::Finalised, TModifyProgress::Error, TModifyProgress::Finalised}));
}

TEST_F(ConversionDriverTest, UpToTheChosenNumberOfFilesConvertAtOnceAndNeverMore) {
    for (int i = 0; i < 8; ++i)
        AddFile(QString("%1.wav").arg(i));
    Driver.TargetFormat = FormatTag::MP3;
    Driver.Settings.SimultaneousConversions = 3;
    TGate gate;
    Driver.Converters.Audio = gate.AsConverter();
    Driver.ConvertAll();
    ASSERT_TRUE(Eventually([&] { return gate.Running() == 3 && Driver.ActiveConversions() == 3; }));
    // The files waiting their turn in the pool still show "Waiting".
    EXPECT_EQ(std::count(Jobs.ItemStatus.begin(), Jobs.ItemStatus.end(), TModifyProgress::Converting), 3);
    EXPECT_EQ(Jobs.ItemStatus[3], TModifyProgress::Waiting);
    // Each file that ends makes room for exactly one more.
    for (int i = 0; i < 8; ++i) {
        gate.Release(QString("/%1.wav").arg(i));
        ASSERT_TRUE(Eventually([&] { return Jobs.ItemStatus[i] == TModifyProgress::Finalised; })) << i;
        const int running = std::min(3, 8 - i - 1);
        EXPECT_LE(Driver.ActiveConversions(), 3);
        ASSERT_TRUE(Eventually([&] {
            return gate.Running() == running && Driver.ActiveConversions() == running;
        })) << i;
    }
    RunToEnd();
    EXPECT_EQ(gate.MostAtOnce(), 3);
    EXPECT_EQ(Jobs.ItemStatus, std::vector<TModifyProgress>(8, TModifyProgress::Finalised));
    EXPECT_EQ(OutputFiles().size(), 8);
    EXPECT_EQ(Driver.OverallPercent(), 100);
    EXPECT_FALSE(gate.RanOnThread(std::this_thread::get_id()));
}

TEST_F(ConversionDriverTest, TheNumberIsClampedToOneToSixtyFour) {
    EXPECT_EQ(ClampSimultaneousConversions(0), 1);
    EXPECT_EQ(ClampSimultaneousConversions(-5), 1);
    EXPECT_EQ(ClampSimultaneousConversions(64), 64);
    EXPECT_EQ(ClampSimultaneousConversions(1000), 64);
    EXPECT_EQ(ConversionSettings().SimultaneousConversions,
              std::clamp(int(std::thread::hardware_concurrency()), 1, 64));

    for (int i = 0; i < 3; ++i)
        AddFile(QString("%1.wav").arg(i));
    Driver.TargetFormat = FormatTag::MP3;
    Driver.Settings.SimultaneousConversions = 0; // converts one at a time, not none
    TGate gate;
    gate.ReleaseAll();
    Driver.Converters.Audio = gate.AsConverter();
    Driver.ConvertAll();
    RunToEnd();
    EXPECT_EQ(gate.MostAtOnce(), 1);
    EXPECT_EQ(Jobs.ItemStatus, std::vector<TModifyProgress>(3, TModifyProgress::Finalised));
}

TEST_F(ConversionDriverTest, OneAtATimeKeepsTheListOrder) {
    const QStringList names{"c.wav", "a.wav", "skip.png", "b.wav", "d.bin"};
    for (const QString& name : names)
        AddFile(name);
    Driver.TargetFormat = FormatTag::MP3;
    Driver.Settings.SimultaneousConversions = 1;
    TGate gate;
    gate.ReleaseAll();
    Driver.Converters.Audio = gate.AsConverter();
    Driver.ConvertAll();
    RunToEnd();
    EXPECT_EQ(gate.Started(), (QStringList{"c.wav", "a.wav", "b.wav"}));
    EXPECT_EQ(gate.MostAtOnce(), 1);
    EXPECT_EQ(View.FailedItems, (std::vector{2, 4}));
    EXPECT_EQ(Jobs.ItemStatus,
              (std::vector{TModifyProgress::Finalised, TModifyProgress::Finalised, TModifyProgress::FormatErr,
                           TModifyProgress::Finalised, TModifyProgress::FormatErr}));
}

// A file that no converter takes is reported in its turn, not while an earlier file still converts.
TEST_F(ConversionDriverTest, OneAtATimeReportsAFormatErrorInItsTurn) {
    AddFile("c.wav");
    AddFile("skip.png");
    Driver.TargetFormat = FormatTag::MP3;
    Driver.Settings.SimultaneousConversions = 1;
    TGate gate;
    Driver.Converters.Audio = gate.AsConverter();
    Driver.ConvertAll();
    ASSERT_TRUE(Eventually([&] { return gate.Running() == 1 && Driver.ActiveConversions() == 1; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(Jobs.ItemStatus, (std::vector{TModifyProgress::Converting, TModifyProgress::Waiting}));
    EXPECT_TRUE(View.FailedItems.empty());
    gate.ReleaseAll();
    RunToEnd();
    EXPECT_EQ(Jobs.ItemStatus, (std::vector{TModifyProgress::Finalised, TModifyProgress::FormatErr}));
    EXPECT_EQ(View.FailedItems, std::vector{1});
}

TEST_F(ConversionDriverTest, StopCancelsEveryRunningFileAndLeavesNothingHalfWritten) {
    for (int i = 0; i < 5; ++i)
        AddFile(QString("%1.wav").arg(i));
    Driver.TargetFormat = FormatTag::MP3;
    Driver.Settings.SimultaneousConversions = 3;
    Driver.BackgroundMode = true;
    int frees = 0;
    Driver.Converters.FreeLibraries = [&] { ++frees; };
    TGate gate;
    Driver.Converters.Audio = gate.AsConverter();
    Driver.ConvertAll();
    ASSERT_TRUE(Eventually([&] { return gate.Running() == 3; }));

    Driver.StopConversion();
    EXPECT_EQ(Driver.RunState(), RunStateKind::Idle);
    EXPECT_EQ(Jobs.ItemStatus,
              (std::vector{TModifyProgress::Cancelled, TModifyProgress::Cancelled, TModifyProgress::Cancelled,
                           TModifyProgress::Waiting, TModifyProgress::Waiting}));
    // The libraries stay until the cancelled conversions have let go of them.
    EXPECT_EQ(frees, 0);
    RunToEnd();
    EXPECT_EQ(gate.Running(), 0);
    EXPECT_EQ(frees, 1);
    EXPECT_EQ(OutputFiles(), QStringList{});
    EXPECT_EQ(Jobs.ItemStatus[0], TModifyProgress::Cancelled);
    EXPECT_EQ(Actions.Sounds, 0);
    EXPECT_EQ(View.Closed, 0);
    EXPECT_EQ(gate.Started().size(), 3);
}

TEST_F(ConversionDriverTest, ANewRunWaitsForTheStoppedFilesToEndAndKeepsTheLibraries) {
    for (int i = 0; i < 2; ++i)
        AddFile(QString("%1.wav").arg(i));
    Driver.TargetFormat = FormatTag::MP3;
    Driver.Settings.SimultaneousConversions = 2;
    int starts = 0, frees = 0;
    Driver.Converters.InitiateLibraries = [&] { ++starts; };
    Driver.Converters.FreeLibraries = [&] { ++frees; };
    // The first run's files ignore the stop for a while, as a long stage would.
    std::atomic<bool> holdCancelled = true;
    std::atomic<int> running = 0, most = 0;
    Driver.Converters.Audio = [&](const ConversionJob& job) {
        const int now = ++running;
        most = std::max(most.load(), now);
        if (job.SourcePath.endsWith("hold.wav")) {
            while (!job.CheckCancelled())
                std::this_thread::yield();
            while (holdCancelled)
                std::this_thread::yield();
        }
        --running;
        QFile(job.OutputPath).open(QIODevice::WriteOnly);
        return job.CheckCancelled() ? TModifyProgress::Cancelled : TModifyProgress::Finalised;
    };
    Jobs.FileList = {AddFile("hold.wav"), AddFile("hold.wav")};
    Jobs.PrepareList();
    Driver.ConvertAll();
    ASSERT_TRUE(Eventually([&] { return running == 2 && Driver.ActiveConversions() == 2; }));
    Driver.StopConversion();
    EXPECT_EQ(Driver.ActiveConversions(), 2);

    Jobs.FileList = {In() + "/0.wav", In() + "/1.wav"};
    Jobs.PrepareList();
    Driver.ConvertAll();
    QCoreApplication::processEvents();
    EXPECT_EQ(starts, 1); // still started: the stopped files have not ended
    EXPECT_EQ(frees, 0);
    EXPECT_EQ(Driver.ActiveConversions(), 2);
    EXPECT_EQ(Jobs.ItemStatus, (std::vector{TModifyProgress::Waiting, TModifyProgress::Waiting}));
    holdCancelled = false;
    RunToEnd();
    EXPECT_EQ(most, 2);
    EXPECT_EQ(Jobs.ItemStatus, (std::vector{TModifyProgress::Finalised, TModifyProgress::Finalised}));
    EXPECT_EQ(frees, 1);
    EXPECT_EQ(OutputFiles(), (QStringList{"0.mp3", "1.mp3"}));
}

TEST_F(ConversionDriverTest, ReportsReachTheViewOnItsOwnThread) {
    struct ThreadCheckingView : RecordingView {
        std::atomic<int> Calls = 0, ElsewhereCalls = 0;
        void Note() {
            ++Calls;
            if (QThread::currentThread() != QCoreApplication::instance()->thread()) ++ElsewhereCalls;
        }
        void ListChanged() override { Note(); }
        void ProgressChanged(int overall) override {
            Note();
            RecordingView::ProgressChanged(overall);
        }
        void FileFailed(int item, const QString& reason) override {
            Note();
            RecordingView::FileFailed(item, reason);
        }
        void FileLostSomething(int item, const QString& what) override {
            Note();
            RecordingView::FileLostSomething(item, what);
        }
    } view;
    TConversionDriver driver(Jobs, view, Actions);
    driver.ExportPath = Out();
    driver.TargetFormat = FormatTag::MP3;
    driver.Settings.SimultaneousConversions = 4;
    for (int i = 0; i < 6; ++i)
        AddFile(QString("%1.wav").arg(i));
    driver.Converters.Audio = [](const ConversionJob& job) -> TModifyProgress {
        job.SetItemPercent(30);
        job.ReportLoss("cover art: " + QFileInfo(job.SourcePath).fileName());
        job.SetItemPercent(80);
        if (job.SourcePath.endsWith("3.wav")) throw ConversionError("not a WAVE file");
        QFile(job.OutputPath).open(QIODevice::WriteOnly);
        return TModifyProgress::Finalised;
    };
    driver.ConvertAll();
    ASSERT_TRUE(Eventually([&] { return driver.RunState() == RunStateKind::Idle && !driver.TimerActive(); }));
    EXPECT_GT(view.Calls, 0);
    EXPECT_EQ(view.ElsewhereCalls, 0);
    EXPECT_EQ(view.Losses.size(), 6u);
    EXPECT_EQ(view.Failures, std::vector<QString>{"not a WAVE file"});
    EXPECT_EQ(Jobs.ItemRemarks[3], "cover art: 3.wav\nnot a WAVE file");
    EXPECT_EQ(Jobs.ItemStatus[3], TModifyProgress::Error);
    EXPECT_EQ(driver.OverallPercent(), 100);
    // The overall figure only ever grows within a run.
    EXPECT_TRUE(std::is_sorted(view.Progress.begin(), view.Progress.end()));
}

TEST_F(ConversionDriverTest, CounterNamesFollowTheListWhicheverFileFinishesFirst) {
    constexpr int Files = 12;
    for (int i = 0; i < Files; ++i) {
        const QString folder = QString("%1/%2").arg(In()).arg(i);
        QDir().mkpath(folder);
        Jobs.FileList << folder + "/clip.wav";
        QFile(folder + "/clip.wav").open(QIODevice::WriteOnly);
    }
    Jobs.PrepareList();
    QFile(Out() + "/clip (2).mp3").open(QIODevice::WriteOnly); // someone else's file
    Driver.TargetFormat = FormatTag::MP3;
    Driver.Settings.SimultaneousConversions = Files;
    TGate gate;
    Driver.Converters.Audio = gate.AsConverter();
    Driver.ConvertAll();
    ASSERT_TRUE(Eventually([&] { return gate.Running() == Files; }));
    // The last started ends first.
    for (int i = Files - 1; i >= 0; --i) {
        gate.Release(QString("/%1/clip.wav").arg(i));
        ASSERT_TRUE(Eventually([&] { return Jobs.ItemStatus[i] == TModifyProgress::Finalised; })) << i;
    }
    RunToEnd();
    // File 0 gets the plain name, then the counters in list order, skipping the taken one.
    for (int i = 0; i < Files; ++i) {
        const int n = i < 2 ? i : i + 1;
        const QString name = n == 0 ? QString("clip.mp3") : QString("clip (%1).mp3").arg(n);
        QFile output(Out() + "/" + name);
        ASSERT_TRUE(output.open(QIODevice::ReadOnly)) << name.toStdString();
        EXPECT_EQ(output.readAll(), "partial " + QString("%1/%2/clip.wav").arg(In()).arg(i).toUtf8());
    }
    EXPECT_EQ(OutputFiles().size(), Files + 1);
}

TEST_F(ConversionDriverTest, ReservedNamesAreUniqueUnderRaces) {
    TOutputReservations names;
    const QString path = Out() + "/race.png";
    QFile(path).open(QIODevice::WriteOnly);
    std::vector<QString> got(8 * 50);
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < 50; ++i)
                got[t * 50 + i] = names.Reserve(path);
        });
    for (auto& thread : threads)
        thread.join();
    const std::set<QString> unique(got.begin(), got.end());
    EXPECT_EQ(unique.size(), got.size());
    EXPECT_FALSE(unique.count(path));
    EXPECT_TRUE(unique.count(Out() + "/race (400).png"));
    EXPECT_TRUE(names.IsReserved(Out() + "/race (1).png"));
}

} // namespace

class KeepFileDatesTest : public ConversionDriverTest, public testing::WithParamInterface<bool> {};

TEST_P(KeepFileDatesTest, OutputsTakeTheSourcesModificationTimeWhenAsked) {
    const QString source = AddFile("old.txt");
    const QDateTime then(QDate(2001, 2, 3), QTime(4, 5, 6, 789), Qt::UTC);
    {
        QFile file(source);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(then, QFileDevice::FileModificationTime));
    }
    Driver.Settings.KeepFileDates = GetParam();
    Driver.ConvertAll();
    RunToEnd();
    ASSERT_EQ(Jobs.ItemStatus, std::vector{TModifyProgress::Finalised});
    const QDateTime written = QFileInfo(Out() + "/old.txt.b64").lastModified().toUTC();
    if (GetParam())
        EXPECT_EQ(written, then);
    else
        EXPECT_GT(written, then.addYears(10));
    EXPECT_TRUE(View.Losses.empty());
}

INSTANTIATE_TEST_SUITE_P(Setting, KeepFileDatesTest, testing::Bool());
