#include "FileListBox.h"
#include "AppTestEnvironment.h"
#include "Converters.h"
#include "FXScrollbar.h"
#include "FormshiftMain.h"
#include "LabelButton.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QHelpEvent>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

// The file list inside the real main window, fed by the real driver.
class FileListBoxTest : public testing::Test {
  protected:
    void SetUp() override {
        QDir(Dir.path()).mkpath("data");
        QDir(Dir.path()).mkpath("out");
        Window = std::make_unique<TFormshift>(Dir.filePath("data/"));
        Window->setAllowThemeChangeAnimation(false);
        Window->Dialogs.ChooseSaveFile = [this](QWidget*, const QStringList&, bool& first) {
            ++SaveDialogs;
            first = true;
            return QString();
        };
        Window->Driver().ExportPath = Dir.filePath("out");
        Window->resize(1035, 629);
        Window->show();
        QApplication::setActiveWindow(Window.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(Window.get()));
        List = Window->findChild<TFileListBox*>("ItemsFiles");
        ASSERT_NE(List, nullptr);
    }

    QString Touch(const QString& name, const QByteArray& bytes = {}) {
        const QString path = Dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    // Names only: the list draws what the job list says, whether or not the files exist.
    void FillWithNames(int count) {
        QStringList names;
        for (int i = 0; i < count; ++i)
            names << QStringLiteral("/nowhere/picture %1.png").arg(i);
        Window->Jobs().FileList = names;
        Window->Driver().PrepareList();
    }

    QAccessibleInterface* Row(int row) {
        QAccessibleInterface* list = QAccessible::queryAccessibleInterface(List);
        return list == nullptr ? nullptr : list->child(row);
    }

    QTemporaryDir Dir;
    std::unique_ptr<TFormshift> Window;
    TFileListBox* List = nullptr;
    int SaveDialogs = 0;
};

TEST_F(FileListBoxTest, RowsShowNameTypeAndStateToScreenReaders) {
    Window->AddFiles({Touch("song.FLAC"), Touch("README")});
    Window->Driver().PrepareList();
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(List);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->role(), QAccessible::List);
    EXPECT_EQ(list->text(QAccessible::Name), "Files to convert");
    ASSERT_EQ(list->childCount(), 2);
    EXPECT_EQ(Row(0)->role(), QAccessible::ListItem);
    EXPECT_EQ(Row(0)->text(QAccessible::Name), "song.FLAC, FLAC File, Waiting");
    EXPECT_EQ(Row(1)->text(QAccessible::Name), "README, File, Waiting");
    for (int row = 0; row < 2; ++row)
        EXPECT_TRUE(IsSpokenText(Row(row)->text(QAccessible::Name)));
    EXPECT_EQ(list->indexOfChild(Row(1)), 1);

    // The state is read as it changes.
    Window->Jobs().ItemStatus[0] = TModifyProgress::Converting;
    Window->Jobs().ItemPercent[0] = 42;
    EXPECT_EQ(Row(0)->text(QAccessible::Name), "song.FLAC, FLAC File, Converting 42%");
}

std::vector<std::pair<QAccessible::Event, int>> AccessibleEvents;

void RecordAccessibleEvent(QAccessibleEvent* event) {
    if (qobject_cast<TFileListBox*>(event->object()))
        AccessibleEvents.emplace_back(event->type(), event->child());
}

