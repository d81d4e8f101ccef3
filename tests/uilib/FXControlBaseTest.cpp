#include "FXBufferGraphicControl.h"
#include "FXDrawing.h"
#include "FXPadding.h"
#include "FXPanel.h"
#include "FXWindowsControl.h"

#include "ThemedWidgetTest.h"

#include <QAccessible>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace {

// A control that paints a rounded block in a fixed colour and counts how
// often its buffer is drawn.
class Block : public FXWindowsControl {
  public:
    explicit Block(QWidget* parent, QColor fill = QColor(200, 0, 0)) : FXWindowsControl(parent), Fill(fill) {}
    QColor Fill;
    int BufferPaints = 0;
    int Roundness = 20;
    std::vector<int> KeysReceived;
    using FXWindowsControl::SetInteractionState;

    void setRoundness(int value) {
        if (Roundness == value) return;
        Roundness = value;
        Invalidate();
    }

  protected:
    void PaintBuffer(QPainter& painter) override {
        ++BufferPaints;
        DrawBackground(painter);
        DrawRoundRect(painter, QRectF(rect()), Roundness, Fill);
    }
    void keyPressEvent(QKeyEvent* event) override {
        KeysReceived.push_back(event->key());
        FXWindowsControl::keyPressEvent(event);
    }
};

class ControlBaseTest : public ThemedWidgetTest {
  protected:
    void SetUp() override {
        ThemedWidgetTest::SetUp();
        Parent = std::make_unique<QWidget>();
        Parent->resize(300, 200);
    }
    std::unique_ptr<QWidget> Parent;
};

TEST_F(ControlBaseTest, NegativeSizeKeepsEmptyBuffersAndPaintsNothing) {
    Block block(Parent.get());
    block.setGeometry(0, 0, 40, 40);
    block.Invalidate();
    EXPECT_FALSE(block.Buffer().isNull());
    block.resize(-5, 10);
    block.Invalidate();
    EXPECT_TRUE(block.Buffer().isNull());
    block.resize(10, -3);
    block.Invalidate();
    EXPECT_TRUE(block.Buffer().isNull());
}

TEST_F(ControlBaseTest, SettingTheSameValueDoesNotRepaint) {
    Block block(Parent.get());
    block.setGeometry(0, 0, 40, 40);
    const int before = block.BufferPaints;
    block.setRoundness(20);
    block.setTransparent(true);
    block.setOpacity(255);
    block.setColor(block.Color());
    EXPECT_EQ(block.BufferPaints, before);
    block.setRoundness(4);
    EXPECT_EQ(block.BufferPaints, before + 1);
}

TEST_F(ControlBaseTest, TransparentControlShowsTheEarlierSiblingInItsCorners) {
    Block lower(Parent.get(), QColor(0, 0, 255));
    lower.setRoundness(0);
    lower.setGeometry(0, 0, 100, 100);
    Block upper(Parent.get(), QColor(0, 200, 0));
    upper.setGeometry(50, 50, 100, 100);
    upper.Invalidate();
    // The corner of the upper block lies over the lower one: its pixels show.
    const QImage shot = Shot(upper);
    EXPECT_TRUE(Near(PixelAt(shot, 1, 1), QColor(0, 0, 255))) << PixelAt(shot, 1, 1).name().toStdString();
    EXPECT_TRUE(Near(PixelAt(shot, 50, 50), QColor(0, 200, 0)));
    // The bottom-right corner lies over nothing but the control's own colour.
    EXPECT_TRUE(Near(PixelAt(shot, 99, 99), QColor(255, 255, 255)));

    // A change of the lower block redraws the upper one over it.
    const int paints = upper.BufferPaints;
    lower.Fill = QColor(255, 0, 255);
    lower.Invalidate();
    EXPECT_GT(upper.BufferPaints, paints);
    EXPECT_TRUE(Near(PixelAt(Shot(upper), 1, 1), QColor(255, 0, 255)));

    // Opaque controls show only their own colour.
    upper.setTransparent(false);
    EXPECT_TRUE(Near(PixelAt(Shot(upper), 1, 1), QColor(255, 255, 255)));
}

TEST_F(ControlBaseTest, ALaterSiblingIsNotPartOfTheBackground) {
    Block upper(Parent.get(), QColor(0, 200, 0));
    upper.setGeometry(50, 50, 100, 100);
    Block later(Parent.get(), QColor(0, 0, 255));
    later.setGeometry(0, 0, 100, 100);
    upper.Invalidate();
    EXPECT_TRUE(Near(PixelAt(Shot(upper), 1, 1), QColor(255, 255, 255)));
}

TEST_F(ControlBaseTest, OpacityBlendsTheBufferOverTheBackground) {
    Block block(Parent.get(), QColor(0, 0, 0));
    block.setRoundness(0);
    block.setGeometry(0, 0, 20, 20);
    block.setOpacity(128);
    const QColor mid = PixelAt(Shot(block), 10, 10);
    EXPECT_NEAR(mid.red(), 127, 3);
}

