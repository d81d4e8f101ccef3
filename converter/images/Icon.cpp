#include "Icon.h"

#include "IcoReader.h"
#include "PngCodec.h"
#include "PngToIcon.h"

void TIcon::LoadFromMemory(QByteArrayView data) {
    FRaster = DecodeIco(data);
}

QByteArray TIcon::SaveToMemory() const {
    TRaster withAlpha = FRaster;
    withAlpha.SetHasAlpha(true);
    return IcoFileBytes(CreateIconFromPng(PngSamplesFromRaster(withAlpha)));
}
