// The command line as scripts meet it: the built formshift started as a process,
// in a profile of its own, its exit status, standard output and standard error
// checked, its outputs read back by Qt's image readers and ffprobe.
#include "InstanceLock.h"
#include "Instances.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString Program = QStringLiteral(BRENVALE_BINARY_DIR "/bin/formshift");
const QString Samples = QStringLiteral(BRENVALE_SOURCE_DIR "/resources/samples/");

struct TRun {
    int Status = -1;
    QByteArray Output;
    QByteArray Errors;
};

class CommandLineProcessTest : public testing::Test {
  protected:
    void SetUp() override {
        for (const char* folder : {"home", "data", "config", "cache", "run", "out", "files"})
            QDir(Dir.path()).mkpath(folder);
        QFile::setPermissions(Dir.filePath("run"),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QFile::copy(Samples + "sunset.png", Dir.filePath("files/sunset.png"));
        Write("files/broken.png", "not a picture at all");
    }

    // Nothing of the real profile is read or written, and no display is reachable.
    QProcessEnvironment Environment() const {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("HOME", Dir.filePath("home"));
        environment.insert("XDG_DATA_HOME", Dir.filePath("data"));
        environment.insert("XDG_CONFIG_HOME", Dir.filePath("config"));
        environment.insert("XDG_CACHE_HOME", Dir.filePath("cache"));
        environment.insert("XDG_RUNTIME_DIR", Dir.filePath("run"));
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "LOCALAPPDATA", "APPDATA",
                                 "TEMP", "TMP", "USERPROFILE", "FORMSHIFT_PROGRAM_FILE"})
            environment.remove(name);
        return environment;
    }

    TRun Run(const QStringList& arguments) {
        QProcess formshift;
        formshift.setProcessEnvironment(Environment());
        formshift.setWorkingDirectory(Dir.filePath("files"));
        formshift.start(Program, arguments);
        TRun run;
        if (!formshift.waitForFinished(60000)) {
            formshift.kill();
            formshift.waitForFinished();
            ADD_FAILURE() << "formshift did not end";
            return run;
        }
        run.Status = formshift.exitStatus() == QProcess::NormalExit ? formshift.exitCode() : -1;
        run.Output = formshift.readAllStandardOutput();
        run.Errors = formshift.readAllStandardError();
        return run;
    }

    void Write(const QString& name, const QByteArray& bytes) {
        QFile file(Dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QStringList Outputs() const {
        return QDir(Dir.filePath("out")).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
    QString Out() const { return Dir.filePath("out"); }
    // Relative to the test's folder, as Write takes it.
    static QString SettingsFile() { return QStringLiteral("data/BrenvaleSoftware/Formshift/setings.ini"); }

    static QByteArray ImageFormat(const QString& path) { return QImageReader(path).format(); }

    QTemporaryDir Dir;
};

struct StatusCase {
    const char* Name;
    QStringList Arguments; // "OUT" stands for the export folder
    int Status;
    QStringList ErrorParts; // each must appear on standard error
    QStringList Outputs;    // files in the export folder afterwards
};

class ExitStatusTest : public CommandLineProcessTest, public testing::WithParamInterface<StatusCase> {};

TEST_P(ExitStatusTest, StatusLinesAndOutputs) {
    const StatusCase& c = GetParam();
    QStringList arguments = c.Arguments;
    arguments.replaceInStrings(QRegularExpression("^OUT$"), Out());
    const TRun run = Run(arguments);
    EXPECT_EQ(run.Status, c.Status) << run.Errors.toStdString();
    for (const QString& part : c.ErrorParts) {
        EXPECT_TRUE(run.Errors.contains(part.toUtf8()))
            << part.toStdString() << " in: " << run.Errors.toStdString();
    }
    if (c.ErrorParts.isEmpty()) {
        EXPECT_EQ(run.Errors, "");
    }
    EXPECT_EQ(Outputs(), c.Outputs);
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, ExitStatusTest,
    testing::Values(
        StatusCase{"EveryFileConverted",
                   {"/to", "jpeg", "/directory", "OUT", "/convertnow", "/background", "sunset.png"},
                   0,
                   {},
                   {"sunset.jpeg"}},
        StatusCase{
            "OneFileFails",
            {"--to", "bmp", "--directory", "OUT", "--convertnow", "--background", "sunset.png", "broken.png"},
            1,
            {"broken.png: ", "1 of 2 files converted, 1 failed"},
            {"sunset.bmp"}},
        StatusCase{
            "AMissingFileFails",
            {"--to", "bmp", "--directory", "OUT", "--convertnow", "--background", "sunset.png", "gone.png"},
            1,
            {"formshift: gone.png: no such file\n"},
            {"sunset.bmp"}},
        StatusCase{"AFolderIsNoFile",
                   {"--to", "bmp", "--directory", "OUT", "--convertnow", "--background", "OUT"},
                   1,
                   {": is a folder, not a file"},
                   {}},
        StatusCase{"ADirectoryThatDoesNotExist",
                   {"--to", "bmp", "--directory", "nowhere", "--convertnow", "--background", "sunset.png"},
                   2,
                   {"the export folder \"nowhere\" does not exist"},
                   {}},
        StatusCase{"ADirectoryThatIsAFile",
                   {"--to", "bmp", "--directory", "broken.png", "--convertnow", "--background", "sunset.png"},
                   2,
                   {"\"broken.png\" is not a folder"},
                   {}},
        StatusCase{"AFormatWordThatNamesNone",
                   {"--to", "jpegg", "--directory", "OUT", "--convertnow", "--background", "sunset.png"},
                   2,
                   {"\"jpegg\" after --to names no format"},
                   {}},
        StatusCase{"AnUnknownSwitch",
                   {"--to", "bmp", "--directroy", "OUT", "--convertnow", "--background", "sunset.png"},
                   2,
                   {"unknown switch \"--directroy\""},
                   {}},
        StatusCase{"NoFiles",
                   {"--to", "bmp", "--directory", "OUT", "--convertnow", "--background"},
                   2,
                   {"no files to convert"},
                   {}},
        StatusCase{"NoExportFolderAndNoDisplay",
                   {"--to", "bmp", "--convertnow", "--background", "sunset.png"},
                   2,
                   {"no export folder"},
                   {}},
        StatusCase{"AValueOnASwitchThatTakesNone",
                   {"--to", "bmp", "--directory", "OUT", "--convertnow=yes", "--background", "sunset.png"},
                   2,
                   {"--convertnow takes no value"},
                   {}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(CommandLineProcessTest, EveryFailedFileGetsOneLineWithItsReason) {
    Write("files/also-broken.png", "\x89PNG but no more");
    const TRun run = Run({"--to", "gif", "--directory", Out(), "--convertnow", "--background", "broken.png",
                          "sunset.png", "also-broken.png", "gone.png"});
    EXPECT_EQ(run.Status, 1);
    const QList<QByteArray> lines = run.Errors.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 4) << run.Errors.toStdString();
    // A reason follows each name; the run's own summary comes last.
    for (const QByteArray name : {"gone.png: ", "/broken.png: ", "/also-broken.png: "}) {
        const auto count = std::count_if(lines.begin(), lines.end(), [&](const QByteArray& line) {
            const qsizetype at = line.indexOf(name);
            return line.startsWith("formshift: ") && at > 0 && line.size() > at + name.size();
        });
        EXPECT_EQ(count, 1) << name.toStdString() << " in: " << run.Errors.toStdString();
    }
    EXPECT_TRUE(lines.first().endsWith("gone.png: no such file"));
    EXPECT_TRUE(lines.last().contains("1 of 4 files converted, 3 failed")) << lines.last().toStdString();
    EXPECT_EQ(Outputs(), QStringList{"sunset.gif"});
    EXPECT_EQ(ImageFormat(Dir.filePath("out/sunset.gif")), "gif");
}

TEST_F(CommandLineProcessTest, ADisplayThatCannotBeReachedIsNoPlaceForTheFolderDialog) {
    QProcess formshift;
    QProcessEnvironment environment = Environment();
    environment.insert("DISPLAY", ":97531");
    formshift.setProcessEnvironment(environment);
    formshift.setWorkingDirectory(Dir.filePath("files"));
    formshift.start(Program, {"--to", "bmp", "--convertnow", "--background", "sunset.png"});
    ASSERT_TRUE(formshift.waitForFinished(60000));
    const QByteArray errors = formshift.readAllStandardError();
    EXPECT_EQ(formshift.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(formshift.exitCode(), 2) << errors.toStdString();
    EXPECT_TRUE(errors.contains("no export folder")) << errors.toStdString();
    EXPECT_TRUE(Outputs().isEmpty());
}

TEST_F(CommandLineProcessTest, LongSwitchesWithAndWithoutEqualsSign) {
    for (const QStringList& arguments : {QStringList{"--from", "png", "--to", "jpeg", "--directory", Out(),
                                                     "--convertnow", "--background", "sunset.png"},
                                         QStringList{"--from=png", "--to=jpeg", "--directory=" + Out(),
                                                     "--background", "--convertnow", "sunset.png"},
                                         QStringList{"-from", "png", "+to", "jpeg", "/directory", Out(),
                                                     "/convertnow", "/background", "sunset.png"}}) {
        const TRun run = Run(arguments);
        EXPECT_EQ(run.Status, 0) << arguments.join(' ').toStdString() << ": " << run.Errors.toStdString();
    }
    EXPECT_EQ(Outputs(), (QStringList{"sunset (1).jpeg", "sunset (2).jpeg", "sunset.jpeg"}));
    for (const QString& name : Outputs())
        EXPECT_EQ(ImageFormat(Out() + "/" + name), "jpeg") << name.toStdString();
}

TEST_F(CommandLineProcessTest, PathsBeginningWithASlashAreFileNames) {
    // Full paths, and after "--" a name that begins like a switch.
    QFile::copy(Samples + "sunset.png", Dir.filePath("help.png"));
    QFile::copy(Samples + "sunset.png", Dir.filePath("files/-h.png"));
    const TRun run = Run({"/to", "bmp", "/directory", Out(), "/convertnow", "/background",
                          Dir.filePath("files/sunset.png"), Dir.filePath("help.png"), "--", "-h.png"});
    EXPECT_EQ(run.Status, 0) << run.Errors.toStdString();
    EXPECT_EQ(run.Output, "");
    EXPECT_EQ(Outputs(), (QStringList{"-h.bmp", "help.bmp", "sunset.bmp"}));
    for (const QString& name : Outputs())
        EXPECT_EQ(ImageFormat(Out() + "/" + name), "bmp") << name.toStdString();
}

TEST_F(CommandLineProcessTest, HelpGoesToStandardOutputAndNothingRuns) {
    for (const char* help : {"--help", "-h"}) {
        const TRun run =
            Run({help, "--to", "bmp", "--directory", Out(), "--convertnow", "--background", "sunset.png"});
        EXPECT_EQ(run.Status, 0) << help;
        EXPECT_TRUE(run.Output.startsWith("Usage: formshift")) << run.Output.toStdString();
        for (const char* part :
             {"/convertnow - Starts conversion", "--directory DIR", "--version", "Exit status: 0"})
            EXPECT_TRUE(run.Output.contains(part)) << part;
        EXPECT_FALSE(run.Output.contains('\r'));
        EXPECT_EQ(run.Errors, "");
    }
    EXPECT_TRUE(Outputs().isEmpty());
}

TEST_F(CommandLineProcessTest, VersionIsOneLine) {
    const TRun run = Run({"--version"});
    EXPECT_EQ(run.Status, 0);
    EXPECT_TRUE(
        QString::fromUtf8(run.Output).contains(QRegularExpression("^formshift \\d+\\.\\d+\\.\\d+\\n$")))
        << run.Output.toStdString();
}

TEST_F(CommandLineProcessTest, TheStoredExportFolderIsUsedOnlyWhenSavePathIsOn) {
    QDir(Dir.path()).mkpath(QFileInfo(SettingsFile()).path());
    Write(SettingsFile(), "[Application]\r\nSave path=1\r\nLast Path=" + Out().toUtf8() + "\r\n");
    TRun run = Run({"--to", "bmp", "--convertnow", "--background", "sunset.png"});
    EXPECT_EQ(run.Status, 0) << run.Errors.toStdString();
    EXPECT_EQ(Outputs(), QStringList{"sunset.bmp"});

    Write(SettingsFile(), "[Application]\r\nSave path=0\r\nLast Path=" + Out().toUtf8() + "\r\n");
    run = Run({"--to", "bmp", "--convertnow", "--background", "sunset.png"});
    EXPECT_EQ(run.Status, 2);
    EXPECT_TRUE(run.Errors.contains("no export folder")) << run.Errors.toStdString();
    EXPECT_EQ(Outputs(), QStringList{"sunset.bmp"});
}

TEST_F(CommandLineProcessTest, StoredJpegQualityIsUsed) {
    QDir(Dir.path()).mkpath(QFileInfo(SettingsFile()).path());
    QFile::copy(Samples + "meadow.jpg", Dir.filePath("files/meadow.jpg"));
    qint64 sizes[2] = {};
    for (int quality : {20, 95}) {
        Write(SettingsFile(), "[File:JPEG/HEIC]\r\nJPEG Quality=" + QByteArray::number(quality) + "\r\n");
        QDir(Out()).removeRecursively();
        QDir().mkpath(Out());
        const TRun run = Run({"--from", "jpg", "--to", "jpg", "--directory", Out(), "--convertnow",
                              "--background", "meadow.jpg"});
        ASSERT_EQ(run.Status, 0) << run.Errors.toStdString();
        ASSERT_EQ(Outputs().size(), 1);
        EXPECT_EQ(ImageFormat(Out() + "/" + Outputs().first()), "jpeg");
        sizes[quality == 95] = QFileInfo(Out() + "/" + Outputs().first()).size();
    }
    EXPECT_LT(sizes[0], sizes[1]);
}

TEST_F(CommandLineProcessTest, AudioRunsWithoutAWindow) {
    const QString ffprobe = QStandardPaths::findExecutable("ffprobe");
    if (ffprobe.isEmpty()) GTEST_SKIP() << "ffprobe is not installed";
    QFile::copy(Samples + "tone.wav", Dir.filePath("files/tone.wav"));
    const TRun run = Run({"--to", "flac", "--directory", Out(), "--convertnow", "--background", "tone.wav"});
    ASSERT_EQ(run.Status, 0) << run.Errors.toStdString();
    QProcess probe;
    probe.start(ffprobe, {"-v", "error", "-show_entries", "stream=codec_name", "-of", "csv=p=0",
                          Out() + "/tone.flac"});
    ASSERT_TRUE(probe.waitForFinished(30000));
    EXPECT_EQ(probe.readAllStandardOutput().trimmed(), "flac");
}

TEST_F(CommandLineProcessTest, ATerminalSeesProgressAndASummary) {
    const QString script = QStandardPaths::findExecutable("script");
    if (script.isEmpty()) GTEST_SKIP() << "script (util-linux) is not installed";
    QProcess formshift;
    formshift.setProcessEnvironment(Environment());
    formshift.setWorkingDirectory(Dir.filePath("files"));
    // script gives the program a terminal; its own output is the terminal's.
    const QString command =
        QStringLiteral("'%1' --to bmp --directory '%2' --convertnow --background sunset.png broken.png")
            .arg(Program, Out());
    formshift.start(script, {"-qec", command, "/dev/null"});
    ASSERT_TRUE(formshift.waitForFinished(60000));
    const QByteArray terminal = formshift.readAllStandardOutput();
    EXPECT_EQ(formshift.exitCode(), 1) << terminal.toStdString();
    EXPECT_TRUE(terminal.contains("\r\x1b[K[")) << terminal.toStdString();
    EXPECT_TRUE(terminal.contains("/2]")) << terminal.toStdString();
    EXPECT_TRUE(terminal.contains("broken.png: ")) << terminal.toStdString();
    EXPECT_TRUE(terminal.contains("1 of 2 files converted, 1 failed, into " + Out().toUtf8()))
        << terminal.toStdString();
}

TEST_F(CommandLineProcessTest, ABackgroundRunConvertsItsOwnFilesWhileAnotherCopyRuns) {
    // While this lock is held, a copy that starts is a second one.
    TInstanceLock other;
    ASSERT_FALSE(
        other.Acquire(Dir.filePath("run") + "/" + InstanceNameFor(QFileInfo(Program).canonicalFilePath())));
    const TRun run = Run({"--to", "bmp", "--directory", Out(), "--convertnow", "--background", "sunset.png"});
    EXPECT_EQ(run.Status, 0) << run.Errors.toStdString();
    EXPECT_EQ(Outputs(), QStringList{"sunset.bmp"});
    EXPECT_TRUE(QDir(Dir.filePath("data/BrenvaleSoftware/Formshift/Send")).isEmpty());
}

TEST_F(CommandLineProcessTest, AFileLeftAloneForItsExtensionFailsTheRun) {
    QDir(Dir.path()).mkpath(QFileInfo(SettingsFile()).path());
    Write(SettingsFile(), "[Conversion]\nIgnore Format Error=0\n");
    QFile::copy(Samples + "sunset.png", Dir.filePath("files/sunset.bmp"));
    const TRun run = Run({"--from", "png", "--to", "gif", "--directory", Out(), "--convertnow",
                          "--background", "sunset.png", "sunset.bmp"});
    EXPECT_EQ(run.Status, 1);
    EXPECT_TRUE(run.Errors.contains("sunset.bmp: skipped, as its extension does not name PNG"))
        << run.Errors.toStdString();
    EXPECT_TRUE(run.Errors.contains("1 of 2 files converted, 1 skipped")) << run.Errors.toStdString();
    EXPECT_EQ(Outputs(), QStringList{"sunset.gif"});
}

TEST_F(CommandLineProcessTest, ASignalStopsTheRunAndLeavesOnlyWholeFiles) {
    QStringList names;
    for (int i = 0; i < 3000; ++i) {
        names << QStringLiteral("s%1.png").arg(i, 4, 10, QLatin1Char('0'));
        ASSERT_TRUE(QFile::link(Dir.filePath("files/sunset.png"), Dir.filePath("files/" + names.last())));
    }
    QProcess formshift;
    formshift.setProcessEnvironment(Environment());
    formshift.setWorkingDirectory(Dir.filePath("files"));
    formshift.start(Program,
                    QStringList{"--to", "bmp", "--directory", Out(), "--convertnow", "--background"} + names);
    ASSERT_TRUE(formshift.waitForStarted());
    // Once the run is under way.
    while (Outputs().isEmpty() && formshift.state() == QProcess::Running)
        formshift.waitForFinished(10);
    if (formshift.state() != QProcess::Running) GTEST_SKIP() << "the run ended before it could be stopped";
    formshift.terminate();
    ASSERT_TRUE(formshift.waitForFinished(60000));
    const QByteArray errors = formshift.readAllStandardError();
    if (Outputs().size() == 3000) GTEST_SKIP() << "the run ended before the signal arrived";
    EXPECT_EQ(formshift.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(formshift.exitCode(), 128 + 15) << errors.toStdString();
    EXPECT_TRUE(errors.contains("stopped by SIGTERM")) << errors.toStdString();
    EXPECT_TRUE(errors.contains(QStringLiteral("%1 of 3000 files converted, %2 cancelled")
                                    .arg(Outputs().size())
                                    .arg(3000 - Outputs().size())
                                    .toUtf8()))
        << errors.toStdString();
    // Nothing half-written: every output is a whole picture, no staging file is left.
    for (const QString& name : Outputs()) {
        ASSERT_TRUE(name.endsWith(".bmp")) << name.toStdString();
        ASSERT_EQ(ImageFormat(Out() + "/" + name), "bmp") << name.toStdString();
    }
}

} // namespace
