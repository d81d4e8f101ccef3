#include "GifImage.h"

#include "GifCodec.h"

void TGifImage::LoadFromMemory(QByteArrayView data) {
    FRaster = DecodeGif(data);
}

QByteArray TGifImage::SaveToMemory() const {
    return EncodeGif(FRaster);
}
