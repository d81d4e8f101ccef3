#include "FXPopupMenu.h"
#include "DesktopCaptureCache.h"
#include "FXBlurMaterial.h"
#include "FXColorSet.h"
#include "FXCompleteColorSet.h"
#include "FXPopupItem.h"
#include "TIntAni.h"

#include "ThemedWidgetTest.h"

#include <QScreen>
#include <QSignalSpy>
#include <QTest>

namespace {

// A menu whose screen capture is a plain grey desktop, so no test reads the real one.
class PopupMenuTest : public ThemedWidgetTest {
  protected:
    void SetUp() override {
        ThemedWidgetTest::SetUp();
        DesktopCaptureCache::Instance().Clear();
        DesktopCaptureCache::Instance().SetSources(
            {[] { return QList<QRect>{QGuiApplication::primaryScreen()->geometry()}; },
             [] {
                 return DesktopWallpaper::Setting{
                     {}, DesktopWallpaper::Placement::None, DesktopWallpaper::Rgb{90, 90, 90}};
             },
             [] { return qint64(-1); }, [](const QRect&) { return QImage(); }});
        FMenu = std::make_unique<FXPopupMenu>();
        FMenu->setAnimationType(FXAnimateSelection::Instant);
    }
    void TearDown() override {
        FMenu.reset();
        DesktopCaptureCache::Instance().SetSources({});
        DesktopCaptureCache::Instance().Clear();
        ThemedWidgetTest::TearDown();
    }

    FXPopupItem* Add(const QString& text, FXPopupMenu& menu) {
        auto* item = new FXPopupItem(text);
        menu.Items()->Add(item);
        return item;
    }
    FXPopupItem* Add(const QString& text) { return Add(text, *FMenu); }

    void Open(const QPoint& point = QPoint(100, 100)) {
        FMenu->PopupAtPoint(point);
        ASSERT_TRUE(Eventually([&] { return FMenu->isVisible() && !FMenu->AnimationRunning(); }));
    }
    static void Key(QWidget* menu, Qt::Key key) { QTest::keyClick(menu, key); }

