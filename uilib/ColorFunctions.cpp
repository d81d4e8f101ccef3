#include "ColorFunctions.h"

#include <QGuiApplication>
#include <QPalette>
#include <QThread>

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

namespace {

int ClampChannel(int value) {
    return std::clamp(value, 0, 255);
}

// The classic light system colours, by system colour index.
constexpr std::array<TColor, 31> DefaultSystemColors = {
    RGB(200, 200, 200), RGB(0, 0, 0),       RGB(153, 180, 209), RGB(191, 205, 219), RGB(240, 240, 240),
    RGB(255, 255, 255), RGB(100, 100, 100), RGB(0, 0, 0),       RGB(0, 0, 0),       RGB(0, 0, 0),
    RGB(180, 180, 180), RGB(244, 247, 252), RGB(171, 171, 171), RGB(0, 120, 215),   RGB(255, 255, 255),
    RGB(240, 240, 240), RGB(160, 160, 160), RGB(109, 109, 109), RGB(0, 0, 0),       RGB(0, 0, 0),
    RGB(255, 255, 255), RGB(105, 105, 105), RGB(227, 227, 227), RGB(0, 0, 0),       RGB(255, 255, 225),
    RGB(0, 0, 0),       RGB(0, 102, 204),   RGB(185, 209, 234), RGB(215, 228, 242), RGB(51, 153, 255),
    RGB(240, 240, 240),
};

// The desktop palette's counterpart of a system colour index, where it has one.
std::optional<QColor> PaletteColor(int index) {
    if (qGuiApp == nullptr || QThread::currentThread() != qGuiApp->thread()) return std::nullopt;
    const QPalette palette = QGuiApplication::palette();
    switch (index) {
    case 4:
    case 15:
    case 30:
        return palette.color(QPalette::Active, QPalette::Button);
    case 5:
        return palette.color(QPalette::Active, QPalette::Base);
    case 7:
    case 8:
        return palette.color(QPalette::Active, QPalette::WindowText);
    case 13:
        return palette.color(QPalette::Active, QPalette::Highlight);
    case 14:
        return palette.color(QPalette::Active, QPalette::HighlightedText);
    case 16:
        return palette.color(QPalette::Active, QPalette::Mid);
    case 17:
        return palette.color(QPalette::Disabled, QPalette::Text);
    case 18:
        return palette.color(QPalette::Active, QPalette::ButtonText);
    case 20:
        return palette.color(QPalette::Active, QPalette::Light);
    case 21:
        return palette.color(QPalette::Active, QPalette::Shadow);
    case 22:
        return palette.color(QPalette::Active, QPalette::Midlight);
    case 23:
        return palette.color(QPalette::Active, QPalette::ToolTipText);
    case 24:
        return palette.color(QPalette::Active, QPalette::ToolTipBase);
    case 26:
        return palette.color(QPalette::Active, QPalette::Link);
    default:
        return std::nullopt;
    }
}

} // namespace

TColor ColorToRGB(TColor color) {
    if ((color & SystemColorFlag) == 0) return color & 0xFFFFFF;
    const int index = int(color & 0xFF);
    if (const auto desktop = PaletteColor(index))
        return RGB(desktop->red(), desktop->green(), desktop->blue());
    return index < int(DefaultSystemColors.size()) ? DefaultSystemColors[index] : 0;
}

TColor ChangeLightness(TColor color, int Amount) {
    const TColor rgb = ColorToRGB(color);
    return RGB(ClampChannel(GetRValue(rgb) + Amount), ClampChannel(GetGValue(rgb) + Amount),
               ClampChannel(GetBValue(rgb) + Amount));
}

int GetBrightness(TColor color) {
    return (GetRValue(color) + GetGValue(color) + GetBValue(color)) / 3;
}

TColor ToGrayscale(TColor color) {
    const TColor rgb = ColorToRGB(color);
    const int mean = (GetRValue(rgb) + GetGValue(rgb) + GetBValue(rgb)) / 3;
    return RGB(mean, mean, mean);
}

TColor GetContrastTextColor(TColor background) {
    return GetBrightness(background) <= 150 ? 0xF3F3F3 : 0x202020;
}

TColor BlendColors(TColor From, TColor To, int Weight) {
    const TColor from = ColorToRGB(From);
    const TColor to = ColorToRGB(To);
    const auto mix = [Weight](int a, int b) { return ClampChannel(a + (b - a) * Weight / 255); };
    return RGB(mix(GetRValue(from), GetRValue(to)), mix(GetGValue(from), GetGValue(to)),
               mix(GetBValue(from), GetBValue(to)));
}

namespace {

double RelativeLuminance(TColor color) {
    const TColor rgb = ColorToRGB(color);
    const auto linear = [](int channel) {
        const double c = channel / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(GetRValue(rgb)) + 0.7152 * linear(GetGValue(rgb)) +
           0.0722 * linear(GetBValue(rgb));
}

} // namespace

double ContrastRatio(TColor a, TColor b) {
    const double x = RelativeLuminance(a);
    const double y = RelativeLuminance(b);
    return (std::max(x, y) + 0.05) / (std::min(x, y) + 0.05);
}

TColor ReadableOn(TColor text, TColor background, double Minimum) {
    // Blending keeps the hue as long as possible; the far end always reads.
    const TColor target = RelativeLuminance(background) > 0.18 ? RGB(0, 0, 0) : RGB(255, 255, 255);
    for (int weight = 0; weight < 255; weight += 5) {
        const TColor candidate = BlendColors(text, target, weight);
        if (ContrastRatio(candidate, background) >= Minimum) return candidate;
    }
    return target;
}
