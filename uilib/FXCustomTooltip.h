#pragma once
// The library's tooltip window: a rounded border, a fill from the theme
// manager's tooltip palette and text in the contrasting colour. Once a themed
// form has chosen the application's tooltip kind, every widget's tooltip is
// shown in it.
#include "FXTypes.h"

#include <QWidget>

class FXCustomTooltip : public QWidget {
    Q_OBJECT

  public:
    explicit FXCustomTooltip(QWidget* parent = nullptr);

    bool ShowShadow() const { return FShowShadow; }
    void setShowShadow(bool value) { FShowShadow = value; }
    int BorderThickness() const { return FBorderThickness; }
    void setBorderThickness(int value);
    TColor BorderColor() const { return FBorderColor; }
    void setBorderColor(TColor value);
    TColor BackColor() const { return FBackColor; }
    void setBackColor(TColor value);
    const QString& HintText() const { return FText; }

    // The window size for a hint: the wrapped text within MaxWidth plus the
    // inner margins and the border on each side.
    QSize CalcHintRect(int MaxWidth, const QString& Hint) const;
    // Sizes the window for Hint and shows it at the global point.
    void ActivateHint(const QPoint& At, const QString& Hint);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString FText;
    bool FShowShadow = true;
    int FBorderThickness = 2;
    TColor FBorderColor = 0xE5E5E5;
    TColor FBackColor = 0xF9F9F9;
};

// Light or dark colours from the theme manager's tooltip palette.
class FXLightTooltip : public FXCustomTooltip {
    Q_OBJECT
  public:
    explicit FXLightTooltip(QWidget* parent = nullptr);
};

class FXDarkTooltip : public FXCustomTooltip {
    Q_OBJECT
  public:
    explicit FXDarkTooltip(QWidget* parent = nullptr);
};

enum class FXTooltipKind : std::uint8_t { Light, Dark };
// Every tooltip of the application from now on is shown in the given kind.
void SetApplicationTooltip(FXTooltipKind kind);
FXTooltipKind ApplicationTooltip();
// The tooltip window on screen, if any (for tests and the gallery).
FXCustomTooltip* ShownTooltip();
