#include "ConversionDriver.h"
#include "Base64.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

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
    void FileFailed(int /*item*/, const QString& reason) override { Failures.push_back(reason); }
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

    void RunToEnd() {
        QDeadlineTimer deadline(10000);
        while ((Driver.RunState() != RunStateKind::Idle || Driver.TimerActive()) && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        ASSERT_EQ(Driver.RunState(), RunStateKind::Idle);
    }

    QStringList OutputFiles() const {
        return QDir(Out()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

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
    for (int i = 0; i < 1000; ++i) bytes += char(i * 7);
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
    ASSERT_EQ(View.Failures.size(), 2u);
    EXPECT_TRUE(View.Failures[0].contains("PNG data, not BMP data")) << View.Failures[0].toStdString();
    EXPECT_TRUE(View.Failures[1].contains("decodes to nothing")) << View.Failures[1].toStdString();
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
    Driver.Converters.Audio = [](const ConversionJob&) -> TModifyProgress { throw ConversionError("broken"); };
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
    EXPECT_EQ(Jobs.ItemStatus,
              (std::vector{TModifyProgress::FormatErr, TModifyProgress::FormatErr, TModifyProgress::FormatErr}));
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
    EXPECT_EQ(Jobs.ItemRemarks, (QStringList{"not a WAVE file", "cover art: WAVE holds no pictures\ncomment: too long"}));
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
    for (const char* name : {"1.wav", "2.wav", "3.wav", "4.wav"}) AddFile(name);
    Driver.TargetFormat = FormatTag::MP3;
    std::vector<int> seen;
    Driver.Converters.Audio = [&](const ConversionJob& job) {
        job.SetItemPercent(50);
        seen.push_back(Driver.OverallPercent());
        QFile(job.OutputPath).open(QIODevice::WriteOnly);
        return TModifyProgress::Finalised;
    };
    Driver.ConvertAll();
    RunToEnd();
    EXPECT_EQ(seen, (std::vector{12, 37, 62, 87}));
    EXPECT_EQ(Driver.OverallPercent(), 100);
}

TEST_F(ConversionDriverTest, StopDuringTheSecondFileCancelsItAndKeepsTheRest) {
    for (const char* name : {"1.wav", "2.wav", "3.wav"}) AddFile(name);
    Driver.TargetFormat = FormatTag::MP3;
    Driver.BackgroundMode = true;
    int frees = 0, freesWhileConverting = 0;
    bool converting = false;
    Driver.Converters.FreeLibraries = [&] {
        ++frees;
        if (converting) ++freesWhileConverting;
    };
    Driver.Converters.Audio = [&](const ConversionJob& job) {
        converting = true;
        if (Driver.RunPos() == 1) QTimer::singleShot(20, [&] { Driver.StopConversion(); });
        QFile(job.OutputPath).open(QIODevice::WriteOnly);
        QDeadlineTimer deadline(5000);
        while (!deadline.hasExpired()) {
            if (job.CheckCancelled()) {
                converting = false;
                return TModifyProgress::Cancelled;
            }
        }
        converting = false;
        return TModifyProgress::Finalised;
    };
    Driver.ConvertAll();
    RunToEnd();
    QCoreApplication::processEvents();
    EXPECT_EQ(Jobs.ItemStatus,
              (std::vector{TModifyProgress::Finalised, TModifyProgress::Cancelled, TModifyProgress::Waiting}));
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
    for (const char* name : {"a.bin", "b.bin", "c.bin"}) AddFile(name);
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
