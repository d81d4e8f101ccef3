#include "CButton.h"

#include "FXDrawing.h"
#include "FXFormReading.h"
#include "FXLegacyAccentCache.h"
#include "FXThemeManager.h"
#include "SymbolFont.h"

#include <QDialog>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

constexpr TColor White = 0xFFFFFF;
constexpr TColor Black = 0x000000;
constexpr TColor clBtnShadow = SystemColorFlag | 16;

// Windows' Round: halves go to the even neighbour.
int RoundEven(double value) {
    return int(std::nearbyint(value));
}

QFont ButtonFont(const QString& face, int points, QFont::Weight weight = QFont::Normal) {
    QFont font(face);
    font.setPointSize(points);
    font.setWeight(weight);
    return font;
}

// "Segoe UI Semibold" is a face of its own on Windows; elsewhere the family at semibold weight.
QFont SemiboldFont() {
    return ButtonFont(QStringLiteral("Segoe UI"), 12, QFont::DemiBold);
}

QString IconGlyph(CButtonIcon icon, const QString& segoe) {
    switch (icon) {
    case CButtonIcon::cicNone:
        return {};
    case CButtonIcon::cicSegoeFluent:
        return segoe;
    case CButtonIcon::cicYes:
        return QStringLiteral(u"\u2714");
    case CButtonIcon::cicNo:
        return QStringLiteral(u"\u274C");
    case CButtonIcon::cicTrueYes:
        return QStringLiteral(u"\u2705");
    case CButtonIcon::cicNoAllow:
        return QString::fromUtf8("\xF0\x9F\x9A\xAB");
    case CButtonIcon::cicQuestion:
        return QStringLiteral(u"\u2754 ");
    case CButtonIcon::cicWarning:
        return QStringLiteral(u"\u26A0");
    case CButtonIcon::cicStart:
        return QStringLiteral(u"\u27A4");
    case CButtonIcon::cicNext:
        return QStringLiteral(u"\u1405");
    case CButtonIcon::cicBack:
        return QStringLiteral(u"\u140A");
    case CButtonIcon::cicUp:
        return QStringLiteral(u"\u1403");
    case CButtonIcon::cicDown:
        return QStringLiteral(u"\u1401");
    case CButtonIcon::cicArrow:
        return QStringLiteral(u"\u279C");
    case CButtonIcon::cicEnter:
        return QStringLiteral(u"\u27A5");
    case CButtonIcon::cicRetry:
        return QString::fromUtf8("\xF0\x9F\x94\x81");
    case CButtonIcon::cicDownload:
        return QStringLiteral(u"\u25BC ");
    case CButtonIcon::cicUpload:
        return QStringLiteral(u"\u25B2");
    case CButtonIcon::cicSearch:
        return QString::fromUtf8("\xF0\x9F\x94\x8E");
    case CButtonIcon::cicSearchL:
        return QString::fromUtf8("\xF0\x9F\x94\x8D");
    }
    return {};
}

TColor FromQColor(const QColor& color) {
    return RGB(color.red(), color.green(), color.blue());
}

} // namespace

CButtonGlobalPreset& CButtonDefaultPreset() {
    static CButtonGlobalPreset preset;
    return preset;
}

CButton::CButton(QWidget* parent) : QWidget(parent) {
    FFont = SemiboldFont();
    FSubTextFont = ButtonFont(QStringLiteral("Segoe UI"), 10);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(110, 40);
    FFadeAnim.setInterval(1);
    connect(&FFadeAnim, &QTimer::timeout, this, &CButton::FadeTick);
    connect(&FPressTimer, &QTimer::timeout, this, &CButton::PressStep);
    ApplyAccentColors();
    WatchWindow();
}

CButton::~CButton() {
    FIsDestroy = true;
    FFadeAnim.stop();
    FPressTimer.stop();
}

void CButton::setText(const QString& value) {
    if (FText == value) return;
    FText = value;
    Invalidate();
}

void CButton::setSubText(const QString& value) {
    if (FSubText == value) return;
    FSubText = value;
    Invalidate();
}

void CButton::setSubTextEnabled(bool value) {
    if (FEnableSubText == value) return;
    FEnableSubText = value;
    Invalidate();
}

void CButton::setState(CButtonState value) {
    ChangeState(value, false);
}

