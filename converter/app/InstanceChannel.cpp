#include "InstanceChannel.h"

#include "Instances.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <cerrno>
#include <csignal>

namespace {

// A window that takes longer than this to handle a word is busy converting a
// large file; the word still reaches it once it gets back to its events.
constexpr int AcknowledgeTimeout = 10000;
constexpr int ConnectTimeout = 2000;
constexpr qint64 LongestWord = 256;

QString CaptionFolder(const QString& caption) {
    QString name = caption;
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    return TInstanceChannel::WindowsFolder() + QLatin1Char('/') + name;
}

bool ProcessRuns(qint64 pid) {
    return pid > 0 && (kill(pid_t(pid), 0) == 0 || errno == EPERM);
}

} // namespace

TInstanceChannel::TInstanceChannel(Handler handler, QObject* parent)
    : QObject(parent), FHandler(std::move(handler)) {}

TInstanceChannel::~TInstanceChannel() {
    Close();
}

QString TInstanceChannel::WindowsFolder() {
    return RuntimeFolder() + QStringLiteral("/formshift-windows");
}

bool TInstanceChannel::Listen(const QString& caption) {
    if (FServer && FCaption == caption) return true;
    Close();
    const QString folder = CaptionFolder(caption);
    if (!QDir().mkpath(folder)) return false;
    const QString path = folder + QLatin1Char('/') + QString::number(QCoreApplication::applicationPid());
    // A socket under our own process number can only be left over from a process
    // that ended without cleaning up.
    QLocalServer::removeServer(path);
    FServer = new QLocalServer(this);
    if (!FServer->listen(path)) {
        delete FServer;
        FServer = nullptr;
        return false;
    }
    FCaption = caption;
    QLocalServer* server = FServer;
    connect(server, &QLocalServer::newConnection, this, [this, server] {
        while (QLocalSocket* socket = server->nextPendingConnection())
            Serve(socket);
    });
    return true;
}

void TInstanceChannel::Close() {
    if (!FServer) return;
    // A word handled right now may be the reason for closing ("primary" moves the
    // window to another caption): the server goes once that word is answered.
    FServer->close();
    FServer->deleteLater();
    FServer = nullptr;
    FCaption.clear();
}

void TInstanceChannel::Serve(QLocalSocket* socket) {
    // The connection outlives a change of caption, which replaces the server.
    socket->setParent(this);
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    const auto answer = [this, socket] {
        if (!socket->canReadLine()) {
            if (socket->bytesAvailable() > LongestWord) socket->abort();
            return;
        }
        const QString word = QString::fromUtf8(socket->readLine(LongestWord)).trimmed();
        QByteArray reply = FHandler ? FHandler(word) : QByteArray();
        if (reply.isEmpty()) reply = "ok\n";
        socket->write(reply);
        socket->flush();
        socket->disconnectFromServer();
    };
    connect(socket, &QLocalSocket::readyRead, socket, answer);
    if (socket->bytesAvailable() > 0) answer();
}

bool TInstanceChannel::Send(const QString& word, const QString& caption, QByteArray* reply) {
    const QDir folder(CaptionFolder(caption));
    const QString self = QString::number(QCoreApplication::applicationPid());
    const QStringList entries =
        folder.entryList(QDir::System | QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& entry : entries) {
        if (entry == self) continue;
        QLocalSocket socket;
        socket.connectToServer(folder.filePath(entry));
        if (!socket.waitForConnected(ConnectTimeout)) {
            // The window of a copy that was killed leaves its socket behind.
            bool number = false;
            const qint64 pid = entry.toLongLong(&number);
            if (number && !ProcessRuns(pid)) QFile::remove(folder.filePath(entry));
            continue;
        }
        socket.write(word.toUtf8() + '\n');
        socket.flush();
        QByteArray answer;
        while (socket.state() == QLocalSocket::ConnectedState && socket.waitForReadyRead(AcknowledgeTimeout))
            answer += socket.readAll();
        answer += socket.readAll();
        if (reply) *reply = answer;
        return true;
    }
    return false;
}

bool SendToInstance(const QString& word, const QString& caption) {
    return TInstanceChannel::Send(word, caption);
}
