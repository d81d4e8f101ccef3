#include "About.h"
#include "AppTestEnvironment.h"
#include "CButton.h"
#include "CImage.h"
#include "FXCompleteColorSet.h"
#include "FXTextBox.h"
#include "FXThemeManager.h"

#include <QApplication>
#include <QPointer>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class AboutTest : public testing::Test {
  protected:
    void SetUp() override {
        InitializeUILibrary();
        Before = ThemeManager->DarkThemeMode();
    }
    void TearDown() override {
        ThemeManager->setDarkThemeMode(Before);
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (qobject_cast<TAboutForm*>(widget)) delete widget;
    }

    static void FlushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    FXDarkSetting Before = FXDarkSetting::Auto;
};

TEST_F(AboutTest, EachOpeningIsAWindowOfItsOwnAndClosingFreesOnlyThatOne) {
    QPointer<TAboutForm> first = TAboutForm::Open();
    QPointer<TAboutForm> second = TAboutForm::Open();
    ASSERT_TRUE(first && second);
    EXPECT_NE(first.data(), second.data());
    EXPECT_TRUE(first->isVisible() && second->isVisible());

    QTest::mouseClick(first->findChild<CButton*>("Button1"), Qt::LeftButton);
    FlushDeletes();
    EXPECT_TRUE(first.isNull());
    ASSERT_FALSE(second.isNull());
    EXPECT_TRUE(second->isVisible());
}

TEST_F(AboutTest, TheDesignedContentIsThere) {
    TAboutForm* form = TAboutForm::Open();
    EXPECT_EQ(form->findChild<QWidget*>("Client")->size(), QSize(494, 401));
    EXPECT_EQ(form->findChild<CImage*>("Banner")->geometry(), QRect(72, 21, 361, 65));
    EXPECT_EQ(form->findChild<CButton*>("Button1")->geometry(), QRect(200, 353, 118, 40));
    for (const char* name : {"Banner", "Logo"}) {
        const QImage picture = form->findChild<CImage*>(name)->Picture().toImage();
        ASSERT_FALSE(picture.isNull()) << name;
        // Drawn, not blank.
        EXPECT_GT(qAlpha(picture.pixel(picture.width() / 2 - 1, picture.height() / 2)), 0) << name;
    }
    EXPECT_EQ(form->findChild<FXTextBox*>("Label1")->Text(), "Made by");
}

TEST_F(AboutTest, EscapeClosesTheWindow) {
    QPointer<TAboutForm> form = TAboutForm::Open();
    QApplication::setActiveWindow(form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(form));
    form->findChild<CButton*>("Button1")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    FlushDeletes();
    EXPECT_TRUE(form.isNull());
}

TEST_F(AboutTest, SwitchingLightAndDarkRecoloursTheTextOfEveryOpenWindow) {
    TAboutForm* first = TAboutForm::Open();
    TAboutForm* second = TAboutForm::Open();
    for (FXDarkSetting mode : {FXDarkSetting::ForceDark, FXDarkSetting::ForceLight}) {
        ThemeManager->setDarkThemeMode(mode);
        const TColor text = ThemeManager->SystemColor()->ForeGround();
        for (TAboutForm* form : {first, second}) {
            for (FXTextBox* label : form->findChildren<FXTextBox*>())
                EXPECT_EQ(label->DrawColors().ForeGround(), text) << label->objectName().toStdString();
        }
    }
}

} // namespace
