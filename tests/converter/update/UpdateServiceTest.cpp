#include "InstallerDownload.h"
#include "TestHttpsServer.h"
#include "VersionUpdate.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

QCoreApplication& App() {
    static int argc = 1;
    static char name[] = "converter_update_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = new QCoreApplication(argc, argv);
    return *app;
}

TEST(VersionRecord, ParsesBySeparatorAndComparesFieldByField) {
    struct Case {
        const char* Text;
        int Major, Minor, Maintenance, Build;
    };
    for (const Case& c : {Case{"2.0.0", 2, 0, 0, 0}, Case{"2.0.0.1", 2, 0, 0, 1}, Case{"2,1", 2, 1, 0, 0},
                          Case{"3-4-5-6-7", 3, 4, 5, 6}}) {
        VersionRec record;
        ParseVersionText(record, QString::fromLatin1(c.Text));
        EXPECT_EQ(record.Major, c.Major) << c.Text;
        EXPECT_EQ(record.Minor, c.Minor) << c.Text;
        EXPECT_EQ(record.Maintenance, c.Maintenance) << c.Text;
        EXPECT_EQ(record.Build, c.Build) << c.Text;
    }
    VersionRec kept{1, 2, 3, 4, {}};
    ParseVersionText(kept, QStringLiteral("3"));
    EXPECT_EQ(VersionToText(kept, true), QStringLiteral("1.2.3.4"));
    VersionRec partial;
    EXPECT_THROW(ParseVersionText(partial, QStringLiteral("2.x")), std::invalid_argument);
    EXPECT_EQ(partial.Major, 2);
    // An empty part is a part, and no whole number.
    EXPECT_THROW(ParseVersionText(partial, QStringLiteral("1..2")), std::invalid_argument);
    EXPECT_EQ(partial.Major, 1);

    const VersionRec app{2, 0, 0, 0, {}};
    EXPECT_TRUE(NewerThan(VersionRec{2, 0, 0, 1, {}}, app));
    EXPECT_FALSE(NewerThan(app, app));
    EXPECT_FALSE(NewerThan(VersionRec{1, 9, 9, 0, {}}, app));
    EXPECT_TRUE(NewerThan(VersionRec{2, 1, 0, 0, {}}, app));
    EXPECT_EQ(VersionToText(VersionRec{2, 0, 0, 1, {}}, false), QStringLiteral("2.0.0"));
}

TEST(VersionRecord, RequestBodyIsByteExact) {
    EXPECT_EQ(VersionRequestBody(QStringLiteral("formshift")),
              QByteArray(R"({"mode":"getversion","app":"formshift"})"));
    EXPECT_EQ(VersionRequestBody(QStringLiteral("café")),
              QByteArray(R"({"mode":"getversion","app":"caf\u00e9"})"));
}

// The application object exists before any fixture member: the server's thread needs it.
class WithApplication : public testing::Test {
  protected:
    WithApplication() { App(); }
};

class UpdateServiceTest : public WithApplication {
  protected:
    void SetUp() override {
        if (!Server.Ready()) GTEST_SKIP() << "no local HTTPS server: " << Server.Problem().toStdString();
        Service.Address = Server.Url();
        Service.CaFile = Server.CaFile();
        Service.UserAgent = QStringLiteral("Formshift/test");
        Service.ConnectTimeoutMs = 5000;
        Service.TotalTimeoutMs = 5000;
    }
    void Reply(int status, const QByteArray& body) {
        Server.setHandler([=](const TTestRequest&) {
            return TTestResponse{status, "application/json", body};
        });
    }
    TestHttpsServer Server;
    TUpdateService Service;
};

