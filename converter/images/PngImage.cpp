#include "PngImage.h"

void TPngImage::LoadFromMemory(QByteArrayView data) {
    FRaster = DecodePng(data);
    FFile = data.toByteArray();
}

void TPngImage::LoadFromBytes(const QByteArray& data) {
    FRaster = DecodePng(data);
    FFile = data;
}

QByteArray TPngImage::SaveToMemory() const {
    return EncodePng(FRaster);
}

void TPngImage::Assign(const TGraphic& source) {
    TGraphic::Assign(source);
    const auto* png = dynamic_cast<const TPngImage*>(&source);
    FFile = png ? png->FFile : QByteArray();
}

TPngSamples TPngImage::Samples() const {
    return FFile.isEmpty() ? PngSamplesFromRaster(FRaster) : DecodePngSamples(FFile);
}

void TPngImage::SetRaster(TRaster raster) {
    TGraphic::SetRaster(std::move(raster));
    FFile.clear();
}
