#pragma once
// A picture in ICO form: read as the image nearest the standard icon size; written as a
// one-image 32-bit icon of its own size whose mask marks the pixels less than half opaque.
#include "Graphic.h"

class TIcon : public TGraphic {
  public:
    void LoadFromMemory(QByteArrayView data) override;
    QByteArray SaveToMemory() const override;
};