void CButton::setUseAccentColor(CAccentColor value) {
    if (FAccent == value) return;
    FAccent = value;
    ApplyAccentColors();
    Invalidate();
}

void CButton::setRoundTransparent(bool value) {
    if (FTransparent == value) return;
    FTransparent = value;
    Invalidate();
}

void CButton::setFlatButton(bool value) {
    if (FFlatBT == value) return;
    FFlatBT = value;
    Invalidate();
}

void CButton::setFlatComplete(bool value) {
    if (FFlatComplete == value) return;
    FFlatComplete = value;
    if (value) FUnderLine.Enable = false;
    Invalidate();
}

void CButton::setShowCaption(bool value) {
    if (FEnableCaption == value) return;
    FEnableCaption = value;
    Invalidate();
}

void CButton::setRoundAmount(int value) {
    if (FRoundAmount == value) return;
    FRoundAmount = value;
    Invalidate();
}

void CButton::setButtonIcon(CButtonIcon value) {
    if (FCIcon == value) return;
    FCIcon = value;
    Invalidate();
}

void CButton::setBImageLayout(CPosition value) {
    if (FImageLayout == value) return;
    FImageLayout = value;
    Invalidate();
}

void CButton::setAllignment(CButtonAlignment value) {
    if (FAlign == value) return;
    FAlign = value;
    Invalidate();
}

void CButton::setTextWallSpacing(int value) {
    if (FTxtWSpace == value) return;
    FTxtWSpace = value;
    Invalidate();
}

void CButton::setBSegoeIcon(const QString& value) {
    if (FSegoeIcon == value) return;
    FSegoeIcon = value;
    Invalidate();
}

void CButton::setBSegoeMetro(bool value) {
    if (FSegoeMetro == value) return;
    FSegoeMetro = value;
    Invalidate();
}

void CButton::setBPicture(const QPixmap& value) {
    FBitmap = value;
    Invalidate();
}

void CButton::setFont(const QFont& value) {
    if (FFont == value) return;
    FFont = value;
    Invalidate();
}

void CButton::setSubTextFont(const QFont& value) {
    if (FSubTextFont == value) return;
    FSubTextFont = value;
    Invalidate();
}

void CButton::setColor(TColor value) {
    if (FColor == value) return;
    FColor = value;
    Invalidate();
}

void CButton::setParentColor(bool value) {
    if (FParentColor == value) return;
    FParentColor = value;
    Invalidate();
}

void CButton::setPreset(const CButtonPresets& value) {
    FPreset = value;
    ApplyPreset();
    Invalidate();
}

void CButton::setColors(const CButtonColors& value) {
    if (FColors == value) return;
    FColors = value;
    Invalidate();
}

void CButton::setTextColors(const CButtonColors& value) {
    if (FTextColors == value) return;
    FTextColors = value;
    Invalidate();
}

void CButton::setPen(const CButtonPen& value) {
    if (FPen == value) return;
    FPen = value;
    Invalidate();
}

void CButton::setUnderLine(const CButtonUnderLine& value) {
    if (FUnderLine == value) return;
    FUnderLine = value;
    Invalidate();
}

void CButton::setGradientOptions(const CButtonGradientSet& value) {
    if (FGradientSet == value) return;
    FGradientSet = value;
    Invalidate();
}

void CButton::setFontAutoSize(const CButtonFontAutoSize& value) {
    if (FFontAutoSize == value) return;
    FFontAutoSize = value;
    Invalidate();
}

void CButton::setAnimations(const CButtonAnimations& value) {
    if (FAnimations == value) return;
    FAnimations = value;
    Invalidate();
}

void CButton::Invalidate() {
    AdoptGlobalPreset();
    repaint();
    ApplyAccentColors();
}

void CButton::Click() {
    emit OnClick();
    if (FModalResult == 0) return;
    // A dialog is the window kind that has a modal result; others have none to set.
    if (auto* dialog = qobject_cast<QDialog*>(window())) dialog->done(FModalResult);
}

// State ---------------------------------------------------------------------

void CButton::ChangeState(CButtonState value, bool Notify) {
    const bool shown = parentWidget() != nullptr && parentWidget()->isVisible() && isVisible();
    if (shown && QGuiApplication::applicationState() == Qt::ApplicationActive && FAnimations.FadeAnimation) {
        FTimeProg = 0;
        FFadeAnim.start();
    } else {
        // Without a fade the new state shows at once, not the blend's first frame.
        FTimeProg = std::max(FAnimations.FASpeed, 0);
    }
    FPreviousState = FState;
    FState = value;
    repaint();
    if (Notify) emit OnStateChange(this, FState);
}

