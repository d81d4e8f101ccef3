#pragma once
// A picture in JPEG form: opaque, written at quality 90 unless told otherwise. A
// picture with transparency assigned to it is flattened over white.
#include "Graphic.h"
#include "JpegCodec.h"

class TJpegImage : public TGraphic {
  public:
    void LoadFromMemory(QByteArrayView data) override;
    QByteArray SaveToMemory() const override;
    void Assign(const TGraphic& source) override;

    int Quality() const { return FQuality; }
    // 1..100; values outside are brought to the nearest end.
    void setQuality(int value);

  private:
    int FQuality = JpegQuality;
};
