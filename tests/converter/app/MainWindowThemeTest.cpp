#include "AppTestEnvironment.h"
#include "FXButton.h"
#include "FXCheckBox.h"
#include "FXCompleteColorSet.h"
#include "FXTextBox.h"
#include "FXThemeManager.h"
#include "FileListBox.h"
#include "FormshiftMain.h"
#include "LabelButton.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QHash>
#include <QTabWidget>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

double Luminance(QRgb colour) {
    const auto channel = [](int value) {
        const double c = value / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(colour)) + 0.7152 * channel(qGreen(colour)) +
           0.0722 * channel(qBlue(colour));
}

double Contrast(QRgb a, QRgb b) {
    const double x = Luminance(a), y = Luminance(b);
    return (std::max(x, y) + 0.05) / (std::min(x, y) + 0.05);
}

// What a reader sees in a region of the window: the commonest colour is the
// background, and the text's strongest pixels stand out from it the most.
double TextContrast(const QImage& shot, const QRect& region) {
    QHash<QRgb, int> counts;
    const QRect inside = region.intersected(shot.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            ++counts[shot.pixel(x, y) | 0xFF000000];
    QRgb background = 0;
    int most = -1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > most) {
            most = it.value();
            background = it.key();
        }
    double best = 1.0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        best = std::max(best, Contrast(it.key(), background));
    return best;
}