    std::unique_ptr<FXPopupMenu> FMenu;
};

TEST_F(PopupMenuTest, ThreePlainItemsOpen215By115) {
    Add("One");
    Add("Two");
    Add("Three");
    Open();
    EXPECT_EQ(FMenu->size(), QSize(215, 115));
    EXPECT_EQ(FMenu->pos(), QPoint(100, 100));
    EXPECT_EQ(FMenu->actionGeometry(FMenu->Items()->GetItem(1)), QRect(0, 40, 215, 35));
}

TEST_F(PopupMenuTest, SeparatorAddsOnePixelAndIsSkippedByTheArrows) {
    Add("First");
    FXPopupItem* separator = Add("-");
    Add("Second");
    EXPECT_TRUE(separator->IsSeparator());
    Open();
    EXPECT_EQ(FMenu->height(), 5 + 35 + 1 + 35 + 5);
    Key(FMenu.get(), Qt::Key_Down);
    EXPECT_EQ(FMenu->HoverIndex(), 0);
    Key(FMenu.get(), Qt::Key_Down);
    EXPECT_EQ(FMenu->HoverIndex(), 2);
    Key(FMenu.get(), Qt::Key_Up);
    EXPECT_EQ(FMenu->HoverIndex(), 0);
}

TEST_F(PopupMenuTest, KeyboardAloneSelectsAndRunsAnItem) {
    Add("Open");
    FXPopupItem* save = Add("Save");
    Add("Close");
    QSignalSpy clicks(FMenu.get(), &FXPopupMenu::OnItemClick);
    QSignalSpy saved(save, &FXPopupItem::OnClick);
    Open();
    Key(FMenu.get(), Qt::Key_Down);
    Key(FMenu.get(), Qt::Key_Down);
    Key(FMenu.get(), Qt::Key_Return);
    ASSERT_EQ(clicks.count(), 1);
    EXPECT_EQ(clicks.at(0).at(1).value<FXPopupItem*>(), save);
    EXPECT_EQ(clicks.at(0).at(2).toInt(), 1);
    EXPECT_EQ(saved.count(), 1);
    EXPECT_FALSE(FMenu->isVisible());
}

TEST_F(PopupMenuTest, FirstLetterRunsAUniqueItemAndCyclesThroughSeveral) {
    Add("Open");
    Add("Save");
    Add("Send");
    QSignalSpy clicks(FMenu.get(), &FXPopupMenu::OnItemClick);
    Open();
    QTest::keyClicks(FMenu.get(), "s");
    EXPECT_EQ(FMenu->HoverIndex(), 1);
    QTest::keyClicks(FMenu.get(), "s");
    EXPECT_EQ(FMenu->HoverIndex(), 2);
    EXPECT_EQ(clicks.count(), 0);
    QTest::keyClicks(FMenu.get(), "o");
    ASSERT_EQ(clicks.count(), 1);
    EXPECT_EQ(clicks.at(0).at(2).toInt(), 0);
    EXPECT_FALSE(FMenu->isVisible());
}

TEST_F(PopupMenuTest, TheFirstLetterOfASubMenuItemOpensItsMenu) {
    Add("Open");
    FXPopupItem* more = Add("More");
    more->Items()->Add(new FXPopupItem("Inner"));
    QSignalSpy clicks(FMenu.get(), &FXPopupMenu::OnItemClick);
    Open();
    QTest::keyClicks(FMenu.get(), "m");
    EXPECT_TRUE(Eventually([&] { return more->SubMenu()->isVisible(); }));
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_TRUE(FMenu->isVisible());
}

TEST_F(PopupMenuTest, EscapeCloses) {
    Add("One");
    Open();
    Key(FMenu.get(), Qt::Key_Escape);
    EXPECT_FALSE(FMenu->isVisible());
}

TEST_F(PopupMenuTest, AClickOutsideCloses) {
    Add("One");
    QWidget other;
    other.setGeometry(400, 300, 200, 150);
    other.show();
    Open(QPoint(100, 100));
    // Through the window system, as a real click arrives: the open popup gets it first.
    QTest::mouseClick(other.windowHandle(), Qt::LeftButton, {}, QPoint(50, 50));
    EXPECT_TRUE(Eventually([&] { return !FMenu->isVisible(); }));
}

TEST_F(PopupMenuTest, ClickingAnAutoCheckItemWithCloseOnCheckOffTogglesItAndStaysOpen) {
    FXPopupItem* item = Add("Word wrap");
    item->setAutoCheck(true);
    QSignalSpy checks(item, &FXPopupItem::OnCheck);
    Open();
    const QPoint centre = FMenu->actionGeometry(item).center();
    QTest::mouseClick(FMenu.get(), Qt::LeftButton, {}, centre);
    EXPECT_TRUE(item->Checked());
    EXPECT_EQ(checks.count(), 1);
    EXPECT_TRUE(FMenu->isVisible());
    QTest::mouseClick(FMenu.get(), Qt::LeftButton, {}, centre);
    EXPECT_FALSE(item->Checked());
}

TEST_F(PopupMenuTest, AClickedRowWithAHandlerClosesTheMenu) {
    FXPopupItem* item = Add("Run");
    int runs = 0;
    QObject::connect(item, &FXPopupItem::OnClick, [&] { ++runs; });
    Open();
    QTest::mouseClick(FMenu.get(), Qt::LeftButton, {}, FMenu->actionGeometry(item).center());
    EXPECT_EQ(runs, 1);
    EXPECT_FALSE(FMenu->isVisible());
}

TEST_F(PopupMenuTest, AReleaseWithoutAPressInTheMenuRunsNothing) {
    FXPopupItem* item = Add("Run");
    QSignalSpy clicks(item, &FXPopupItem::OnClick);
    Open();
    QTest::mouseRelease(FMenu.get(), Qt::LeftButton, {}, FMenu->actionGeometry(item).center());
    EXPECT_EQ(clicks.count(), 0);
}

TEST_F(PopupMenuTest, CheckingARadioItemClearsItsRunAndAClickKeepsItChecked) {
    FXPopupItem* plain = Add("Plain");
    plain->setChecked(true);
    FXPopupItem* small = Add("Small");
    FXPopupItem* medium = Add("Medium");
    FXPopupItem* large = Add("Large");
    for (FXPopupItem* radio : {small, medium, large}) {
        radio->setRadioItem(true);
        radio->setAutoCheck(true);
    }
    small->setChecked(true);
    large->setChecked(true);
    EXPECT_FALSE(small->Checked());
    EXPECT_FALSE(medium->Checked());
    EXPECT_TRUE(large->Checked());
    EXPECT_TRUE(plain->Checked()) << "not a radio item: outside the run";

    Open();
    QSignalSpy checks(large, &FXPopupItem::OnCheck);
    QTest::mouseClick(FMenu.get(), Qt::LeftButton, {}, FMenu->actionGeometry(large).center());
    EXPECT_TRUE(large->Checked());
    EXPECT_EQ(checks.count(), 0);
}

TEST_F(PopupMenuTest, LeftDoesNothingInTheTopMenuAndClosesOnlyASubMenu) {
    FXPopupItem* more = Add("More");
    Add("Other");
    FXPopupItem* inner = Add("Inner", *FMenu);
    FMenu->Items()->Delete(FMenu->Items()->IndexOf(inner), FXItemRelease::Keep);
    more->Items()->Add(inner);
    ASSERT_TRUE(more->HasSubItems());
    Open();
    Key(FMenu.get(), Qt::Key_Left);
    EXPECT_TRUE(FMenu->isVisible());

    Key(FMenu.get(), Qt::Key_Down);
    Key(FMenu.get(), Qt::Key_Right);
    FXPopupMenu* sub = more->SubMenu();
    ASSERT_TRUE(Eventually([&] { return sub->isVisible() && !sub->AnimationRunning(); }));
    EXPECT_EQ(sub->ParentPopup(), FMenu.get());
    EXPECT_EQ(sub->ParentMenu(), FMenu.get());
    Key(sub, Qt::Key_Left);
    EXPECT_TRUE(Eventually([&] { return !sub->isVisible(); }));
    EXPECT_TRUE(FMenu->isVisible());
}

TEST_F(PopupMenuTest, RunningASubMenuItemClosesEveryMenuAndReportsToTheTop) {
    FXPopupItem* more = Add("More");
    FXPopupItem* inner = new FXPopupItem("Inner");
    more->Items()->Add(inner);
    QSignalSpy clicks(FMenu.get(), &FXPopupMenu::OnItemClick);
    Open();
    Key(FMenu.get(), Qt::Key_Down);
    Key(FMenu.get(), Qt::Key_Right);
    FXPopupMenu* sub = more->SubMenu();
    ASSERT_TRUE(Eventually([&] { return sub->isVisible(); }));
    if (sub->HoverIndex() < 0) Key(sub, Qt::Key_Down);
    Key(sub, Qt::Key_Return);
    ASSERT_EQ(clicks.count(), 1);
    EXPECT_EQ(clicks.at(0).at(1).value<FXPopupItem*>(), inner);
    EXPECT_FALSE(sub->isVisible());
    EXPECT_FALSE(FMenu->isVisible());
}

TEST_F(PopupMenuTest, DeletingTheFirstOfThreeLeavesTheOthersInOrder) {
    Add("A");
    FXPopupItem* b = Add("B");
    FXPopupItem* c = Add("C");
    FMenu->Items()->Delete(0);
    ASSERT_EQ(FMenu->Items()->Count(), 2);
    EXPECT_EQ(FMenu->Items()->GetItem(0), b);
    EXPECT_EQ(FMenu->Items()->GetItem(1), c);
    EXPECT_EQ(FMenu->Items()->IndexOf(QStringLiteral("C")), 1);
    EXPECT_EQ(c->MenuIndex(), 1);
    EXPECT_EQ(FMenu->actions().size(), 2);
}

TEST_F(PopupMenuTest, BeforePopupMayVetoOrMoveThePoint) {
    Add("One");
    QSignalSpy popups(FMenu.get(), &FXPopupMenu::OnPopup);
    FMenu->setOnBeforePopup([](FXPopupMenu*, bool& canPopup, QPoint&) { canPopup = false; });
    FMenu->PopupAtPoint(QPoint(10, 10));
    EXPECT_FALSE(FMenu->isVisible());
    EXPECT_EQ(popups.count(), 0);
    FMenu->setOnBeforePopup([](FXPopupMenu*, bool&, QPoint& point) { point = QPoint(50, 60); });
    Open(QPoint(10, 10));
    EXPECT_EQ(FMenu->pos(), QPoint(50, 60));
    EXPECT_EQ(popups.count(), 1);
}

TEST_F(PopupMenuTest, ARowWiderThanTheMinimumWidensTheMenu) {
    Add("One");
    FXPopupItem* wide = Add("A caption long enough to need more than the least width of a menu");
    wide->setShortcut("Ctrl+Shift+W");
    EXPECT_GT(FMenu->NormalWidth(), 215);
    Open();
    EXPECT_EQ(FMenu->width(), FMenu->NormalWidth());
    EXPECT_EQ(FMenu->actionGeometry(wide).width(), FMenu->NormalWidth());
}

TEST_F(PopupMenuTest, NearTheScreenEdgesTheOpenMenuStaysOnTheScreen) {
    for (int i = 0; i < 6; ++i)
        Add(QStringLiteral("Item %1").arg(i));
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    for (const QPoint& point : {available.topLeft(), available.topRight(), available.bottomLeft(),
                                available.bottomRight(), QPoint(available.center().x(), available.bottom()),
                                QPoint(available.right(), available.center().y())}) {
        Open(point);
        EXPECT_TRUE(available.contains(FMenu->geometry())) << point.x() << "," << point.y();
        FMenu->hide();
    }
}

struct PlacementCase {
    QPoint Point;
    QPoint Expected;
    bool Above;
};

class PlacementTest : public testing::TestWithParam<PlacementCase> {};

TEST_P(PlacementTest, FlipsAtTheFarEdgesAndShiftsAtTheNearOnes) {
    const PlacementCase& c = GetParam();
    const QRect available(0, 0, 800, 600);
    const FXPopupPlacement placed =
        PlacePopup(c.Point, QSize(215, 115), available, QRect(c.Point, QSize(0, 0)));
    EXPECT_EQ(placed.TopLeft, c.Expected);
    EXPECT_EQ(placed.Above, c.Above);
    EXPECT_TRUE(available.contains(QRect(placed.TopLeft, QSize(215, 115))));
}

INSTANTIATE_TEST_SUITE_P(
    Edges, PlacementTest,
    testing::Values(PlacementCase{{100, 100}, {100, 100}, false},  // room everywhere
                    PlacementCase{{700, 100}, {485, 100}, false},  // right edge: opens leftwards
                    PlacementCase{{100, 550}, {100, 435}, true},   // bottom edge: opens upwards
                    PlacementCase{{790, 590}, {575, 475}, true},   // bottom-right corner
                    PlacementCase{{-30, -20}, {0, 0}, false},      // beyond the top-left: moved onto it
                    PlacementCase{{100, 599}, {100, 484}, true})); // last row of the screen

TEST(PopupPlacement, UnderAControlItOpensAboveTheControlWhenThereIsNoRoomBelow) {
    const QRect control(300, 540, 120, 30);
    const QPoint under(control.x(), control.y() + control.height());
    const FXPopupPlacement placed = PlacePopup(under, QSize(215, 115), QRect(0, 0, 800, 600), control);
    EXPECT_EQ(placed.TopLeft, QPoint(300, 540 - 115));
    EXPECT_TRUE(placed.Above);
    // Against the right edge it lines up with the control's right edge.
    const QRect right(700, 100, 90, 30);
    const FXPopupPlacement aligned =
        PlacePopup(QPoint(700, 130), QSize(215, 115), QRect(0, 0, 800, 600), right);
    EXPECT_EQ(aligned.TopLeft, QPoint(790 - 215, 130));
}

// Heights the engine's steps give: quadratic-in, 10 steps over 10 ms, from H / 8 to H.
std::vector<int> LinearHeights(int height) {
    const TAniFunction curve = TIntAniCollection::Select(TAniFunctionKind::afkQuadratic, TAniKind::akIn);
    const int start = height / 8;
    std::vector<int> values{start};
    for (int i = 1; i <= 10; ++i) {
        const int value = start + int(std::nearbyint(double(curve(float(i / 10.0))) * (height - start)));
        if (value != values.back()) values.push_back(value);
    }
    return values;
}

// Records the window's size and bottom edge at every resize.
class SizeRecorder : public QObject {
  public:
    explicit SizeRecorder(QWidget& widget) : FWidget(widget) { widget.installEventFilter(this); }
    std::vector<QSize> Sizes;
    std::vector<int> Bottoms;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Resize) {
            Sizes.push_back(static_cast<QResizeEvent*>(event)->size());
            Bottoms.push_back(FWidget.geometry().bottom());
        }
        return false;
    }

  private:
    QWidget& FWidget;
};

