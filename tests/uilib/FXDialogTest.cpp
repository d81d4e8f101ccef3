#include "FXDialog.h"

#include "ColorFunctions.h"
#include "FXButton.h"
#include "FXCompleteColorSet.h"
#include "FXForm.h"
#include "FXTextBox.h"
#include "ThemedWidgetTest.h"

#include <QAccessible>
#include <QTest>
#include <QTimer>

#include <functional>
#include <ostream>
#include <vector>

namespace {

class FXDialogTest : public ThemedWidgetTest {
  protected:
    // Executes the dialog and, once it is open, does what a user does to it.
    int Run(FXDialog& dialog, const std::function<void(FXDialog&)>& user) {
        QTimer::singleShot(0, [&] {
            ASSERT_NE(dialog.Form(), nullptr);
            ASSERT_TRUE(Eventually([&] { return dialog.Form()->isVisible(); }));
            user(dialog);
        });
        return dialog.Execute();
    }

    static void Key(FXDialog& dialog, Qt::Key key) {
        QWidget* target = QApplication::focusWidget();
        if (target == nullptr || target->window() != dialog.Form()) target = dialog.Form();
        QTest::keyClick(target, key);
    }
};

TEST_F(FXDialogTest, TheDefaultButtonIsOneAccentOkThatAnswersOne) {
    FXDialog dialog;
    dialog.setTitle("Error");
    dialog.setText("Something went wrong.");
    std::vector<FXButton*> buttons;
    const int result = Run(dialog, [&](FXDialog& open) {
        const auto found = open.Form()->findChildren<FXButton*>();
        buttons.assign(found.begin(), found.end());
        FXButton* ok = open.Button(FXMsgDlgBtn::OK);
        ASSERT_NE(ok, nullptr);
        EXPECT_EQ(ok->Text(), "Ok");
        EXPECT_EQ(ok->ButtonKind(), FXButtonKind::Accent);
        EXPECT_GT(ok->x() + ok->width(), open.Form()->width() / 2) << "at the right of the footer";
        EXPECT_EQ(open.MainPrompt()->Text(), "Error");
        EXPECT_EQ(open.Prompt()->Text(), "Something went wrong.");
        QTest::mouseClick(ok, Qt::LeftButton);
    });
    EXPECT_EQ(buttons.size(), 1u);
    EXPECT_EQ(result, mrOk);
    EXPECT_EQ(dialog.Form(), nullptr) << "the window is freed when Execute returns";
}

TEST_F(FXDialogTest, EachExecuteBuildsAFreshWindow) {
    FXDialog dialog;
    dialog.setText("Twice.");
    dialog.setButtons({FXMsgDlgBtn::OK, FXMsgDlgBtn::Cancel});
    EXPECT_EQ(
        Run(dialog,
            [](FXDialog& open) { QTest::mouseClick(open.Button(FXMsgDlgBtn::Cancel), Qt::LeftButton); }),
        mrCancel);
    EXPECT_EQ(
        Run(dialog, [](FXDialog& open) { QTest::mouseClick(open.Button(FXMsgDlgBtn::OK), Qt::LeftButton); }),
        mrOk);
}

TEST_F(FXDialogTest, YesNoCancelRunRightToLeftWithYesTheDefault) {
    FXDialog dialog;
    dialog.setText("Save the changes?");
    dialog.setButtons({FXMsgDlgBtn::Yes, FXMsgDlgBtn::No, FXMsgDlgBtn::Cancel});
    Run(dialog, [&](FXDialog& open) {
        FXButton* yes = open.Button(FXMsgDlgBtn::Yes);
        FXButton* no = open.Button(FXMsgDlgBtn::No);
        FXButton* cancel = open.Button(FXMsgDlgBtn::Cancel);
        ASSERT_TRUE(yes && no && cancel);
        EXPECT_GT(yes->x(), no->x());
        EXPECT_GT(no->x(), cancel->x());
        EXPECT_TRUE(yes->Default());
        EXPECT_EQ(yes->ButtonKind(), FXButtonKind::Accent);
        EXPECT_EQ(no->ButtonKind(), FXButtonKind::Normal);
        EXPECT_TRUE(cancel->Cancel());
        QTest::mouseClick(no, Qt::LeftButton);
    });
}

// One button set, the button a user presses, and what Execute answers.
struct ResultCase {
    const char* Name;
    FXMsgDlgButtons Buttons;
    FXMsgDlgBtn Pressed;
    int Result;
};

void PrintTo(const ResultCase& c, std::ostream* out) {
    *out << c.Name;
}

class DialogResultTest : public FXDialogTest, public testing::WithParamInterface<ResultCase> {};

TEST_P(DialogResultTest, EachButtonAnswersItsModalResult) {
    FXDialog dialog;
    dialog.setText("Choose.");
    dialog.setButtons(GetParam().Buttons);
    const int result = Run(dialog, [&](FXDialog& open) {
        FXButton* button = open.Button(GetParam().Pressed);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->Text(), DialogButtonCaption(GetParam().Pressed));
        QTest::mouseClick(button, Qt::LeftButton);
    });
    EXPECT_EQ(result, GetParam().Result);
}

