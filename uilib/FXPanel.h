#pragma once
// The themed container panel: the theme's surface or content colour, an
// optional rounded accent bar at its left edge, and theme updates forwarded to
// the controls inside it.
#include "FXControl.h"

#include <QWidget>

class FXCompleteColorSets;
class FXCompleteColorSet;

enum class FXBackgroundColor : std::uint8_t { Background = 0, Content = 1 };

class FXPanel : public QWidget, public FXControl {
    Q_OBJECT
    Q_PROPERTY(FXBackgroundColor BackgroundColor READ BackgroundColor WRITE setBackgroundColor)
    Q_PROPERTY(bool AccentLine READ AccentLine WRITE setAccentLine)
    Q_PROPERTY(int AccentLineWidth READ AccentLineWidth WRITE setAccentLineWidth)

  public:
    explicit FXPanel(QWidget* parent = nullptr);
    ~FXPanel() override;

    FXCompleteColorSets* CustomColors() const { return FCustomColors; }
    const FXCompleteColorSet& DrawColors() const { return *FDrawColors; }
    FXBackgroundColor BackgroundColor() const { return FBackground; }
    void setBackgroundColor(FXBackgroundColor value);
    bool AccentLine() const { return FAccentLine; }
    void setAccentLine(bool value);
    int AccentLineWidth() const { return FLineWidth; }
    void setAccentLineWidth(int value);

    bool IsContainer() override { return true; }
    void UpdateTheme(bool UpdateChildren) override;
    TColor Background() override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void UpdateColors();

    FXCompleteColorSets* FCustomColors = nullptr;
    FXCompleteColorSet* FDrawColors = nullptr;
    FXBackgroundColor FBackground = FXBackgroundColor::Background;
    bool FAccentLine = false;
    int FLineWidth = 8;
};

// Calls UpdateTheme(UpdateChildren) on every direct child widget of parent that is themed.
void UpdateThemedChildren(QWidget* parent, bool UpdateChildren);
