#pragma once
// Fetches an installer named by the update service into a folder only this
// user can read, under a name nobody can guess, checks it and makes it
// executable. Nothing half-downloaded or unchecked is left behind.
#include "HttpsTransfer.h"

#include <QString>

struct TInstallerDownload {
    QString Url;
    // Hex SHA-256 the reply promised; empty when it promised none.
    QString ExpectedSha256;
    qint64 MaxBytes = qint64(1) << 30;
    QString CaFile;
    QString UserAgent;
    int ConnectTimeoutMs = 15000;
    int StallTimeoutMs = 30000;
    // Where the private folder is made; the user's temporary folder when empty.
    QString TempRoot;
};

// The path of the executable installer; throws TUpdateError saying why not.
QString DownloadInstaller(const TInstallerDownload& download, const THttpsProgress& progress = {});