void CButton::FadeTick() {
    if (FTimeProg < FAnimations.FASpeed) {
        ++FTimeProg;
        repaint();
    } else {
        FFadeAnim.stop();
    }
}

int CButton::FadeWeight() const {
    const int speed = FAnimations.FASpeed;
    if (speed <= 0) return 255;
    // The whole-number step (25 for 10 ticks) leaves the fade resting at 250;
    // a fade longer than 255 ticks would have a step of 0 and never move.
    const int unit = 255 / speed;
    return unit > 0 ? std::min(FTimeProg, speed) * unit : std::min(FTimeProg, speed) * 255 / speed;
}

TColor CButton::Fade(TColor Leave, TColor Enter, TColor Down) const {
    const CButtonColors colors{Enter, Leave, Down, 0};
    return Fade(colors);
}

TColor CButton::Fade(const CButtonColors& colors) const {
    if (!FAnimations.FadeAnimation) return colors.Get(FState);
    return BlendColors(ColorToRGB(colors.Get(FPreviousState)), ColorToRGB(colors.Get(FState)), FadeWeight());
}

TColor CButton::BodyColor() const {
    TColor body = Fade(FColors);
    if (FFlatBT) {
        const int shift = FFlatComplete ? 0 : 1;
        body = Fade(ChangeLightness(FPen.Color, -3 * shift), ChangeLightness(FPen.Color, -5 * shift),
                    ChangeLightness(FPen.Color, -15 * shift));
    }
    if (!isEnabled() && !FFlatBT) body = ToGrayscale(body);
    return body;
}

TColor CButton::CaptionColor() const {
    TColor text = FFlatBT ? Fade(FColors) : Fade(FTextColors);
    if (!isEnabled()) {
        if (FFlatBT) text = FTextColors.BLine;
        text = ToGrayscale(text);
    }
    return text;
}

TColor CButton::LineColor() const {
    return isEnabled() ? FColors.BLine : ToGrayscale(FColors.BLine);
}

TColor CButton::ButtonColor() const {
    if (FParentColor && parentWidget() != nullptr)
        return FromQColor(parentWidget()->palette().color(parentWidget()->backgroundRole()));
    return ColorToRGB(FColor);
}

// Colour sources --------------------------------------------------------------

void CButton::ApplyAccentColors() {
    if (FAccent == CAccentColor::None) return;
    const TColor accent = GetLegacyAccentColor(FAccent);
    FColors.Leave = ChangeLightness(accent, 15);
    FColors.Enter = ChangeLightness(FColors.Leave, 40);
    FColors.Down = ChangeLightness(FColors.Leave, -40);
    FColors.BLine = ChangeLightness(FColors.Leave, -40);
}

void CButton::AdoptGlobalPreset() {
    if (FPreset.IgnoreGlobalSync || FXFormReading::Active()) return;
    const CButtonGlobalPreset& global = CButtonDefaultPreset();
    if (!global.Enabled) return;
    FPreset.Kind = global.Kind;
    FPreset.Color = global.Color;
}

