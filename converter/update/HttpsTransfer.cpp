#include "HttpsTransfer.h"

#include <curl/curl.h>

#include <mutex>

namespace {

void GlobalInit() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct TransferState {
    const THttpsSink* Sink = nullptr;
    const THttpsProgress* Progress = nullptr;
    qint64 Received = 0;
    qint64 MaxBytes = 0;
    bool TooLarge = false;
    bool Stopped = false;
};

size_t WriteBody(char* data, size_t size, size_t count, void* context) {
    auto& state = *static_cast<TransferState*>(context);
    const size_t bytes = size * count;
    state.Received += qint64(bytes);
    if (state.MaxBytes > 0 && state.Received > state.MaxBytes) {
        state.TooLarge = true;
        return 0;
    }
    if (!(*state.Sink)(data, bytes)) {
        state.Stopped = true;
        return 0;
    }
    return bytes;
}

int ReportProgress(void* context, curl_off_t total, curl_off_t received, curl_off_t, curl_off_t) {
    auto& state = *static_cast<TransferState*>(context);
    if (state.Progress && *state.Progress) (*state.Progress)(qint64(received), qint64(total));
    return 0;
}

// Owns the easy handle and the header list, whatever way the transfer ends.
struct CurlHandle {
    CURL* Handle = curl_easy_init();
    curl_slist* Headers = nullptr;
    ~CurlHandle() {
        curl_slist_free_all(Headers);
        curl_easy_cleanup(Handle);
    }
};

} // namespace

void HttpsTransfer(const THttpsRequest& request, const THttpsSink& sink, const THttpsProgress& progress) {
    GlobalInit();
    CurlHandle curl;
    if (curl.Handle == nullptr) throw TUpdateError("The network library could not be started.");
    const QByteArray url = request.Url.toUtf8();
    const QByteArray caFile = request.CaFile.toLocal8Bit();
    const QByteArray userAgent = request.UserAgent.toUtf8();
    char errorText[CURL_ERROR_SIZE] = {};
    TransferState state{&sink, &progress, 0, request.MaxBytes};
    CURL* h = curl.Handle;

    curl_easy_setopt(h, CURLOPT_URL, url.constData());
    // Only HTTPS, also after a redirect; TLS 1.2 at least; the peer proves who it is.
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "https");
    curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "https");
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(h, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(h, CURLOPT_SSLVERSION, long(CURL_SSLVERSION_TLSv1_2));
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!caFile.isEmpty()) curl_easy_setopt(h, CURLOPT_CAINFO, caFile.constData());
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, long(request.ConnectTimeoutMs));
    if (request.TotalTimeoutMs > 0) curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, long(request.TotalTimeoutMs));
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1024L);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, long(std::max(1, request.StallTimeoutMs / 1000)));
    if (request.MaxBytes > 0) curl_easy_setopt(h, CURLOPT_MAXFILESIZE_LARGE, curl_off_t(request.MaxBytes));
    if (!userAgent.isEmpty()) curl_easy_setopt(h, CURLOPT_USERAGENT, userAgent.constData());
    curl_easy_setopt(h, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, WriteBody);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &state);
    curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, ReportProgress);
    curl_easy_setopt(h, CURLOPT_XFERINFODATA, &state);
    if (!request.PostBody.isNull()) {
        curl_easy_setopt(h, CURLOPT_POST, 1L);
        curl_easy_setopt(h, CURLOPT_POSTFIELDS, request.PostBody.constData());
        curl_easy_setopt(h, CURLOPT_POSTFIELDSIZE, long(request.PostBody.size()));
        // No "Expect: 100-continue" round trip for a few bytes.
        curl.Headers = curl_slist_append(curl.Headers, "Expect:");
    }
    if (!request.ContentType.isEmpty())
        curl.Headers = curl_slist_append(curl.Headers, ("Content-Type: " + request.ContentType).constData());
    if (curl.Headers) curl_easy_setopt(h, CURLOPT_HTTPHEADER, curl.Headers);

    const CURLcode result = curl_easy_perform(h);
    if (result == CURLE_OK) return;
    if (state.TooLarge || result == CURLE_FILESIZE_EXCEEDED)
        throw TUpdateError(QStringLiteral("The answer from %1 is larger than %2 bytes.")
                               .arg(request.Url)
                               .arg(request.MaxBytes)
                               .toStdString());
    if (state.Stopped) throw TUpdateError("The transfer was stopped.");
    const QString reason =
        errorText[0] ? QString::fromUtf8(errorText) : QString::fromUtf8(curl_easy_strerror(result));
    throw TUpdateError(QStringLiteral("%1: %2").arg(request.Url, reason).toStdString());
}

QByteArray HttpsFetch(const THttpsRequest& request) {
    QByteArray body;
    HttpsTransfer(request, [&body](const char* data, std::size_t size) {
        body.append(data, qsizetype(size));
        return true;
    });
    return body;
}
