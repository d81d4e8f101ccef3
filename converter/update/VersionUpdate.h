#pragma once
// The version record and the request to the maker's update service: which is
// the newest version of a program, and where its installer is.
#include <QString>

#include <nlohmann/json.hpp>

#include <stdexcept>

struct VersionRec {
    int Major = 0;
    int Minor = 0;
    int Maintenance = 0;
    int Build = 0;
    // The whole reply of the last request, for keys beyond the version.
    nlohmann::ordered_json Reply;
};

// A request that did not give a usable answer; what() says why.
class TUpdateError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Where and how the service is asked.
struct TUpdateService {
    // The service's address; HTTPS only.
    QString Address;
    // Certificates to trust instead of the system's (a mirror's own CA, tests).
    QString CaFile;
    int ConnectTimeoutMs = 10000;
    int TotalTimeoutMs = 30000;
    // A reply longer than this is no answer of the service.
    qint64 MaxReplyBytes = 64 * 1024;
    QString UserAgent;
};

// The address built in (FORMSHIFT_UPDATE_SERVICE), or the environment's
// BRENVALE_UPDATE_SERVICE; the CA file from BRENVALE_UPDATE_CA when set.
TUpdateService DefaultUpdateService();

// Splits text at ".", else ",", else "-" into the four fields (missing ones
// are 0); text with none of them leaves the record as it is. A part that is
// not a whole number throws std::invalid_argument, the fields before it set.
void ParseVersionText(VersionRec& record, const QString& text);
// Major, then Minor, Maintenance, Build: the first that differs decides.
bool NewerThan(const VersionRec& a, const VersionRec& b);
QString VersionToText(const VersionRec& record, bool withBuild);

// The body the service expects: {"mode":"getversion","app":app}, ASCII only.
QByteArray VersionRequestBody(const QString& app);
// POSTs the request and fills record from the reply's "version"; throws
// TUpdateError (or std::invalid_argument from the version's parts).
void GetNewestVersion(VersionRec& record, const QString& app, const TUpdateService& service);