class MainWindowThemeTest : public testing::TestWithParam<FXDarkSetting> {
  protected:
    void SetUp() override {
        InitializeUILibrary();
        Before = ThemeManager->DarkThemeMode();
        QDir(Dir.path()).mkpath("data");
        QDir(Dir.path()).mkpath("files");
        Window = std::make_unique<TFormshift>(Dir.filePath("data/"));
        Window->setAllowThemeChangeAnimation(false);
        Window->resize(1100, 629);
        Window->show();
        QFile file(Dir.filePath("files/song.FLAC"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.close();
        Window->AddFiles({file.fileName()});
        Window->Driver().PrepareList();
        ThemeManager->setDarkThemeMode(GetParam());
        Window->UpdateTheme(true);
        QApplication::processEvents();
    }
    void TearDown() override {
        Window.reset();
        ThemeManager->setDarkThemeMode(Before);
    }

    QRect InWindow(const QWidget* widget, const QRect& rect) const {
        return QRect(widget->mapTo(Window.get(), rect.topLeft()), rect.size());
    }

    QTemporaryDir Dir;
    std::unique_ptr<TFormshift> Window;
    FXDarkSetting Before = FXDarkSetting::Auto;
};

TEST_P(MainWindowThemeTest, EverySettingsPageReadsWell) {
    Window->findChild<TLabelButton*>("SettingsBt")->Click();
    auto* pages = Window->findChild<QTabWidget*>("SettingsPages");
    ASSERT_TRUE(pages->isVisible());
    for (int page = 0; page < pages->count(); ++page) {
        pages->setCurrentIndex(page);
        QApplication::processEvents();
        const QImage shot = Window->grab().toImage().convertToFormat(QImage::Format_RGB32);
        int texts = 0;
        const auto check = [&](QWidget* widget, const QRect& textRect) {
            if (!widget->isVisible() || !widget->isEnabled() || textRect.isEmpty()) return;
            ++texts;
            EXPECT_GE(TextContrast(shot, InWindow(widget, textRect)), 4.5)
                << pages->tabText(page).toStdString() << ": " << widget->objectName().toStdString();
        };
        QWidget* current = pages->currentWidget();
        for (FXTextBox* text : current->findChildren<FXTextBox*>())
            check(text, text->rect());
        for (FXCheckBox* box : current->findChildren<FXCheckBox*>())
            check(box, box->TextRect());
        for (FXButton* button : current->findChildren<FXButton*>())
            check(button, button->rect());
        for (QComboBox* list : current->findChildren<QComboBox*>())
            check(list, list->rect().adjusted(2, 2, -24, -2));
        check(Window->findChild<QWidget*>("SettingsTitle"),
              Window->findChild<QWidget*>("SettingsTitle")->rect());
        check(pages->tabBar(), pages->tabBar()->tabRect(page));
        // The heading and the tab at least; disabled controls are exempt.
        EXPECT_GE(texts, 2) << pages->tabText(page).toStdString();
    }
}

TEST_P(MainWindowThemeTest, TheWindowsLabelsAndTheListFollowTheTheme) {
    const FXCompleteColorSet& colours = *ThemeManager->SystemColor();
    const QColor interior(GetRValue(colours.BackGroundInterior()), GetGValue(colours.BackGroundInterior()),
                          GetBValue(colours.BackGroundInterior()));
    const QColor text(GetRValue(colours.ForeGround()), GetGValue(colours.ForeGround()),
                      GetBValue(colours.ForeGround()));
    auto* list = Window->findChild<TFileListBox*>("ItemsFiles");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(Window->findChild<QWidget*>("ItemsHold")->palette().color(QPalette::Window), interior);
    for (const char* name : {"Label9", "Label8", "Label5", "CImage1"})
        EXPECT_EQ(Window->findChild<QWidget*>(name)->palette().color(QPalette::WindowText), text) << name;

    const QImage shot = Window->grab().toImage().convertToFormat(QImage::Format_RGB32);
    for (const char* name : {"Label9", "Label8", "MakerName", "Label3", "Label4"}) {
        QWidget* label = Window->findChild<QWidget*>(name);
        EXPECT_GE(TextContrast(shot, InWindow(label, label->rect())), 4.5) << name;
    }
    // The list stands on the interior colour and its row text reads on it.
    const QRect row = list->Layout(0).Row;
    const QPoint beside = list->mapTo(Window.get(), QPoint(row.left() + 4, row.top() + 3));
    EXPECT_EQ(QColor(shot.pixel(beside)), interior);
    EXPECT_GE(TextContrast(shot, InWindow(list, list->Layout(0).Text)), 4.5);
    // The badge's text reads on the badge.
    EXPECT_GE(TextContrast(shot, InWindow(list, list->Layout(0).Badge.adjusted(6, 0, -6, 0))), 4.5);
}

QColor Interior() {
    const TColor colour = ThemeManager->SystemColor()->BackGroundInterior();
    return QColor(GetRValue(colour), GetGValue(colour), GetBValue(colour));
}

// One window, switched back and forth while it runs: the list, its rows and the
// labels take the new colours at once.
TEST_P(MainWindowThemeTest, SwitchingTheModeRecoloursTheRunningWindow) {
    auto* list = Window->findChild<TFileListBox*>("ItemsFiles");
    ASSERT_NE(list, nullptr);
    const FXDarkSetting other =
        GetParam() == FXDarkSetting::ForceDark ? FXDarkSetting::ForceLight : FXDarkSetting::ForceDark;
    const auto look = [&] {
        QApplication::processEvents();
        const QImage shot = Window->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QRect row = list->Layout(0).Row;
        return std::pair{QColor(shot.pixel(list->mapTo(Window.get(), QPoint(row.left() + 4, row.top() + 3)))),
                         TextContrast(shot, InWindow(list, list->Layout(0).Text))};
    };
    const auto [before, beforeContrast] = look();
    EXPECT_EQ(before, Interior());
    ThemeManager->setDarkThemeMode(other);
    Window->UpdateTheme(true);
    const auto [after, afterContrast] = look();
    EXPECT_EQ(after, Interior());
    EXPECT_NE(after, before);
    EXPECT_GE(beforeContrast, 4.5);
    EXPECT_GE(afterContrast, 4.5);
    QWidget* label = Window->findChild<QWidget*>("Label9");
    const QImage shot = Window->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_GE(TextContrast(shot, InWindow(label, label->rect())), 4.5);
}

INSTANTIATE_TEST_SUITE_P(Modes, MainWindowThemeTest,
                         testing::Values(FXDarkSetting::ForceLight, FXDarkSetting::ForceDark),
                         [](const testing::TestParamInfo<FXDarkSetting>& info) {
                             return std::string(info.param == FXDarkSetting::ForceDark ? "Dark" : "Light");
                         });

} // namespace
