#pragma once
// A small HTTPS server on 127.0.0.1 for the update tests: a throw-away CA and
// a server certificate are made with openssl when the server starts, and each
// request is answered by the test's handler. The server has a thread of its
// own, so a blocking client on the test's thread can talk to it.
#include <QByteArray>
#include <QMap>
#include <QMutex>
#include <QString>
#include <QTemporaryDir>
#include <QThread>

#include <functional>
#include <memory>

struct TTestRequest {
    QByteArray Method;
    QByteArray Path;
    QMap<QByteArray, QByteArray> Headers; // names in lower case
    QByteArray Body;
};

struct TTestResponse {
    int Status = 200;
    QByteArray ContentType = "application/json";
    QByteArray Body;
    // Never answer: the client's time limit is what ends the exchange.
    bool Hang = false;
    // Announce the whole body, send only this many bytes, then close.
    qint64 CutAfter = -1;
};

class TestHttpsServer {
  public:
    // Certificates signed by the test CA unless SelfSigned.
    enum class Certificate { SignedByTestCa, SelfSigned };
    explicit TestHttpsServer(Certificate certificate = Certificate::SignedByTestCa);
    ~TestHttpsServer();

    // Empty when openssl or TLS support is missing (tests skip then).
    QString Url() const;
    QString CaFile() const { return FFolder.filePath(QStringLiteral("ca.pem")); }
    bool Ready() const { return FPort != 0; }
    QString Problem() const { return FProblem; }

    void setHandler(std::function<TTestResponse(const TTestRequest&)> handler);
    QList<TTestRequest> Requests() const;

  private:
    class Worker;
    bool MakeCertificates(Certificate certificate);

    QTemporaryDir FFolder;
    QString FProblem;
    quint16 FPort = 0;
    QThread FThread;
    Worker* FWorker = nullptr;
    std::shared_ptr<struct SharedState> FShared;
};