void CButton::ApplyPreset() {
    using P = CButtonPreset;
    const P kind = FPreset.Kind;
    if (kind == P::cbprCustom) return;
    if (FPen.GlobalPresetExcept && kind != P::cbprGlobalApplyColor) return;

    if (kind == P::cbprGlobalApplyColor) FPreset.Color = CButtonDefaultPreset().Color;
    if (FAccent == CAccentColor::None) {
        const TColor c = FPreset.Color;
        if (ColorToRGB(c) == White) {
            FTextColors.Enter = Black;
            FTextColors.Down = White;
            FTextColors.Leave = Black;
            if (FPreset.PenColorAuto) FPen.Color = Black;
            FColors.Leave = White;
            FColors.Enter = ChangeLightness(White, -25);
            FColors.Down = Black;
            FColors.BLine = Black;
        } else {
            FTextColors.Enter = White;
            FTextColors.Down = ChangeLightness(FTextColors.Leave, -5);
            FTextColors.Leave = White;
            if (FPreset.PenColorAuto) FPen.Color = White;
            FColors.Leave = c;
            FColors.Enter = ChangeLightness(c, 40);
            FColors.Down = ChangeLightness(c, -40);
            FColors.BLine = ChangeLightness(c, -40);
        }
    }
    FEnableCaption = true;
    FFlatComplete = false;
    FParentColor = false;
    FPen.EnableAlternativeColors = false;

    const auto fluentBase = [this] {
        FEnableSubText = false;
        FParentColor = true;
        FAnimations.PAAnimateEngine = CButtonAnimateEngine::cbneAtDraw;
        FPen.FormSyncedColor = true;
        FPen.EnableAlternativeColors = false;
        FRoundAmount = 10;
        FFont = SemiboldFont();
        FPen.Width = 0;
        FFlatBT = false;
        FUnderLine = CButtonUnderLine{6, true, true};
        FAnimations.PressAnimation = false;
        FTransparent = true;
    };
    const auto metroBase = [this] {
        FEnableSubText = false;
        FAnimations.PAAnimateEngine = CButtonAnimateEngine::cbneAtDraw;
        FPen.FormSyncedColor = false;
        FPen.EnableAlternativeColors = false;
        FRoundAmount = 0;
        FFont = SemiboldFont();
        FFlatBT = false;
    };
    const auto plainFinish = [this] {
        FUnderLine.Enable = false;
        FAnimations.PressAnimation = false;
        FTransparent = false;
    };
    const auto fade = [this](bool on) {
        FAnimations.FadeAnimation = on;
        if (on) FAnimations.FASpeed = 10;
    };
    const auto metro = [&](bool bold) {
        metroBase();
        FPen.Width = 2;
        FColors.BLine = White;
        if (ColorToRGB(FPen.Color) == White) {
            FColors.Down = White;
            FTextColors.Down = Black;
        } else {
            FColors.Down = Black;
            FTextColors.Down = White;
        }
        if (bold) {
            FEnableSubText = true;
            FFont.setWeight(QFont::Bold);
        }
        plainFinish();
        fade(false);
    };
    const auto classic = [&](TColor pen) {
        FEnableSubText = false;
        FAnimations.PAAnimateEngine = CButtonAnimateEngine::cbneAtDraw;
        FPen.FormSyncedColor = false;
        FPen.EnableAlternativeColors = false;
        FRoundAmount = 0;
        FFont = ButtonFont(QStringLiteral("Tahoma"), 8);
        FPen.Width = 1;
        FFlatBT = false;
        plainFinish();
        FColors.Leave = ColorToRGB(clBtnFace);
        FColors.Enter = White;
        FColors.Down = ColorToRGB(clBtnShadow);
        const TColor text = ColorToRGB(clWindowText);
        FTextColors.Enter = FTextColors.Leave = FTextColors.Down = text;
        FPen.Color = pen;
        fade(true);
    };
    const auto link = [&] {
        FCIcon = CButtonIcon::cicArrow;
        FEnableSubText = true;
        FAnimations.PAAnimateEngine = CButtonAnimateEngine::cbneAtDraw;
        FPen.FormSyncedColor = false;
        FPen.EnableAlternativeColors = true;
        FRoundAmount = 0;
        FFlatBT = false;
        plainFinish();
        fade(true);
    };

    switch (kind) {
    case P::cbprCustom:
    case P::cbprGlobalApplyColor:
        break;
    case P::cbprFluent:
        fluentBase();
        fade(true);
        break;
    case P::cbprFluentFlat:
        fluentBase();
        fade(true);
        FFlatBT = true;
        break;
    case P::cbprFluentRound:
        fluentBase();
        FRoundAmount = 25;
        fade(true);
        break;
    case P::cbprMetro:
        metro(false);
        break;
    case P::cbprMetroLink:
        metro(true);
        break;
    case P::cbprMetroSimple:
        metroBase();
        FPen.Width = 0;
        FColors.BLine = White;
        FColors.Down = Black;
        FTextColors.Down = White;
        plainFinish();
        fade(false);
        break;
    case P::cbprMetroFade:
        metroBase();
        FPen.Width = 2;
        FColors.BLine = White;
        plainFinish();
        fade(true);
        break;
    case P::cbprFluentGray:
        FEnableSubText = false;
        FAnimations.PAAnimateEngine = CButtonAnimateEngine::cbneComponent;
        FPen.FormSyncedColor = false;
        FPen.EnableAlternativeColors = true;
        FRoundAmount = 0;
        FFont = ButtonFont(QStringLiteral("Segoe UI"), 10);
        FPen.Width = 3;
        FFlatBT = false;
        FUnderLine.Enable = false;
        FAnimations.PressAnimation = true;
        FAnimations.PAShrinkAmount = 2;
        FAnimations.PADelay = 2;
        FTransparent = false;
        FPen.Color = 0x4E4E4E;
        FPen.AltHoverColor = FPen.AltPressColor = 0x878787;
        FColors.Leave = FColors.Enter = 0x4E4E4E;
        FColors.Down = 0x878787;
        FTextColors.Enter = FTextColors.Leave = FTextColors.Down = White;
        fade(true);
        break;
    case P::cbprClassic:
        classic(0x808080);
        break;
    case P::cbprNewClassic:
        classic(0xFF0000);
        break;
    case P::cbprWin32:
        classic(0xADADAD);
        FPen.EnableAlternativeColors = true;
        FColors.Leave = 0xE1E1E1;
        FColors.Enter = 0xFBF1E5;
        FColors.Down = 0xF7E4CC;
        FPen.AltHoverColor = 0xD77800;
        FPen.AltPressColor = 0x995400;
        break;
    case P::cbprAeroLink:
        link();
        FSubTextFont.setPointSize(8);
        FPen.Width = 1;
        FColors.Leave = FColors.Enter = 0xF0F0F0;
        FColors.Down = 0xD8D8D8;
        FTextColors.Leave = 0xDA8B27;
        FTextColors.Enter = 0xE54A07;
        FTextColors.Down = 0x732006;
        FPen.Color = 0xE1E1E1;
        FPen.AltHoverColor = 0xD8D8D8;
        FPen.AltPressColor = 0xC0C0C0;
        break;
    case P::cbprLink:
        link();
        FPen.Width = 3;
        FColors.Leave = 0xE1E1E1;
        FColors.Enter = 0xFBF1E5;
        FColors.Down = 0xF7E4CC;
        FTextColors.Enter = FTextColors.Leave = FTextColors.Down = 0xDA8B27;
        FPen.Color = 0xE1E1E1;
        FPen.AltHoverColor = 0xEAD2B4;
        FPen.AltPressColor = 0xF7E4CC;
        break;
    }
    if (FPreset.ApplyOnce) FPreset.Kind = P::cbprCustom;
}

