#pragma once
// A picture in BMP form: 24 bits per pixel, or 32 with alpha when it has transparency.
#include "Graphic.h"

class TBitmap : public TGraphic {
  public:
    void LoadFromMemory(QByteArrayView data) override;
    QByteArray SaveToMemory() const override;
};
