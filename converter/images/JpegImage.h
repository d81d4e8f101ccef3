#pragma once
// A picture in JPEG form: opaque, written at quality 90. A picture with transparency
// assigned to it is flattened over white.
#include "Graphic.h"

class TJpegImage : public TGraphic {
  public:
    void LoadFromMemory(QByteArrayView data) override;
    QByteArray SaveToMemory() const override;
    void Assign(const TGraphic& source) override;
};
