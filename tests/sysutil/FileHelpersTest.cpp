#include "FileHelpers.h"

#include "ArgumentsApplication.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(FileHelpersTest, FileByteSizeOfFilesFoldersAndNothing) {
    QTemporaryDir folder;
    QFile file(folder.path() + "/data.bin");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(12345, 'x'));
    file.close();
    EXPECT_EQ(FileByteSize(file.fileName()), 12345);
    EXPECT_EQ(FileByteSize(folder.path()), 0);
    EXPECT_EQ(FileByteSize(folder.path() + "/missing"), -1);
    EXPECT_EQ(FileByteSize(""), -1);
    ASSERT_TRUE(QFile::link(folder.path() + "/gone", folder.path() + "/dangling"));
    EXPECT_EQ(FileByteSize(folder.path() + "/dangling"), 0);
}

TEST(FileHelpersTest, ShellFileIconGivesAnIconOfTheRequestedSizeForAnyName) {
    ArgumentsApplication::Start();
    for (const char* name :
         {".png", "photo.jpg", "/no/such/file.mp3", "archive.unknownextension", "noextension"}) {
        const QIcon large = ShellFileIcon(name, true);
        ASSERT_FALSE(large.isNull()) << name;
        EXPECT_EQ(large.availableSizes().value(0), QSize(32, 32)) << name;
        EXPECT_EQ(ShellFileIcon(name, false).availableSizes().value(0), QSize(16, 16)) << name;
    }
}

} // namespace
