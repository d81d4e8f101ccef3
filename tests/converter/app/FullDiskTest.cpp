#include "HandOver.h"
#include "IniDocument.h"
#include "TextLines.h"

#include "FileSizeLimit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

// One of the program's small files, saved while the disk is full: true when the
// save reported its failure.
struct FullDiskCase {
    const char* Name;
    const char* FileName;
    std::function<bool(const QString& path, const QStringList& lines)> Save;
};

bool SaveIni(const QString& path, const QStringList& lines) {
    TIniDocument ini;
    for (int i = 0; i < lines.size(); ++i)
        ini.WriteString("Application", QStringLiteral("Key%1").arg(i), lines[i]);
    QString error;
    const bool saved = ini.Save(path, &error);
    return !saved && error.contains(QFileInfo(path).fileName());
}

bool SaveHistory(const QString& path, const QStringList& lines) {
    try {
        SaveLines(path, lines);
    } catch (const std::runtime_error&) {
        return true;
    }
    return false;
}

bool HandOver(const QString& path, const QStringList& lines) {
    try {
        WriteHandOverList(path, lines);
    } catch (const std::runtime_error&) {
        return true;
    }
    return false;
}

class FullDiskTest : public testing::TestWithParam<FullDiskCase> {};

TEST_P(FullDiskTest, AFailedSaveKeepsTheOldFileAndReportsTheError) {
    QTemporaryDir dir;
    const QString path = dir.filePath(GetParam().FileName);
    const bool isFolder = QByteArray(GetParam().Name) == "HandOver";
    const QString keep = isFolder ? QDir(path).filePath("7") : path;
    QDir().mkpath(QFileInfo(keep).path());
    {
        QFile old(keep);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("/old/entry\r\n");
    }
    // Small enough to sit in a write buffer until the file is closed, which is
    // where a full disk shows; larger than what the disk still takes.
    const QStringList lines(40, QStringLiteral("/a/long/enough/folder/name/for/the/limit"));

    bool reported = false;
    {
        const TFileSizeLimit limit(512);
        if (!limit.Active()) GTEST_SKIP() << "cannot set a file-size limit";
        reported = GetParam().Save(path, lines);
    }
    EXPECT_TRUE(reported);
    QFile old(keep);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), "/old/entry\r\n");
    // Nothing half written is left anywhere for a reader to take.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{GetParam().FileName});
    if (isFolder) {
        EXPECT_EQ(QDir(path).entryList(QDir::Files | QDir::Hidden), QStringList{"7"});
    }
}

INSTANTIATE_TEST_SUITE_P(Files, FullDiskTest,
                         testing::Values(FullDiskCase{"Settings", "setings.ini", SaveIni},
                                         FullDiskCase{"History", "folderhistory.txt", SaveHistory},
                                         FullDiskCase{"HandOver", "Send", HandOver}),
                         [](const auto& info) { return std::string(info.param.Name); });

} // namespace
