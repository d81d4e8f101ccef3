#include "TypePicker.h"
#include "AppTestEnvironment.h"
#include "LabelButton.h"

#include <QApplication>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

namespace {

TLabelButton* ButtonOf(const TTypes& picker, int tag) {
    for (TLabelButton* button : picker.FormatButtons()) {
        if (button->Tag() == tag) return button;
    }
    return nullptr;
}

TEST(TypePickerTest, EveryFormatHasOneButtonInItsPlace) {
    TTypes picker;
    EXPECT_EQ(picker.size(), QSize(433, 349));
    const QList<TLabelButton*> buttons = picker.FormatButtons();
    ASSERT_EQ(buttons.size(), 14);
    struct Place {
        int Tag;
        const char* Caption;
        int X;
        int Y;
    };
    for (const Place& place :
         {Place{1, "✨AUTO", 16, 53}, Place{12, "BASE64", 16, 138}, Place{4, "JPEG", 278, 229},
          Place{7, "IMG-BASE", 278, 279}, Place{13, "HEIC", 16, 329}, Place{14, "WAVE", 147, 467}}) {
        const TLabelButton* button = ButtonOf(picker, place.Tag);
        ASSERT_NE(button, nullptr) << place.Tag;
        EXPECT_EQ(button->text(), QString::fromUtf8(place.Caption));
        EXPECT_EQ(button->geometry(), QRect(place.X, place.Y, 122, 38)) << place.Caption;
    }
}

TEST(TypePickerTest, AutoIsDisabledOnlyWhenPickingTheTarget) {
    TTypes picker;
    picker.OpenUI(2);
    TLabelButton* autoButton = ButtonOf(picker, 1);
    EXPECT_EQ(picker.AChangeID(), 2);
    EXPECT_FALSE(autoButton->isEnabled());
    EXPECT_EQ(autoButton->Color(), QColor(128, 128, 128));
    EXPECT_TRUE(ButtonOf(picker, 2)->isEnabled());

    QSignalSpy picked(&picker, &TTypes::Picked);
    QTest::mouseClick(autoButton, Qt::LeftButton);
    EXPECT_EQ(picked.count(), 0);

    picker.hide();
    picker.OpenUI(1);
    EXPECT_TRUE(autoButton->isEnabled());
    EXPECT_EQ(autoButton->Color(), QColor(175, 9, 247));
}

TEST(TypePickerTest, ChoosingAFormatReportsItAndCloses) {
    TTypes picker;
    QSignalSpy picked(&picker, &TTypes::Picked);
    picker.OpenUI(2);
    ASSERT_TRUE(picker.isVisible());
    QTest::mouseClick(ButtonOf(picker, 4), Qt::LeftButton);
    ASSERT_EQ(picked.count(), 1);
    EXPECT_EQ(picked[0][0].toInt(), 2);
    EXPECT_EQ(picked[0][1].toInt(), 4);
    EXPECT_FALSE(picker.isVisible());
}

TEST(TypePickerTest, AClickOutsideClosesWithoutAChoice) {
    TTypes picker;
    QSignalSpy picked(&picker, &TTypes::Picked);
    picker.OpenUI(1);
    QTest::mouseClick(&picker, Qt::LeftButton, {}, QPoint(-20, -20));
    EXPECT_FALSE(picker.isVisible());
    EXPECT_EQ(picked.count(), 0);
}

TEST(TypePickerTest, OpensScrolledToTheTopWithButtonsInTheirBaseColours) {
    TTypes picker;
    picker.OpenUI(1);
    QScrollBar* bar = picker.Hold()->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    bar->setValue(bar->maximum());
    TLabelButton* png = ButtonOf(picker, 2);
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(png, &enter);
    EXPECT_EQ(png->Color(), QColor(195, 29, 255));
    picker.hide();

    picker.OpenUI(2);
    EXPECT_EQ(bar->value(), 0);
    EXPECT_EQ(png->Color(), QColor(175, 9, 247));
}

TEST(TypePickerTest, OneWheelNotchScrollsSixtyPixels) {
    TTypes picker;
    picker.OpenUI(1);
    QScrollBar* bar = picker.Hold()->verticalScrollBar();
    QWidget* viewport = picker.Hold()->viewport();
    QWheelEvent down(QPointF(50, 50), viewport->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, -120),
                     Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &down);
    EXPECT_EQ(bar->value(), 60);
    QWheelEvent up(QPointF(50, 50), viewport->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, 120),
                   Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &up);
    EXPECT_EQ(bar->value(), 0);
}

TEST(TypePickerTest, OpensRightBelowTheClickedButton) {
    QWidget host;
    host.resize(300, 200);
    TLabelButton button(&host);
    button.setGeometry(40, 30, 90, 36);
    button.setTag(2);
    host.show();
    TTypes picker;
    picker.PickItem(&button);
    EXPECT_EQ(picker.pos(), button.mapToGlobal(QPoint(0, 36)));
    EXPECT_EQ(picker.AChangeID(), 2);
}

} // namespace