TEST_F(PopupMenuTest, LinearOpeningGrowsThroughTheEngineStepsToTheFullHeight) {
    for (int i = 0; i < 4; ++i)
        Add(QStringLiteral("Item %1").arg(i));
    FMenu->setAnimationType(FXAnimateSelection::Linear);
    FMenu->PopupAtPoint(QPoint(100, 100));
    SizeRecorder recorder(*FMenu);
    ASSERT_TRUE(Eventually([&] { return FMenu->isVisible() && !FMenu->AnimationRunning(); }));
    std::vector<int> heights;
    for (const QSize& size : recorder.Sizes) {
        EXPECT_EQ(size.width(), 215);
        if (heights.empty() || heights.back() != size.height()) heights.push_back(size.height());
    }
    const std::vector<int> expected = LinearHeights(150);
    // The first height is set while the window opens, before the recorder listens.
    EXPECT_EQ(heights, std::vector<int>(expected.begin() + 1, expected.end()));
    EXPECT_EQ(FMenu->size(), QSize(215, 150));
    EXPECT_EQ(FMenu->pos(), QPoint(100, 100));
}

TEST_F(PopupMenuTest, SquareOpeningGrowsTheWidthWithTheHeight) {
    for (int i = 0; i < 4; ++i)
        Add(QStringLiteral("Item %1").arg(i));
    FMenu->setAnimationType(FXAnimateSelection::Square);
    FMenu->PopupAtPoint(QPoint(100, 100));
    SizeRecorder recorder(*FMenu);
    ASSERT_TRUE(Eventually([&] { return FMenu->isVisible() && !FMenu->AnimationRunning(); }));
    ASSERT_FALSE(recorder.Sizes.empty());
    for (const QSize& size : recorder.Sizes)
        EXPECT_EQ(size.width(), int(size.height() / 150.0 * (215 - 50)) + 50);
    EXPECT_EQ(FMenu->size(), QSize(215, 150));
}

