#include "JpegImage.h"

#include <algorithm>

void TJpegImage::LoadFromMemory(QByteArrayView data) {
    FRaster = DecodeJpeg(data);
}

QByteArray TJpegImage::SaveToMemory() const {
    return EncodeJpeg(FRaster, FQuality);
}

void TJpegImage::Assign(const TGraphic& source) {
    FRaster = source.Raster().FlattenedOver(255, 255, 255);
}

void TJpegImage::setQuality(int value) {
    FQuality = std::clamp(value, 1, 100);
}
