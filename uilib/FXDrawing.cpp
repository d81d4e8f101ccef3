#include "FXDrawing.h"

#include "ColorFunctions.h"
#include "FXThemeManager.h"
#include "SymbolFont.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPen>

#include <cmath>

QColor ToQColor(TColor color) {
    return ToQColor(color, 255);
}

QColor ToQColor(TColor color, int alpha) {
    const TColor rgb = ColorToRGB(color);
    return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb), alpha);
}

QFont FXFont(const QString& face, int height) {
    QFont font(face);
    // Positive heights are cell heights, which include the internal leading
    // that a character height leaves out.
    const int pixels = height < 0 ? -height : height > 0 ? std::max(1, int(std::lround(height * 0.8))) : 12;
    font.setPixelSize(pixels);
    return font;
}

namespace {

bool Wraps(const QFontMetrics& metrics, const QRect& rect, const QString& text, FXTextFlags flags) {
    if (flags.testFlag(FXTextFlag::WordWrap)) return true;
    return flags.testFlag(FXTextFlag::Auto) && metrics.horizontalAdvance(text) > rect.width();
}

// Greedy breaking at spaces; a word wider than the width stands on its own line.
QStringList BreakLines(const QFontMetrics& metrics, const QString& text, int width) {
    QStringList lines;
    for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
        QString line;
        for (const QString& word : paragraph.split(QLatin1Char(' '))) {
            const QString candidate = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
            if (line.isEmpty() || metrics.horizontalAdvance(candidate) <= width) {
                line = candidate;
                continue;
            }
            lines << line;
            line = word;
        }
        lines << line;
    }
    return lines;
}

int AlignedLeft(const QRect& rect, int width, FXTextFlags flags) {
    if (flags.testFlag(FXTextFlag::Center)) return rect.left() + (rect.width() - width) / 2;
    if (flags.testFlag(FXTextFlag::Right)) return rect.left() + rect.width() - width;
    return rect.left();
}

int AlignedTop(const QRect& rect, int height, FXTextFlags flags) {
    if (flags.testFlag(FXTextFlag::VerticalCenter))
        return rect.top() + int(std::lround(rect.height() / 2.0 - height / 2.0));
    if (flags.testFlag(FXTextFlag::Bottom)) return rect.top() + rect.height() - height;
    return rect.top();
}

} // namespace

QVector<FXTextLine> LayoutTextRect(const QFont& font, const QRect& rect, const QString& text,
                                   FXTextFlags flags, int margin) {
    QVector<FXTextLine> result;
    if (text.isEmpty()) return result;
    const QRect area = rect.adjusted(margin, margin, -margin, -margin);
    const QFontMetrics metrics(font);
    const int lineHeight = metrics.height();
    if (!Wraps(metrics, area, text, flags)) {
        QString line = text;
        line.replace(QLatin1Char('\n'), QLatin1Char(' '));
        const int width = metrics.horizontalAdvance(line);
        result.append({line, QRect(AlignedLeft(area, width, flags), AlignedTop(area, lineHeight, flags),
                                   width, lineHeight)});
        return result;
    }
    const QStringList lines = BreakLines(metrics, text, area.width());
    int top = AlignedTop(area, lineHeight * int(lines.size()), flags);
    for (const QString& line : lines) {
        const int width = metrics.horizontalAdvance(line);
        result.append({line, QRect(AlignedLeft(area, width, flags), top, width, lineHeight)});
        top += lineHeight;
    }
    return result;
}

QRect TextBlockRect(const QFont& font, const QRect& rect, const QString& text, FXTextFlags flags,
                    int margin) {
    QRect block;
    for (const FXTextLine& line : LayoutTextRect(font, rect, text, flags, margin))
        block |= line.Rect;
    return block;
}

void DrawTextRect(QPainter& painter, const QRect& rect, const QString& text, FXTextFlags flags, int margin) {
    const auto lines = LayoutTextRect(painter.font(), rect, text, flags, margin);
    if (lines.isEmpty()) return;
    painter.save();
    if (!flags.testFlag(FXTextFlag::NoClip))
        painter.setClipRect(rect.adjusted(margin, margin, -margin, -margin));
    const QFontMetrics metrics(painter.font());
    for (const FXTextLine& line : lines)
        painter.drawText(QPoint(line.Rect.left(), line.Rect.top() + metrics.ascent()), line.Text);
    painter.restore();
}

