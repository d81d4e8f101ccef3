#include "TestHttpsServer.h"

#include <QFile>
#include <QProcess>
#include <QSemaphore>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslSocket>
#include <QTcpServer>

struct SharedState {
    mutable QMutex Lock;
    std::function<TTestResponse(const TTestRequest&)> Handler;
    QList<TTestRequest> Requests;
};

namespace {

bool RunOpenssl(const QString& folder, const QStringList& arguments, QString& problem) {
    QProcess openssl;
    openssl.setWorkingDirectory(folder);
    openssl.start(QStringLiteral("openssl"), arguments);
    if (!openssl.waitForFinished(60000) || openssl.exitStatus() != QProcess::NormalExit ||
        openssl.exitCode() != 0) {
        problem = QStringLiteral("openssl %1: %2")
                      .arg(arguments.join(u' '), QString::fromLocal8Bit(openssl.readAllStandardError()));
        return false;
    }
    return true;
}

QByteArray ReasonPhrase(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 404:
        return "Not Found";
    case 500:
        return "Internal Server Error";
    default:
        return "Status";
    }
}

// One connection: reads a request, answers it per the handler, closes.
class Connection : public QObject {
  public:
    Connection(QSslSocket* socket, std::shared_ptr<SharedState> shared, QObject* server)
        : QObject(server), FSocket(socket), FShared(std::move(shared)) {
        socket->setParent(this);
        connect(socket, &QSslSocket::readyRead, this, &Connection::Read);
        connect(socket, &QSslSocket::disconnected, this, &QObject::deleteLater);
    }

  private:
    void Read() {
        FBuffer += FSocket->readAll();
        const qsizetype headerEnd = FBuffer.indexOf("\r\n\r\n");
        if (headerEnd < 0 || FAnswered) return;
        TTestRequest request;
        const QList<QByteArray> lines = FBuffer.left(headerEnd).split('\n');
        const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
        request.Method = first.value(0);
        request.Path = first.value(1);
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const qsizetype colon = lines[i].indexOf(':');
            if (colon > 0)
                request.Headers.insert(lines[i].left(colon).trimmed().toLower(),
                                       lines[i].mid(colon + 1).trimmed());
        }
        const qint64 length = request.Headers.value("content-length", "0").toLongLong();
        if (FBuffer.size() - headerEnd - 4 < length) return;
        request.Body = FBuffer.mid(headerEnd + 4, length);
        FAnswered = true;
        std::function<TTestResponse(const TTestRequest&)> handler;
        {
            QMutexLocker hold(&FShared->Lock);
            FShared->Requests.append(request);
            handler = FShared->Handler;
        }
        const TTestResponse response =
            handler ? handler(request) : TTestResponse{404, "text/plain", "no handler"};
        if (response.Hang) return;
        QByteArray head = "HTTP/1.1 " + QByteArray::number(response.Status) + ' ' +
                          ReasonPhrase(response.Status) + "\r\nContent-Type: " + response.ContentType +
                          "\r\nContent-Length: " + QByteArray::number(response.Body.size()) +
                          "\r\nConnection: close\r\n\r\n";
        FSocket->write(head);
        FSocket->write(response.CutAfter >= 0 ? response.Body.left(response.CutAfter) : response.Body);
        FSocket->flush();
        FSocket->disconnectFromHost();
    }

    QSslSocket* FSocket;
    std::shared_ptr<SharedState> FShared;
    QByteArray FBuffer;
    bool FAnswered = false;
};

} // namespace

class TestHttpsServer::Worker : public QTcpServer {
  public:
    Worker(QSslConfiguration configuration, std::shared_ptr<SharedState> shared)
        : FConfiguration(std::move(configuration)), FShared(std::move(shared)) {}

