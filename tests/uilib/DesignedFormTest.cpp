#include "CImage.h"
#include "CPanel.h"
#include "FXForm.h"
#include "FXPanel.h"
#include "FXShellFolders.h"
#include "FXTextBox.h"
#include "ui_DesignedForm.h"

#include "TempProfile.h"
#include "ThemedWidgetTest.h"

namespace {

using DesignedFormTest = ThemedWidgetTest;

// A window whose layout comes from a designer file, as every program window's does.
class DesignedWindow : public FXForm {
  public:
    DesignedWindow() { LoadDesign(Design); }
    Ui::DesignedForm Design;
    bool ReadingDuringDesign = false;
};

TEST_F(DesignedFormTest, DesignerFilesSetThePropertiesByTheirNames) {
    DesignedWindow window;
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Designed form"));
    EXPECT_FALSE(window.AllowThemeChangeAnimation());
    EXPECT_EQ(window.Design.Content->BackgroundColor(), FXBackgroundColor::Content);
    EXPECT_TRUE(window.Design.Content->AccentLine());
    EXPECT_EQ(window.Design.Content->AccentLineWidth(), 6);
    EXPECT_EQ(window.Design.Heading->Text(), QStringLiteral("Designed heading"));
    EXPECT_EQ(window.Design.Heading->LayoutHorizontal(), FXLayout::Center);
    EXPECT_TRUE(window.Design.Heading->WordWrap());
    EXPECT_EQ(window.Design.Heading->InnerMargin(), 3);
    EXPECT_EQ(window.Design.Logo->DrawMode(), TDrawMode::Tile);
    EXPECT_TRUE(window.Design.Logo->FlipY());
    EXPECT_EQ(window.Design.Strip->UseAccentColor(), CAccentColor::AccentAdjust);
}

TEST_F(DesignedFormTest, ReadingKeepsTheDesignedSizesAndThemesAfterwards) {
    DesignedWindow window;
    EXPECT_EQ(window.Design.Heading->size(), QSize(250, 40));
    // A self-sizing label does not follow its text while a layout is read.
    QWidget parent;
    FXTextBox label(&parent);
    label.resize(300, 50);
    {
        FXFormReading reading;
        label.setText(QStringLiteral("Short"));
    }
    EXPECT_EQ(label.size(), QSize(300, 50));
    label.setText(QStringLiteral("Shorter"));
    EXPECT_NE(label.size(), QSize(300, 50));
    // The panel got its content colour once the design was applied.
    EXPECT_EQ(window.Design.Content->Background(), 0xFBFBFBu);
    EXPECT_EQ(window.Design.Heading->Background(), 0xFBFBFBu);
    SetDark(true);
    EXPECT_EQ(window.Design.Heading->Background(), 0x2B2B2Bu);
}

TEST_F(DesignedFormTest, LibraryShellFoldersAnswerTheUsersFolders) {
    TempProfile profile;
    EXPECT_EQ(FXShellFolders::UserShellFolder(UserFolderKind::Profile), profile.Home());
    EXPECT_EQ(FXShellFolders::UserShellFolder(UserFolderKind::Desktop),
              UserShellFolder(UserFolderKind::Desktop));
    EXPECT_FALSE(FXShellFolders::UserShellFolder(UserFolderKind::Desktop).isEmpty());
    EXPECT_TRUE(FXShellFolders::UserShellFolder(UserFolderKind::NetHood).isEmpty());
}

} // namespace
