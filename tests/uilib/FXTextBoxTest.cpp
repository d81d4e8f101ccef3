#include "FXTextBox.h"
#include "CPanel.h"
#include "FXAnimatedTextBox.h"
#include "FXColorSets.h"
#include "FXCompleteColorSet.h"
#include "FXLegacyAccentCache.h"
#include "FXPadding.h"
#include "FXPanel.h"

#include "ThemedWidgetTest.h"

#include <QAccessible>
#include <QFontMetrics>
#include <QTimer>

namespace {

using TextBoxTest = ThemedWidgetTest;

TEST_F(TextBoxTest, AutoSizeFollowsTheTextAndThePadding) {
    QWidget parent;
    FXTextBox label(&parent);
    label.setPaddingFill(QMargins(3, 2, 5, 4));
    label.setText(QStringLiteral("A caption"));
    const QFontMetrics metrics(label.font());
    EXPECT_EQ(label.size(), QSize(metrics.horizontalAdvance("A caption") + 8, metrics.height() + 6));
    label.setText(QStringLiteral("A much longer caption than before"));
    EXPECT_EQ(label.width(), metrics.horizontalAdvance("A much longer caption than before") + 8);
}

TEST_F(TextBoxTest, WrappedAutoSizeTakesTheWidthOfTheBlock) {
    QWidget parent;
    FXTextBox label(&parent);
    label.setAutoSize(false);
    label.resize(120, 200);
    label.setWordWrap(true);
    label.setText(QStringLiteral("one two three four five six seven eight"));
    label.setAutoSize(true);
    const QFontMetrics metrics(label.font());
    EXPECT_LE(label.width(), 120);
    EXPECT_GT(label.height(), metrics.height());
    EXPECT_EQ(label.height() % metrics.height(), 0);
}

TEST_F(TextBoxTest, TakesThePanelsBackgroundUnlessItHasItsOwnColours) {
    FXPanel panel;
    panel.resize(300, 100);
    panel.setBackgroundColor(FXBackgroundColor::Content);
    FXTextBox label(&panel);
    label.UpdateTheme(false);
    EXPECT_EQ(label.Background(), 0xFBFBFBu);
    EXPECT_TRUE(Near(PixelAt(Shot(label), 0, 0), ToQColor(0xFBFBFB)));

    label.CustomColors()->setLightBackGround(0x0000FF);
    label.CustomColors()->setEnabled(true);
    label.UpdateTheme(false);
    EXPECT_EQ(label.Background(), 0x0000FFu);
    EXPECT_TRUE(Near(PixelAt(Shot(label), 0, 0), QColor(255, 0, 0)));
}

TEST_F(TextBoxTest, OverlayAlphaZeroChangesNothingAndHalfBlackDarkensByHalf) {
    FXPanel panel;
    FXTextBox label(&panel);
    label.setText(QString());
    label.resize(40, 20);
    label.UpdateTheme(false);
    const QColor plain = PixelAt(Shot(label), 10, 10);
    label.setOverlayColor(0x00000000);
    EXPECT_EQ(PixelAt(Shot(label), 10, 10), plain);
    label.setOverlayColor(0x80000000);
    const QColor dark = PixelAt(Shot(label), 10, 10);
    EXPECT_NEAR(dark.red(), plain.red() / 2, 2);
}

TEST_F(TextBoxTest, TextColourFollowsTheTheme) {
    FXPanel panel;
    FXTextBox label(&panel);
    label.setText(QStringLiteral("████"));
    label.UpdateTheme(false);
    const auto darkest = [&] {
        const QImage shot = Shot(label);
        int best = 255;
        for (int x = 0; x < shot.width(); ++x)
            for (int y = 0; y < shot.height(); ++y)
                best = std::min(best, shot.pixelColor(x, y).lightness());
        return best;
    };
    EXPECT_LT(darkest(), 60);
    SetDark(true);
    panel.UpdateTheme(true);
    EXPECT_EQ(label.Background(), 0x202020u);
    EXPECT_GT(PixelAt(Shot(label), label.width() / 2, label.height() / 2).lightness(), 200);
}

TEST_F(TextBoxTest, NinePositionsPlaceTheText) {
    QWidget parent;
    FXTextBox label(&parent);
    label.setAutoSize(false);
    label.resize(200, 100);
    label.setText(QStringLiteral("Text"));
    const QFontMetrics metrics(label.font());
    const auto line = [&] {
        return LayoutTextRect(label.font(), label.TextRect(), label.Text(), label.TextFlags()).first().Rect;
    };
    EXPECT_EQ(line().topLeft(), QPoint(0, (100 - metrics.height() + 1) / 2));
    label.setLayoutHorizontal(FXLayout::Ending);
    label.setLayoutVertical(FXLayout::Ending);
    EXPECT_EQ(line().right() + 1, 200);
    EXPECT_EQ(line().bottom() + 1, 100);
    label.setLayoutHorizontal(FXLayout::Center);
    label.setLayoutVertical(FXLayout::Beginning);
    EXPECT_EQ(line().top(), 0);
    EXPECT_EQ(line().left(), (200 - metrics.horizontalAdvance("Text")) / 2);
}

TEST_F(TextBoxTest, ScreenReadersHearTheCaption) {
    QWidget parent;
    FXTextBox label(&parent);
    label.setText(QStringLiteral("Export folder"));
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&label);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->text(QAccessible::Name), QStringLiteral("Export folder"));
    EXPECT_EQ(accessible->role(), QAccessible::StaticText);
}

