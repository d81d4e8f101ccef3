#include "UpdateCheck.h"
#include "Eventually.h"
#include "FXThemeManager.h"
#include "TestHttpsServer.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

namespace {

// Records what the window would show.
class RecordingView : public TUpdateView {
  public:
    QStringList Calls;
    QList<TUpdateOffer> Offers;
    void UpdateCheckStarted() override { Calls << QStringLiteral("started"); }
    void UpdateCheckEnded(const QString& text) override { Calls << QStringLiteral("ended ") + text; }
    void OfferUpdate(const TUpdateOffer& offer) override {
        Calls << QStringLiteral("offer");
        Offers << offer;
    }
};

class UpdateCheckTest : public testing::Test {
  protected:
    void SetUp() override {
        if (!Server.Ready()) GTEST_SKIP() << "no local HTTPS server: " << Server.Problem().toStdString();
        Service.Address = Server.Url();
        Service.CaFile = Server.CaFile();
        Check = std::make_unique<TUpdateCheck>(View, Service);
    }
    void Reply(int status, const QByteArray& body) {
        Server.setHandler([=](const TTestRequest&) {
            return TTestResponse{status, "application/json", body};
        });
    }
    void RunCheck() {
        Check->CheckForUpdates();
        ASSERT_TRUE(Eventually([this] { return !Check->Checking(); }));
    }
    // A version above this build's, whatever it is.
    static QByteArray Newer() {
        VersionRec app = TUpdateCheck::AppVersion();
        return QStringLiteral("%1.0.0").arg(app.Major + 1).toUtf8();
    }

    TestHttpsServer Server;
    TUpdateService Service;
    RecordingView View;
    std::unique_ptr<TUpdateCheck> Check;
};

TEST_F(UpdateCheckTest, ANewerVersionIsShownAndOffered) {
    Reply(200,
          R"({"version":")" + Newer() + R"(","updateurl":"https://example.invalid/setup","sha256":"ab12"})");
    RunCheck();
    EXPECT_EQ(View.Calls, QStringList({"started", "ended " + QString::fromUtf8(Newer()), "offer"}));
    ASSERT_EQ(View.Offers.size(), 1);
    EXPECT_EQ(View.Offers[0].DownloadURL, QStringLiteral("https://example.invalid/setup"));
    EXPECT_EQ(View.Offers[0].Sha256, QStringLiteral("ab12"));
    EXPECT_TRUE(Server.Requests().value(0).Headers.value("user-agent").startsWith("Formshift/"));
}

TEST_F(UpdateCheckTest, TheSameVersionOrNoInstallerOffersNothing) {
    Reply(200, R"({"version":")" + VersionToText(TUpdateCheck::AppVersion(), true).toUtf8() + R"("})");
    RunCheck();
    EXPECT_EQ(View.Calls.last(), "ended " + VersionToText(TUpdateCheck::AppVersion(), false));
    Reply(200, R"({"version":")" + Newer() + R"("})");
    RunCheck();
    EXPECT_TRUE(View.Offers.isEmpty());
}

TEST_F(UpdateCheckTest, AFailedCheckShowsUnknownAndKeepsTheLastVersion) {
    Reply(200, R"({"version":"1.2.3"})");
    RunCheck();
    Reply(500, "{}");
    QString error;
    QObject::connect(Check.get(), &TUpdateCheck::CheckFinished, [&](const QString& text) { error = text; });
    RunCheck();
    EXPECT_EQ(View.Calls.last(), QStringLiteral("ended Unknown"));
    EXPECT_FALSE(error.isEmpty());
    Reply(200, R"({"version":3})");
    RunCheck();
    EXPECT_EQ(View.Calls.last(), QStringLiteral("ended 1.2.3"));
    Reply(200, R"({"version":"2.x"})");
    RunCheck();
    EXPECT_EQ(View.Calls.last(), QStringLiteral("ended Unknown"));
}

TEST_F(UpdateCheckTest, TheStartupCheckAsksOnlyWhenItShould) {
    Reply(200, R"({"version":"1.0.0"})");
    Check->ScheduleStartupCheck(
        true, [] { return true; }, 0);
    EXPECT_FALSE(Check->StartupTimer().isActive());

    bool setting = false;
    Check->ScheduleStartupCheck(
        false, [&] { return setting; }, 0);
    ASSERT_TRUE(Eventually([this] { return !Check->StartupTimer().isActive(); }));
    EXPECT_TRUE(View.Calls.isEmpty());
    EXPECT_TRUE(Server.Requests().isEmpty());

    setting = true;
    Check->ScheduleStartupCheck(
        false, [&] { return setting; }, 60000);
    RunCheck();
    EXPECT_FALSE(Check->StartupTimer().isActive());
    EXPECT_EQ(Server.Requests().size(), 1);
}

} // namespace
