// Real copies of the program meeting each other: the first copy and clones that
// hand their files over, on the offscreen platform with private folders.
#include "AppTestEnvironment.h"
#include "Eventually.h"
#include "InstanceChannel.h"
#include "InstanceLock.h"
#include "Instances.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

const QString Program = QStringLiteral(BRENVALE_BINARY_DIR "/bin/formshift");

struct TReport {
    QString Caption;
    QStringList Files;
};

class RunningCopiesTest : public testing::Test {
  protected:
    void SetUp() override {
        QDir(Dir.path()).mkpath("run");
        QDir(Dir.path()).mkpath("files");
        QFile::setPermissions(Dir.filePath("run"),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        FSavedRuntime = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(Dir.filePath("run")));
    }

    void TearDown() override {
        for (auto& copy : FCopies) {
            if (copy->state() != QProcess::NotRunning) {
                copy->kill();
                copy->waitForFinished(5000);
            }
        }
        qputenv("XDG_RUNTIME_DIR", FSavedRuntime);
    }

    QString DataFolder() const { return Dir.filePath("data/BrenvaleSoftware/Formshift/"); }
    QString HandOverFolder() const { return DataFolder() + "Send"; }

    QString Touch(const QString& name) {
        QFile file(Dir.filePath("files/" + name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        return QFileInfo(file).absoluteFilePath();
    }

    QProcess& Start(const QStringList& arguments) {
        auto copy = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_RUNTIME_DIR", Dir.filePath("run"));
        environment.insert("XDG_DATA_HOME", Dir.filePath("data"));
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("FORMSHIFT_TEST_HOOKS", "1");
        copy->setProcessEnvironment(environment);
        copy->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        copy->setWorkingDirectory(Dir.path());
        copy->start(Program, arguments);
        EXPECT_TRUE(copy->waitForStarted(5000));
        FCopies.push_back(std::move(copy));
        return *FCopies.back();
    }

    // Runs a clone to its end; true when it ended by itself with exit code 0.
    static bool Finishes(QProcess& copy) {
        return copy.waitForFinished(15000) && copy.exitStatus() == QProcess::NormalExit &&
               copy.exitCode() == 0;
    }

    static bool WaitUntil(const std::function<bool()>& condition, int milliseconds = 10000) {
        return Eventually(condition, milliseconds);
    }

    // What the window answering under `caption` holds; an empty caption when none answered.
    static TReport Report(const QString& caption) {
        QByteArray reply;
        TReport report;
        if (!TInstanceChannel::Send("report", caption, &reply)) return report;
        for (const QByteArray& line : reply.split('\n')) {
            if (line.startsWith("caption=")) report.Caption = QString::fromUtf8(line.mid(8));
            if (line.startsWith("file=")) report.Files << QString::fromUtf8(line.mid(5));
        }
        return report;
    }

    static bool WindowAnswers(const QString& caption) {
        return WaitUntil([&] { return Report(caption).Caption == caption; });
    }

    QStringList WaitingHandOvers() const {
        return QDir(HandOverFolder()).entryList(QDir::Files | QDir::Hidden);
    }

    QTemporaryDir Dir;
    QByteArray FSavedRuntime;
    std::vector<std::unique_ptr<QProcess>> FCopies;
};

TEST_F(RunningCopiesTest, TwoFilesHandedToTheFirstCopyArriveInItsList) {
    const QString a = Touch("a.png"), b = Touch("b.png");
    Start({});
    ASSERT_TRUE(WindowAnswers("Formshift"));
    ASSERT_TRUE(Finishes(Start({a, "/to", "jpg", b})));
    ASSERT_TRUE(WaitUntil([&] { return Report("Formshift").Files.size() == 2; }));
    EXPECT_EQ(Report("Formshift").Files, (QStringList{a, b}));
    EXPECT_TRUE(WaitingHandOvers().isEmpty());
}

TEST_F(RunningCopiesTest, AnUnheardEmptyListIsFetchedWhenTheFirstCopyStarts) {
    // While this lock is held, a started copy is a clone with no window to talk to.
    TInstanceLock other;
    ASSERT_FALSE(
        other.Acquire(RuntimeFolder() + "/" + InstanceNameFor(QFileInfo(Program).canonicalFilePath())));
    ASSERT_TRUE(Finishes(Start({"/convertnow"})));
    const QStringList waiting = WaitingHandOvers();
    ASSERT_EQ(waiting.size(), 1);
    bool number = false;
    EXPECT_LT(waiting.first().toInt(&number), 1000);
    EXPECT_TRUE(number);
    EXPECT_EQ(QFileInfo(HandOverFolder() + "/" + waiting.first()).size(), 0);

    const QString photo = Touch("photo.png");
    ASSERT_TRUE(Finishes(Start({photo})));
    ASSERT_EQ(WaitingHandOvers().size(), 2);
    other.Release();

    // The first copy to start fetches what no window heard about.
    Start({});
    ASSERT_TRUE(WindowAnswers("Formshift"));
    EXPECT_TRUE(WaitUntil([&] { return WaitingHandOvers().isEmpty(); }));
    EXPECT_EQ(Report("Formshift").Files, QStringList{photo});
}

TEST_F(RunningCopiesTest, TenClonesAtOnceLoseNoFile) {
    QStringList files;
    for (int i = 0; i < 10; ++i)
        files << Touch(QStringLiteral("clone%1.png").arg(i));
    Start({});
    ASSERT_TRUE(WindowAnswers("Formshift"));
    std::vector<QProcess*> clones;
    for (const QString& file : files)
        clones.push_back(&Start({file}));
    for (QProcess* clone : clones)
        EXPECT_TRUE(Finishes(*clone));
    ASSERT_TRUE(WaitUntil([&] { return Report("Formshift").Files.size() >= 10; }));
    QStringList arrived = Report("Formshift").Files;
    arrived.sort();
    EXPECT_EQ(arrived, files);
    EXPECT_TRUE(WaitingHandOvers().isEmpty());
}

TEST_F(RunningCopiesTest, ClosingTheFirstCopyMakesACloneTheFirst) {
    QProcess& first = Start({});
    ASSERT_TRUE(WindowAnswers("Formshift"));
    QProcess& clone = Start({});
    ASSERT_TRUE(WindowAnswers("Formshift Clone"));

    ASSERT_TRUE(SendToInstance("quit"));
    ASSERT_TRUE(Finishes(first));
    EXPECT_TRUE(QFile::exists(DataFolder() + "setings.ini"));
    ASSERT_TRUE(WindowAnswers("Formshift"));
    EXPECT_EQ(Report("Formshift Clone").Caption, "");

    // Now the first copy, it saves its settings when it closes.
    QFile::remove(DataFolder() + "setings.ini");
    ASSERT_TRUE(SendToInstance("quit"));
    ASSERT_TRUE(Finishes(clone));
    EXPECT_TRUE(QFile::exists(DataFolder() + "setings.ini"));

    // With every copy gone, the next one is the first again.
    Start({});
    EXPECT_TRUE(WindowAnswers("Formshift"));
}

} // namespace