using B = FXMsgDlgBtn;
INSTANTIATE_TEST_SUITE_P(
    Sets, DialogResultTest,
    testing::Values(
        ResultCase{"OkOk", {B::OK}, B::OK, 1}, ResultCase{"OkCancelCancel", {B::OK, B::Cancel}, B::Cancel, 2},
        ResultCase{"YesNoYes", {B::Yes, B::No}, B::Yes, 6}, ResultCase{"YesNoNo", {B::Yes, B::No}, B::No, 7},
        ResultCase{"AbortRetryIgnoreAbort", {B::Abort, B::Retry, B::Ignore}, B::Abort, 3},
        ResultCase{"AbortRetryIgnoreRetry", {B::Abort, B::Retry, B::Ignore}, B::Retry, 4},
        ResultCase{"AbortRetryIgnoreIgnore", {B::Abort, B::Retry, B::Ignore}, B::Ignore, 5},
        ResultCase{"AllNoToAllYesToAllAll", {B::All, B::NoToAll, B::YesToAll}, B::All, 12},
        ResultCase{"AllNoToAllYesToAllNoToAll", {B::All, B::NoToAll, B::YesToAll}, B::NoToAll, 13},
        ResultCase{"AllNoToAllYesToAllYesToAll", {B::All, B::NoToAll, B::YesToAll}, B::YesToAll, 14},
        ResultCase{"HelpClose", {B::Help, B::Close}, B::Help, 9},
        ResultCase{"HelpCloseClose", {B::Help, B::Close}, B::Close, 8}));

// One button set and what Escape, or Enter before any Tab, answers.
struct KeyCase {
    const char* Name;
    FXMsgDlgButtons Buttons;
    Qt::Key Key;
    int Result;
};

void PrintTo(const KeyCase& c, std::ostream* out) {
    *out << c.Name;
}

class DialogKeyTest : public FXDialogTest, public testing::WithParamInterface<KeyCase> {};

TEST_P(DialogKeyTest, EscapeAndEnterAnswerTheirButton) {
    FXDialog dialog;
    dialog.setText("Choose.");
    dialog.setButtons(GetParam().Buttons);
    const int result = Run(dialog, [&](FXDialog& open) { Key(open, GetParam().Key); });
    EXPECT_EQ(result, GetParam().Result);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, DialogKeyTest,
    testing::Values(KeyCase{"OkEscape", {B::OK}, Qt::Key_Escape, 1},
                    KeyCase{"OkEnter", {B::OK}, Qt::Key_Return, 1},
                    KeyCase{"OkCancelEscape", {B::OK, B::Cancel}, Qt::Key_Escape, 2},
                    KeyCase{"OkCancelEnter", {B::OK, B::Cancel}, Qt::Key_Enter, 1},
                    KeyCase{"YesNoEscape", {B::Yes, B::No}, Qt::Key_Escape, 7},
                    KeyCase{"YesNoEnter", {B::Yes, B::No}, Qt::Key_Return, 6},
                    KeyCase{"YesNoCancelEscape", {B::Yes, B::No, B::Cancel}, Qt::Key_Escape, 2},
                    KeyCase{"AbortRetryIgnoreEscape", {B::Abort, B::Retry, B::Ignore}, Qt::Key_Escape, 2},
                    KeyCase{"AbortRetryIgnoreEnter", {B::Abort, B::Retry, B::Ignore}, Qt::Key_Return, 3},
                    KeyCase{"NoButtonsEscape", {}, Qt::Key_Escape, 2}));

