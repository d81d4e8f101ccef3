#include "Instances.h"
#include "AppTestEnvironment.h"
#include "InstanceChannel.h"
#include "InstanceLock.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(InstancesTest, TheNameIsThePathWithDelimitersAndDotsReplaced) {
    EXPECT_EQ(InstanceNameFor("/opt/Apps/Tool/tool.bin"), "_opt_Apps_Tool_tool_bin");
    EXPECT_EQ(InstanceNameFor("C:/x.y"), "C_x_y");
}

TEST(InstancesTest, ALongNameKeepsItsLastHundredCharacters) {
    const QString path = "/" + QString(148, QChar('a')) + "z";
    ASSERT_EQ(InstanceNameFor(path).size(), 100);
    EXPECT_EQ(InstanceNameFor(path), InstanceNameFor(path).right(100));
    EXPECT_EQ(InstanceNameFor(path), QString(99, QChar('a')) + "z");
}

TEST(InstancesTest, TheFirstHolderIsAloneLaterOnesAreNot) {
    QTemporaryDir dir;
    const QString path = dir.filePath("lock");
    TInstanceLock first, second, third;
    EXPECT_FALSE(first.Acquire(path));
    EXPECT_TRUE(second.Acquire(path));
    first.Release();
    // The second copy keeps the name alive after the first has ended.
    EXPECT_TRUE(third.Acquire(path));
    second.Release();
    third.Release();
    TInstanceLock again;
    EXPECT_FALSE(again.Acquire(path));
}

TEST(InstancesTest, ALockThatCannotBeOpenedCountsAsTheFirstCopy) {
    TInstanceLock lock;
    EXPECT_FALSE(lock.Acquire("/nonexistent-folder/lock"));
}

TEST(InstancesTest, TheRuntimeFolderComesFromTheEnvironment) {
    EXPECT_EQ(RuntimeFolder(), QDir::cleanPath(TestHome() + "/run"));
}

TEST(InstanceChannelTest, AWordForAMissingWindowGoesNowhere) {
    EXPECT_FALSE(SendToInstance("focus", "No Such Window"));
}

TEST(InstanceChannelTest, TheSocketOfAVanishedCopyIsCleanedUp) {
    const QString folder = TInstanceChannel::WindowsFolder() + "/Vanished";
    QDir().mkpath(folder);
    // Above any process number the system hands out.
    QFile(folder + "/4194305").open(QIODevice::WriteOnly);
    EXPECT_FALSE(SendToInstance("focus", "Vanished"));
    EXPECT_FALSE(QFile::exists(folder + "/4194305"));
}

TEST(InstanceChannelTest, AWindowAnswersUnderItsCaptionOnly) {
    TInstanceChannel channel([](const QString&) { return QByteArray(); });
    ASSERT_TRUE(channel.Listen("Formshift Clone"));
    const QString self = QString::number(QCoreApplication::applicationPid());
    EXPECT_TRUE(QFile::exists(TInstanceChannel::WindowsFolder() + "/Formshift Clone/" + self));
    ASSERT_TRUE(channel.Listen("Formshift"));
    EXPECT_FALSE(QFile::exists(TInstanceChannel::WindowsFolder() + "/Formshift Clone/" + self));
    EXPECT_TRUE(QFile::exists(TInstanceChannel::WindowsFolder() + "/Formshift/" + self));
    channel.Close();
    EXPECT_FALSE(QFile::exists(TInstanceChannel::WindowsFolder() + "/Formshift/" + self));
}

} // namespace
