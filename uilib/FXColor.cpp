#include "FXColor.h"

QColor FXColor::ToQColor() const {
    return QColor(Red(), Green(), Blue(), Alpha());
}
