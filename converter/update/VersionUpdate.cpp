#include "VersionUpdate.h"

#include "HttpsTransfer.h"

#include <QStringList>

#ifndef FORMSHIFT_UPDATE_SERVICE
#define FORMSHIFT_UPDATE_SERVICE "https://update.brenvale.com/"
#endif

TUpdateService DefaultUpdateService() {
    TUpdateService service;
    const QString address = qEnvironmentVariable("BRENVALE_UPDATE_SERVICE");
    service.Address = address.isEmpty() ? QStringLiteral(FORMSHIFT_UPDATE_SERVICE) : address;
    service.CaFile = qEnvironmentVariable("BRENVALE_UPDATE_CA");
    return service;
}

void ParseVersionText(VersionRec& record, const QString& text) {
    QChar separator;
    for (QChar candidate : {QChar(u'.'), QChar(u','), QChar(u'-')}) {
        if (text.contains(candidate)) {
            separator = candidate;
            break;
        }
    }
    if (separator.isNull()) return;
    record.Major = record.Minor = record.Maintenance = record.Build = 0;
    int* fields[] = {&record.Major, &record.Minor, &record.Maintenance, &record.Build};
    const QStringList parts = text.split(separator);
    for (int i = 0; i < 4 && i < parts.size(); ++i) {
        bool whole = false;
        const int value = parts[i].toInt(&whole, 10);
        if (!whole)
            throw std::invalid_argument(
                QStringLiteral("'%1' is not a whole number").arg(parts[i]).toStdString());
        *fields[i] = value;
    }
}

bool NewerThan(const VersionRec& a, const VersionRec& b) {
    if (a.Major != b.Major) return a.Major > b.Major;
    if (a.Minor != b.Minor) return a.Minor > b.Minor;
    if (a.Maintenance != b.Maintenance) return a.Maintenance > b.Maintenance;
    return a.Build > b.Build;
}

QString VersionToText(const VersionRec& record, bool withBuild) {
    QString text = QStringLiteral("%1.%2.%3").arg(record.Major).arg(record.Minor).arg(record.Maintenance);
    if (withBuild) text += QStringLiteral(".%1").arg(record.Build);
    return text;
}

QByteArray VersionRequestBody(const QString& app) {
    nlohmann::ordered_json body;
    body["mode"] = "getversion";
    body["app"] = app.toStdString();
    return QByteArray::fromStdString(body.dump(-1, ' ', true));
}

void GetNewestVersion(VersionRec& record, const QString& app, const TUpdateService& service) {
    THttpsRequest request;
    request.Url = service.Address;
    request.CaFile = service.CaFile;
    request.UserAgent = service.UserAgent;
    request.ConnectTimeoutMs = service.ConnectTimeoutMs;
    request.TotalTimeoutMs = service.TotalTimeoutMs;
    request.MaxBytes = service.MaxReplyBytes;
    request.PostBody = VersionRequestBody(app);
    request.ContentType = "application/json";
    const QByteArray reply = HttpsFetch(request);

    nlohmann::ordered_json parsed =
        nlohmann::ordered_json::parse(reply.constData(), reply.constData() + reply.size(), nullptr, false);
    if (parsed.is_discarded() || !parsed.is_object())
        throw TUpdateError("The update service's answer is not a JSON object.");
    const auto version = parsed.find("version");
    if (version == parsed.end()) throw TUpdateError("The update service's answer names no version.");
    const QString text = version->is_string() ? QString::fromStdString(version->get<std::string>())
                                              : QString::fromStdString(version->dump());
    record.Reply = std::move(parsed);
    ParseVersionText(record, text);
}
