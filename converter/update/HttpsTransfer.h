#pragma once
// One HTTPS exchange through libcurl: TLS 1.2 or newer, the certificate and
// the host name always verified, bounded in time and in size. Failures throw
// TUpdateError with a message a person can act on.
#include "VersionUpdate.h"

#include <QByteArray>

#include <functional>

struct THttpsRequest {
    QString Url;
    QString CaFile;
    QString UserAgent;
    int ConnectTimeoutMs = 10000;
    // 0: no limit on the whole transfer; a stall still ends it (see below).
    int TotalTimeoutMs = 0;
    // Ends a transfer that moves fewer than 1 KiB per second for this long.
    int StallTimeoutMs = 30000;
    qint64 MaxBytes = 0;
    // POST with this body and content type when set; GET otherwise.
    QByteArray PostBody;
    QByteArray ContentType;
};

// Receives the bytes as they arrive; false stops the transfer.
using THttpsSink = std::function<bool(const char* data, std::size_t size)>;
// Bytes so far and the expected total (0 while unknown).
using THttpsProgress = std::function<void(qint64 received, qint64 total)>;

void HttpsTransfer(const THttpsRequest& request, const THttpsSink& sink, const THttpsProgress& progress = {});
QByteArray HttpsFetch(const THttpsRequest& request);