TEST_F(UpdateServiceTest, PostsTheRequestAndReadsTheVersion) {
    Reply(200, R"({"version":"2.0.0.1","updateurl":"https://example.invalid/setup"})");
    VersionRec record;
    GetNewestVersion(record, QStringLiteral("formshift"), Service);
    EXPECT_EQ(VersionToText(record, true), QStringLiteral("2.0.0.1"));
    EXPECT_EQ(record.Reply["updateurl"], "https://example.invalid/setup");
    const QList<TTestRequest> requests = Server.Requests();
    ASSERT_EQ(requests.size(), 1);
    EXPECT_EQ(requests[0].Method, "POST");
    EXPECT_EQ(requests[0].Headers.value("content-type"), "application/json");
    EXPECT_EQ(requests[0].Headers.value("user-agent"), "Formshift/test");
    EXPECT_EQ(requests[0].Body, QByteArray(R"({"mode":"getversion","app":"formshift"})"));
}

TEST_F(UpdateServiceTest, VersionsOfTheServiceAsTheSettingsPageShowsThem) {
    struct Case {
        QByteArray Reply;
        const char* Shown;
        bool Newer;
    };
    const VersionRec app{2, 0, 0, 0, {}};
    for (const Case& c :
         {Case{R"({"version":"2.0.0"})", "2.0.0", false}, Case{R"({"version":"2.0.0.1"})", "2.0.0", true},
          Case{R"({"version":"1.9.9"})", "1.9.9", false}, Case{R"({"version":"2,1"})", "2.1.0", true},
          Case{R"({"version":3})", "0.0.0", false}, Case{R"({"version":2.1})", "2.1.0", true}}) {
        Reply(200, c.Reply);
        VersionRec record;
        GetNewestVersion(record, QStringLiteral("formshift"), Service);
        EXPECT_EQ(VersionToText(record, false), QString::fromLatin1(c.Shown)) << c.Reply.constData();
        EXPECT_EQ(NewerThan(record, app), c.Newer) << c.Reply.constData();
    }
}

TEST_F(UpdateServiceTest, UnusableAnswersAreErrors) {
    struct Case {
        int Status;
        QByteArray Body;
    };
    for (const Case& c : {Case{500, R"({"version":"9.9.9"})"}, Case{200, "<html>not json</html>"},
                          Case{200, R"(["version","2.0.0"])"}, Case{200, R"({"updateurl":"https://x/"})"}}) {
        Reply(c.Status, c.Body);
        VersionRec record;
        EXPECT_THROW(GetNewestVersion(record, QStringLiteral("formshift"), Service), TUpdateError)
            << c.Body.constData();
        EXPECT_EQ(record.Major, 0);
    }
    Reply(200, R"({"version":"2.x"})");
    VersionRec record;
    EXPECT_THROW(GetNewestVersion(record, QStringLiteral("formshift"), Service), std::invalid_argument);
    Reply(200, QByteArray(100 * 1024, ' ') + R"({"version":"2.0.0"})");
    EXPECT_THROW(GetNewestVersion(record, QStringLiteral("formshift"), Service), TUpdateError);
}

TEST_F(UpdateServiceTest, AServerThatNeverAnswersRunsIntoTheTimeLimit) {
    Server.setHandler([](const TTestRequest&) {
        TTestResponse hang;
        hang.Hang = true;
        return hang;
    });
    Service.TotalTimeoutMs = 300;
    VersionRec record;
    EXPECT_THROW(GetNewestVersion(record, QStringLiteral("formshift"), Service), TUpdateError);
}

TEST(UpdateServiceCertificates, AServerTheCaDidNotSignIsRefused) {
    App();
    TestHttpsServer impostor(TestHttpsServer::Certificate::SelfSigned);
    TestHttpsServer genuine;
    if (!impostor.Ready() || !genuine.Ready()) GTEST_SKIP() << "no local HTTPS server";
    impostor.setHandler([](const TTestRequest&) {
        return TTestResponse{200, "application/json", R"({"version":"9.0"})"};
    });
    TUpdateService service;
    service.Address = impostor.Url();
    service.CaFile = genuine.CaFile();
    VersionRec record;
    try {
        GetNewestVersion(record, QStringLiteral("formshift"), service);
        FAIL() << "an unverified server was trusted";
    } catch (const TUpdateError& error) {
        EXPECT_TRUE(
            QString::fromUtf8(error.what()).contains(QLatin1String("certificate"), Qt::CaseInsensitive))
            << error.what();
    }
    EXPECT_TRUE(impostor.Requests().isEmpty());
    service.Address = QStringLiteral("http://127.0.0.1:1/");
    EXPECT_THROW(GetNewestVersion(record, QStringLiteral("formshift"), service), TUpdateError);
}

class InstallerDownloadTest : public UpdateServiceTest {
  protected:
    TInstallerDownload Download(const QByteArray& path) {
        TInstallerDownload download;
        download.Url = Server.Url() + QString::fromLatin1(path);
        download.CaFile = Server.CaFile();
        download.TempRoot = Temp.path();
        return download;
    }
    QTemporaryDir Temp;
    const QByteArray Installer = QByteArray("#!/bin/sh\necho installing\n") + QByteArray(200000, 'x');
};

TEST_F(InstallerDownloadTest, LandsInAPrivateFolderExecutableAndChecked) {
    Server.setHandler([this](const TTestRequest&) {
        return TTestResponse{200, "application/octet-stream", Installer};
    });
    TInstallerDownload download = Download("setup");
    download.ExpectedSha256 =
        QString::fromLatin1(QCryptographicHash::hash(Installer, QCryptographicHash::Sha256).toHex());
    qint64 lastReceived = 0;
    const QString path =
        DownloadInstaller(download, [&](qint64 received, qint64) { lastReceived = received; });
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), Installer);
    EXPECT_EQ(lastReceived, Installer.size());
    struct stat folder {
    }, installer{};
    ASSERT_EQ(::stat(QFile::encodeName(QFileInfo(path).path()).constData(), &folder), 0);
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &installer), 0);
    EXPECT_EQ(folder.st_mode & 0777, 0700u);
    EXPECT_EQ(installer.st_mode & 0777, 0700u);
    EXPECT_TRUE(QFileInfo(path).fileName().startsWith(QLatin1String("updateinstall_")));
    EXPECT_EQ(QFileInfo(path).fileName().size(), QStringLiteral("updateinstall_").size() + 8);
}