TEST_F(FXDialogTest, TabWalksTheButtonsLeftToRight) {
    FXDialog dialog;
    dialog.setText("Save the changes?");
    dialog.setButtons({B::Yes, B::No, B::Cancel});
    const int result = Run(dialog, [&](FXDialog& open) {
        ASSERT_TRUE(Eventually([&] { return open.Button(B::Yes)->hasFocus(); }));
        Key(open, Qt::Key_Tab);
        EXPECT_TRUE(open.Button(B::Cancel)->hasFocus()) << "from the rightmost button Tab wraps to the left";
        Key(open, Qt::Key_Tab);
        EXPECT_TRUE(open.Button(B::No)->hasFocus());
        Key(open, Qt::Key_Return);
    });
    EXPECT_EQ(result, mrNo) << "Enter presses the button that has the focus";
}

TEST_F(FXDialogTest, WindowAndButtonsCarryAccessibleNames) {
    FXDialog dialog;
    dialog.setTitle("Help");
    dialog.setText("Avalabile Parameters:");
    dialog.setButtons({B::OK, B::Cancel});
    Run(dialog, [&](FXDialog& open) {
        EXPECT_EQ(open.Form()->accessibleName(), "Help");
        EXPECT_EQ(open.Form()->accessibleDescription(), "Avalabile Parameters:");
        QAccessibleInterface* ok = QAccessible::queryAccessibleInterface(open.Button(B::OK));
        ASSERT_NE(ok, nullptr);
        EXPECT_EQ(ok->text(QAccessible::Name), "Ok");
        EXPECT_EQ(ok->role(), QAccessible::Button);
        QAccessibleInterface* prompt = QAccessible::queryAccessibleInterface(open.Prompt());
        ASSERT_NE(prompt, nullptr);
        EXPECT_EQ(prompt->text(QAccessible::Name), "Avalabile Parameters:");
        Key(open, Qt::Key_Escape);
    });
}

TEST_F(FXDialogTest, LongTextWrapsAtSixtyFiveCharacterWidths) {
    const QString longText = QString("word ").repeated(30); // 150 characters
    FXDialog dialog;
    dialog.setText(longText);
    Run(dialog, [&](FXDialog& open) {
        const int x = open.DialogUnits().x();
        EXPECT_LE(open.Prompt()->width(), 65 * x + 2);
        EXPECT_GT(open.Prompt()->height(), 2 * open.DialogUnits().y()) << "several lines";
        EXPECT_LT(open.Prompt()->geometry().bottom(), open.Footer()->y()) << "the footer covers no text";
        Key(open, Qt::Key_Escape);
    });
}

TEST_F(FXDialogTest, AParentFormIsDimmedWhileTheDialogIsOpen) {
    FXForm parent;
    parent.resize(600, 400);
    parent.show();
    FXDialog dialog;
    dialog.setText("Dimmed behind me.");
    dialog.setParentForm(&parent);
    Run(dialog, [&](FXDialog& open) {
        EXPECT_TRUE(parent.SmokeEffect());
        const QPoint centre = open.Form()->geometry().center();
        EXPECT_LE(std::abs(centre.x() - parent.frameGeometry().center().x()), 1);
        Key(open, Qt::Key_Escape);
    });
    EXPECT_FALSE(parent.SmokeEffect());
}

TEST_F(FXDialogTest, LightThemeDialogsHaveDarkText) {
    FXDialog dialog;
    dialog.setText("Dark text on a light form.");
    Run(dialog, [&](FXDialog& open) {
        EXPECT_GE(GetBrightness(open.Form()->FormColor()), 156);
        EXPECT_LT(GetBrightness(open.Prompt()->DrawColors().ForeGround()), 100);
        Key(open, Qt::Key_Escape);
    });
}

TEST_F(FXDialogTest, DarkThemeDialogsPaintDark) {
    SetDark(true);
    FXDialog dialog;
    dialog.setTitle("Dark");
    dialog.setText("Light text on a dark form.");
    Run(dialog, [&](FXDialog& open) {
        EXPECT_LT(GetBrightness(open.Form()->FormColor()), 156);
        EXPECT_GT(GetBrightness(open.Prompt()->DrawColors().ForeGround()), 200)
            << "light text on a dark form";
        EXPECT_GT(GetBrightness(open.MainPrompt()->DrawColors().ForeGround()), 200);
        Key(open, Qt::Key_Escape);
    });
}

} // namespace
