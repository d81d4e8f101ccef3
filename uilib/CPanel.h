#pragma once
// The older plain panel: borderless, in its parent's colour or in one of the
// system accents of the older controls, looked up again at every repaint.
#include "FXTypes.h"

#include <QWidget>

class CPanel : public QWidget {
    Q_OBJECT
    Q_PROPERTY(CAccentColor UseAccentColor READ UseAccentColor WRITE setUseAccentColor)

  public:
    explicit CPanel(QWidget* parent = nullptr);

    CAccentColor UseAccentColor() const { return FAccent; }
    void setUseAccentColor(CAccentColor value);
    // The colour the panel paints: the accent in use, or its palette's window colour.
    QColor PanelColor() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    CAccentColor FAccent = CAccentColor::None;
};
