#pragma once
// Inner padding of a themed control. Each side setter stores, tells an owner
// that is a themed control to update (unless a window layout is being read),
// then reports OnChange.
#include <QMargins>
#include <QObject>
#include <QPointer>
#include <QRect>

class FXPadding : public QObject {
    Q_OBJECT
    Q_PROPERTY(int Left READ Left WRITE setLeft)
    Q_PROPERTY(int Top READ Top WRITE setTop)
    Q_PROPERTY(int Right READ Right WRITE setRight)
    Q_PROPERTY(int Bottom READ Bottom WRITE setBottom)

  public:
    explicit FXPadding(QObject* AOwner = nullptr);

    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Right() const { return FRight; }
    int Bottom() const { return FBottom; }
    void setLeft(int value);
    void setTop(int value);
    void setRight(int value);
    void setBottom(int value);
    QMargins Margins() const { return {FLeft, FTop, FRight, FBottom}; }
    // All four sides with one notification.
    void setMargins(const QMargins& value);

    // ARect with every side moved inwards by its padding.
    QRect ApplyTo(const QRect& ARect) const;
    int PadWidth() const { return FLeft + FRight; }
    int PadHeight() const { return FTop + FBottom; }
    // Multiplies each side, truncating toward zero.
    void ScaleChanged(double Scaling);
    void Assign(const FXPadding& Source);

  signals:
    void OnChange();

  private:
    void Changed();

    QPointer<QObject> FOwner;
    int FLeft = 0;
    int FTop = 0;
    int FRight = 0;
    int FBottom = 0;
};
