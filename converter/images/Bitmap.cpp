#include "Bitmap.h"

#include "BmpCodec.h"

void TBitmap::LoadFromMemory(QByteArrayView data) {
    FRaster = DecodeBmp(data);
}

QByteArray TBitmap::SaveToMemory() const {
    return EncodeBmp(FRaster);
}