TEST_F(TextBoxTest, AnimatedLabelCyclesItsItemsOnlyWhileVisible) {
    QWidget parent;
    parent.show();
    FXAnimatedTextBox label(&parent);
    EXPECT_EQ(label.Text(), QStringLiteral("No items"));
    label.setItems({"one", "two", "three"});
    label.show();
    EXPECT_EQ(label.Text(), QStringLiteral("one"));
    EXPECT_TRUE(label.Timer()->isActive());
    EXPECT_EQ(label.Timer()->interval(), 1000);
    QStringList shown;
    for (int tick = 0; tick < 4; ++tick) {
        label.Advance();
        shown << label.Text();
    }
    EXPECT_EQ(shown, QStringList({"one", "two", "three", "one"}));
    label.hide();
    EXPECT_FALSE(label.Timer()->isActive());
    label.Advance();
    EXPECT_EQ(label.Text(), QStringLiteral("one"));
    label.setAdderMode(true);
    label.setAdderText(QStringLiteral("Step: "));
    EXPECT_TRUE(label.Text().startsWith(QStringLiteral("Step: ")));
    label.setItems({});
    EXPECT_EQ(label.Text(), QStringLiteral("No items"));
}

TEST_F(TextBoxTest, PanelColoursFollowTheTheme) {
    FXPanel panel;
    panel.resize(100, 60);
    panel.setBackgroundColor(FXBackgroundColor::Content);
    EXPECT_EQ(panel.Background(), 0xFBFBFBu);
    EXPECT_TRUE(Near(PixelAt(Shot(panel), 50, 5), ToQColor(0xFBFBFB)));
    SetDark(true);
    panel.UpdateTheme(false);
    EXPECT_EQ(panel.Background(), 0x2B2B2Bu);
    EXPECT_TRUE(Near(PixelAt(Shot(panel), 50, 5), ToQColor(0x2B2B2B)));
    panel.setBackgroundColor(FXBackgroundColor::Background);
    EXPECT_EQ(panel.Background(), 0x202020u);
}

TEST_F(TextBoxTest, PanelAccentBarIsDrawnAtTheLeftEdge) {
    FXPanel panel;
    panel.resize(100, 60);
    panel.setAccentLine(true);
    const QImage shot = Shot(panel);
    EXPECT_TRUE(Near(PixelAt(shot, 14, 30), ToQColor(ThemeManager->AccentColor())));
    EXPECT_TRUE(Near(PixelAt(shot, 30, 30), ToQColor(panel.Background())));
}

TEST_F(TextBoxTest, AThemeChangeThroughThePanelReachesItsControls) {
    FXPanel panel;
    FXTextBox label(&panel);
    SetDark(true);
    panel.UpdateTheme(true);
    EXPECT_EQ(label.Background(), 0x202020u);
    EXPECT_EQ(label.DrawColors().ForeGround(), ThemeManager->SystemColor()->ForeGround());
}

TEST_F(TextBoxTest, OlderPanelPaintsTheAccentItIsGiven) {
    LegacyAccentCache().setCustomAccent(0x00FF00);
    CPanel panel;
    panel.resize(40, 40);
    panel.setUseAccentColor(CAccentColor::AccentCustom);
    EXPECT_TRUE(Near(PixelAt(Shot(panel), 20, 20), QColor(0, 255, 0)));
    EXPECT_EQ(panel.PanelColor(), QColor(0, 255, 0));
}

} // namespace
