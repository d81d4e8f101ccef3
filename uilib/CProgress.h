#pragma once
// The older progress bar: a filled bar with a moving light highlight, an
// optional caption with the percentage, colour presets, a rounded border and
// a position that walks to each new value. It stands alone (a plain widget,
// not one of the themed bases) and takes its accent from the legacy cache.
#include "FXTypes.h"

#include <QString>
#include <QWidget>

class QTimer;

enum class CProgressAnimTypes : std::uint8_t { atyNone = 0, atyFade = 1, atySolid = 2 };

enum class CProgressPreset : std::uint8_t {
    cprNone = 0,
    cprStandard = 1,
    cprError = 2,
    cprBlue = 3,
    cprMarble = 4,
    cprModern = 5,
    cprWindows = 6,
    cprBeacon = 7,
};

struct CProgressColors {
    TColor Foreground = 0x00D500;
    TColor Background = 0xFFFFFF;
    // The border takes the parent's colour instead of BorderColor.
    bool FormSyncedColor = true;
    bool operator==(const CProgressColors&) const = default;
};

struct CProgressText {
    QString CaptionText = QStringLiteral("Loading");
    TColor FontColor = 0x000000;
    int FontSize = 8;
    // Pixels the caption may take; -2: the control's width; other values: no limit.
    int TextWidthLimit = -2;
    QString FontName = QStringLiteral("Tahoma");
    bool Enabled = false;
    bool FitToText = false;
    bool IncludePercent = true;
    bool operator==(const CProgressText&) const = default;
};

struct CProgressOptions {
    int BorderRadius = 16;
    TColor BorderColor = 0xFFFFFF;
    bool operator==(const CProgressOptions&) const = default;
};

struct CProgressAnimation {
    bool Animations = true;
    int Interval = 1;
    int Step = 1;
    bool operator==(const CProgressAnimation&) const = default;
};

struct CProgressAnimate {
    bool Enable = true;
    int FadeSizing = 100;
    int TimerAnimateSpeed = 1;
    bool CustomRezolution = false;
    int CustomRezX = 0;
    int CustomRezY = 0;
    int AnimateIncSpeed = 2;
    CProgressAnimTypes AnimationSelector = CProgressAnimTypes::atyFade;
    // Where the highlight is, in pixels of the work image.
    int Position = 0;
    bool operator==(const CProgressAnimate&) const = default;
};

class CProgress : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int Max READ Max WRITE setMax)
    Q_PROPERTY(int Min READ Min WRITE setMin)
    Q_PROPERTY(int Position READ Position WRITE setPosition)
    Q_PROPERTY(CAccentColor AccentColor READ AccentColor WRITE setAccentColor)
    Q_PROPERTY(bool TrueTransparency READ TrueTransparency WRITE setTrueTransparency)
    Q_PROPERTY(CProgressPreset Presets READ Presets WRITE setPresets)
    Q_PROPERTY(bool EnableAnimateInIDE READ EnableAnimateInIDE WRITE setEnableAnimateInIDE)

  public:
    explicit CProgress(QWidget* parent = nullptr);
    ~CProgress() override;

    const CProgressText& TextOverlay() const { return FText; }
    void setTextOverlay(const CProgressText& value);
    const CProgressColors& Colors() const { return FColors; }
    void setColors(const CProgressColors& value);
    const CProgressAnimation& Animations() const { return FAnimation; }
    void setAnimations(const CProgressAnimation& value);
    const CProgressAnimate& AnimateProgress() const { return FAnimate; }
    void setAnimateProgress(const CProgressAnimate& value);
    const CProgressOptions& ProgressbarOptions() const { return FOptions; }
    void setProgressbarOptions(const CProgressOptions& value);
    CProgressPreset Presets() const { return FPreset; }
    void setPresets(CProgressPreset value);
    bool EnableAnimateInIDE() const { return FAnimateInIDE; }
    void setEnableAnimateInIDE(bool value) { FAnimateInIDE = value; }
    int Max() const { return FMax; }
    void setMax(int value);
    int Min() const { return FMin; }
    void setMin(int value);
    int Position() const { return FPosition; }
    // Ignored outside Min..Max (stored as it is while a layout is read).
    void setPosition(int value);
    // With jump, at once and without the range check; otherwise as Position.
    void SetValue(int pos, bool jump);
    CAccentColor AccentColor() const { return FAccent; }
    void setAccentColor(CAccentColor value);
    bool TrueTransparency() const { return FTrueTransparency; }
    void setTrueTransparency(bool value);

    // The caption as drawn: shortened to the width limit, with the percentage.
    QString OverlayCaption() const;
    // The caption shortened until it and the percentage fit, with "..." when shortened.
    QString TruncateCaption(const QString& caption) const;
    // The frame as painted, before it is copied to the screen.
    QImage RenderFrame() const;
    const QTimer* PositionTimer() const { return FPositionTimer; }
    const QTimer* HighlightTimer() const { return FHighlightTimer; }
    int TargetPosition() const { return FTarget; }

    QSize sizeHint() const override { return {200, 20}; }

  signals:
    void OnChange(int Position, int Max);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    // The settings after the preset, which overrides the stored ones.
    struct Look {
        CProgressColors Colors;
        CProgressOptions Options;
        CProgressAnimate Animate;
        int Position = 0;
    };
    Look CurrentLook() const;
    TColor BorderColorNow(const Look& look) const;
    void PositionTick();
    void HighlightTick();
    void UpdateHighlightTimer();
    void ApplyFitToText();
    void Changed();

    CProgressText FText;
    CProgressColors FColors;
    CProgressAnimation FAnimation;
    CProgressAnimate FAnimate;
    CProgressOptions FOptions;
    CProgressPreset FPreset = CProgressPreset::cprNone;
    bool FAnimateInIDE = false;
    int FMax = 100;
    int FMin = 0;
    int FPosition = 0;
    int FTarget = 0;
    bool FUpwards = true;
    QTimer* FPositionTimer = nullptr;
    QTimer* FHighlightTimer = nullptr;
    CAccentColor FAccent = CAccentColor::AccentAdjust;
    bool FTrueTransparency = true;
};
