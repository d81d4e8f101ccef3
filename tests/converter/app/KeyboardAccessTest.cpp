#include "About.h"
#include "AppTestEnvironment.h"
#include "FileListBox.h"
#include "FormshiftMain.h"
#include "LabelButton.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <set>

namespace {

QList<TAboutForm*> AboutWindows() {
    QList<TAboutForm*> found;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* about = qobject_cast<TAboutForm*>(widget)) found << about;
    return found;
}

class KeyboardAccessTest : public testing::Test {
  protected:
    void SetUp() override {
        QDir(Dir.path()).mkpath("data");
        Window = std::make_unique<TFormshift>(Dir.filePath("data/"));
        Window->Dialogs.ChooseFiles = [this](QWidget*) {
            ++FileDialogs;
            return QStringList();
        };
        Window->Dialogs.ChooseFolder = [](QWidget*, const QString&) { return QString(); };
        Window->resize(1035, 629);
        Window->show();
        QApplication::setActiveWindow(Window.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(Window.get()));
    }

    template <typename T = QWidget> T* Control(const char* name) {
        T* control = Window->findChild<T*>(QLatin1String(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }

    QString Touch(const QString& name) {
        const QString path = Dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        return path;
    }

    QTemporaryDir Dir;
    std::unique_ptr<TFormshift> Window;
    int FileDialogs = 0;
};

TEST_F(KeyboardAccessTest, LabelButtonsTakeTheFocusAndAnswerSpaceAndEnter) {
    auto* settings = Control<TLabelButton>("SettingsBt");
    QWidget* panel = Control("SettingsHold");
    settings->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(settings->hasFocus());
    QTest::keyClick(settings, Qt::Key_Space);
    EXPECT_TRUE(panel->isVisible());
    QTest::keyClick(settings, Qt::Key_Return);
    EXPECT_FALSE(panel->isVisible());

    auto* open = Control<TLabelButton>("Label6");
    open->setFocus(Qt::TabFocusReason);
    QTest::keyClick(open, Qt::Key_Enter);
    EXPECT_EQ(FileDialogs, 1);
    // Pressing shows like the mouse does, and releasing restores the colour.
    const QColor before = open->Color();
    QTest::keyPress(open, Qt::Key_Space);
    EXPECT_LT(open->Color().lightness(), before.lightness());
    QTest::keyRelease(open, Qt::Key_Space);
    EXPECT_EQ(open->Color(), before);
    EXPECT_EQ(FileDialogs, 2);
}

TEST_F(KeyboardAccessTest, TheDropZoneOpensTheFileDialogFromTheKeyboard) {
    QWidget* zone = Control("CenterPn");
    zone->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(zone->hasFocus());
    QTest::keyClick(zone, Qt::Key_Space);
    EXPECT_EQ(FileDialogs, 1);
}

QStringList TabOrderFrom(QWidget* start) {
    start->setFocus(Qt::TabFocusReason);
    QStringList order;
    for (int i = 0; i < 80; ++i) {
        QWidget* focus = QApplication::focusWidget();
        if (focus == nullptr) break;
        if (!order.isEmpty() && focus->objectName() == order.first()) break;
        order << focus->objectName();
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    return order;
}

TEST_F(KeyboardAccessTest, TabReachesEveryControlInReadingOrder) {
    // An empty list: the drop zone is a stop, the list is not.
    QStringList order = TabOrderFrom(Control("BtFrom"));
    EXPECT_TRUE(order.contains("CenterPn")) << order.join(' ').toStdString();
    EXPECT_FALSE(order.contains("ItemsFiles")) << order.join(' ').toStdString();

    Window->AddFiles({Touch("a.png")});
    Window->Driver().PrepareList();
    order = TabOrderFrom(Control("BtFrom"));
    // With files the list takes the zone's place; the zone behind it is no stop.
    EXPECT_FALSE(order.contains("CenterPn")) << order.join(' ').toStdString();
    const QStringList expected{"BtFrom",     "BtTo",   "ClearAll", "ConvertBt",    "Label7",
                               "ItemsFiles", "Label6", "dirlabel", "labelhistory", "SettingsBt"};
    qsizetype last = -1;
    for (const QString& name : expected) {
        const qsizetype at = order.indexOf(name);
        EXPECT_GT(at, last) << name.toStdString() << " in " << order.join(' ').toStdString();
        last = at;
    }
    // Every page of the settings panel is reached as well once it is open.
    Control<TLabelButton>("SettingsBt")->Click();
    order = TabOrderFrom(Control("BtFrom"));
    for (const char* name : {"qt_tabwidget_tabbar", "Set_ReloadPath", "Set_DoneConvert", "Label3", "Label4"})
        EXPECT_TRUE(order.contains(name)) << name << " in " << order.join(' ').toStdString();
}

TEST_F(KeyboardAccessTest, ShortcutsAddConvertStopDeleteAndAskForTheAboutWindow) {
    QDir().mkpath(Dir.filePath("out"));
    Window->Driver().ExportPath = Dir.filePath("out");
    QTest::keyClick(Window.get(), Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(FileDialogs, 1);

    Window->AddFiles({Touch("a.png"), Touch("b.png")});
    Window->Driver().PrepareList();
    auto* list = Control<TFileListBox>("ItemsFiles");
    list->setFocus();
    list->setCurrentRow(0);
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(Window->Jobs().FileList, QStringList{Dir.filePath("b.png")});
    // Elsewhere Delete removes nothing.
    Control("SettingsBt")->setFocus();
    list->setCurrentRow(0);
    QTest::keyClick(Control("SettingsBt"), Qt::Key_Delete);
    EXPECT_EQ(Window->Jobs().FileList.size(), 1);
    list->setFocus();

    QTest::keyClick(list, Qt::Key_Return, Qt::ControlModifier);
    ASSERT_EQ(Window->Driver().RunState(), RunStateKind::Converting);
    // During a run Delete removes nothing.
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(Window->Jobs().FileList.size(), 1);
    QTest::keyClick(list, Qt::Key_Escape);
    EXPECT_EQ(Window->Driver().RunState(), RunStateKind::Idle);

    QTest::keyClick(list, Qt::Key_F1);
    const QList<TAboutForm*> about = AboutWindows();
    EXPECT_EQ(about.size(), 1);
    qDeleteAll(about);
}

TEST_F(KeyboardAccessTest, EveryFocusableControlHasASpokenNameWithoutPictographs) {
    Window->AddFiles({Touch("a.png")});
    Window->Driver().PrepareList();
    int checked = 0;
    for (QWidget* widget : Window->findChildren<QWidget*>()) {
        if (!(widget->focusPolicy() & Qt::TabFocus) || widget->objectName().startsWith("qt_")) continue;
        if (widget->objectName().isEmpty()) continue;
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
        ASSERT_NE(accessible, nullptr);
        const QString name = accessible->text(QAccessible::Name);
        EXPECT_FALSE(name.isEmpty()) << widget->objectName().toStdString();
        EXPECT_TRUE(IsSpokenText(name)) << widget->objectName().toStdString() << ": " << name.toStdString();
        ++checked;
    }
    EXPECT_GT(checked, 15);
    for (TLabelButton* button : Window->findChildren<TLabelButton*>()) {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(button);
        EXPECT_EQ(accessible->role(), QAccessible::Button) << button->objectName().toStdString();
    }
    EXPECT_EQ(QAccessible::queryAccessibleInterface(Control("ConvertBt"))->text(QAccessible::Name),
              "Convert all");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(Control("BtFrom"))->text(QAccessible::Name),
              "Convert from AUTO");
}

TEST_F(KeyboardAccessTest, ScreenReadersCanPressALabelButton) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(Control("SettingsBt"));
    ASSERT_NE(accessible->actionInterface(), nullptr);
    accessible->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(Control("SettingsHold")->isVisible());
}

TEST_F(KeyboardAccessTest, IconOnlyControlsExplainThemselves) {
    for (const char* name : {"ClearAll", "Label7", "labelhistory", "dirlabel", "BtFrom", "BtTo"})
        EXPECT_FALSE(Control(name)->toolTip().isEmpty()) << name;
}

struct SpokenCase {
    const char* Caption;
    const char* Spoken;
};

class SpokenTextTest : public testing::TestWithParam<SpokenCase> {};

TEST_P(SpokenTextTest, PictographsAreNotRead) {
    const QString spoken = SpokenText(QString::fromUtf8(GetParam().Caption));
    EXPECT_EQ(spoken, QString::fromUtf8(GetParam().Spoken));
    EXPECT_TRUE(IsSpokenText(spoken));
}

INSTANTIATE_TEST_SUITE_P(Captions, SpokenTextTest,
                         testing::Values(SpokenCase{"🢂 Convert All", "Convert All"}, SpokenCase{"❌", ""},
                                         SpokenCase{"ᐁ", ""}, SpokenCase{"  🔼 Open  ", "Open"},
                                         SpokenCase{"🔧 Settings", "Settings"}, SpokenCase{"⛔ Stop", "Stop"},
                                         SpokenCase{" 📁 Select Path ", "Select Path"},
                                         SpokenCase{"✖️ Clear History", "Clear History"},
                                         SpokenCase{"✨AUTO", "AUTO"}, SpokenCase{"Café, 50%", "Café, 50%"}));

} // namespace

namespace {

struct RowTypeCase {
    const char* Path;
    const char* Type;
};

class RowTypeTest : public testing::TestWithParam<RowTypeCase> {};

TEST_P(RowTypeTest, TheTypeIsTheUpperCasedExtensionAndFile) {
    EXPECT_EQ(FileTypeText(QString::fromUtf8(GetParam().Path)), QString::fromUtf8(GetParam().Type));
}

INSTANTIATE_TEST_SUITE_P(Names, RowTypeTest,
                         testing::Values(RowTypeCase{"/music/song.FLAC", "FLAC File"},
                                         RowTypeCase{"/pictures/photo.png", "PNG File"},
                                         RowTypeCase{"/archive/backup.tar.gz", "GZ File"},
                                         RowTypeCase{"/notes/README", " File"}));

} // namespace
