#pragma once
// A text label used as a button: coloured background, white bold text, and a
// background that reacts to the pointer (enter +20, leave -20, press -60,
// release +60 on each of red, green and blue). It takes the keyboard focus,
// shows it with an outline, and Space or Enter press it like the left button.
// Screen readers hear a button named by its accessible name, or by its
// caption without the pictographs that decorate it.
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

    // What a screen reader announces: the accessible name, else the spoken caption.
    QString SpokenName() const;
    // Presses and releases the button as the left mouse button would.
    void Click();

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
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void Shift(int amount);

    TColor FColor = RGB(92, 92, 92);
    int FTag = 0;
    // The key that pressed the button, until it is released.
    int FKeyDown = 0;
};

// The caption as words: pictographs, arrows and other symbols removed, spaces tidied.
QString SpokenText(const QString& caption);

// Whether a text reads well aloud: no pictographs, symbols or letters of a script
// used only for their shape.
bool IsSpokenText(const QString& text);

// Lets screen readers see label buttons as buttons they can press.
void InstallLabelButtonAccessibility();
