#pragma once
// The drawing primitives every themed control shares: rounded shapes, text in
// a rectangle, symbol-font sizing and the thin border of tooltips. Controls
// never draw their own copy of these; hit-testing that depends on text
// placement asks LayoutTextRect, which DrawTextRect also uses.
#include "FXTypes.h"

#include <QColor>
#include <QFlags>
#include <QFont>
#include <QPen>
#include <QRect>
#include <QString>
#include <QVector>

#include <optional>

class QPainter;

// Where content sits along one axis.
enum class FXLayout : std::uint8_t { Beginning = 0, Center = 1, Ending = 2 };

enum class FXTextFlag : std::uint16_t {
    WordWrap = 1 << 0,
    NoClip = 1 << 1,
    Left = 1 << 2,
    Center = 1 << 3,
    Right = 1 << 4,
    Top = 1 << 5,
    VerticalCenter = 1 << 6,
    Bottom = 1 << 7,
    // Wrap only when the text does not fit on one line.
    Auto = 1 << 8,
};
Q_DECLARE_FLAGS(FXTextFlags, FXTextFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(FXTextFlags)

// The opaque colour of a Windows colour value (system colours resolved).
QColor ToQColor(TColor color);
// The same colour with an alpha.
QColor ToQColor(TColor color, int alpha);

// A font of the given face and height; a negative height is the character
// height in pixels, as the theme manager's heights are.
QFont FXFont(const QString& face, int height);

// The lines DrawTextRect draws and where; empty for empty text.
struct FXTextLine {
    QString Text;
    QRect Rect;
};
QVector<FXTextLine> LayoutTextRect(const QFont& font, const QRect& rect, const QString& text,
                                   FXTextFlags flags, int margin = 0);
// The smallest rectangle holding every laid-out line.
QRect TextBlockRect(const QFont& font, const QRect& rect, const QString& text, FXTextFlags flags,
                    int margin = 0);

// Text in a rectangle shrunk by margin: wrapped at spaces into lines that fit
// (with WordWrap, or with Auto when one line is too wide), the block and each
// line aligned by the flags, clipped to the rectangle unless NoClip. Uses the
// painter's font and pen.
void DrawTextRect(QPainter& painter, const QRect& rect, const QString& text, FXTextFlags flags,
                  int margin = 0);

// A rectangle whose corners are quarter ellipses of side roundness, filled
// and outlined with pen when given, anti-aliased. The stroke is centred on
// the rectangle's edge, like the fill's outline.
void DrawRoundRect(QPainter& painter, const QRectF& rect, int roundness, const QColor& fill,
                   const std::optional<QPen>& pen = std::nullopt);

// The border of a rect of the given size: nothing for thickness 0, else a
// rounded (roundness > 0) or plain rectangle inset by half the thickness.
void DrawBorder(QPainter& painter, const QRect& rect, const QColor& color, int roundness, int thickness);

// The height value (negative: character height) at which text fills but does
// not exceed width × height in the given face; 0 for empty text.
int FitFontHeight(const QString& face, const QString& text, int width, int height);

// A symbol-font glyph centred in rect at the largest height that fits.
void DrawSymbol(QPainter& painter, const QRect& rect, const QString& symbolText, const QColor& color);

// Fills what lies inside rect but outside the rounded rectangle of the same
// bounds (corner size roundness) with color: square corners that frame a
// rounded body.
void FillRoundCorners(QPainter& painter, const QRectF& rect, int roundness, const QColor& color);
// Draws image at rect's origin clipped to the rounded rectangle rect, so the
// corners keep what is already beneath them.
void DrawImageRounded(QPainter& painter, const QRectF& rect, int roundness, const QImage& image);
// A filled triangle inside rect pointing up, down, left or right: the apex at
// the middle of that edge, the base along the opposite one; anti-aliased.
void DrawArrowTriangle(QPainter& painter, const QRectF& rect, Qt::ArrowType direction, const QColor& color);