TEST_F(PopupMenuTest, AMenuOpenedAboveThePointGrowsUpwards) {
    for (int i = 0; i < 4; ++i)
        Add(QStringLiteral("Item %1").arg(i));
    FMenu->setAnimationType(FXAnimateSelection::Linear);
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    const QPoint point(100, available.bottom() - 20);
    FMenu->PopupAtPoint(point);
    SizeRecorder recorder(*FMenu);
    ASSERT_TRUE(Eventually([&] { return FMenu->isVisible() && !FMenu->AnimationRunning(); }));
    EXPECT_EQ(FMenu->geometry(), QRect(100, point.y() - 150, 215, 150));
    ASSERT_GT(recorder.Bottoms.size(), 3u);
    for (int bottom : recorder.Bottoms)
        EXPECT_EQ(bottom, point.y() - 1);
}

TEST_F(PopupMenuTest, OpacityOpeningEndsFullyOpaque) {
    Add("One");
    FMenu->setAnimationType(FXAnimateSelection::Opacity);
    FMenu->PopupAtPoint(QPoint(100, 100));
    EXPECT_TRUE(FMenu->AnimationRunning());
    EXPECT_LT(FMenu->windowOpacity(), 1.0);
    ASSERT_TRUE(Eventually([&] { return !FMenu->AnimationRunning(); }));
    EXPECT_DOUBLE_EQ(FMenu->windowOpacity(), 1.0);
    EXPECT_EQ(FMenu->size(), QSize(215, 45));
}