void CButton::SyncPenColor() {
    if (FPen.FormSyncedColor) {
        // The form's own colour: the desktop's style has no button face of its own to prefer.
        const QWidget* form = window();
        FPen.Color = FromQColor(form->palette().color(form->backgroundRole()));
    } else if (FParentColor) {
        FPen.Color = ButtonColor();
    }
}

void CButton::PreparePaint() {
    AdoptGlobalPreset();
    ApplyAccentColors();
    ApplyPreset();
    SyncPenColor();
}

// Painting ------------------------------------------------------------------

CButton::FaceLayout CButton::Layout() const {
    FaceLayout layout;
    const int W = width();
    const int H = height();

    QFont font = FFont;
    if (FFontAutoSize.Enabled && !FText.isEmpty()) {
        const int textWidth = std::max(1, QFontMetrics(font).horizontalAdvance(FText));
        int size = int((W - 1) / double(textWidth) * 7);
        if (FFontAutoSize.Max != -1) size = std::min(size, FFontAutoSize.Max);
        if (FFontAutoSize.Min != -1) size = std::max(size, FFontAutoSize.Min);
        font.setPointSize(std::max(1, size));
    }
    layout.CaptionFont = font;
    const QFontMetrics metrics(font);

    layout.Caption = FEnableCaption ? FText : QString();
    int q = FEnableCaption ? 5 : 0;
    const int sw = layout.Caption.isEmpty() ? 0 : metrics.horizontalAdvance(layout.Caption);
    const int th = layout.Caption.isEmpty() ? 0 : metrics.height();
    // Measured in the font it is drawn in: a caption-font measure would centre
    // the narrower second line too far left, past the button's edge.
    const QFontMetrics subMetrics(FSubTextFont);
    const int ssw = FEnableSubText ? subMetrics.horizontalAdvance(FSubText) : 0;
    const int sth = FEnableSubText ? subMetrics.height() : 0;

    const bool picture = !FBitmap.isNull();
    int h = th != 0 ? th : RoundEven(H / 1.2);
    int b = h;
    if (picture) {
        b = RoundEven(FBitmap.width() * h / double(FBitmap.height()));
        if (b > W - 2 * FPen.Width) {
            b = RoundEven(W / 1.2);
            h = RoundEven(FBitmap.height() * b / double(FBitmap.width()));
        }
    }
    const bool vertical = FImageLayout == CPosition::cpTop || FImageLayout == CPosition::cpBottom;
    if (vertical && !picture && !layout.Caption.isEmpty()) {
        b += b / 2;
        h += h / 2;
    }
    if (FCIcon == CButtonIcon::cicNone && !picture) b = h = q = 0;

    const int o = b / 2, t = h / 2, s = FTxtWSpace;
    int tx = 0, ty = 0, ix = 0, iy = 0;
    const bool left = FAlign == CButtonAlignment::taLeftJustify;
    const bool right = FAlign == CButtonAlignment::taRightJustify;
    switch (FImageLayout) {
    case CPosition::cpLeft:
        ty = H / 2 - th / 2 - sth / 2;
        iy = ty;
        if (left) {
            tx = 1 + s + 2 * q + b;
            ix = 1 + s + q;
        } else if (right) {
            tx = W - 1 - s - q - sw;
            ix = tx - b - q;
        } else {
            tx = W / 2 + o - sw / 2;
            ix = tx - b - q;
        }
        break;
    case CPosition::cpRight:
        ty = H / 2 - th / 2 - sth / 2;
        iy = ty;
        if (left) {
            tx = 1 + s + q;
            ix = tx + sw + q;
        } else if (right) {
            tx = W - 1 - s - 2 * q - sw - b;
            ix = W - 1 - s - q - b;
        } else {
            tx = W / 2 - sw / 2 - o;
            ix = tx + sw + q;
        }
        break;
    case CPosition::cpTop:
    case CPosition::cpBottom:
        if (FImageLayout == CPosition::cpTop) {
            ty = H / 2 + t - th / 2 - sth / 2;
            iy = ty - q - h;
        } else {
            ty = H / 2 - th / 2 - t - sth / 2;
            iy = ty + q + h + sth;
        }
        if (left) {
            tx = 1 + s + q;
            ix = 1 + s + q;
        } else if (right) {
            tx = W - 1 - s - q - sw;
            ix = W - 1 - s - q - b;
        } else {
            tx = W / 2 - sw / 2;
            ix = W / 2 - o;
        }
        break;
    }
    if (layout.Caption.isEmpty()) {
        ix = W / 2 - o;
        iy = H / 2 - t;
    }
    layout.TextPos = QPoint(tx, ty);
    const int subX = left ? tx : right ? tx + sw - ssw : W / 2 - ssw / 2;
    layout.SubTextPos = QPoint(subX, ty + sth);
    if (b > 0 && h > 0) layout.IconRect = QRect(ix, iy, b, h);
    return layout;
}

