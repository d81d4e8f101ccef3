#include "ModifyProgress.h"

QString BadgeText(TModifyProgress state, int percent) {
    QString text;
    switch (state) {
    case TModifyProgress::Waiting:
        text = QStringLiteral("Waiting");
        break;
    case TModifyProgress::Converting:
        text = percent != 0 ? QStringLiteral("Converting %1%").arg(percent) : QStringLiteral("Converting");
        break;
    case TModifyProgress::Finalised:
        text = QStringLiteral("Success");
        break;
    case TModifyProgress::FormatErr:
        text = QStringLiteral("Format error");
        break;
    case TModifyProgress::Error:
        text = QStringLiteral("Error!");
        break;
    case TModifyProgress::Cancelled:
        text = QStringLiteral("Cancelled");
        break;
    }
    return QLatin1Char(' ') + text + QLatin1Char(' ');
}