TEST_F(ControlBaseTest, FocusFlagsKeepArrowKeysWithTheControl) {
    Parent->show();
    Block first(Parent.get());
    Block second(Parent.get());
    first.setGeometry(0, 0, 20, 20);
    second.setGeometry(30, 0, 20, 20);
    first.show();
    second.show();
    first.setFocus();
    ASSERT_TRUE(Eventually([&] { return first.hasFocus(); }));

    // Without flags an arrow moves the focus, as in a dialog.
    QTest::keyClick(&first, Qt::Key_Right);
    EXPECT_TRUE(second.hasFocus());

    second.setFocusFlags(FXFocusFlag::CatchLeft);
    QTest::keyClick(&second, Qt::Key_Left);
    EXPECT_TRUE(second.hasFocus());
    EXPECT_EQ(second.KeysReceived.back(), Qt::Key_Left);

    second.setFocusFlags(FXFocusFlag::CatchTab);
    QTest::keyClick(&second, Qt::Key_Tab);
    EXPECT_TRUE(second.hasFocus());
    EXPECT_EQ(second.KeysReceived.back(), Qt::Key_Tab);
}

TEST_F(ControlBaseTest, MouseDrivesTheInteractionState) {
    Parent->show();
    Block block(Parent.get());
    block.setGeometry(10, 10, 50, 50);
    block.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Parent.get()));
    QEnterEvent enter(QPointF(5, 5), QPointF(15, 15), QPointF(15, 15));
    QCoreApplication::sendEvent(&block, &enter);
    EXPECT_EQ(block.Interaction(), FXControlState::Hover);
    QTest::mousePress(&block, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(block.Interaction(), FXControlState::Press);
    EXPECT_EQ(block.PreviousInteraction(), FXControlState::Hover);
    EXPECT_TRUE(block.hasFocus());
    QTest::mouseRelease(&block, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(block.Interaction(), FXControlState::Hover);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&block, &leave);
    EXPECT_EQ(block.Interaction(), FXControlState::None);
}

TEST_F(ControlBaseTest, RightClickOpensThePopupMenuAtTheClickPoint) {
    Parent->show();
    Block block(Parent.get());
    block.setGeometry(10, 10, 80, 80);
    block.show();
    QMenu menu;
    menu.addAction(QStringLiteral("Item"));
    block.setPopupMenu(&menu);
    QTest::mouseClick(&block, Qt::RightButton, {}, QPoint(30, 40));
    ASSERT_TRUE(Eventually([&] { return menu.isVisible(); }));
    EXPECT_EQ(menu.pos(), block.mapToGlobal(QPoint(30, 40)));
    menu.hide();
}

TEST_F(ControlBaseTest, FocusOutlineShowsAfterKeyboardEntryOnly) {
    Parent->show();
    QPushButton before(Parent.get());
    Block block(Parent.get(), QColor(255, 255, 255));
    block.setAutoFocusLine(true);
    block.setGeometry(10, 40, 80, 40);
    block.show();
    before.show();
    before.setFocus();
    ASSERT_TRUE(Eventually([&] { return before.hasFocus(); }));
    QTest::keyClick(&before, Qt::Key_Tab);
    ASSERT_TRUE(block.hasFocus());
    EXPECT_TRUE(block.HasEnteredTab());
    // The outline is drawn in the theme's text colour near the focus rectangle.
    const QColor outline = ToQColor(0x1B1B1A);
    EXPECT_TRUE(Near(PixelAt(Shot(block), 40, 1), outline, 40))
        << PixelAt(Shot(block), 40, 1).name().toStdString();

    QTest::mousePress(&block, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(block.HasEnteredTab());
    EXPECT_TRUE(Near(PixelAt(Shot(block), 40, 1), QColor(255, 255, 255)));
}

TEST_F(ControlBaseTest, PaddingNotifiesTheControlAndScales) {
    Block block(Parent.get());
    QSignalSpy changes(block.Padding(), &FXPadding::OnChange);
    block.Padding()->setLeft(4);
    block.Padding()->setBottom(6);
    EXPECT_EQ(changes.count(), 2);
    block.resize(50, 40);
    EXPECT_EQ(block.GetClientRect(), QRect(4, 0, 46, 34));
    EXPECT_EQ(block.Padding()->PadWidth(), 4);
    EXPECT_EQ(block.Padding()->PadHeight(), 6);
    block.Padding()->ScaleChanged(1.5);
    EXPECT_EQ(block.PaddingFill(), QMargins(6, 0, 0, 9));
}

TEST_F(ControlBaseTest, ParentBackgroundComesFromAThemedParent) {
    FXPanel panel;
    panel.setBackgroundColor(FXBackgroundColor::Content);
    Block onPanel(&panel);
    Block onPlain(Parent.get());
    EXPECT_EQ(onPanel.GetParentBackgroundColor(0x123456), 0xFBFBFBu);
    EXPECT_EQ(onPlain.GetParentBackgroundColor(0x123456), 0x123456u);
}

TEST_F(ControlBaseTest, WindowlessControlTakesNoFocusAndTracksTheMouse) {
    FXBufferGraphicControl control(Parent.get());
    EXPECT_EQ(control.focusPolicy(), Qt::NoFocus);
    QSignalSpy entered(&control, &FXBufferGraphicControl::OnMouseEnter);
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QCoreApplication::sendEvent(&control, &enter);
    EXPECT_EQ(control.Interaction(), FXControlState::Hover);
    EXPECT_EQ(entered.count(), 1);
}

TEST_F(ControlBaseTest, ScreenReadersHearTheAccessibleName) {
    Block block(Parent.get());
    block.setAccessibleName(QStringLiteral("Colour swatch"));
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&block);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->text(QAccessible::Name), QStringLiteral("Colour swatch"));
}

} // namespace