void DrawRoundRect(QPainter& painter, const QRectF& rect, int roundness, const QColor& fill,
                   const std::optional<QPen>& pen) {
    if (rect.width() <= 0 || rect.height() <= 0) return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(pen ? *pen : QPen(Qt::NoPen));
    painter.setBrush(fill);
    // The corner size is the side of the ellipse's bounding square: its radius is half of it.
    const qreal radius = std::max(0, roundness) / 2.0;
    painter.drawRoundedRect(rect, radius, radius);
    painter.restore();
}

void DrawBorder(QPainter& painter, const QRect& rect, const QColor& color, int roundness, int thickness) {
    if (thickness <= 0) return;
    const int half = thickness / 2;
    const int end = thickness % 2 == 0 ? half - 1 : half;
    const QRectF shape(QPointF(rect.left() + half, rect.top() + half),
                       QPointF(rect.left() + rect.width() - end, rect.top() + rect.height() - end));
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, roundness > 0);
    painter.setPen(QPen(color, thickness));
    painter.setBrush(Qt::NoBrush);
    if (roundness > 0)
        painter.drawRoundedRect(shape, roundness / 2.0, roundness / 2.0);
    else
        painter.drawRect(shape);
    painter.restore();
}

int FitFontHeight(const QString& face, const QString& text, int width, int height) {
    if (text.isEmpty()) return 0;
    const auto fits = [&](int value) {
        const QFontMetrics metrics(FXFont(face, value));
        return metrics.horizontalAdvance(text) < width && metrics.height() < height;
    };
    int value = -10;
    // Growing first: a negative value's magnitude is the character height.
    while (fits(value) && value > -2000)
        --value;
    while (!fits(value) && value != 1)
        ++value;
    return value;
}

void DrawSymbol(QPainter& painter, const QRect& rect, const QString& symbolText, const QColor& color) {
    if (symbolText.isEmpty() || rect.isEmpty()) return;
    const QString face = ThemeManager ? ThemeManager->IconFont() : QString(MaterialIconFont);
    const QString glyphs = SymbolText(symbolText, face);
    painter.save();
    painter.setFont(FXFont(face, FitFontHeight(face, glyphs, rect.width(), rect.height())));
    painter.setPen(color);
    painter.drawText(rect, Qt::AlignCenter | Qt::TextSingleLine, glyphs);
    painter.restore();
}

namespace {

QPainterPath RoundRectPath(const QRectF& rect, int roundness) {
    QPainterPath path;
    const qreal radius = std::max(0, roundness) / 2.0;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

} // namespace

void FillRoundCorners(QPainter& painter, const QRectF& rect, int roundness, const QColor& color) {
    if (rect.width() <= 0 || rect.height() <= 0 || roundness <= 0) return;
    QPainterPath corners;
    corners.addRect(rect);
    corners = corners.subtracted(RoundRectPath(rect, roundness));
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(corners, color);
    painter.restore();
}

void DrawImageRounded(QPainter& painter, const QRectF& rect, int roundness, const QImage& image) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    if (roundness > 0) painter.setClipPath(RoundRectPath(rect, roundness));
    painter.drawImage(rect.topLeft(), image);
    painter.restore();
}

void DrawArrowTriangle(QPainter& painter, const QRectF& rect, Qt::ArrowType direction, const QColor& color) {
    if (rect.width() <= 0 || rect.height() <= 0 || direction == Qt::NoArrow) return;
    QPolygonF triangle;
    switch (direction) {
    case Qt::UpArrow:
        triangle << QPointF(rect.center().x(), rect.top()) << rect.bottomRight() << rect.bottomLeft();
        break;
    case Qt::DownArrow:
        triangle << QPointF(rect.center().x(), rect.bottom()) << rect.topLeft() << rect.topRight();
        break;
    case Qt::LeftArrow:
        triangle << QPointF(rect.left(), rect.center().y()) << rect.topRight() << rect.bottomRight();
        break;
    default:
        triangle << QPointF(rect.right(), rect.center().y()) << rect.bottomLeft() << rect.topLeft();
        break;
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawPolygon(triangle);
    painter.restore();
}