QImage CButton::RenderFace() const {
    const int W = width();
    const int H = height();
    QImage work(W, H, QImage::Format_ARGB32_Premultiplied);
    TColor edge = FPen.Color;
    if (FPen.EnableAlternativeColors && FState == CButtonState::mbsDown) edge = FPen.AltPressColor;
    if (FPen.EnableAlternativeColors && FState == CButtonState::mbsEnter) edge = FPen.AltHoverColor;
    work.fill(ToQColor(edge));
    QPainter painter(&work);

    const TColor body = BodyColor();
    const int p = FPen.Width;
    const QRect bodyRect(p, p, W - 2 * p, H - 2 * p);
    if (FGradientSet.Enabled && bodyRect.width() > 0) {
        const TColor start = ColorToRGB(body);
        const TColor end = ColorToRGB(Fade(FGradientSet.Leave, FGradientSet.Enter, FGradientSet.Down));
        const int n = bodyRect.width();
        const auto channel = [n](int from, int to, int i) {
            return std::clamp(from + int(std::ceil(double(to - from) / n * i)), 0, 255);
        };
        for (int i = 0; i < n; ++i) {
            painter.setPen(QColor(channel(GetRValue(start), GetRValue(end), i),
                                  channel(GetGValue(start), GetGValue(end), i),
                                  channel(GetBValue(start), GetBValue(end), i)));
            painter.drawLine(bodyRect.left() + i, bodyRect.top(), bodyRect.left() + i, bodyRect.bottom());
        }
    } else {
        painter.fillRect(bodyRect, ToQColor(body));
    }

    const FaceLayout layout = Layout();
    // The second line takes the text colour before a disabled button greys it.
    const TColor subTextColor = FFlatBT ? Fade(FColors) : Fade(FTextColors);
    const TColor text = CaptionColor();

    if (!layout.IconRect.isEmpty()) {
        const QRect box = layout.IconRect;
        if (!FBitmap.isNull()) {
            painter.save();
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.setOpacity(isEnabled() ? 1.0 : 100 / 255.0);
            painter.drawPixmap(box, FBitmap);
            painter.restore();
        } else {
            QString face = QFont().family();
            QString glyph = IconGlyph(FCIcon, FSegoeIcon);
            if (FCIcon == CButtonIcon::cicSegoeFluent) {
                face = FSegoeMetro ? QStringLiteral("Segoe MDL2 Assets")
                                   : (ThemeManager ? ThemeManager->IconFont() : ChooseIconFont());
                // Without either Segoe face the installed symbol font stands in.
                if (FSegoeMetro && ThemeManager &&
                    ThemeManager->IconFont() == QLatin1String(MaterialIconFont))
                    face = ThemeManager->IconFont();
                glyph = SymbolText(glyph, face);
            }
            const QFont glyphFont = FXFont(face, FitFontHeight(face, glyph, box.width(), box.height()));
            const QFontMetrics glyphMetrics(glyphFont);
            const int glyphWidth = glyphMetrics.horizontalAdvance(glyph);
            const int x = layout.Caption.isEmpty() ? W / 2 - glyphWidth / 2
                                                   : box.left() + (box.width() - glyphWidth) / 2;
            const int y = box.top() + (box.height() - glyphMetrics.height()) / 2;
            painter.setFont(glyphFont);
            painter.setPen(ToQColor(text));
            painter.drawText(QPoint(x, y + glyphMetrics.ascent()), glyph);
        }
    }

    painter.setFont(layout.CaptionFont);
    painter.setPen(ToQColor(text));
    if (!layout.Caption.isEmpty())
        painter.drawText(layout.TextPos + QPoint(0, QFontMetrics(layout.CaptionFont).ascent()),
                         layout.Caption);
    if (FEnableSubText) {
        painter.setFont(FSubTextFont);
        painter.setPen(ToQColor(subTextColor));
        painter.drawText(layout.SubTextPos + QPoint(0, QFontMetrics(FSubTextFont).ascent()), FSubText);
    }

    if (FUnderLine.Enable) {
        const int k = FUnderLine.UnderLineThicknes;
        if (FUnderLine.UnderLineRound) {
            // Only the bottom edge and the lower corners of this outline fall inside the button.
            painter.save();
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(QPen(ToQColor(LineColor()), k));
            painter.setBrush(Qt::NoBrush);
            const QRectF outline(QPointF(-k / 2, -k), QPointF(W + k / 2, H - p));
            painter.drawRoundedRect(outline, FRoundAmount / 2.0, 3 * FRoundAmount / 2.0);
            painter.restore();
        } else {
            const int top = H - int(H / 50.0 * k);
            painter.fillRect(QRect(QPoint(p, top), QPoint(W - p - 1, H - p - 1)), ToQColor(LineColor()));
        }
    }

    if (FTransparent && FRoundAmount > 0) {
        TColor corner = FPen.Color;
        if (FPen.EnableAlternativeColors && FState == CButtonState::mbsEnter) corner = FPen.AltHoverColor;
        if (FPen.EnableAlternativeColors && FState == CButtonState::mbsDown) corner = FPen.AltPressColor;
        // The corners outside the rounded face take the edge colour.
        QPainterPath outside;
        outside.setFillRule(Qt::OddEvenFill);
        outside.addRect(QRectF(0, 0, W, H));
        outside.addRoundedRect(QRectF(0, 0, W, H), FRoundAmount / 2.0, FRoundAmount / 2.0);
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillPath(outside, ToQColor(corner));
        painter.restore();
    }
    painter.end();

    QImage composed(W, H, QImage::Format_ARGB32_Premultiplied);
    composed.fill(ToQColor(ButtonColor()));
    QPainter compose(&composed);
    compose.setRenderHint(QPainter::SmoothPixmapTransform);
    const int left = FShX / 2, top = FShY / 2;
    compose.drawImage(
        QRect(QPoint(left, top), QPoint(W - RoundEven(FShX / 2.0) - 1, H - RoundEven(FShY / 2.0) - 1)), work);
    return composed;
}

