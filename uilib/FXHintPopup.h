#pragma once
// A reusable themed tooltip shown at a screen point for a limited time, such
// as the value above a slider's thumb while it moves.
#include <QObject>
#include <QPoint>
#include <QString>

#include <memory>

class FXCustomTooltip;
class QFont;
class QTimer;

class FXHintPopup : public QObject {
    Q_OBJECT

  public:
    explicit FXHintPopup(QObject* parent = nullptr);
    ~FXHintPopup() override;

    bool IsVisible() const { return FIsVisible; }
    bool CenterToPosition() const { return FCenterToPosition; }
    void setCenterToPosition(bool value) { FCenterToPosition = value; }
    const QString& Text() const { return FText; }
    void setText(const QString& value) { FText = value; }
    QPoint Position() const { return FPosition; }
    void setPosition(const QPoint& value) { FPosition = value; }
    // Milliseconds the hint stays when AutoHide is on; takes effect at once.
    int Duration() const { return FDuration; }
    void setDuration(int value);
    bool AutoHide() const { return FAutoHide; }
    // Turning it on while the hint shows starts the countdown.
    void setAutoHide(bool value);
    int MaxWidth() const { return FMaxWidth; }
    void setMaxWidth(int value) { FMaxWidth = value; }

    // Shows the hint in the theme's tooltip colours at Position.
    void Show();
    void ShowAtPoint(const QPoint& p);
    void Hide();
    QFont GetFont() const;
    void SetFont(const QFont& font);
    // The window, for tests and the gallery.
    const FXCustomTooltip& Window() const { return *FTooltip; }
    const QTimer* HideTimer() const { return FTimer; }

  private:
    void TimerTick();

    std::unique_ptr<FXCustomTooltip> FTooltip;
    QTimer* FTimer = nullptr;
    bool FIsVisible = false;
    bool FCenterToPosition = false;
    QString FText = QStringLiteral("Hello World");
    QPoint FPosition;
    int FDuration = 1000;
    bool FAutoHide = true;
    int FMaxWidth = 200;
};