  protected:
    void incomingConnection(qintptr descriptor) override {
        auto* socket = new QSslSocket;
        if (!socket->setSocketDescriptor(descriptor)) {
            delete socket;
            return;
        }
        socket->setSslConfiguration(FConfiguration);
        new Connection(socket, FShared, this);
        socket->startServerEncryption();
    }

  private:
    QSslConfiguration FConfiguration;
    std::shared_ptr<SharedState> FShared;
};

bool TestHttpsServer::MakeCertificates(Certificate certificate) {
    const QString folder = FFolder.path();
    QFile extensions(FFolder.filePath(QStringLiteral("server.ext")));
    if (!extensions.open(QIODevice::WriteOnly)) return false;
    extensions.write("subjectAltName=IP:127.0.0.1,DNS:localhost\nbasicConstraints=CA:FALSE\n");
    extensions.close();
    if (!RunOpenssl(folder,
                    {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", "ca.key", "-out", "ca.pem",
                     "-days", "2", "-subj", "/CN=Formshift test CA"},
                    FProblem))
        return false;
    if (!RunOpenssl(folder,
                    {"req", "-newkey", "rsa:2048", "-nodes", "-keyout", "server.key", "-out", "server.csr",
                     "-subj", "/CN=127.0.0.1"},
                    FProblem))
        return false;
    if (certificate == Certificate::SignedByTestCa)
        return RunOpenssl(folder,
                          {"x509", "-req", "-in", "server.csr", "-CA", "ca.pem", "-CAkey", "ca.key",
                           "-CAcreateserial", "-out", "server.pem", "-days", "2", "-extfile", "server.ext"},
                          FProblem);
    return RunOpenssl(folder,
                      {"x509", "-req", "-in", "server.csr", "-signkey", "server.key", "-out", "server.pem",
                       "-days", "2", "-extfile", "server.ext"},
                      FProblem);
}

TestHttpsServer::TestHttpsServer(Certificate certificate) : FShared(std::make_shared<SharedState>()) {
    if (!QSslSocket::supportsSsl()) {
        FProblem = QStringLiteral("Qt has no TLS support here");
        return;
    }
    if (!MakeCertificates(certificate)) return;
    QFile certificateFile(FFolder.filePath(QStringLiteral("server.pem")));
    QFile keyFile(FFolder.filePath(QStringLiteral("server.key")));
    if (!certificateFile.open(QIODevice::ReadOnly) || !keyFile.open(QIODevice::ReadOnly)) {
        FProblem = QStringLiteral("the test certificates cannot be read");
        return;
    }
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setLocalCertificate(QSslCertificate(certificateFile.readAll()));
    configuration.setPrivateKey(QSslKey(keyFile.readAll(), QSsl::Rsa));
    configuration.setPeerVerifyMode(QSslSocket::VerifyNone);

    FThread.start();
    QSemaphore listening;
    FWorker = new Worker(configuration, FShared);
    FWorker->moveToThread(&FThread);
    QMetaObject::invokeMethod(FWorker, [this, &listening] {
        if (FWorker->listen(QHostAddress::LocalHost, 0)) FPort = FWorker->serverPort();
        listening.release();
    });
    listening.acquire();
    if (FPort == 0) FProblem = QStringLiteral("the test server cannot listen on 127.0.0.1");
}

TestHttpsServer::~TestHttpsServer() {
    if (FWorker)
        QMetaObject::invokeMethod(
            FWorker, [this] { delete FWorker; }, Qt::BlockingQueuedConnection);
    FThread.quit();
    FThread.wait();
}

QString TestHttpsServer::Url() const {
    return Ready() ? QStringLiteral("https://127.0.0.1:%1/").arg(FPort) : QString();
}

void TestHttpsServer::setHandler(std::function<TTestResponse(const TTestRequest&)> handler) {
    QMutexLocker hold(&FShared->Lock);
    FShared->Handler = std::move(handler);
}

QList<TTestRequest> TestHttpsServer::Requests() const {
    QMutexLocker hold(&FShared->Lock);
    return FShared->Requests;
}
