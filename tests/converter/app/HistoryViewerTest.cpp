#include "HistoryViewer.h"
#include "AppTestEnvironment.h"
#include "LabelButton.h"
#include "TextLines.h"

#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class HistoryViewerTest : public OneFileTest {
  protected:
    HistoryViewerTest() : OneFileTest("folderhistory.txt") {}
};

TEST_F(HistoryViewerTest, AHundredAndTwentyLinesLoadAsTheLastFifty) {
    QStringList lines;
    for (int i = 0; i < 120; ++i)
        lines << QStringLiteral("/photos/%1").arg(i);
    SaveLines(File(), lines);
    THistView history(File());
    history.ReLoadHistory();
    EXPECT_EQ(history.History(), lines.mid(70));
    ASSERT_TRUE(history.SaveHistory().isEmpty());
    EXPECT_EQ(LoadLines(File()), lines.mid(70));
}

TEST_F(HistoryViewerTest, AFolderMovesToTheEndIgnoringCase) {
    SaveLines(File(), {"/data/a", "/data/photos", "/data/b"});
    THistView history(File());
    history.AddHistory("/DATA/Photos");
    EXPECT_EQ(history.History(), (QStringList{"/data/a", "/data/b", "/DATA/Photos"}));
    history.AddHistory("/data/c");
    EXPECT_EQ(history.History().last(), "/data/c");
    EXPECT_EQ(history.History().size(), 4);
}

TEST_F(HistoryViewerTest, TheFileIsWrittenWithCrLfAndReadWithAByteOrderMark) {
    Write("\xEF\xBB\xBF/m\xC3\xBCsic\r\n/b\n/c\r");
    THistView history(File());
    history.AddHistory("/d");
    EXPECT_EQ(history.History(), (QStringList{QString::fromUtf8("/m\xC3\xBCsic"), "/b", "/c", "/d"}));
    ASSERT_TRUE(history.SaveHistory().isEmpty());
    EXPECT_EQ(Read(), "/m\xC3\xBCsic\r\n/b\r\n/c\r\n/d\r\n");
}

TEST_F(HistoryViewerTest, AHistoryNeverLoadedLeavesTheFileAlone) {
    Write("/keep\r\n");
    THistView history(File());
    EXPECT_TRUE(history.SaveHistory().isEmpty());
    EXPECT_EQ(Read(), "/keep\r\n");
    EXPECT_FALSE(history.Loaded());
}

TEST_F(HistoryViewerTest, ClearingEmptiesTheListAndTheFileAtOnce) {
    SaveLines(File(), {"/a", "/b"});
    THistView history(File());
    history.OpenAbove(&history);
    auto* block = history.findChild<QListWidget*>("HistoryBlock");
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block->count(), 2);
    QTest::mouseClick(history.findChild<TLabelButton*>("dirlabel"), Qt::LeftButton);
    EXPECT_EQ(block->count(), 0);
    EXPECT_TRUE(history.History().isEmpty());
    EXPECT_EQ(Read(), "");
}

TEST_F(HistoryViewerTest, ADoubleClickedEntryIsChosenAndThePopupCloses) {
    SaveLines(File(), {"/a", "/b"});
    QWidget anchor;
    anchor.setGeometry(100, 300, 200, 30);
    anchor.show();
    THistView history(File());
    history.OpenAbove(&anchor);
    EXPECT_EQ(history.geometry().bottom() + 1, anchor.mapToGlobal(QPoint(0, 0)).y());
    EXPECT_EQ(history.size(), QSize(400, 200));
    QString chosen;
    QObject::connect(&history, &THistView::PathChosen, [&](const QString& path) { chosen = path; });
    auto* block = history.findChild<QListWidget*>("HistoryBlock");
    block->setCurrentRow(1);
    emit block->itemDoubleClicked(block->item(1));
    EXPECT_EQ(chosen, "/b");
    EXPECT_FALSE(history.isVisible());
}

TEST_F(HistoryViewerTest, AnUnreadableFileIsNeverReplacedBehindTheUser) {
    Write("/keep\r\n");
    QFile::setPermissions(File(), QFileDevice::WriteOwner);
    QFile probe(File());
    if (probe.open(QIODevice::ReadOnly)) GTEST_SKIP() << "running with rights that read any file";
    THistView history(File());
    history.AddHistory("/new");
    EXPECT_EQ(history.History(), QStringList{"/new"});
    EXPECT_TRUE(history.SaveHistory().isEmpty());
    QFile::setPermissions(File(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_EQ(Read(), "/keep\r\n");
}

} // namespace
