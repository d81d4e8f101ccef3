#include "UpdateCheck.h"

#include "FXMainThread.h"
#include "ProgramVersion.h"

#include "FXFormUpdateTemplate.h"
#include "InstallerDownload.h"

#include <QIcon>
#include <QLoggingCategory>
#include <QProcess>

#include <thread>

Q_LOGGING_CATEGORY(updateLog, "formshift.update", QtWarningMsg)

TUpdateCheck::TUpdateCheck(TUpdateView& view, TUpdateService service)
    : FView(view), FService(std::move(service)) {
    if (FService.UserAgent.isEmpty()) FService.UserAgent = QStringLiteral("Formshift/") + ProgramVersion();
    FStartupTimer.setSingleShot(true);
    connect(&FStartupTimer, &QTimer::timeout, this, [this] {
        if (FStartupSetting && FStartupSetting()) CheckForUpdates();
    });
}

TUpdateCheck::~TUpdateCheck() {
    *FAlive = false;
}

VersionRec TUpdateCheck::AppVersion() {
    VersionRec version;
    ParseVersionText(version, ProgramVersion());
    return version;
}

void TUpdateCheck::ScheduleStartupCheck(bool secondInstance, std::function<bool()> settingOn, int delayMs) {
    if (secondInstance) return;
    FStartupSetting = std::move(settingOn);
    FStartupTimer.start(delayMs);
}

void TUpdateCheck::CheckForUpdates() {
    if (FChecking) return;
    FChecking = true;
    FStartupTimer.stop();
    FView.UpdateCheckStarted();
    // The worker hands its result to the main thread and waits for it there;
    // if the window has gone meanwhile, the result is dropped.
    std::thread([this, alive = FAlive, service = FService, version = FServerVersion]() mutable {
        QString error;
        try {
            GetNewestVersion(version, QStringLiteral("formshift"), service);
        } catch (const std::exception& failure) {
            error = QString::fromUtf8(failure.what());
        }
        FXMainThread::Synchronize([this, alive, version, error] {
            if (*alive) Finish(version, error);
        });
    }).detach();
}

void TUpdateCheck::Finish(const VersionRec& version, const QString& error) {
    FChecking = false;
    if (!error.isEmpty()) {
        qCWarning(updateLog) << "update check failed:" << error;
        FView.UpdateCheckEnded(tr("Unknown"));
        emit CheckFinished(error);
        return;
    }
    FServerVersion = version;
    FView.UpdateCheckEnded(VersionToText(FServerVersion, false));
    if (NewerThan(FServerVersion, AppVersion())) {
        TUpdateOffer offer{FServerVersion, {}, {}};
        const auto url = FServerVersion.Reply.find("updateurl");
        if (url != FServerVersion.Reply.end() && url->is_string())
            offer.DownloadURL = QString::fromStdString(url->get<std::string>());
        const auto sum = FServerVersion.Reply.find("sha256");
        if (sum != FServerVersion.Reply.end() && sum->is_string())
            offer.Sha256 = QString::fromStdString(sum->get<std::string>());
        if (offer.DownloadURL.isEmpty())
            qCWarning(updateLog) << "version" << VersionToText(FServerVersion, true) << "names no installer";
        else
            FView.OfferUpdate(offer);
    }
    emit CheckFinished(QString());
}

FXFormUpdateTemplate* ShowUpdatePage(QWidget* window, const TUpdateOffer& offer,
                                     const TUpdateService& service) {
    auto* page = FXFormUpdateTemplate::CreateNew(window);
    page->setAppName(QStringLiteral("Formshift"));
    page->setDownloadURL(offer.DownloadURL);
    page->setInstallParameters(QStringLiteral("-ad"));
    page->setAppIcon(QIcon::fromTheme(QStringLiteral("com.brenvale.Formshift")).pixmap(50, 50));
    const QString sha256 = offer.Sha256;
    page->setInstallerFetch(
        [service, sha256](const QString& url, const FXFormUpdateTemplate::TProgress& progress) {
            TInstallerDownload download;
            download.Url = url;
            download.ExpectedSha256 = sha256;
            download.CaFile = service.CaFile;
            download.UserAgent = service.UserAgent;
            return DownloadInstaller(download, progress);
        });
    // Started directly with its parameters: no shell reads the downloaded file's name or type.
    page->setInstallerStart([](const QString& path, const QString& parameters) {
        if (!QProcess::startDetached(path, QProcess::splitCommand(parameters)))
            throw std::runtime_error(
                QStringLiteral("The installer %1 could not be started.").arg(path).toStdString());
    });
    page->show();
    page->raise();
    return page;
}
