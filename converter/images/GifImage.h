#pragma once
// A picture in GIF form: the first frame of an animation; written with up to 256
// dithered colours and one transparent colour.
#include "Graphic.h"

class TGifImage : public TGraphic {
  public:
    void LoadFromMemory(QByteArrayView data) override;
    QByteArray SaveToMemory() const override;
};
