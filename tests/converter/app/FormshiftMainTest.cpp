#include "FormshiftMain.h"
#include "AppTestEnvironment.h"
#include "FXThemeManager.h"
#include "FXTitleBar.h"
#include "FileCatching.h"
#include "FileListBox.h"
#include "HistoryViewer.h"
#include "LabelButton.h"
#include "TextLines.h"
#include "UpdateBinding.h"

#include "FXButton.h"
#include "FXCheckBox.h"
#include "FXProgress.h"
#include "FXSlider.h"
#include "FXTextBox.h"
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>
#include <memory>

namespace {

class FormshiftMainTest : public testing::Test {
  protected:
    void SetUp() override {
        QDir(Dir.path()).mkpath("data");
        QDir(Dir.path()).mkpath("files");
    }

    QString DataFolder() const { return Dir.filePath("data/"); }
    QString FilePath(const QString& name) const { return Dir.filePath("files/" + name); }

    QString Touch(const QString& name) {
        const QString path = FilePath(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        return path;
    }

    std::unique_ptr<TFormshift> Open() {
        auto window = std::make_unique<TFormshift>(DataFolder());
        window->Dialogs.ChooseFolder = [this](QWidget*, const QString&) {
            ++FolderDialogs;
            return ChosenFolder;
        };
        window->Dialogs.ChooseFiles = [this](QWidget*) { return ChosenFiles; };
        window->Dialogs.ChooseSaveFile = [this](QWidget*, const QStringList& filters, bool& first) {
            SaveFilters = filters;
            first = SaveFirstFilter;
            return SaveName;
        };
        return window;
    }

    // Closes the window the way the first running copy closes.
    static void CloseAsPrimary(TFormshift& window) {
        window.setWindowTitle("Formshift");
        window.close();
    }

    void WriteData(const QString& name, const QByteArray& bytes) const {
        QDir().mkpath(DataFolder());
        QFile file(DataFolder() + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QByteArray ReadData(const QString& name) const {
        QFile file(DataFolder() + name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    template <typename T> static T* Control(TFormshift& window, const char* name) {
        T* control = window.findChild<T*>(QLatin1String(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }

    QTemporaryDir Dir;
    QString ChosenFolder;
    QStringList ChosenFiles;
    int FolderDialogs = 0;
    QStringList SaveFilters;
    bool SaveFirstFilter = true;
    QString SaveName;
};

QByteArray DefaultSettings() {
    return QByteArray("[Application]\r\n"
                      "Save path=1\r\n"
                      "Last Path=\r\n"
                      "Files export path on open=0\r\n"
                      "History Viewer=1\r\n"
                      "Override from=0\r\n"
                      "Check Updates=1\r\n"
                      "When Done=1\r\n"
                      "[Conversion]\r\n"
                      "Ignore Complete=0\r\n"
                      "Ignore Format Error=1\r\n"
                      "SimultaneousConversions=") +
           QByteArray::number(DefaultSimultaneousConversions()) +
           QByteArray("\r\n"
                      "KeepFileDates=1\r\n"
                      "[File:Icons]\r\n"
                      "High Resolution=0\r\n"
                      "Pink Mask=0\r\n"
                      "Smooth Downsize=1\r\n"
                      "[File:JPEG/HEIC]\r\n"
                      "Lossless Quality=1\r\n"
                      "Image Quality=100\r\n"
                      "JPEG Quality=90\r\n");
}

TEST_F(FormshiftMainTest, AFirstStartShowsTheDesignedDefaultsAndClosingWritesEveryKey) {
    auto window = Open();
    EXPECT_EQ(window->windowTitle(), "Formshift Clone");
    EXPECT_TRUE(Control<FXCheckBox>(*window, "Set_ReloadPath")->Checked());
    EXPECT_FALSE(Control<FXCheckBox>(*window, "Set_ExportPath")->Checked());
    EXPECT_TRUE(Control<FXCheckBox>(*window, "Set_HistView")->Checked());
    EXPECT_EQ(Control<QComboBox>(*window, "Set_DoneConvert")->currentText(), "Play Sound");
    EXPECT_EQ(Control<FXSlider>(*window, "Set_Quality")->Position(), 100);
    EXPECT_EQ(Control<FXSlider>(*window, "Set_JpegQuality")->Position(), 90);
    EXPECT_EQ(Control<FXCheckBox>(*window, "Set_UltraIcoRes")->toolTip(),
              "Allow icons to have non-standard resolution (breaks in some cases)");
    EXPECT_EQ(window->Driver().SourceFormat, FormatTag::AUTO);
    EXPECT_EQ(window->Driver().TargetFormat, FormatTag::PNG);
    EXPECT_EQ(Control<TLabelButton>(*window, "BtFrom")->text(), "AUTO");

    CloseAsPrimary(*window);
    EXPECT_EQ(ReadData("setings.ini"), DefaultSettings());
    const QByteArray positions = ReadData("window.ini");
    // The designed size, unless the screen is smaller.
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const QByteArray width = "Width=" + QByteArray::number(std::min(1035, area.width()));
    const QByteArray height = "Height=" + QByteArray::number(std::min(629, area.height()));
    for (const char* key : {"[Positions]", "Left=", "Top=", width.constData(), height.constData(), "State=0"})
        EXPECT_TRUE(positions.contains(key)) << key;
}

TEST_F(FormshiftMainTest, AStoredPlaceLargerThanTheScreenIsFittedIntoIt) {
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    SaveLines(DataFolder() + "window.ini", {"[Positions]", "Left=" + QString::number(area.right() - 100),
                                            "Top=-40", "Width=" + QString::number(area.width() * 2),
                                            "Height=" + QString::number(area.height() + 300), "State=0"});
    auto window = Open();
    EXPECT_TRUE(area.contains(window->geometry())) << window->geometry().x() << "," << window->geometry().y();
}

TEST_F(FormshiftMainTest, TheSettingsHeadingsShowTheirArrowsAndNameWhatTheyControl) {
    auto window = Open();
    EXPECT_EQ(Control<FXTextBox>(*window, "HeadIcon")->Text(), "FILE -> ICON");
    EXPECT_EQ(Control<FXTextBox>(*window, "HeadJpeg")->Text(), "FILE -> JPEG");
    EXPECT_EQ(Control<FXTextBox>(*window, "HeadHeic")->Text(), "FILE -> HEIC");
    EXPECT_EQ(Control<FXCheckBox>(*window, "Set_Lossless")->toolTip(),
              "Enable lossless compression for HEIC");
    // No text of the window is left escaped.
    for (QLabel* label : window->findChildren<QLabel*>()) {
        EXPECT_FALSE(label->text().contains("&gt;")) << label->objectName().toStdString();
        EXPECT_FALSE(label->text().contains("&amp;")) << label->objectName().toStdString();
    }
    for (FXTextBox* label : window->findChildren<FXTextBox*>()) {
        EXPECT_FALSE(label->Text().contains("&gt;")) << label->objectName().toStdString();
        EXPECT_FALSE(label->Text().contains("&amp;")) << label->objectName().toStdString();
    }
}

TEST_F(FormshiftMainTest, TheJpegQualityIsStoredAndReachesTheRun) {
    {
        auto window = Open();
        Control<FXSlider>(*window, "Set_JpegQuality")->setPosition(55);
        EXPECT_EQ(window->Driver().Settings.JpegQuality, 55);
        CloseAsPrimary(*window);
    }
    EXPECT_TRUE(ReadData("setings.ini").contains("JPEG Quality=55\r\n"));
    auto window = Open();
    EXPECT_EQ(Control<FXSlider>(*window, "Set_JpegQuality")->Position(), 55);
    EXPECT_EQ(window->Driver().Settings.JpegQuality, 55);
}

TEST_F(FormshiftMainTest, SimultaneousConversionsAreStoredClampedAndReachTheRun) {
    struct Case {
        const char* Stored;
        int Expected;
    };
    for (const Case& c :
         {Case{"3", 3}, Case{"0", 1}, Case{"-4", 1}, Case{"65", 64}, Case{"999", 64},
          Case{"many", DefaultSimultaneousConversions()}, Case{nullptr, DefaultSimultaneousConversions()}}) {
        QByteArray ini = "[Conversion]\r\nIgnore Complete=0\r\n";
        if (c.Stored) ini += QByteArray("SimultaneousConversions=") + c.Stored + "\r\n";
        WriteData("setings.ini", ini);
        auto window = Open();
        EXPECT_EQ(window->Driver().Settings.SimultaneousConversions, c.Expected)
            << (c.Stored ? c.Stored : "none");
        Control<FXSlider>(*window, "Set_Simultaneous")->setPosition(5);
        EXPECT_EQ(window->Driver().Settings.SimultaneousConversions, 5);
        CloseAsPrimary(*window);
        EXPECT_TRUE(ReadData("setings.ini").contains("\r\nSimultaneousConversions=5\r\n"))
            << ReadData("setings.ini").toStdString();
    }
}

TEST_F(FormshiftMainTest, EveryOptionSurvivesARestart) {
    const QString exportFolder = Dir.filePath("out");
    QDir().mkpath(exportFolder);
    {
        auto window = Open();
        Control<FXCheckBox>(*window, "Set_ExportPath")->setChecked(true);
        Control<FXCheckBox>(*window, "Set_OverideFrom")->setChecked(true);
        Control<FXCheckBox>(*window, "Set_CheckUpdateStart")->setChecked(false);
        Control<FXCheckBox>(*window, "Set_IgnoreComplete")->setChecked(true);
        Control<FXCheckBox>(*window, "Set_IgnoreForErr")->setChecked(false);
        Control<FXCheckBox>(*window, "Set_UltraIcoRes")->setChecked(true);
        Control<FXCheckBox>(*window, "Set_FixWhitePng")->setChecked(true);
        Control<FXCheckBox>(*window, "Set_SmoothSize")->setChecked(false);
        Control<FXCheckBox>(*window, "Set_Lossless")->setChecked(false);
        Control<FXSlider>(*window, "Set_Quality")->setPosition(42);
        Control<FXCheckBox>(*window, "Set_KeepFileDates")->setChecked(false);
        Control<QComboBox>(*window, "Set_DoneConvert")->setCurrentIndex(3);
        ASSERT_TRUE(window->SelectPath(exportFolder, false));
        CloseAsPrimary(*window);
    }
    auto window = Open();
    EXPECT_TRUE(Control<FXCheckBox>(*window, "Set_ExportPath")->Checked());
    EXPECT_TRUE(Control<FXCheckBox>(*window, "Set_OverideFrom")->Checked());
    EXPECT_FALSE(Control<FXCheckBox>(*window, "Set_CheckUpdateStart")->Checked());
    EXPECT_TRUE(Control<FXCheckBox>(*window, "Set_IgnoreComplete")->Checked());
    EXPECT_FALSE(Control<FXCheckBox>(*window, "Set_IgnoreForErr")->Checked());
    EXPECT_EQ(Control<QComboBox>(*window, "Set_DoneConvert")->currentIndex(), 3);
    EXPECT_EQ(window->Driver().ExportPath, exportFolder);
    // The restored folder is not recorded in the history again.
    EXPECT_FALSE(window->HistoryCreated());

    const ConversionSettings& settings = window->Driver().Settings;
    EXPECT_TRUE(settings.IgnoreComplete);
    EXPECT_FALSE(settings.IgnoreForErr);
    EXPECT_EQ(settings.DoneConvert, 3);
    EXPECT_TRUE(settings.UltraIcoRes);
    EXPECT_TRUE(settings.FixWhitePng);
    EXPECT_FALSE(settings.SmoothSize);
    EXPECT_FALSE(settings.Lossless);
    EXPECT_EQ(settings.Quality, 42);
    EXPECT_FALSE(settings.KeepFileDates);
}

TEST_F(FormshiftMainTest, OptionsReachTheRunTheMomentTheyChange) {
    auto window = Open();
    Control<FXCheckBox>(*window, "Set_IgnoreForErr")->setChecked(false);
    EXPECT_FALSE(window->Driver().Settings.IgnoreForErr);
    Control<FXSlider>(*window, "Set_Quality")->setPosition(7);
    EXPECT_EQ(window->Driver().Settings.Quality, 7);
    Control<QComboBox>(*window, "Set_DoneConvert")->setCurrentIndex(0);
    EXPECT_EQ(window->Driver().Settings.DoneConvert, 0);
}

TEST_F(FormshiftMainTest, AStoredPathIsRestoredOnlyWhenAskedAndWrittenAgainRegardless) {
    QDir().mkpath(Dir.filePath("kept"));
    SaveLines(DataFolder() + "setings.ini",
              {"[application]", "save path = 0", "Last Path=" + Dir.filePath("kept"), "When Done=7",
               "Image Quality=x"});
    auto window = Open();
    EXPECT_TRUE(window->Driver().ExportPath.isEmpty());
    EXPECT_FALSE(Control<FXCheckBox>(*window, "Set_ReloadPath")->Checked());
    EXPECT_EQ(Control<QComboBox>(*window, "Set_DoneConvert")->currentIndex(), -1);
    EXPECT_EQ(window->Driver().Settings.DoneConvert, -1);
    CloseAsPrimary(*window);
    const QByteArray settings = ReadData("setings.ini");
    EXPECT_TRUE(settings.startsWith("[application]\r\nsave path=0\r\nLast Path=\r\nWhen Done=-1\r\n"))
        << settings.data();
}

TEST_F(FormshiftMainTest, AStoredPathThatIsGoneIsIgnored) {
    SaveLines(DataFolder() + "setings.ini", {"[Application]", "Last Path=" + Dir.filePath("gone")});
    auto window = Open();
    EXPECT_TRUE(window->Driver().ExportPath.isEmpty());
    EXPECT_EQ(FolderDialogs, 0);
}

TEST_F(FormshiftMainTest, ACloneWritesNothingWhenItCloses) {
    auto window = Open();
    Control<FXCheckBox>(*window, "Set_IgnoreComplete")->setChecked(true);
    window->close();
    EXPECT_FALSE(QFile::exists(DataFolder() + "setings.ini"));
    EXPECT_FALSE(QFile::exists(DataFolder() + "window.ini"));
}

TEST_F(FormshiftMainTest, AFailedSaveIsReportedAndTheWindowStillCloses) {
    QDir().mkpath(DataFolder() + "setings.ini");
    auto window = Open();
    window->show();
    window->setWindowTitle("Formshift");
    testing::internal::CaptureStderr();
    EXPECT_TRUE(window->close());
    window->close();
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(window->isVisible());
    // One report, naming the file that could not be written.
    EXPECT_NE(errors.find("setings.ini"), std::string::npos) << errors;
    EXPECT_EQ(errors.find("setings.ini"), errors.rfind("setings.ini")) << errors;
}

TEST_F(FormshiftMainTest, WithTheHistoryOffFoldersAreNotRecordedOrWritten) {
    const QString exportFolder = Dir.filePath("out");
    QDir().mkpath(exportFolder);
    SaveLines(DataFolder() + "setings.ini", {"[Application]", "History Viewer=0"});
    auto window = Open();
    window->show();
    EXPECT_FALSE(Control<TLabelButton>(*window, "labelhistory")->isVisible());
    Control<FXCheckBox>(*window, "Set_HistView")->Toggle();
    EXPECT_TRUE(Control<TLabelButton>(*window, "labelhistory")->isVisible());
    Control<FXCheckBox>(*window, "Set_HistView")->Toggle();
    EXPECT_FALSE(Control<TLabelButton>(*window, "labelhistory")->isVisible());
    ASSERT_TRUE(window->SelectPath(exportFolder, false));
    EXPECT_FALSE(window->HistoryCreated());
    CloseAsPrimary(*window);
    EXPECT_FALSE(QFile::exists(DataFolder() + "folderhistory.txt"));
}

TEST_F(FormshiftMainTest, ChosenFoldersGoToTheHistoryWhichTheFirstCopySavesOnClose) {
    const QString a = Dir.filePath("a"), b = Dir.filePath("b");
    QDir().mkpath(a);
    QDir().mkpath(b);
    auto window = Open();
    window->show();
    EXPECT_TRUE(Control<TLabelButton>(*window, "labelhistory")->isVisible());
    ASSERT_TRUE(window->SelectPath(a, false));
    ChosenFolder = b;
    QTest::mouseClick(Control<TLabelButton>(*window, "dirlabel"), Qt::LeftButton);
    EXPECT_EQ(FolderDialogs, 1);
    EXPECT_EQ(window->Driver().ExportPath, b);
    ASSERT_TRUE(window->SelectPath(a, false));
    CloseAsPrimary(*window);
    EXPECT_EQ(LoadLines(DataFolder() + "folderhistory.txt"), (QStringList{b, a}));
}

TEST_F(FormshiftMainTest, AMissingFolderOpensThePickerAndCancellingKeepsTheOldOne) {
    const QString a = Dir.filePath("a");
    QDir().mkpath(a);
    auto window = Open();
    ASSERT_TRUE(window->SelectPath(a, true));
    EXPECT_FALSE(window->SelectPath(Dir.filePath("gone"), false));
    EXPECT_EQ(FolderDialogs, 1);
    EXPECT_EQ(window->Driver().ExportPath, a);
}

struct CaptionCase {
    const char* Name;
    int Width;
    int PathLength;       // 0: no folder chosen
    const char* Expected; // %1 stands for the path, %2 for its last folder name
    const char* Label9;
};

class PathCaptionTest : public FormshiftMainTest, public testing::WithParamInterface<CaptionCase> {};

TEST_P(PathCaptionTest, TheFolderLabelFollowsLengthAndWidth) {
    const CaptionCase& c = GetParam();
    QString path;
    QString name;
    if (c.PathLength > 0) {
        // A path of exactly the wanted length ending in a folder named "last…".
        path = Dir.path() + "/";
        name = "last" + QString(std::max(0, c.PathLength - int(path.size()) - 4), QChar('x'));
        path += name;
        ASSERT_EQ(path.size(), c.PathLength) << "temporary folder too deep for this case";
    }
    auto window = Open();
    window->resize(c.Width, 600);
    window->Driver().ExportPath = path;
    window->UpdatePathCaption();
    const QString expected = QString::fromUtf8(c.Expected).replace("%1", path).replace("%2", name);
    EXPECT_EQ(Control<TLabelButton>(*window, "dirlabel")->text(), expected);
    EXPECT_EQ(Control<QLabel>(*window, "Label9")->text(), c.Label9);
}

INSTANTIATE_TEST_SUITE_P(
    Captions, PathCaptionTest,
    testing::Values(CaptionCase{"FullPathInAWideWindow", 1035, 55, " 📁 %1 ", "Convert from"},
                    CaptionCase{"FullPathAtEightHundred", 800, 55, " 📁 %1 ", "Convert from"},
                    CaptionCase{"LongPathShowsItsName", 1035, 56, " 📁 Export to: \"%2\" ", "Convert from"},
                    CaptionCase{"NarrowWindowShowsTheName", 799, 40, " 📁 Export to: \"%2\" ", "From"},
                    // Without a folder the button says what it is for, at any width.
                    CaptionCase{"NoFolderInAWideWindow", 1035, 0, " 📁 Select Path ", "Convert from"},
                    CaptionCase{"NoFolderInANarrowWindow", 700, 0, " 📁 Select Path ", "From"}),
    [](const testing::TestParamInfo<CaptionCase>& info) { return std::string(info.param.Name); });

TEST_F(FormshiftMainTest, ATrailingDelimiterIsDroppedFromTheShownName) {
    auto window = Open();
    window->resize(700, 600);
    window->Driver().ExportPath = "/srv/Data/";
    window->UpdatePathCaption();
    EXPECT_EQ(Control<TLabelButton>(*window, "dirlabel")->text(), " 📁 Export to: \"Data\" ");
}

struct GuessCase {
    const char* Name;
    std::vector<const char*> Files;
    FormatTag Expected;
};

class GuessSourceFormatTest : public FormshiftMainTest, public testing::WithParamInterface<GuessCase> {};

TEST_P(GuessSourceFormatTest, TheMajorityWinsAndTiesGoToTheLowestTag) {
    auto window = Open();
    window->Driver().SourceFormat = FormatTag::AUTO;
    for (const char* name : GetParam().Files)
        window->Jobs().FileList << Touch(name);
    window->GuessSourceFormat();
    EXPECT_EQ(window->Driver().SourceFormat, GetParam().Expected);
    EXPECT_EQ(Control<TLabelButton>(*window, "BtFrom")->text(), FormatName(GetParam().Expected));
}

INSTANTIATE_TEST_SUITE_P(
    Majorities, GuessSourceFormatTest,
    testing::Values(
        GuessCase{"ThreePngTwoJpeg", {"a.png", "b.png", "c.png", "d.jpg", "e.jpeg"}, FormatTag::PNG},
        GuessCase{"TieGoesToPng", {"a.jpg", "b.png", "c.jpeg", "d.png"}, FormatTag::PNG},
        GuessCase{"UnknownMajorityKeepsTheFormat", {"a.x", "b.y", "c.z", "d.gif"}, FormatTag::AUTO},
        GuessCase{"CaseDoesNotMatter", {"song.FLAC", "tone.flac", "a.png"}, FormatTag::FLAC},
        GuessCase{"EmptyListKeepsTheFormat", {}, FormatTag::AUTO}),
    [](const testing::TestParamInfo<GuessCase>& info) { return std::string(info.param.Name); });

TEST_F(FormshiftMainTest, OverAHundredFilesTheFirstOneDecides) {
    auto window = Open();
    window->Jobs().FileList << Touch("first.gif");
    for (int i = 0; i < 100; ++i)
        window->Jobs().FileList << FilePath("first.gif").replace("first.gif", "x.png");
    window->GuessSourceFormat();
    EXPECT_EQ(window->Driver().SourceFormat, FormatTag::GIF);
}

TEST_F(FormshiftMainTest, ADropAddsFilesAndTheFilesDirectlyInsideFolders) {
    const QString photo = Touch("photo.png");
    Touch("album/one.png");
    Touch("album/two.jpg");
    Touch("album/deeper/three.png");
    auto window = Open();
    window->resize(1035, 629);
    window->show();
    Control<FXCheckBox>(*window, "Set_OverideFrom")->setChecked(true);
    QWidget* zone = Control<QWidget>(*window, "DropZonePanel");
    const QPoint inside = zone->mapTo(window.get(), QPoint(10, 10));
    window->DropFiles(TFileCatcher({photo, FilePath("album"), FilePath("missing.png"), photo}, inside));
    EXPECT_EQ(window->Jobs().FileList,
              (QStringList{photo, FilePath("album/one.png"), FilePath("album/two.jpg"), photo}));
    EXPECT_EQ(window->Jobs().ItemStatus.size(), 4u);
    EXPECT_EQ(window->Driver().SourceFormat, FormatTag::PNG);
    EXPECT_TRUE(Control<TLabelButton>(*window, "ClearAll")->isVisible());
    EXPECT_EQ(Control<TFileListBox>(*window, "ItemsFiles")->Count(), 4);

    // The list is no longer empty: a further drop does not guess again.
    window->Driver().SourceFormat = FormatTag::MP3;
    window->DropFiles(TFileCatcher({FilePath("album/two.jpg")}, inside));
    EXPECT_EQ(window->Driver().SourceFormat, FormatTag::MP3);
}

TEST_F(FormshiftMainTest, ADropOfNothingThatExistsKeepsTheSourceFormat) {
    auto window = Open();
    window->show();
    Control<FXCheckBox>(*window, "Set_OverideFrom")->setChecked(true);
    window->Driver().SourceFormat = FormatTag::BMP;
    QWidget* zone = Control<QWidget>(*window, "DropZonePanel");
    window->DropFiles(TFileCatcher({FilePath("none.png")}, zone->mapTo(window.get(), QPoint(5, 5))));
    EXPECT_TRUE(window->Jobs().FileList.isEmpty());
    EXPECT_EQ(window->Driver().SourceFormat, FormatTag::BMP);
}

TEST_F(FormshiftMainTest, ADropBesideTheZoneAddsNothingAndFlashesItThreeTimes) {
    const QString photo = Touch("photo.png");
    auto window = Open();
    window->show();
    QWidget* zone = Control<QWidget>(*window, "DropZonePanel");
    const QColor base = zone->palette().color(QPalette::Window);
    const QPoint onTheMenu = Control<QWidget>(*window, "MenuTop")->mapTo(window.get(), QPoint(5, 5));
    window->DropFiles(TFileCatcher({photo}, onTheMenu));
    EXPECT_TRUE(window->Jobs().FileList.isEmpty());
    ASSERT_TRUE(window->DropZoneFlashing());
    const QColor flash = zone->palette().color(QPalette::Window);
    const auto toward = [](int c, int t) { return c + 25 * (t - c) / 255; };
    EXPECT_EQ(flash, QColor(toward(base.red(), 255), toward(base.green(), 128), toward(base.blue(), 64)));
    QList<bool> flashing;
    while (window->DropZoneFlashing() && flashing.size() < 10) {
        window->ReturnDropColorTimer();
        flashing << (zone->palette().color(QPalette::Window) == flash);
    }
    EXPECT_EQ(flashing, (QList<bool>{false, true, false, true, false}));
}

TEST_F(FormshiftMainTest, TheOpenDialogAddsFilesWithoutGuessingTheFormat) {
    auto window = Open();
    Control<FXCheckBox>(*window, "Set_OverideFrom")->setChecked(true);
    ChosenFiles = {Touch("b.gif"), Touch("a.gif")};
    window->OpenFiles();
    EXPECT_EQ(window->Jobs().FileList, ChosenFiles);
    EXPECT_EQ(window->Driver().SourceFormat, FormatTag::AUTO);
    ChosenFiles.clear();
    window->OpenFiles();
    EXPECT_EQ(window->Jobs().FileList.size(), 2);
}

TEST_F(FormshiftMainTest, TheRowButtonsDeleteAndSaveOnlyWhileIdle) {
    const QString exportFolder = Dir.filePath("out");
    QDir().mkpath(exportFolder);
    auto window = Open();
    window->resize(1035, 629);
    window->show();
    window->AddFiles({Touch("a.png"), Touch("b.png"), Touch("c.png")});
    window->Driver().PrepareList();
    window->Driver().ExportPath = exportFolder;
    auto* list = Control<TFileListBox>(*window, "ItemsFiles");
    QApplication::processEvents();
    const auto buttonCentre = [&](int row, bool save) {
        const QRect rect = list->Layout(row).Row;
        // From the right: save, then delete, each 42 pixels wide.
        return QPoint(rect.right() + 1 - (save ? 21 : 63), rect.center().y());
    };

    QTest::mousePress(list, Qt::LeftButton, {}, buttonCentre(1, false));
    EXPECT_EQ(window->Jobs().FileList, (QStringList{FilePath("a.png"), FilePath("c.png")}));

    SaveName = Dir.filePath("out/chosen");
    QTest::mousePress(list, Qt::LeftButton, {}, buttonCentre(1, true));
    EXPECT_EQ(SaveFilters.value(0), "PNG File (*.png)");
    EXPECT_EQ(window->Jobs().ItemTarget.value(1), Dir.filePath("out/chosen.png"));
    ASSERT_EQ(window->Driver().RunState(), RunStateKind::Converting);
    EXPECT_EQ(window->Driver().RunQueue(), std::vector<std::int32_t>{1});

    // During the run the buttons are gone and their places ignore clicks.
    QTest::mousePress(list, Qt::LeftButton, {}, buttonCentre(0, false));
    EXPECT_EQ(window->Jobs().FileList.size(), 2);
    window->Driver().StopConversion();
}

TEST_F(FormshiftMainTest, ARunShowsStopAndLocksTheTopBarUntilItEnds) {
    QDir().mkpath(Dir.filePath("out"));
    auto window = Open();
    window->show();
    window->AddFiles({Touch("a.png")});
    window->Driver().ExportPath = Dir.filePath("out");
    auto* convert = Control<TLabelButton>(*window, "ConvertBt");
    QTest::mouseClick(convert, Qt::LeftButton);
    ASSERT_EQ(window->Driver().RunState(), RunStateKind::Converting);
    EXPECT_EQ(convert->text(), "🕑 Converting");
    EXPECT_TRUE(Control<TLabelButton>(*window, "StopBt")->isVisible());
    EXPECT_FALSE(Control<QWidget>(*window, "MenuTop")->isEnabled());
    EXPECT_TRUE(Control<QWidget>(*window, "ProgressStat")->isVisible());
    QTest::mouseClick(Control<TLabelButton>(*window, "StopBt"), Qt::LeftButton);
    EXPECT_EQ(window->Driver().RunState(), RunStateKind::Idle);
    EXPECT_EQ(convert->text(), "🢂 Convert All");
    EXPECT_FALSE(Control<TLabelButton>(*window, "StopBt")->isVisible());
    EXPECT_TRUE(Control<QWidget>(*window, "MenuTop")->isEnabled());
}

TEST_F(FormshiftMainTest, TheOptionPanelOpensBelowItsButtonAndClosesAgain) {
    auto window = Open();
    window->show();
    auto* button = Control<TLabelButton>(*window, "Label7");
    QWidget* panel = Control<QWidget>(*window, "ExtraConvert");
    QTest::mouseClick(button, Qt::LeftButton);
    ASSERT_TRUE(panel->isVisible());
    const QPoint buttonCorner = button->mapTo(window.get(), QPoint(button->width(), button->height()));
    EXPECT_EQ(panel->geometry().right() + 1, buttonCorner.x());
    EXPECT_EQ(panel->geometry().top(), buttonCorner.y());
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_FALSE(panel->isVisible());
}

TEST_F(FormshiftMainTest, ClearAllEmptiesTheListAndBringsBackTheDropZone) {
    auto window = Open();
    window->show();
    window->AddFiles({Touch("a.png"), Touch("b.png")});
    window->Driver().PrepareList();
    auto* clear = Control<TLabelButton>(*window, "ClearAll");
    ASSERT_TRUE(clear->isVisible());
    QTest::mouseClick(clear, Qt::LeftButton);
    EXPECT_TRUE(window->Jobs().FileList.isEmpty());
    EXPECT_TRUE(window->Jobs().ItemStatus.empty());
    EXPECT_FALSE(clear->isVisible());
    // The last child is the one in front.
    EXPECT_EQ(Control<QWidget>(*window, "ListArea")->children().last(),
              Control<QWidget>(*window, "DropZonePanel"));
}

TEST_F(FormshiftMainTest, ClearCacheRemovesTheTemporaryFolder) {
    QDir().mkpath(DataFolder() + "Temp/left");
    auto window = Open();
    auto* pages = Control<QTabWidget>(*window, "SettingsPages");
    auto* button = Control<FXButton>(*window, "ClearCacheBt");
    pages->setCurrentWidget(Control<QWidget>(*window, "PageExplorer"));
    EXPECT_TRUE(button->isEnabled());
    button->Click();
    EXPECT_FALSE(QFileInfo::exists(DataFolder() + "Temp"));
    EXPECT_FALSE(button->isEnabled());
}

TEST_F(FormshiftMainTest, TheSettingsPanelWidensTheWindowAndHidesWhenItNarrows) {
    auto window = Open();
    window->resize(800, 600);
    window->show();
    QWidget* panel = Control<QWidget>(*window, "SettingsHold");
    QTest::mouseClick(Control<TLabelButton>(*window, "SettingsBt"), Qt::LeftButton);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(window->width(), panel->width() + 700);
    EXPECT_EQ(panel->geometry().right() + 1, window->width());
    window->resize(panel->width() + 699, 600);
    EXPECT_FALSE(panel->isVisible());
}

TEST_F(FormshiftMainTest, TheTitleBarReachesTheRightEdgeWhateverWidensTheWindow) {
    auto window = Open();
    window->resize(800, 600);
    window->show();
    auto* bar = window->findChild<FXTitleBar*>();
    ASSERT_NE(bar, nullptr);
    const auto spans = [&] {
        EXPECT_EQ(bar->geometry(), QRect(0, 0, window->width(), bar->height()));
        const QWidget* close = bar->CloseButton();
        EXPECT_EQ(close->mapTo(window.get(), QPoint(close->width(), 0)).x(), window->width());
    };
    spans();
    // The settings panel widens the window for itself.
    QTest::mouseClick(Control<TLabelButton>(*window, "SettingsBt"), Qt::LeftButton);
    ASSERT_GT(window->width(), 800);
    spans();
    window->resize(1400, 700);
    spans();
    window->resize(700, 500);
    spans();
}

TEST_F(FormshiftMainTest, TheCommandLineSetsFormatsFilesAndFolder) {
    const QString photo = Touch("photo.png");
    auto window = Open();
    Control<FXCheckBox>(*window, "Set_ExportPath")->setChecked(true);
    EXPECT_EQ(window->ProcessCommandLine({"/from", "png", "/to", "jpg", photo, photo}, false),
              TFormshift::StartOutcome::Run);
    EXPECT_EQ(window->Driver().SourceFormat, FormatTag::PNG);
    EXPECT_EQ(window->Driver().TargetFormat, FormatTag::JPEG);
    EXPECT_EQ(window->Jobs().FileList, (QStringList{photo, photo}));
    EXPECT_EQ(window->Driver().ExportPath, Dir.filePath("files"));
    EXPECT_EQ(window->Driver().RunState(), RunStateKind::Idle);

    auto second = Open();
    testing::internal::CaptureStderr();
    EXPECT_EQ(second->ProcessCommandLine({"/to", "WAVE", photo}, false),
              TFormshift::StartOutcome::UsageError);
    EXPECT_TRUE(QString::fromStdString(testing::internal::GetCapturedStderr()).contains("\"WAVE\""));
    EXPECT_EQ(second->Driver().TargetFormat, FormatTag::PNG);
    EXPECT_TRUE(second->Jobs().FileList.isEmpty());
    second->ProcessCommandLine({"/to", "wav"}, false);
    EXPECT_EQ(second->Driver().TargetFormat, FormatTag::WAVE);
}

TEST_F(FormshiftMainTest, AFailedHandOverKeepsTheFilesInThisWindow) {
    // A plain file where the hand-over folder should be.
    QFile(DataFolder() + "Send").open(QIODevice::WriteOnly);
    const QString photo = Touch("photo.png");
    auto window = Open();
    testing::internal::CaptureStderr();
    EXPECT_EQ(window->ProcessCommandLine({photo}, true), TFormshift::StartOutcome::Run);
    EXPECT_FALSE(testing::internal::GetCapturedStderr().empty());
    EXPECT_EQ(window->Jobs().FileList, QStringList{photo});
}

TEST_F(FormshiftMainTest, TheUpdatePageShowsACheckFromStartToEnd) {
    auto window = Open();
    TWindowUpdateView view(*window, TUpdateService{});
    EXPECT_EQ(window->VerServerText()->Text(), QStringLiteral("Unknown"));
    EXPECT_TRUE(window->VerAnim()->isHidden());
    view.UpdateCheckStarted();
    EXPECT_FALSE(window->VerCheck()->isEnabled());
    EXPECT_TRUE(window->VerCheck()->StateEnabled());
    EXPECT_FALSE(window->VerAnim()->isHidden());
    EXPECT_EQ(window->VerServerText()->Text(), QStringLiteral("checking..."));
    view.UpdateCheckEnded(QStringLiteral("2.1.0"));
    EXPECT_TRUE(window->VerCheck()->isEnabled());
    EXPECT_FALSE(window->VerCheck()->StateEnabled());
    EXPECT_TRUE(window->VerAnim()->isHidden());
    EXPECT_EQ(window->VerServerText()->Text(), QStringLiteral("2.1.0"));
}

TEST_F(FormshiftMainTest, TheFourWordsAndNothingElse) {
    auto window = Open();
    window->InstanceCommand("readitem");
    EXPECT_TRUE(window->FetchFilesActive());
    window->InstanceCommand("waitforupload");
    EXPECT_FALSE(window->FetchFilesActive());
    window->InstanceCommand("Primary");
    window->InstanceCommand("report");
    EXPECT_EQ(window->windowTitle(), "Formshift Clone");
    EXPECT_TRUE(window->InstanceCommand("report").isEmpty());
    window->InstanceCommand("primary");
    EXPECT_EQ(window->windowTitle(), "Formshift");
}

TEST_F(FormshiftMainTest, AFetchAddsEveryHandedOverFileAndDeletesTheLists) {
    const QString a = Touch("a.png"), b = Touch("b.png");
    QDir().mkpath(DataFolder() + "Send");
    SaveLines(DataFolder() + "Send/17", {a, FilePath("missing.png"), b});
    SaveLines(DataFolder() + "Send/905", {});
    auto window = Open();
    window->InstanceCommand("readitem");
    window->FetchFilesTimer();
    EXPECT_FALSE(window->FetchFilesActive());
    QStringList files = window->Jobs().FileList;
    files.sort();
    EXPECT_EQ(files, (QStringList{a, b}));
    EXPECT_EQ(window->Jobs().ItemStatus.size(), 2u);
    EXPECT_TRUE(QDir(DataFolder() + "Send").entryList(QDir::Files).isEmpty());
}

} // namespace

namespace {

TEST_F(FormshiftMainTest, WindowFollowsTheThemeManagersLightAndDarkColours) {
    InitializeUILibrary();
    ASSERT_NE(ThemeManager, nullptr);
    auto window = Open();
    const FXDarkSetting before = ThemeManager->DarkThemeMode();

    ThemeManager->setDarkThemeMode(FXDarkSetting::ForceDark);
    window->UpdateTheme(true);
    const QColor dark = window->palette().color(QPalette::Window);
    const QColor darkText = window->palette().color(QPalette::Text);
    ThemeManager->setDarkThemeMode(FXDarkSetting::ForceLight);
    window->UpdateTheme(true);
    const QColor light = window->palette().color(QPalette::Window);
    ThemeManager->setDarkThemeMode(before);

    EXPECT_LT(dark.lightness(), 100);
    EXPECT_GT(light.lightness(), 150);
    EXPECT_GT(darkText.lightness(), dark.lightness());
}

} // namespace