TEST_F(InstallerDownloadTest, FailuresLeaveNothingBehind) {
    struct Case {
        const char* Name;
        TTestResponse Response;
        QString Sha256;
        qint64 MaxBytes;
    };
    const QString wrongSum(64, u'0');
    TTestResponse cut{200, "application/octet-stream", Installer};
    cut.CutAfter = 1000;
    const Case cases[] = {
        {"checksum", TTestResponse{200, "application/octet-stream", Installer}, wrongSum, qint64(1) << 30},
        {"cut off", cut, QString(), qint64(1) << 30},
        {"too large", TTestResponse{200, "application/octet-stream", Installer}, QString(), 1000},
        {"not found", TTestResponse{404, "text/plain", "gone"}, QString(), qint64(1) << 30},
        {"empty", TTestResponse{200, "application/octet-stream", QByteArray()}, QString(), qint64(1) << 30},
    };
    for (const Case& c : cases) {
        Server.setHandler([&](const TTestRequest&) { return c.Response; });
        TInstallerDownload download = Download("setup");
        download.ExpectedSha256 = c.Sha256;
        download.MaxBytes = c.MaxBytes;
        EXPECT_THROW(DownloadInstaller(download), TUpdateError) << c.Name;
        EXPECT_TRUE(
            QDir(Temp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty())
            << c.Name;
    }
    TInstallerDownload plain = Download("setup");
    plain.Url.replace(QLatin1String("https://"), QLatin1String("http://"));
    EXPECT_THROW(DownloadInstaller(plain), TUpdateError);
}

} // namespace