TEST_F(FileListBoxTest, ScreenReadersHearTheCurrentRowAndStateChangesAsTheyHappen) {
    QAccessible::setActive(true);
    if (!QAccessible::isActive()) GTEST_SKIP() << "this platform has no accessibility bridge to activate";
    AccessibleEvents.clear();
    QAccessible::installUpdateHandler(RecordAccessibleEvent);
    Window->AddFiles({Touch("a.png"), Touch("b.png")});
    Window->Driver().PrepareList();
    List->setFocus();
    QTest::keyClick(List, Qt::Key_Down);
    Window->Jobs().ItemStatus[1] = TModifyProgress::Finalised;
    Window->Driver().PrepareList();
    QAccessible::installUpdateHandler(nullptr);
    QAccessible::setActive(false);
    using Event = std::pair<QAccessible::Event, int>;
    const auto has = [](const Event& wanted) {
        return std::find(AccessibleEvents.begin(), AccessibleEvents.end(), wanted) != AccessibleEvents.end();
    };
    EXPECT_TRUE(has(Event(QAccessible::Focus, 1)));
    EXPECT_TRUE(has(Event(QAccessible::NameChanged, 1)));
    EXPECT_FALSE(has(Event(QAccessible::NameChanged, 0)));
}

TEST_F(FileListBoxTest, ArrowsMoveTheCurrentRowAndDeleteRemovesItOnlyWhileIdle) {
    Window->AddFiles({Touch("a.png"), Touch("b.png"), Touch("c.png")});
    Window->Driver().PrepareList();
    List->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(List->hasFocus());
    EXPECT_EQ(List->CurrentRow(), 0);
    QTest::keyClick(List, Qt::Key_Down);
    QTest::keyClick(List, Qt::Key_Down);
    QTest::keyClick(List, Qt::Key_Down);
    EXPECT_EQ(List->CurrentRow(), 2);
    QTest::keyClick(List, Qt::Key_Up);
    EXPECT_EQ(List->CurrentRow(), 1);
    EXPECT_TRUE(Row(1)->state().focused);
    EXPECT_FALSE(Row(0)->state().selected);

    QTest::keyClick(List, Qt::Key_Delete);
    EXPECT_EQ(Window->Jobs().FileList, (QStringList{Dir.filePath("a.png"), Dir.filePath("c.png")}));
    EXPECT_EQ(List->Count(), 2);
    QTest::keyClick(List, Qt::Key_End);
    EXPECT_EQ(List->CurrentRow(), 1);
    QTest::keyClick(List, Qt::Key_Delete);
    // The current row stays on the list.
    EXPECT_EQ(List->CurrentRow(), 0);

    QTest::keyClick(List, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(SaveDialogs, 1);

    Window->AddFiles({Touch("d.png")});
    Window->Driver().ConvertAll();
    ASSERT_EQ(Window->Driver().RunState(), RunStateKind::Converting);
    QTest::keyClick(List, Qt::Key_Delete);
    QTest::keyClick(List, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(Window->Jobs().FileList.size(), 2);
    EXPECT_EQ(SaveDialogs, 1);
    Window->Driver().StopConversion();
}

TEST_F(FileListBoxTest, TheButtonsShowOnlyWhileIdleAndTheirPlacesIgnoreClicksDuringARun) {
    Window->AddFiles({Touch("a.png"), Touch("b.png")});
    Window->Driver().PrepareList();
    QApplication::processEvents();
    const TFileListBox::RowLayout idle = List->Layout(0);
    ASSERT_FALSE(idle.DelBt.isEmpty());
    // From the right: save, delete, badge.
    EXPECT_EQ(idle.SaveBt.right(), idle.Row.right());
    EXPECT_EQ(idle.DelBt.right() + 1, idle.SaveBt.left());
    EXPECT_LT(idle.Badge.right(), idle.DelBt.left());
    EXPECT_GE(idle.Badge.width(), 125);
    EXPECT_EQ(idle.Icon.size(), QSize(26, 26));
    EXPECT_EQ(idle.Icon.left(), 12);

    // Drawn as laid out: the delete button's red is there while idle.
    QImage shot = List->grab().toImage();
    EXPECT_EQ(shot.pixelColor(idle.DelBt.left() + 2, idle.DelBt.top() + 2), QColor(204, 0, 0));

    Window->Driver().ConvertAll();
    ASSERT_EQ(Window->Driver().RunState(), RunStateKind::Converting);
    const TFileListBox::RowLayout running = List->Layout(0);
    EXPECT_TRUE(running.DelBt.isEmpty());
    EXPECT_TRUE(running.SaveBt.isEmpty());
    EXPECT_EQ(running.Badge.right() + 6 + 1, running.Row.right() + 1);
    shot = List->grab().toImage();
    EXPECT_NE(shot.pixelColor(idle.DelBt.left() + 2, idle.DelBt.top() + 2), QColor(204, 0, 0));
    QTest::mousePress(List, Qt::LeftButton, {}, idle.DelBt.center());
    QTest::mousePress(List, Qt::LeftButton, {}, idle.SaveBt.center());
    EXPECT_EQ(Window->Jobs().FileList.size(), 2);
    EXPECT_EQ(SaveDialogs, 0);
    Window->Driver().StopConversion();

    QTest::mousePress(List, Qt::LeftButton, {}, List->Layout(1).SaveBt.center());
    EXPECT_EQ(SaveDialogs, 1);
    QTest::mousePress(List, Qt::LeftButton, {}, List->Layout(1).DelBt.center());
    EXPECT_EQ(Window->Jobs().FileList, QStringList{Dir.filePath("a.png")});
}

TEST_F(FileListBoxTest, TipsExplainTheButtonsAndTellWhyARowFailed) {
    Window->AddFiles({Touch("a.png")});
    Window->Driver().PrepareList();
    Window->Jobs().ItemRemarks[0] = QStringLiteral("the file is not a PNG picture");
    EXPECT_EQ(List->RowToolTip(0), Dir.filePath("a.png") + "\nthe file is not a PNG picture");
    const TFileListBox::RowLayout layout = List->Layout(0);
    using Part = TFileListBox::RowPart;
    EXPECT_EQ(TFileListBox::PartAt(layout, layout.DelBt.center()), Part::Delete);
    EXPECT_EQ(TFileListBox::PartAt(layout, layout.SaveBt.center()), Part::Save);
    EXPECT_EQ(TFileListBox::PartAt(layout, layout.Badge.center()), Part::Row);
    // Strictly inside: the shared edge belongs to neither button.
    EXPECT_EQ(TFileListBox::PartAt(layout, QPoint(layout.DelBt.left(), layout.DelBt.center().y())),
              Part::Row);
    EXPECT_FALSE(TFileListBox::ButtonToolTip(Part::Delete).isEmpty());
    EXPECT_FALSE(TFileListBox::ButtonToolTip(Part::Save).isEmpty());
    EXPECT_NE(TFileListBox::ButtonToolTip(Part::Delete), TFileListBox::ButtonToolTip(Part::Save));
    EXPECT_TRUE(TFileListBox::ButtonToolTip(Part::Row).isEmpty());

    // Hovering shows them where they belong.
    const auto tipAt = [&](const QPoint& point) {
        QHelpEvent help(QEvent::ToolTip, point, List->mapToGlobal(point));
        QApplication::sendEvent(List, &help);
        return QToolTip::text();
    };
    EXPECT_EQ(tipAt(layout.Badge.center()), List->RowToolTip(0));
    EXPECT_EQ(tipAt(layout.DelBt.center()), TFileListBox::ButtonToolTip(Part::Delete));
    QToolTip::hideText();
}

TEST_F(FileListBoxTest, TenThousandRowsDrawOnlyWhatShowsAndScrollToTheEnd) {
    FillWithNames(10000);
    QApplication::processEvents();
    (void)List->grab();
    const int visible = List->height() / TFileListBox::RowHeight + 2;
    EXPECT_GT(List->PaintedRows(), 0);
    EXPECT_LE(List->PaintedRows(), visible);
    EXPECT_TRUE(List->ScrollBarVert()->isVisible());

    List->setFocus();
    QTest::keyClick(List, Qt::Key_End);
    EXPECT_EQ(List->CurrentRow(), 9999);
    const QRect last = List->Layout(9999).Row;
    EXPECT_TRUE(List->rect().contains(last)) << last.y();
    (void)List->grab();
    EXPECT_LE(List->PaintedRows(), visible);
    QTest::keyClick(List, Qt::Key_PageUp);
    EXPECT_LT(List->CurrentRow(), 9999);
    QTest::keyClick(List, Qt::Key_Home);
    EXPECT_EQ(List->Layout(0).Row.top(), 0);

    // Emptying the list leaves nothing to scroll.
    QTest::keyClick(List, Qt::Key_End);
    Window->Jobs().Clear();
    Window->Driver().PrepareList();
    EXPECT_EQ(List->PosY(), 0);
    EXPECT_FALSE(List->ScrollBarVert()->isVisible());
}

TEST(FileListBadgeTest, EachStateHasItsDesignedColour) {
    const std::pair<TModifyProgress, QColor> designed[] = {
        {TModifyProgress::Waiting, QColor(0, 128, 255)}, {TModifyProgress::Converting, QColor(255, 128, 0)},
        {TModifyProgress::Finalised, QColor(0, 202, 0)}, {TModifyProgress::FormatErr, QColor(125, 2, 5)},
        {TModifyProgress::Error, QColor(204, 0, 0)},     {TModifyProgress::Cancelled, QColor(204, 0, 0)}};
    for (const auto& [state, colour] : designed)
        EXPECT_EQ(BadgeColor(state), colour) << int(state);
}

TEST_F(FileListBoxTest, RowsFollowARealRunToSuccessAndFailure) {
    QImage picture(8, 8, QImage::Format_ARGB32);
    picture.fill(Qt::red);
    const QString good = Dir.filePath("good.png");
    ASSERT_TRUE(picture.save(good));
    const QString bad = Touch("bad.png", "this is not a picture");
    InstallConverters(Window->Driver().Converters);
    // The first file's conversion reports its percentage and holds still (on its
    // worker) while the window's thread looks at the list.
    const Converter image = Window->Driver().Converters.Image;
    std::atomic<bool> release{false};
    Window->Driver().Converters.Image = [&](const ConversionJob& job) {
        if (job.SourcePath == good) {
            job.SetItemPercent(40);
            while (!release && !job.CheckCancelled())
                std::this_thread::yield();
        }
        return image(job);
    };
    Window->Driver().Settings.DoneConvert = static_cast<int>(DoneAction::DoNothing);
    Window->Driver().TargetFormat = FormatTag::BMP;
    Window->AddFiles({good, bad});
    Window->Driver().ConvertAll();
    const bool sawMidRun = QTest::qWaitFor(
        [&] { return Row(0)->text(QAccessible::Name) == "good.png, PNG File, Converting 40%"; }, 20000);
    const QRect midRunBadge = List->Layout(0).Badge;
    const QColor midRunColour =
        List->grab().toImage().pixelColor(midRunBadge.left() + 3, midRunBadge.center().y());
    release = true;
    ASSERT_TRUE(QTest::qWaitFor([&] { return Window->Driver().RunState() == RunStateKind::Idle; }, 20000));
    EXPECT_TRUE(sawMidRun) << Row(0)->text(QAccessible::Name).toStdString();
    EXPECT_EQ(midRunColour, BadgeColor(TModifyProgress::Converting));
    EXPECT_EQ(Row(0)->text(QAccessible::Name), "good.png, PNG File, Success");
    EXPECT_EQ(Row(1)->text(QAccessible::Name), "bad.png, PNG File, Error!");
    EXPECT_TRUE(List->RowToolTip(1).startsWith(bad + "\n")) << List->RowToolTip(1).toStdString();

    // And the pixels say so: the badges carry their states' colours.
    const QImage shot = List->grab().toImage();
    const auto badgeColour = [&](int row) {
        const QRect badge = List->Layout(row).Badge;
        return shot.pixelColor(badge.left() + 3, badge.center().y());
    };
    EXPECT_EQ(badgeColour(0), BadgeColor(TModifyProgress::Finalised));
    EXPECT_EQ(badgeColour(1), BadgeColor(TModifyProgress::Error));
}

} // namespace
