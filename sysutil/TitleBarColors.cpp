#include "TitleBarColors.h"

#include <QObject>

int ColorBrightness(const QColor& color) {
    const QColor rgb = color.toRgb();
    return (rgb.red() + rgb.green() + rgb.blue()) / 3;
}

QColor ShiftLightness(const QColor& color, int amount) {
    const QColor rgb = color.toRgb();
    const auto shift = [amount](int channel) { return qBound(0, channel + amount, 255); };
    return QColor(shift(rgb.red()), shift(rgb.green()), shift(rgb.blue()), rgb.alpha());
}

TitleBarColors TitleBarColorsFor(const QColor& background, const QColor& foreground) {
    const int backgroundShift = ColorBrightness(background) >= 100 ? -30 : 30;
    const int foregroundShift = ColorBrightness(foreground) >= 100 ? -30 : 30;
    const int hoverShift = foregroundShift / 2;
    TitleBarColors colors;
    colors.Background = colors.ButtonBackground = background;
    colors.InactiveBackground = colors.ButtonInactiveBackground = colors.ButtonPressedBackground =
        ShiftLightness(background, backgroundShift);
    colors.ButtonHoverBackground = ShiftLightness(background, hoverShift);
    colors.Foreground = colors.ButtonForeground = foreground;
    colors.ButtonHoverForeground = ShiftLightness(foreground, hoverShift);
    colors.InactiveForeground = colors.ButtonInactiveForeground = colors.ButtonPressedForeground =
        ShiftLightness(foreground, foregroundShift);
    return colors;
}

bool ApplyTitleBarColors(QObject* form, const QColor& background, const QColor& foreground) {
    auto* target = dynamic_cast<TitleBarColorTarget*>(form);
    if (target == nullptr) return false;
    target->SetCustomTitleBarColors(TitleBarColorsFor(background, foreground));
    return true;
}
