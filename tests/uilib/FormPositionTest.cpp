#include "FormPosition.h"

#include "FileSizeLimit.h"
#include "TestApplication.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

class FormPositionTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { TestApplication(); }
    QString Ini() const { return FFolder.path() + "/window.ini"; }
    void WriteIni(const QByteArray& text) {
        QFile file(Ini());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    QTemporaryDir FFolder;
};

TEST_F(FormPositionTest, WithoutAFileTheFormIsCentred) {
    QWidget form;
    form.resize(400, 300);
    EXPECT_TRUE(PersistFormPosition(&form, Ini(), true, false));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(form.geometry().center().x() / 2, screen.center().x() / 2);
    EXPECT_EQ(form.geometry().center().y() / 2, screen.center().y() / 2);
    EXPECT_EQ(form.size(), QSize(400, 300));
}

TEST_F(FormPositionTest, AMinimisedStateIsRestoredAsNormal) {
    WriteIni("[Positions]\r\nLeft=40\r\nTop=50\r\nWidth=320\r\nHeight=240\r\nState=1\r\n");
    QWidget form;
    PersistFormPosition(&form, Ini(), true, false);
    EXPECT_EQ(form.geometry(), QRect(40, 50, 320, 240));
    EXPECT_FALSE(form.windowState() & Qt::WindowMinimized);
    EXPECT_FALSE(form.windowState() & Qt::WindowMaximized);
}

TEST_F(FormPositionTest, AMaximisedStateIsRestoredMaximised) {
    WriteIni("[Positions]\nLeft=40\nTop=50\nWidth=320\nHeight=240\nState=2\n");
    QWidget form;
    PersistFormPosition(&form, Ini(), true, false);
    EXPECT_TRUE(form.windowState() & Qt::WindowMaximized);
    form.show();
    form.setWindowState(Qt::WindowNoState);
    EXPECT_EQ(form.normalGeometry(), QRect(40, 50, 320, 240));
}

TEST_F(FormPositionTest, UnreadableEntriesKeepTheCurrentValues) {
    WriteIni("[Positions]\nLeft=abc\nTop=70\n");
    QWidget form;
    form.setGeometry(10, 20, 300, 200);
    PersistFormPosition(&form, Ini(), true, false);
    EXPECT_EQ(form.geometry(), QRect(10, 70, 300, 200));
}

TEST_F(FormPositionTest, SavingAMaximisedFormWritesItsNormalBoundsAndLeavesItMaximised) {
    QWidget form;
    form.setGeometry(60, 80, 330, 220);
    form.show();
    form.showMaximized();
    ASSERT_TRUE(PersistFormPosition(&form, Ini(), false, false));
    QSettings ini(Ini(), QSettings::IniFormat);
    EXPECT_EQ(ini.value("Positions/State").toInt(), 2);
    EXPECT_EQ(ini.value("Positions/Left").toInt(), 60);
    EXPECT_EQ(ini.value("Positions/Top").toInt(), 80);
    EXPECT_EQ(ini.value("Positions/Width").toInt(), 330);
    EXPECT_EQ(ini.value("Positions/Height").toInt(), 220);
    EXPECT_TRUE(form.isMaximized());
}

TEST_F(FormPositionTest, SavingWithLeaveNormalLeavesTheFormNormal) {
    QWidget form;
    form.setGeometry(60, 80, 330, 220);
    form.show();
    form.showMinimized();
    ASSERT_TRUE(PersistFormPosition(&form, Ini(), false, true));
    QSettings ini(Ini(), QSettings::IniFormat);
    EXPECT_EQ(ini.value("Positions/State").toInt(), 1);
    EXPECT_EQ(ini.value("Positions/Width").toInt(), 330);
    EXPECT_FALSE(form.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized));
}

TEST_F(FormPositionTest, SavedPositionsRoundTrip) {
    QWidget first;
    first.setGeometry(11, 22, 333, 244);
    ASSERT_TRUE(PersistFormPosition(&first, Ini(), false, true));
    QWidget second;
    PersistFormPosition(&second, Ini(), true, false);
    EXPECT_EQ(second.geometry(), QRect(11, 22, 333, 244));
}

TEST_F(FormPositionTest, AFullDiskKeepsTheOldFileAndIsReported) {
    const QByteArray old = "[Positions]\nLeft=5\n";
    WriteIni(old);
    QWidget form;
    form.setGeometry(1111, 2222, 3333, 4444);
    bool saved = true;
    {
        // Room for a copy of the old file, not for the new one.
        const TFileSizeLimit limit(40);
        if (!limit.Active()) GTEST_SKIP() << "cannot set a file-size limit";
        saved = PersistFormPosition(&form, Ini(), false, false);
    }
    EXPECT_FALSE(saved);
    QFile file(Ini());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), old);
    EXPECT_EQ(QDir(FFolder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"window.ini"});
}

TEST_F(FormPositionTest, AFileThatCannotBeWrittenIsReported) {
    QFile blocker(FFolder.path() + "/not-a-folder");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QWidget form;
    EXPECT_FALSE(PersistFormPosition(&form, blocker.fileName() + "/window.ini", false, false));
    EXPECT_FALSE(PersistFormPosition(nullptr, Ini(), true, false));
}

} // namespace
