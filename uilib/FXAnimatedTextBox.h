#pragma once
// A text label that shows its items one after the other, one every Delay
// milliseconds while it is visible, optionally prefixed with AdderText.
#include "FXTextBox.h"

#include <QStringList>

class QTimer;

class FXAnimatedTextBox : public FXTextBox {
    Q_OBJECT
    Q_PROPERTY(QStringList Items READ Items WRITE setItems)
    Q_PROPERTY(bool Animating READ Animating WRITE setAnimating)
    Q_PROPERTY(int Delay READ Delay WRITE setDelay)
    Q_PROPERTY(bool AdderMode READ AdderMode WRITE setAdderMode)
    Q_PROPERTY(QString AdderText READ AdderText WRITE setAdderText)

  public:
    explicit FXAnimatedTextBox(QWidget* parent = nullptr);

    const QStringList& Items() const { return FItems; }
    void setItems(const QStringList& value);
    bool Animating() const { return FAnimating; }
    void setAnimating(bool value);
    int Delay() const { return FDelay; }
    void setDelay(int value);
    bool AdderMode() const { return FAdderMode; }
    void setAdderMode(bool value);
    const QString& AdderText() const { return FAdderText; }
    void setAdderText(const QString& value);
    int Count() const { return int(FItems.size()); }
    // The index of the item the next tick shows.
    int Position() const { return FPosition; }
    // One tick of the timer: shows the next item when visible.
    void Advance();
    const QTimer* Timer() const { return FTimer; }

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    void ShowItem(int index);
    // The timer runs only while animating and visible: a hidden label costs nothing.
    void UpdateTimer();

    QStringList FItems;
    bool FAnimating = true;
    int FDelay = 1000;
    QTimer* FTimer = nullptr;
    int FPosition = 0;
    bool FAdderMode = false;
    QString FAdderText;
};
