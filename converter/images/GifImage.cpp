#include "GifImage.h"

#include "ColourProfile.h"
#include "GifCodec.h"

void TGifImage::LoadFromMemory(QByteArrayView data) {
    FRaster = DecodeGif(data);
}

QByteArray TGifImage::SaveToMemory() const {
    if (FSourceProfile.isEmpty()) return EncodeGif(FRaster);
    const QByteArray& icc = FSourceProfile;
    return EncodeGif(FRaster, [&icc](std::uint8_t* rgb, int count) { ConvertToSrgb(rgb, count, icc); });
}

void TGifImage::setSourceProfile(const QByteArray& icc) {
    FSourceProfile = icc;
}