TEST_F(PopupMenuTest, AThemedControlOpensItOnARightClick) {
    Add("One");
    Add("Two");
    Add("Three");
    QWidget window;
    window.setGeometry(50, 50, 300, 200);
    auto* control = new FXBlurMaterial(&window);
    control->setVersion(FXBlurVersion::None);
    control->setGeometry(10, 10, 100, 100);
    control->setPopupMenu(FMenu.get());
    window.show();
    QTest::mouseClick(control, Qt::RightButton, {}, QPoint(20, 30));
    ASSERT_TRUE(Eventually([&] { return FMenu->isVisible() && !FMenu->AnimationRunning(); }));
    EXPECT_EQ(FMenu->geometry(), QRect(control->mapToGlobal(QPoint(20, 30)), QSize(215, 115)));
}

TEST_F(PopupMenuTest, ColoursFollowTheThemeAndTheRowsAreDrawnInTheForeground) {
    FXPopupItem* item = Add("MMMMMMMM");
    FMenu->setFlatMenu(true);
    Open();
    EXPECT_EQ(FMenu->DrawColors().ForeGround(), ThemeManager->SystemColor()->ForeGround());
    const QImage light = FMenu->GlassBlur()->Buffer();
    SetDark(true);
    EXPECT_EQ(FMenu->DrawColors().ForeGround(), ThemeManager->SystemColor()->ForeGround());
    const QImage dark = FMenu->GlassBlur()->Buffer();
    const QRect caption = FMenu->actionGeometry(item).adjusted(20, 8, -100, -8);
    const auto darkest = [&](const QImage& image) {
        int least = 255;
        for (int y = caption.top(); y <= caption.bottom(); ++y)
            for (int x = caption.left(); x <= caption.right(); ++x)
                least = std::min(least, qGray(image.pixel(x, y)));
        return least;
    };
    const auto lightest = [&](const QImage& image) {
        int most = 0;
        for (int y = caption.top(); y <= caption.bottom(); ++y)
            for (int x = caption.left(); x <= caption.right(); ++x)
                most = std::max(most, qGray(image.pixel(x, y)));
        return most;
    };
    EXPECT_EQ(qGray(light.pixel(200, 20)), 255) << "white flat background in the light theme";
    EXPECT_LT(darkest(light), 80) << "dark caption";
    EXPECT_EQ(qGray(dark.pixel(200, 20)), 0) << "black flat background in the dark theme";
    EXPECT_GT(lightest(dark), 180) << "light caption";
}

TEST_F(PopupMenuTest, TheRowUnderTheKeyboardIsHighlighted) {
    FXPopupItem* first = Add("One");
    Add("Two");
    FMenu->setFlatMenu(true);
    Open();
    const QRect row = FMenu->actionGeometry(first);
    const QPoint probe(row.right() - 20, row.center().y());
    const QColor before = FMenu->GlassBlur()->Buffer().pixelColor(probe);
    Key(FMenu.get(), Qt::Key_Down);
    const QColor after = FMenu->GlassBlur()->Buffer().pixelColor(probe);
    EXPECT_NE(before, after);
    EXPECT_LT(after.lightness(), before.lightness());
}

TEST_F(PopupMenuTest, RoundedCornersAreTransparent) {
    Add("One");
    Open();
    const QImage& buffer = FMenu->GlassBlur()->Buffer();
    EXPECT_EQ(qAlpha(buffer.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(buffer.pixel(buffer.width() - 1, buffer.height() - 1)), 0);
    EXPECT_EQ(qAlpha(buffer.pixel(buffer.width() / 2, buffer.height() / 2)), 255);
}

} // namespace
