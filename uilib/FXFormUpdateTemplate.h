#pragma once
// The page that offers a newer version of the program over its main window:
// "Download" fetches the installer on a worker thread with real progress,
// starts it and closes the program; a failure shows why, with the error to
// copy; "Snooze" puts the page away. How the installer is fetched and started
// is the program's to say (the library knows no network).
#include "FXFillForm.h"

#include <QPixmap>

#include <functional>

class CImage;
class FXAnimatedTextBox;
class FXButton;
class FXProgress;
class FXTextBox;

enum class FXUpdateStage : std::uint8_t { Offer, Downloading, Installing, Closing, Failed };

class FXFormUpdateTemplate : public FXFillForm {
    Q_OBJECT
    Q_PROPERTY(QString AppName READ AppName WRITE setAppName)
    Q_PROPERTY(QString DownloadURL READ DownloadURL WRITE setDownloadURL)
    Q_PROPERTY(QString InstallParameters READ InstallParameters WRITE setInstallParameters)
    Q_PROPERTY(bool AllowSnooze READ AllowSnooze WRITE setAllowSnooze)

  public:
    // Bytes received and expected (0 while unknown).
    using TProgress = std::function<void(qint64 received, qint64 total)>;
    // Runs on a worker thread: the installer's path, or an exception saying why not.
    using TInstallerFetch = std::function<QString(const QString& url, const TProgress& progress)>;
    // Runs on the main thread: starts the installer, or throws saying why not.
    using TInstallerStart = std::function<void(const QString& path, const QString& parameters)>;

    // A page freed when it closes.
    static FXFormUpdateTemplate* CreateNew(QWidget* parentForm);

    const QString& AppName() const { return FAppName; }
    void setAppName(const QString& value);
    const QString& DownloadURL() const { return FDownloadURL; }
    void setDownloadURL(const QString& value) { FDownloadURL = value; }
    const QString& InstallParameters() const { return FInstallParameters; }
    void setInstallParameters(const QString& value) { FInstallParameters = value; }
    bool AllowSnooze() const { return FAllowSnooze; }
    void setAllowSnooze(bool value);
    void setAppIcon(const QPixmap& value);
    void setInstallerFetch(TInstallerFetch value) { FFetch = std::move(value); }
    void setInstallerStart(TInstallerStart value) { FStart = std::move(value); }
    // The pauses before the download, before starting the installer and
    // before closing the program, in milliseconds.
    void setDelays(int beforeDownload, int beforeInstall, int beforeClose);

    FXUpdateStage Stage() const { return FStage; }
    const QString& LastErrorText() const { return FLastErrorText; }
    FXButton* DownloadButton() const { return FDownload; }
    FXButton* SnoozeButton() const { return FSnooze; }
    FXButton* CopyErrorButton() const { return FCopyError; }
    FXButton* CloseButton() const { return FClose; }
    FXTextBox* Title() const { return FTitle; }
    FXAnimatedTextBox* DownloadText() const { return FDownloadText; }
    FXProgress* DownloadProgress() const { return FProgress; }
    QWidget* ErrorPanel() const { return FErrorPanel; }
    FXTextBox* ErrorReason() const { return FErrorReason; }

    // What "Download" does.
    void StartDownload();
    void Snooze() { hide(); }

  signals:
    void StageChanged(FXUpdateStage stage);

  protected:
    explicit FXFormUpdateTemplate(QWidget* parentForm);
    void InitializeNewForm() override;

  private:
    void setStage(FXUpdateStage value);
    void DownloadProgressed(qint64 received, qint64 total);
    void DownloadFinished(const QString& path);
    void DownloadFailed(const QString& reason);
    void CopyError();

    QString FAppName = QStringLiteral("Application");
    QString FDownloadURL;
    QString FInstallParameters;
    bool FAllowSnooze = true;
    QString FLastErrorText;
    FXUpdateStage FStage = FXUpdateStage::Offer;
    TInstallerFetch FFetch;
    TInstallerStart FStart;
    int FBeforeDownload = 1000;
    int FBeforeInstall = 1000;
    int FBeforeClose = 5000;

    CImage* FIcon = nullptr;
    FXTextBox* FTitle = nullptr;
    FXTextBox* FNote = nullptr;
    QWidget* FErrorPanel = nullptr;
    FXTextBox* FErrorReason = nullptr;
    QWidget* FDownloadArea = nullptr;
    FXAnimatedTextBox* FDownloadText = nullptr;
    FXProgress* FProgress = nullptr;
    QWidget* FButtonBar = nullptr;
    FXButton* FDownload = nullptr;
    FXButton* FSnooze = nullptr;
    QWidget* FErrorBar = nullptr;
    FXButton* FCopyError = nullptr;
    FXButton* FClose = nullptr;
};
