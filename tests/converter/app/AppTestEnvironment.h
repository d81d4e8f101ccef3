#pragma once
// Every widget test of the program runs inside one QApplication on Qt's offscreen
// platform, with private data and runtime folders so that no test meets a
// running copy of the program or the user's own settings.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <ostream>

// The folder the tests' XDG variables point into.
QString TestHome();

// Readable failure messages.
inline void PrintTo(const QString& text, std::ostream* stream) {
    *stream << '"' << text.toStdString() << '"';
}

// A test about one file of the program's own, in a fresh temporary folder.
class OneFileTest : public testing::Test {
  protected:
    explicit OneFileTest(const char* fileName) : FFileName(fileName) {}

    QString File() const { return Dir.filePath(FFileName); }
    void Write(const QByteArray& bytes) {
        QFile file(File());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray Read() {
        QFile file(File());
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll();
    }

    QTemporaryDir Dir;

  private:
    const char* FFileName;
};
