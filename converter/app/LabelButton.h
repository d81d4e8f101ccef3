#pragma once
// A text label used as a button: coloured background, white bold text, and a
// background that reacts to the pointer (enter +20, leave -20, press -60,
// release +60 on each of red, green and blue).
#include "ColorFunctions.h"

#include <QColor>
#include <QLabel>

class TLabelButton : public QLabel {
    Q_OBJECT
    Q_PROPERTY(QColor Color READ Color WRITE setColor)
    Q_PROPERTY(int Tag READ Tag WRITE setTag)

  public:
    explicit TLabelButton(QWidget* parent = nullptr);

    QColor Color() const;
    void setColor(const QColor& value);
    int Tag() const { return FTag; }
    void setTag(int value);

  signals:
    // The left button was released over the label.
    void clicked();
    // Any button was released; the hover colour has been restored first.
    void released(Qt::MouseButton button);

  protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void Shift(int amount);

    TColor FColor = RGB(92, 92, 92);
    int FTag = 0;
};
