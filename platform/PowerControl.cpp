#include "PowerControl.h"

#include <QProcess>

bool PowerOffNow() {
    return QProcess::startDetached(QStringLiteral("systemctl"), {QStringLiteral("poweroff")});
}
