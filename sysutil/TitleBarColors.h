#pragma once
// The colours of a form's custom title bar, derived from the form's background and
// text colours. The themed form applies them to its title bar.
#include <QColor>

class QObject;

struct TitleBarColors {
    QColor Background, ButtonBackground;
    QColor InactiveBackground, ButtonInactiveBackground, ButtonPressedBackground;
    QColor ButtonHoverBackground;
    QColor Foreground, ButtonForeground;
    QColor ButtonHoverForeground;
    QColor InactiveForeground, ButtonInactiveForeground, ButtonPressedForeground;
};

// The mean of red, green and blue, truncated.
int ColorBrightness(const QColor& color);

// Adds `amount` to each channel, clamped to 0..255; alpha stays.
QColor ShiftLightness(const QColor& color, int amount);

// Shifts of 30 toward the middle (darker from a brightness of 100 up, lighter
// below), half of it for hovering; the hover shift follows the foreground. This
// is the colour rule of ApplyTitleBarColors; the themed form applies the result.
TitleBarColors TitleBarColorsFor(const QColor& background, const QColor& foreground);

// A window whose title bar is drawn by the program and takes these colours.
class TitleBarColorTarget {
  public:
    virtual ~TitleBarColorTarget() = default;
    virtual void SetCustomTitleBarColors(const TitleBarColors& colors) = 0;
};

// Colours the custom title bar of form by TitleBarColorsFor; false, changing
// nothing, when form has no custom title bar.
bool ApplyTitleBarColors(QObject* form, const QColor& background, const QColor& foreground);
