#include "FXDrawing.h"
#include "FXCompleteColorSets.h"
#include "FXCustomTooltip.h"
#include "FXIconSelect.h"

#include "ThemedWidgetTest.h"

#include <QFontMetrics>
#include <QHelpEvent>
#include <QPainter>

namespace {

using DrawingTest = ThemedWidgetTest;

QFont TestFont() {
    return FXFont(ThemeManager->FormFont(), -16);
}

TEST_F(DrawingTest, WrappedTextBreaksAtSpacesIntoLinesThatFit) {
    const QFont font = TestFont();
    const QFontMetrics metrics(font);
    const QString text = QStringLiteral("alpha beta gamma delta epsilon");
    const int width = metrics.horizontalAdvance(QStringLiteral("alpha beta gamma")) + 2;
    const auto lines =
        LayoutTextRect(font, QRect(0, 0, width, 500), text, FXTextFlag::WordWrap | FXTextFlag::Top);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0].Text, QStringLiteral("alpha beta gamma"));
    EXPECT_EQ(lines[1].Text, QStringLiteral("delta epsilon"));
    EXPECT_EQ(lines[1].Rect.top(), metrics.height());
    for (const FXTextLine& line : lines)
        EXPECT_LE(line.Rect.width(), width);
}

TEST_F(DrawingTest, ABlockIsCentredWithRoundingAndLinesAligned) {
    const QFont font = TestFont();
    const QFontMetrics metrics(font);
    const QRect area(0, 0, 300, 101);
    const auto lines = LayoutTextRect(font, area, QStringLiteral("one\ntwo"),
                                      FXTextFlag::WordWrap | FXTextFlag::VerticalCenter | FXTextFlag::Right);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0].Rect.top(), int(std::lround(101 / 2.0 - metrics.height())));
    EXPECT_EQ(lines[0].Rect.right() + 1, 300);
    EXPECT_EQ(lines[1].Rect.right() + 1, 300);
}

TEST_F(DrawingTest, AutoWrapsOnlyTextThatDoesNotFitAndMarginShrinks) {
    const QFont font = TestFont();
    const QString text = QStringLiteral("short words here");
    const int wide = QFontMetrics(font).horizontalAdvance(text) + 20;
    EXPECT_EQ(LayoutTextRect(font, QRect(0, 0, wide, 100), text, FXTextFlag::Auto).size(), 1);
    EXPECT_GT(LayoutTextRect(font, QRect(0, 0, wide / 2, 100), text, FXTextFlag::Auto).size(), 1);
    const auto inset =
        LayoutTextRect(font, QRect(0, 0, wide, 100), text, FXTextFlag::Top | FXTextFlag::Left, 7);
    EXPECT_EQ(inset.first().Rect.topLeft(), QPoint(7, 7));
    EXPECT_TRUE(LayoutTextRect(font, QRect(0, 0, 50, 50), QString(), FXTextFlag::Auto).isEmpty());
}

TEST_F(DrawingTest, FitFontHeightFillsWithoutExceeding) {
    const QString face = ThemeManager->FormFont();
    EXPECT_EQ(FitFontHeight(face, QString(), 40, 40), 0);
    const int height = FitFontHeight(face, QStringLiteral("Wide text"), 120, 40);
    ASSERT_LT(height, 0);
    const QFontMetrics fits(FXFont(face, height));
    EXPECT_LT(fits.horizontalAdvance(QStringLiteral("Wide text")), 120);
    EXPECT_LT(fits.height(), 40);
    const QFontMetrics larger(FXFont(face, height - 1));
    EXPECT_TRUE(larger.horizontalAdvance(QStringLiteral("Wide text")) >= 120 || larger.height() >= 40);
}

TEST_F(DrawingTest, BorderIsInsetByHalfItsThickness) {
    QImage image(20, 20, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        DrawBorder(painter, image.rect(), Qt::black, 0, 2);
    }
    EXPECT_EQ(image.pixelColor(0, 10), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(1, 10), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(3, 10), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(19, 10), QColor(Qt::black));
    QImage untouched = image;
    QPainter painter(&untouched);
    DrawBorder(painter, untouched.rect(), Qt::red, 5, 0);
    EXPECT_EQ(untouched, image);
}

TEST_F(DrawingTest, IconsAreCentredAndScaledDownKeepingProportions) {
    QImage picture(40, 20, QImage::Format_RGB32);
    picture.fill(Qt::red);
    FXIconSelect icon;
    icon.setIconType(FXIconType::BitMap);
    icon.setSelectBitmap(picture);
    QImage canvas(40, 40, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    {
        QPainter painter(&canvas);
        icon.DrawIcon(painter, QRect(0, 0, 20, 40));
    }
    // 40 × 20 fits into 20 × 40 as 20 × 10, centred vertically.
    EXPECT_EQ(canvas.pixelColor(10, 20), QColor(Qt::red));
    EXPECT_EQ(canvas.pixelColor(10, 12), QColor(Qt::white));
    EXPECT_EQ(canvas.pixelColor(25, 20), QColor(Qt::white));
    icon.setIconType(FXIconType::Image);
    icon.FreeUnusedAssets();
    EXPECT_TRUE(icon.SelectBitmap().isNull());
}

TEST_F(DrawingTest, SymbolIconsDrawAGlyphInThePenColour) {
    FXIconSelect icon;
    QImage canvas(40, 40, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    {
        QPainter painter(&canvas);
        painter.setPen(Qt::black);
        icon.DrawIcon(painter, canvas.rect());
    }
    int dark = 0;
    for (int x = 0; x < 40; ++x)
        for (int y = 0; y < 40; ++y)
            dark += canvas.pixelColor(x, y).lightness() < 100;
    EXPECT_GT(dark, 10);
}

TEST_F(DrawingTest, TooltipSizeIsTheTextPlusMarginsAndBorder) {
    FXLightTooltip tip;
    const QString hint = QStringLiteral("Short");
    const QRect text = tip.fontMetrics().boundingRect(QRect(0, 0, 400, 10000), Qt::TextWordWrap, hint);
    EXPECT_EQ(tip.CalcHintRect(400, hint), QSize(18 + text.width(), 14 + text.height()));
    EXPECT_EQ(tip.BackColor(), ThemeManager->SystemToolTip()->LightBackGround());
    FXDarkTooltip dark;
    EXPECT_EQ(dark.BackColor(), ThemeManager->SystemToolTip()->DarkBackGround());
}

TEST_F(DrawingTest, EveryTooltipIsShownInTheApplicationsKind) {
    QWidget widget;
    widget.setToolTip(QStringLiteral("Choose the export folder"));
    widget.show();
    SetApplicationTooltip(FXTooltipKind::Dark);
    QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), widget.mapToGlobal(QPoint(5, 5)));
    QCoreApplication::sendEvent(&widget, &help);
    FXCustomTooltip* shown = ShownTooltip();
    ASSERT_NE(shown, nullptr);
    EXPECT_NE(qobject_cast<FXDarkTooltip*>(shown), nullptr);
    EXPECT_EQ(shown->HintText(), QStringLiteral("Choose the export folder"));
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&widget, &leave);
    EXPECT_EQ(ShownTooltip(), nullptr);
}

} // namespace
