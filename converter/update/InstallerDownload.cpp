#include "InstallerDownload.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString RandomName(int length) {
    static const char alphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    QString name;
    for (int i = 0; i < length; ++i)
        name += QLatin1Char(alphabet[QRandomGenerator::system()->bounded(36)]);
    return name;
}

[[noreturn]] void Fail(const QString& message) {
    throw TUpdateError(message.toStdString());
}

QString SystemError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

// The private folder and the file in it, removed again unless kept.
struct DownloadFiles {
    QByteArray Folder;
    QByteArray File;
    int Descriptor = -1;
    bool Keep = false;
    ~DownloadFiles() {
        if (Descriptor >= 0) ::close(Descriptor);
        if (Keep) return;
        if (!File.isEmpty()) ::unlink(File.constData());
        if (!Folder.isEmpty()) ::rmdir(Folder.constData());
    }
};

} // namespace

QString DownloadInstaller(const TInstallerDownload& download, const THttpsProgress& progress) {
    if (!download.Url.startsWith(QLatin1String("https://"), Qt::CaseInsensitive))
        Fail(QStringLiteral("The installer's address %1 is not an HTTPS address.").arg(download.Url));
    const QString root = download.TempRoot.isEmpty() ? QDir::tempPath() : download.TempRoot;
    DownloadFiles files;
    QByteArray folderTemplate = QFile::encodeName(root + QStringLiteral("/formshift-update-XXXXXX"));
    if (::mkdtemp(folderTemplate.data()) == nullptr)
        Fail(QStringLiteral("No private folder for the download in %1: %2").arg(root, SystemError()));
    files.Folder = folderTemplate;
    files.File = files.Folder + "/updateinstall_" + RandomName(8).toLatin1();
    files.Descriptor = ::open(files.File.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (files.Descriptor < 0)
        Fail(QStringLiteral("The installer file cannot be created: %1").arg(SystemError()));

    QCryptographicHash digest(QCryptographicHash::Sha256);
    QString writeError;
    THttpsRequest request;
    request.Url = download.Url;
    request.CaFile = download.CaFile;
    request.UserAgent = download.UserAgent;
    request.ConnectTimeoutMs = download.ConnectTimeoutMs;
    request.StallTimeoutMs = download.StallTimeoutMs;
    request.MaxBytes = download.MaxBytes;
    HttpsTransfer(
        request,
        [&](const char* data, std::size_t size) {
            digest.addData(QByteArrayView(data, qsizetype(size)));
            while (size > 0) {
                const ssize_t written = ::write(files.Descriptor, data, size);
                if (written < 0 && errno == EINTR) continue;
                if (written <= 0) {
                    writeError = SystemError();
                    return false;
                }
                data += written;
                size -= std::size_t(written);
            }
            return true;
        },
        progress);
    if (!writeError.isEmpty()) Fail(QStringLiteral("The installer could not be written: %1").arg(writeError));
    if (::fsync(files.Descriptor) != 0 || ::close(files.Descriptor) != 0) {
        files.Descriptor = -1;
        Fail(QStringLiteral("The installer could not be written: %1").arg(SystemError()));
    }
    files.Descriptor = -1;

    struct stat info {};
    if (::stat(files.File.constData(), &info) != 0 || info.st_size == 0)
        Fail(QStringLiteral("The file could not be downloaded."));
    if (!download.ExpectedSha256.isEmpty()) {
        const QString actual = QString::fromLatin1(digest.result().toHex());
        if (actual.compare(download.ExpectedSha256.trimmed(), Qt::CaseInsensitive) != 0)
            Fail(QStringLiteral("The downloaded installer is not the one the update service named "
                                "(SHA-256 %1 instead of %2).")
                     .arg(actual, download.ExpectedSha256));
    }
    if (::chmod(files.File.constData(), 0700) != 0)
        Fail(QStringLiteral("The installer cannot be made executable: %1").arg(SystemError()));
    files.Keep = true;
    return QFile::decodeName(files.File);
}
