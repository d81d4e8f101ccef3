#include "LauncherProgress.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QVariantMap>

void SetLauncherProgress(const QString& desktopFile, int percent, bool visible) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return;
    QDBusMessage signal = QDBusMessage::createSignal(
        QStringLiteral("/com/canonical/unity/launcherentry/formshift"),
        QStringLiteral("com.canonical.Unity.LauncherEntry"), QStringLiteral("Update"));
    const QVariantMap properties{{QStringLiteral("progress"), percent / 100.0},
                                 {QStringLiteral("progress-visible"), visible}};
    signal << QStringLiteral("application://") + desktopFile << properties;
    bus.send(signal);
}
