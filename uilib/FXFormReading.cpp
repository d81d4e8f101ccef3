#include "FXFormReading.h"

int FXFormReading::FDepth = 0;

FXFormReading::FXFormReading() {
    ++FDepth;
}

FXFormReading::~FXFormReading() {
    --FDepth;
}

bool FXFormReading::Active() {
    return FDepth > 0;
}
