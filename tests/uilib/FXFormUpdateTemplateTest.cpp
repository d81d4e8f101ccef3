#include "FXFormUpdateTemplate.h"
#include "FXAnimatedTextBox.h"
#include "FXButton.h"
#include "FXForm.h"
#include "FXProgress.h"
#include "FXTextBox.h"

#include "ThemedWidgetTest.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPointer>
#include <QThread>

#include <atomic>
#include <stdexcept>

namespace {

class UpdatePageTest : public ThemedWidgetTest {
  protected:
    void SetUp() override {
        ThemedWidgetTest::SetUp();
        Window = std::make_unique<FXForm>();
        Window->resize(800, 600);
        Window->show();
        Page = FXFormUpdateTemplate::CreateNew(Window.get());
        Page->setAppName(QStringLiteral("Formshift"));
        Page->setDownloadURL(QStringLiteral("https://example.invalid/setup"));
        Page->setInstallParameters(QStringLiteral("-ad"));
        Page->setDelays(0, 0, 0);
        Page->show();
    }
    std::unique_ptr<FXForm> Window;
    QPointer<FXFormUpdateTemplate> Page;
};

TEST_F(UpdatePageTest, OffersTheUpdateOverTheWindow) {
    EXPECT_EQ(Page->Title()->Text(),
              QStringLiteral("Formshift needs an update. Would you like to download the update now?"));
    EXPECT_EQ(Page->geometry(),
              QRect(0, Window->GetTitlebarHeight(), 800, 600 - Window->GetTitlebarHeight()));
    EXPECT_TRUE(Page->DownloadButton()->isVisible());
    EXPECT_TRUE(Page->SnoozeButton()->isEnabled());
    EXPECT_FALSE(Page->ErrorPanel()->isVisible());
    Page->setAllowSnooze(false);
    EXPECT_FALSE(Page->SnoozeButton()->isEnabled());
    Page->SnoozeButton()->setEnabled(true);
    Page->SnoozeButton()->Click();
    EXPECT_FALSE(Page->isVisible());
    EXPECT_FALSE(Page.isNull());
}

TEST_F(UpdatePageTest, DownloadStartsTheInstallerWithItsParametersThenClosesTheProgram) {
    QString startedPath, startedParameters;
    std::atomic<bool> fetchedOffMainThread = false;
    Page->setInstallerFetch([&](const QString& url, const FXFormUpdateTemplate::TProgress& progress) {
        fetchedOffMainThread = QThread::currentThread() != QCoreApplication::instance()->thread();
        EXPECT_EQ(url, QStringLiteral("https://example.invalid/setup"));
        progress(50, 200);
        return QStringLiteral("/tmp/private/updateinstall_abcd1234");
    });
    Page->setInstallerStart([&](const QString& path, const QString& parameters) {
        startedPath = path;
        startedParameters = parameters;
    });
    Page->DownloadButton()->Click();
    EXPECT_EQ(Page->Stage(), FXUpdateStage::Downloading);
    EXPECT_TRUE(Page->DownloadText()->isVisible());
    EXPECT_TRUE(Page->DownloadText()->Text().startsWith(QStringLiteral("Downloading Updates")));
    ASSERT_TRUE(Eventually([&] { return !Window->isVisible(); }));
    EXPECT_TRUE(fetchedOffMainThread);
    EXPECT_EQ(startedPath, QStringLiteral("/tmp/private/updateinstall_abcd1234"));
    EXPECT_EQ(startedParameters, QStringLiteral("-ad"));
}

TEST_F(UpdatePageTest, ProgressIsRealOnceTheSizeIsKnown) {
    std::atomic<bool> release = false;
    Page->setInstallerFetch([&](const QString&, const FXFormUpdateTemplate::TProgress& progress) {
        progress(25, 100);
        while (!release)
            QThread::msleep(1);
        throw std::runtime_error("stopped by the test");
        return QString();
    });
    Page->StartDownload();
    EXPECT_EQ(Page->DownloadProgress()->ProgressKind(), FXProgressKind::Intermediate);
    ASSERT_TRUE(
        Eventually([&] { return Page->DownloadProgress()->ProgressKind() == FXProgressKind::Normal; }));
    EXPECT_FLOAT_EQ(Page->DownloadProgress()->Value(), 25.0f);
    release = true;
    ASSERT_TRUE(Eventually([&] { return Page->Stage() == FXUpdateStage::Failed; }));
}

TEST_F(UpdatePageTest, AFailureShowsWhyAndTheErrorCanBeCopied) {
    struct Case {
        const char* Name;
        FXFormUpdateTemplate::TInstallerFetch Fetch;
        FXFormUpdateTemplate::TInstallerStart Start;
        QString Expected;
    };
    const auto noStart = [](const QString&, const QString&) {};
    const Case cases[] = {
        {"fetch throws",
         [](const QString&, const FXFormUpdateTemplate::TProgress&) -> QString {
             throw std::runtime_error("https://example.invalid/setup: SSL certificate problem");
         },
         noStart, QStringLiteral("https://example.invalid/setup: SSL certificate problem")},
        {"nothing fetched", [](const QString&, const FXFormUpdateTemplate::TProgress&) { return QString(); },
         noStart, QStringLiteral("The file could not be downloaded.")},
        {"start fails",
         [](const QString&, const FXFormUpdateTemplate::TProgress&) { return QStringLiteral("/x"); },
         [](const QString&, const QString&) { throw std::runtime_error("/x cannot be started"); },
         QStringLiteral("/x cannot be started")},
    };
    for (const Case& c : cases) {
        QPointer<FXFormUpdateTemplate> page = FXFormUpdateTemplate::CreateNew(Window.get());
        page->setDelays(0, 0, 0);
        page->setInstallerFetch(c.Fetch);
        page->setInstallerStart(c.Start);
        page->show();
        page->DownloadButton()->Click();
        ASSERT_TRUE(Eventually([&] { return page->Stage() == FXUpdateStage::Failed; })) << c.Name;
        EXPECT_EQ(page->LastErrorText(), c.Expected) << c.Name;
        EXPECT_TRUE(page->ErrorPanel()->isVisible()) << c.Name;
        EXPECT_EQ(page->ErrorReason()->Text(), c.Expected) << c.Name;
        EXPECT_FALSE(page->DownloadButton()->isVisible()) << c.Name;
        EXPECT_TRUE(Window->isVisible()) << c.Name;
        page->CopyErrorButton()->Click();
        EXPECT_EQ(QGuiApplication::clipboard()->text(), c.Expected) << c.Name;
        EXPECT_TRUE(page->CopyErrorButton()->StateEnabled()) << c.Name;
        page->CloseButton()->Click();
        ASSERT_TRUE(Eventually([&] { return page.isNull(); })) << c.Name;
    }
}

} // namespace
