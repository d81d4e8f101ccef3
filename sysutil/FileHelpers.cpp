#include "FileHelpers.h"

#include <QApplication>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QStyle>

QIcon ShellFileIcon(const QString& fileName, bool large) {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return {};
    const QMimeType type = QMimeDatabase().mimeTypeForFile(fileName, QMimeDatabase::MatchExtension);
    QIcon icon;
    for (const QString& name : {type.iconName(), type.genericIconName(), QStringLiteral("text-x-generic"),
                                QStringLiteral("application-x-generic")}) {
        if (!name.isEmpty()) icon = QIcon::fromTheme(name);
        if (!icon.isNull()) break;
    }
    if (icon.isNull() && qobject_cast<QApplication*>(QCoreApplication::instance()))
        icon = QApplication::style()->standardIcon(QStyle::SP_FileIcon);
    if (icon.isNull()) return {};
    const int size = large ? 32 : 16;
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
