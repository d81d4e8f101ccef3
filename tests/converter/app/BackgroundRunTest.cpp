#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class BackgroundRunTest : public testing::Test {
  protected:
    int Run(const QStringList& arguments, QByteArray* errors = nullptr) {
        QProcess formshift;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_DATA_HOME", Dir.filePath("xdg"));
        environment.remove("DISPLAY");
        environment.remove("WAYLAND_DISPLAY");
        environment.remove("QT_QPA_PLATFORM");
        formshift.setProcessEnvironment(environment);
        formshift.setWorkingDirectory(Dir.path());
        formshift.start(BRENVALE_BINARY_DIR "/bin/formshift", arguments);
        EXPECT_TRUE(formshift.waitForFinished(30000));
        if (errors) *errors = formshift.readAllStandardError();
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
    const QByteArray data = Write("data.bin", 200000);
    QDir().mkpath(Dir.filePath("out"));
    QDir().mkpath(Dir.filePath("back"));
    ASSERT_EQ(Run({"/to", "b64", "/directory", "out", "/convertnow", "/background", "data.bin", "data.bin"}),
              0);
    EXPECT_EQ(QDir(Dir.filePath("out")).entryList(QDir::Files | QDir::Hidden, QDir::Name),
              (QStringList{"data.bin (1).b64", "data.bin.b64"}));

    ASSERT_EQ(Run({"/to", "bin", "/directory", "back", "/convertnow", "/background", "out/data.bin.b64"}), 0);
    // "bin" is no format word: the target stays PNG, and decoding writes data.bin.png.
    EXPECT_EQ(Read("back/data.bin.png"), data);
}

TEST_F(BackgroundRunTest, NoExportFolderEndsWithAMessage) {
    Write("a.bin", 10);
    QByteArray errors;
    EXPECT_NE(Run({"/to", "b64", "/convertnow", "/background", "a.bin"}, &errors), 0);
    EXPECT_TRUE(errors.contains("no export folder")) << errors.toStdString();
}

} // namespace
