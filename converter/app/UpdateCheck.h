#pragma once
// Asks the update service for the newest version on a thread of its own and
// tells the window what to show: "checking..." while it asks, the server's
// version or "Unknown" afterwards, and the update page when the server's
// version is newer than this build.
#include "VersionUpdate.h"

#include <QObject>
#include <QTimer>

#include <functional>

// What a newer version offers.
struct TUpdateOffer {
    VersionRec Version;
    QString DownloadURL;
    // Hex SHA-256 of the installer when the service names one.
    QString Sha256;
};

// The window's side of a check.
class TUpdateView {
  public:
    virtual ~TUpdateView() = default;
    // The check button off and showing its state text, the busy bar shown.
    virtual void UpdateCheckStarted() = 0;
    // The check button back, the busy bar hidden, the server's version shown.
    virtual void UpdateCheckEnded(const QString& serverVersionText) = 0;
    virtual void OfferUpdate(const TUpdateOffer& offer) = 0;
};

class TUpdateCheck : public QObject {
    Q_OBJECT

  public:
    explicit TUpdateCheck(TUpdateView& view, TUpdateService service = DefaultUpdateService());
    ~TUpdateCheck() override;

    // This build's version as a record.
    static VersionRec AppVersion();

    // One check; nothing while one runs.
    void CheckForUpdates();
    bool Checking() const { return FChecking; }
    const VersionRec& ServerVersion() const { return FServerVersion; }
    const TUpdateService& Service() const { return FService; }

    // The check a few seconds after start: never in a second copy, and only
    // when the setting (asked when the time comes) is on. A check started by
    // hand before then takes its place.
    void ScheduleStartupCheck(bool secondInstance, std::function<bool()> settingOn, int delayMs = 3000);
    const QTimer& StartupTimer() const { return FStartupTimer; }

  signals:
    // After every check, with the error's text when it failed (empty otherwise).
    void CheckFinished(const QString& error);

  private:
    void Finish(const VersionRec& version, const QString& error);

    TUpdateView& FView;
    TUpdateService FService;
    VersionRec FServerVersion;
    bool FChecking = false;
    QTimer FStartupTimer;
    std::function<bool()> FStartupSetting;
    // Lets a check that outlives this object find that out.
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

class FXFormUpdateTemplate;
class QWidget;

// The update page over window for offer: downloads into a private folder,
// checks the promised checksum, starts the installer with "-ad", closes the window.
FXFormUpdateTemplate* ShowUpdatePage(QWidget* window, const TUpdateOffer& offer,
                                     const TUpdateService& service);
