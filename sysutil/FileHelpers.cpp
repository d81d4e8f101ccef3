#include "FileHelpers.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeDatabase>
#include <QPainter>
#include <QPainterPath>

namespace {

// A plain sheet with a folded corner, for desktops without an icon theme.
QPixmap DrawnPageIcon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal left = size * 0.2, right = size * 0.8, top = size * 0.08, bottom = size * 0.92;
    const qreal fold = size * 0.22;
    QPainterPath sheet;
    sheet.moveTo(left, top);
    sheet.lineTo(right - fold, top);
    sheet.lineTo(right, top + fold);
    sheet.lineTo(right, bottom);
    sheet.lineTo(left, bottom);
    sheet.closeSubpath();
    painter.setPen(QPen(QColor(0x70, 0x70, 0x70), qMax(1.0, size / 16.0)));
    painter.setBrush(QColor(0xF4, 0xF4, 0xF4));
    painter.drawPath(sheet);
    painter.drawLine(QPointF(right - fold, top), QPointF(right - fold, top + fold));
    painter.drawLine(QPointF(right - fold, top + fold), QPointF(right, top + fold));
    return pixmap;
}

} // namespace

QIcon ShellFileIcon(const QString& fileName, bool large) {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return {};
    const QMimeType type = QMimeDatabase().mimeTypeForFile(fileName, QMimeDatabase::MatchExtension);
    QIcon icon;
    for (const QString& name : {type.iconName(), type.genericIconName(), QStringLiteral("text-x-generic"),
                                QStringLiteral("application-x-generic")}) {
        if (!name.isEmpty()) icon = QIcon::fromTheme(name);
        if (!icon.isNull()) break;
    }
    const int size = large ? 32 : 16;
    if (icon.isNull()) return QIcon(DrawnPageIcon(size));
    const QPixmap pixmap = icon.pixmap(size, size);
    return pixmap.isNull() ? QIcon() : QIcon(pixmap);
}

qint64 FileByteSize(const QString& fileName) {
    if (fileName.isEmpty()) return -1;
    const QFileInfo info(fileName);
    if (info.exists()) return info.isDir() ? 0 : info.size();
    // A link whose target is gone is still an entry of that name.
    return info.isSymLink() ? 0 : -1;
}