void CButton::paintEvent(QPaintEvent*) {
    if (parentWidget() == nullptr || FIsDestroy || width() <= 0 || height() <= 0) return;
    PreparePaint();
    const QImage face = RenderFace();
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), face);
}

// Press animation -----------------------------------------------------------

void CButton::StartPress(bool Inwards) {
    if (!FAnimations.PressAnimation) return;
    FPressTarget = Inwards ? std::max(FAnimations.PAShrinkAmount, 0) : 0;
    if (Inwards && FPressDone == 0) {
        w = std::max(1, width() / 40);
        h = std::max(1, height() / 40);
        fs = std::max(1, FFont.pointSize() / 40);
    }
    if (FPressDone == FPressTarget) return;
    // Steps are spaced by the timer instead of sleeping, so the window keeps painting.
    FPressTimer.start(std::max(FAnimations.PADelay, 0));
}

void CButton::PressStep() {
    if (FPressDone == FPressTarget) {
        FPressTimer.stop();
        return;
    }
    const int direction = FPressDone < FPressTarget ? 1 : -1;
    FPressDone += direction;
    if (FAnimations.PAAnimateEngine == CButtonAnimateEngine::cbneAtDraw) {
        FShX += direction * std::max(1, RoundEven(width() / 50.0));
        FShY += direction * std::max(1, RoundEven(height() / 50.0));
        if (FTimeProg < FAnimations.FASpeed) ++FTimeProg;
        repaint();
    } else {
        FFont.setPointSize(std::max(1, FFont.pointSize() - direction * fs));
        setGeometry(x() + direction * RoundEven(w / 2.0), y() + direction * RoundEven(h / 2.0),
                    width() - direction * w, height() - direction * h);
        repaint();
    }
    if (FPressDone == FPressTarget) FPressTimer.stop();
}

