#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

namespace {

class BackgroundRunTest : public testing::Test {
  protected:
    int Run(const QStringList& arguments, QByteArray* errors = nullptr, QByteArray* output = nullptr,
            const QString& platform = QString()) {
        QProcess formshift;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_DATA_HOME", Dir.filePath("xdg"));
        environment.remove("DISPLAY");
        environment.remove("WAYLAND_DISPLAY");
        environment.remove("QT_QPA_PLATFORM");
        if (!platform.isEmpty()) environment.insert("QT_QPA_PLATFORM", platform);
        formshift.setProcessEnvironment(environment);
        formshift.setWorkingDirectory(Dir.path());
        formshift.start(BRENVALE_BINARY_DIR "/bin/formshift", arguments);
        if (!formshift.waitForFinished(30000)) {
            formshift.kill();
            formshift.waitForFinished();
            ADD_FAILURE() << "formshift did not end";
        }
        if (errors) *errors = formshift.readAllStandardError();
        if (output) *output = formshift.readAllStandardOutput();
        return formshift.exitCode();
    }

    QByteArray Write(const QString& name, qsizetype size) {
        QByteArray bytes(size, Qt::Uninitialized);
        for (auto& b : bytes)
            b = char(QRandomGenerator::global()->generate());
        QFile file(Dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return bytes;
    }

    QByteArray Read(const QString& name) {
        QFile file(Dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        return file.readAll();
    }

    QTemporaryDir Dir;
};

TEST_F(BackgroundRunTest, AnyFileToBase64AndBackWithNumberedClashes) {
    // Decoding stores the bytes under the target's extension, so they begin as a PNG file does.
    const QByteArray data = QByteArray("\x89PNG\r\n\x1a\n", 8) + Write("data.png", 200000);
    {
        QFile file(Dir.filePath("data.png"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(data);
    }
    QDir().mkpath(Dir.filePath("out"));
    QDir().mkpath(Dir.filePath("back"));
    ASSERT_EQ(Run({"/to", "b64", "/directory", "out", "/convertnow", "/background", "data.png", "data.png"}),
              0);
    EXPECT_EQ(QDir(Dir.filePath("out")).entryList(QDir::Files | QDir::Hidden, QDir::Name),
              (QStringList{"data.png (1).b64", "data.png.b64"}));

    ASSERT_EQ(Run({"/to", "png", "/directory", "back", "/convertnow", "/background", "out/data.png.b64"}), 0);
    EXPECT_EQ(Read("back/data.png"), data);
}

TEST_F(BackgroundRunTest, Base64OfAnotherFormatFailsWithItsReasonAndExitStatus1) {
    Write("python.png", 100);
    QDir().mkpath(Dir.filePath("out"));
    ASSERT_EQ(Run({"/to", "b64", "/directory", "out", "/convertnow", "/background", "python.png"}), 0);
    QByteArray errors;
    EXPECT_EQ(
        Run({"/to", "bmp", "/directory", "out", "/convertnow", "/background", "out/python.png.b64"}, &errors),
        1);
    EXPECT_TRUE(errors.contains("not BMP data")) << errors.toStdString();
    EXPECT_EQ(QDir(Dir.filePath("out")).entryList(QDir::Files | QDir::Hidden), QStringList{"python.png.b64"});
}

TEST_F(BackgroundRunTest, AFormatWordThatNamesNoFormatIsAUsageError) {
    Write("a.bin", 10);
    QDir().mkpath(Dir.filePath("out"));
    QByteArray errors;
    EXPECT_EQ(Run({"/to", "foo", "/directory", "out", "/convertnow", "/background", "a.bin"}, &errors), 2);
    EXPECT_TRUE(errors.contains("\"foo\"")) << errors.toStdString();
    EXPECT_TRUE(errors.contains("img-base")) << errors.toStdString();
    EXPECT_TRUE(QDir(Dir.filePath("out")).isEmpty());
}

TEST_F(BackgroundRunTest, HelpOnAPlatformWithoutAScreenPrintsAndEnds) {
    for (const QString platform : {"", "offscreen"}) {
        QByteArray output;
        EXPECT_EQ(Run({"/help"}, nullptr, &output, platform), 0) << platform.toStdString();
        EXPECT_TRUE(output.contains("Parameters you can use")) << platform.toStdString();
    }
}

TEST_F(BackgroundRunTest, ABackgroundRunWritesNoBellToStandardError) {
    Write("a.bin", 10);
    QDir().mkpath(Dir.filePath("out"));
    QByteArray errors;
    ASSERT_EQ(Run({"/to", "b64", "/directory", "out", "/convertnow", "/background", "a.bin"}, &errors), 0);
    EXPECT_FALSE(errors.contains('\a')) << errors.toStdString();
}

TEST_F(BackgroundRunTest, ANameThatIsNoUtf8TextEndsWithAReasonAndFailsTheRun) {
    const QByteArray name("bad\xFF.bin");
    {
        const int fd =
            ::open((QFile::encodeName(Dir.path()) + "/" + name).constData(), O_WRONLY | O_CREAT, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::write(fd, "data", 4), 4);
        ::close(fd);
    }
    Write("good.bin", 10);
    QDir().mkpath(Dir.filePath("out"));
    // Raw bytes cannot travel in a QString argument, so a shell passes the name.
    QProcess formshift;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_DATA_HOME", Dir.filePath("xdg"));
    environment.remove("DISPLAY");
    environment.remove("WAYLAND_DISPLAY");
    environment.remove("QT_QPA_PLATFORM");
    formshift.setProcessEnvironment(environment);
    formshift.setWorkingDirectory(Dir.path());
    formshift.start("/bin/sh", {"-c",
                                "exec \"$0\" /to b64 /directory out /convertnow /background good.bin "
                                "\"$(printf 'bad\\377.bin')\"",
                                BRENVALE_BINARY_DIR "/bin/formshift"});
    ASSERT_TRUE(formshift.waitForFinished(30000));
    const QByteArray errors = formshift.readAllStandardError();
    EXPECT_EQ(formshift.exitCode(), 1) << errors.toStdString();
    EXPECT_TRUE(errors.contains("not UTF-8")) << errors.toStdString();
    EXPECT_EQ(QDir(Dir.filePath("out")).entryList(QDir::Files | QDir::Hidden), QStringList{"good.bin.b64"});
}

TEST_F(BackgroundRunTest, NoExportFolderEndsWithAMessage) {
    Write("a.bin", 10);
    QByteArray errors;
    EXPECT_NE(Run({"/to", "b64", "/convertnow", "/background", "a.bin"}, &errors), 0);
    EXPECT_TRUE(errors.contains("no export folder")) << errors.toStdString();
}

} // namespace
