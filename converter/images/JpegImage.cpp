#include "JpegImage.h"

#include "JpegCodec.h"

void TJpegImage::LoadFromMemory(QByteArrayView data) {
    FRaster = DecodeJpeg(data);
}

QByteArray TJpegImage::SaveToMemory() const {
    return EncodeJpeg(FRaster);
}

void TJpegImage::Assign(const TGraphic& source) {
    FRaster = source.Raster().FlattenedOver(255, 255, 255);
}
