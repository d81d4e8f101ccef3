#include "ModifyProgress.h"

QString BadgeText(TModifyProgress state, int percent) {
    QString text;
    switch (state) {
    case TModifyProgress::Waiting: text = QStringLiteral("Waiting"); break;
    case TModifyProgress::Converting:
        text = percent != 0 ? QStringLiteral("Converting %1%").arg(percent) : QStringLiteral("Converting");
        break;
    case TModifyProgress::Finalised: text = QStringLiteral("Success"); break;
    case TModifyProgress::FormatErr: text = QStringLiteral("Format error"); break;
    case TModifyProgress::Error: text = QStringLiteral("Error!"); break;
    case TModifyProgress::Cancelled: text = QStringLiteral("Cancelled"); break;
    }
    return QLatin1Char(' ') + text + QLatin1Char(' ');
}

QColor BadgeColor(TModifyProgress state) {
    switch (state) {
    case TModifyProgress::Waiting: return QColor(0, 128, 255);
    case TModifyProgress::Converting: return QColor(255, 128, 0);
    case TModifyProgress::Finalised: return QColor(0, 202, 0);
    case TModifyProgress::FormatErr: return QColor(125, 2, 5);
    case TModifyProgress::Error:
    case TModifyProgress::Cancelled: return QColor(204, 0, 0);
    }
    return QColor();
}
