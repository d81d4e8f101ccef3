#pragma once
// Base of every palette and resolved colour set: an owner to notify and an
// Enabled switch, plus assignment between any two sets by property name.
#include "FXTypes.h"

#include <QObject>
#include <QPointer>

class FXPersistentColor : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)

  public:
    // The set becomes a child of AOwner, which is also the object it notifies.
    explicit FXPersistentColor(QObject* AOwner = nullptr);

    QObject* Owner() const { return FOwner; }

    // For palettes: whether the owner paints with this palette instead of the system one.
    bool Enabled() const { return FEnable; }
    void setEnabled(bool value);

    // Copies every property of Source whose name the target also has, so a
    // palette and a resolved set exchange the values they share. Any other kind
    // of source is rejected with std::invalid_argument.
    void Assign(const QObject* Source);

    // Change notification: tells an owner that implements FXControl to update,
    // except while a window layout is being applied. Resolved sets override it
    // with nothing; they never notify.
    virtual void UpdateSource();

  private:
    QPointer<QObject> FOwner;
    bool FEnable = false;
};
