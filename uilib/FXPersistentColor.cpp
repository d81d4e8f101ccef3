#include "FXPersistentColor.h"

#include "FXControl.h"
#include "FXFormReading.h"

#include <QMetaProperty>

#include <stdexcept>

FXPersistentColor::FXPersistentColor(QObject* AOwner) : QObject(AOwner), FOwner(AOwner) {}

void FXPersistentColor::setEnabled(bool value) {
    if (FEnable == value) return;
    FEnable = value;
    UpdateSource();
}

void FXPersistentColor::Assign(const QObject* Source) {
    const auto* source = qobject_cast<const FXPersistentColor*>(Source);
    if (source == nullptr) {
        const char* from = Source != nullptr ? Source->metaObject()->className() : "nil";
        throw std::invalid_argument(std::string("Cannot assign a ") + from + " to a " +
                                    metaObject()->className());
    }
    // QObject's own properties (objectName) are not colours; start at ours.
    const int first = FXPersistentColor::staticMetaObject.propertyOffset();
    const QMetaObject* from = source->metaObject();
    const QMetaObject* to = metaObject();
    for (int i = first; i < from->propertyCount(); ++i) {
        const QMetaProperty property = from->property(i);
        const int target = to->indexOfProperty(property.name());
        if (target < first) continue;
        const QMetaProperty destination = to->property(target);
        if (destination.isWritable()) destination.write(this, property.read(source));
    }
}

void FXPersistentColor::UpdateSource() {
    if (FXFormReading::Active()) return;
    if (auto* control = dynamic_cast<FXControl*>(FOwner.data())) control->UpdateTheme(true);
}
