#include "FileTypeIcons.h"

#include "FormatCatalogue.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QMimeDatabase>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <cmath>

namespace {

// Drawn on a 26-unit grid, the row's icon size, and scaled for sharper screens.
constexpr int DesignSize = 26;

QColor KindColor(FileKind kind) {
    switch (kind) {
    case FileKind::Image:
        return {0, 137, 123};
    case FileKind::Audio:
        return {128, 0, 255};
    case FileKind::Generic:
        break;
    }
    return {96, 110, 125};
}

void DrawPage(QPainter& painter, const QColor& colour) {
    // A page with its top-right corner folded over.
    QPainterPath page;
    page.moveTo(5, 2);
    page.lineTo(16, 2);
    page.lineTo(22, 8);
    page.lineTo(22, 24);
    page.lineTo(5, 24);
    page.closeSubpath();
    painter.setPen(QPen(colour.darker(130), 1));
    painter.setBrush(colour);
    painter.drawPath(page);
    QPainterPath fold;
    fold.moveTo(16, 2);
    fold.lineTo(16, 8);
    fold.lineTo(22, 8);
    fold.closeSubpath();
    painter.setBrush(colour.lighter(150));
    painter.drawPath(fold);
}

void DrawSymbol(QPainter& painter, FileKind kind) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    switch (kind) {
    case FileKind::Image: {
        painter.drawEllipse(QPointF(11, 12), 2, 2);
        QPainterPath hills;
        hills.moveTo(7, 21);
        hills.lineTo(12, 15);
        hills.lineTo(15, 18);
        hills.lineTo(17, 16);
        hills.lineTo(20, 21);
        hills.closeSubpath();
        painter.drawPath(hills);
        break;
    }
    case FileKind::Audio:
        painter.drawEllipse(QPointF(11, 20), 2.5, 2);
        painter.drawEllipse(QPointF(18, 18.5), 2.5, 2);
        painter.drawRect(QRectF(12.6, 10, 1.4, 10));
        painter.drawRect(QRectF(19.6, 8.5, 1.4, 10));
        painter.drawPolygon(
            QPolygonF({QPointF(12.6, 10), QPointF(21, 8.5), QPointF(21, 11), QPointF(12.6, 12.5)}));
        break;
    case FileKind::Generic:
        for (int y : {12, 15, 18, 21})
            painter.drawRect(QRectF(8, y, y == 21 ? 7 : 11, 1.4));
        break;
    }
}

QPixmap RenderIcon(FileKind kind, qreal ratio) {
    const int side = int(std::ceil(DesignSize * ratio));
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(ratio, ratio);
        DrawPage(painter, KindColor(kind));
        DrawSymbol(painter, kind);
    }
    QPixmap pixmap = QPixmap::fromImage(image);
    pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}

} // namespace

FileKind FileKindOf(const QString& path) {
    const FormatTag tag = FormatFromExtension(QFileInfo(path).suffix());
    if (IsAudioFormat(tag)) return FileKind::Audio;
    if (IsImageFormat(tag)) return FileKind::Image;
    const QMimeType type = QMimeDatabase().mimeTypeForFile(path, QMimeDatabase::MatchExtension);
    if (type.name().startsWith(QLatin1String("image/"))) return FileKind::Image;
    if (type.name().startsWith(QLatin1String("audio/"))) return FileKind::Audio;
    return FileKind::Generic;
}

QIcon FallbackFileIcon(FileKind kind) {
    QIcon icon;
    // 1x and 2x cover ordinary and doubled screens; other ratios scale the nearer one.
    icon.addPixmap(RenderIcon(kind, 1.0));
    icon.addPixmap(RenderIcon(kind, 2.0));
    const qreal ratio = qApp ? qApp->devicePixelRatio() : 1.0;
    if (ratio != 1.0 && ratio != 2.0) icon.addPixmap(RenderIcon(kind, ratio));
    return icon;
}

QIcon RowIcon(const QString& path) {
    const QMimeType type = QMimeDatabase().mimeTypeForFile(path, QMimeDatabase::MatchExtension);
    // QIcon::fromTheme hands back an empty icon, drawn as nothing, when no theme knows the name.
    for (const QString& name : {type.iconName(), type.genericIconName()}) {
        if (!name.isEmpty() && QIcon::hasThemeIcon(name)) return QIcon::fromTheme(name);
    }
    return FallbackFileIcon(FileKindOf(path));
}