// Input ---------------------------------------------------------------------

void CButton::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    ChangeState(CButtonState::mbsEnter, true);
}

void CButton::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    ChangeState(CButtonState::mbsLeave, true);
}

void CButton::mousePressEvent(QMouseEvent* event) {
    QWidget::mousePressEvent(event);
    setFocus(Qt::MouseFocusReason);
    ChangeState(CButtonState::mbsDown, true);
    StartPress(true);
}

void CButton::mouseReleaseEvent(QMouseEvent* event) {
    QWidget::mouseReleaseEvent(event);
    const QPointer<CButton> alive(this);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) Click();
    if (!alive || parentWidget() == nullptr) return;
    ChangeState(CButtonState::mbsEnter, true);
    StartPress(false);
}

void CButton::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    ChangeState(CButtonState::mbsEnter, false);
}

void CButton::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    ChangeState(CButtonState::mbsLeave, false);
}

void CButton::keyPressEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    ChangeState(CButtonState::mbsDown, true);
    ChangeState(CButtonState::mbsEnter, false);
    Click();
}

void CButton::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) Invalidate();
}

bool CButton::event(QEvent* event) {
    if (event->type() == QEvent::ParentChange || event->type() == QEvent::Show) WatchWindow();
    return QWidget::event(event);
}

void CButton::WatchWindow() {
    QWidget* top = window();
    if (top == this) top = nullptr;
    if (top == FWatchedWindow) return;
    if (FWatchedWindow) FWatchedWindow->removeEventFilter(this);
    FWatchedWindow = top;
    if (top) top->installEventFilter(this);
}

bool CButton::eventFilter(QObject* watched, QEvent* event) {
    // Enter and Escape that no control of the window took: the dialog keys.
    if (watched == FWatchedWindow && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        const bool plain = (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
        if (plain && ((enter && FDefault) || (key->key() == Qt::Key_Escape && FCancel)) && isEnabled() &&
            isVisible()) {
            Click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
