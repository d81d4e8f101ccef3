#include "RunningCopies.h"

#include "HandOver.h"

#include <QFile>
#include <QFileInfo>
#include <stdexcept>

const QString TRunningCopies::PrimaryCaption = QStringLiteral("Formshift");
const QString TRunningCopies::CloneCaption = QStringLiteral("Formshift Clone");

TRunningCopies::TRunningCopies(TRunningCopiesHost& host, QString handOverFolder, QObject* parent)
    : QObject(parent), FHost(host), FHandOverFolder(std::move(handOverFolder)),
      FChannel([this](const QString& word) { return InstanceCommand(word); }) {
    FFetchFiles.setInterval(350);
    connect(&FFetchFiles, &QTimer::timeout, this, &TRunningCopies::FetchFilesTimer);
}

void TRunningCopies::Start() {
    FStarted = true;
    FChannel.Listen(FHost.Caption());
    if (FHost.Caption() == PrimaryCaption) CollectUnheardHandOvers();
}

void TRunningCopies::CaptionChanged() {
    if (FStarted && !FClosed) FChannel.Listen(FHost.Caption());
}

void TRunningCopies::Close() {
    FClosed = true;
    FChannel.Close();
}

void TRunningCopies::CollectUnheardHandOvers() {
    // A clone that started while no window answered as the first copy (this one
    // still starting, or the previous one closing) wrote its list without being
    // heard; one fetch after taking the role picks it up. An unattended run
    // would drop such files at its end, so it leaves them for the next copy.
    if (!FHost.Unattended()) FFetchFiles.start();
}

QByteArray TRunningCopies::InstanceCommand(const QString& word) {
    QByteArray reply;
    if (word == QLatin1String("readitem")) {
        FFetchFiles.start();
    } else if (word == QLatin1String("focus")) {
        FHost.BringToFront();
    } else if (word == QLatin1String("waitforupload")) {
        FFetchFiles.stop();
    } else if (word == QLatin1String("primary")) {
        FHost.SetCaption(PrimaryCaption);
        CollectUnheardHandOvers();
    } else if (FExtraWords) {
        reply = FExtraWords(word).value_or(QByteArray());
    }
    return reply;
}

bool TRunningCopies::HandOver(const QStringList& files) {
    SendToInstance(QStringLiteral("waitforupload"));
    try {
        WriteHandOverList(FHandOverFolder, files);
    } catch (const std::exception& error) {
        FHost.ReportError(QString::fromStdString(error.what()));
        return false;
    }
    SendToInstance(QStringLiteral("readitem"));
    SendToInstance(QStringLiteral("focus"));
    return true;
}

void TRunningCopies::FetchFilesTimer() {
    FFetchFiles.stop();
    try {
        const QString& folder = FHandOverFolder;
        if (QFileInfo(folder).isDir() && !QFileInfo(folder).isReadable())
            throw std::runtime_error(QStringLiteral("Cannot list %1").arg(folder).toStdString());
        for (const QString& file : HandOverFiles(folder)) {
            const QStringList paths = ReadHandOverList(file);
            // Removed before its files are listed, so a file that cannot be removed
            // is not listed twice by the next fetch.
            if (!QFile::remove(file))
                throw std::runtime_error(QStringLiteral("Cannot delete %1").arg(file).toStdString());
            FHost.AddFiles(paths);
        }
    } catch (const std::exception& error) {
        FHost.ReportError(QString::fromStdString(error.what()));
        return;
    }
    FHost.FilesArrived();
}
