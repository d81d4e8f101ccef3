#pragma once
// A picture in PNG form, with an alpha channel when it has transparency. A PNG image
// read from a file remembers that file, so the icon writer can use its own colour type
// and depth.
#include "Graphic.h"
#include "PngCodec.h"

class TPngImage : public TGraphic {
  public:
    void LoadFromMemory(QByteArrayView data) override;
    void LoadFromBytes(const QByteArray& data) override;
    QByteArray SaveToMemory() const override;
    void Assign(const TGraphic& source) override;
    // The file read no longer shows these pixels, so it is forgotten.
    void SetRaster(TRaster raster) override;

    // The image as stored: from the file it was read from, else as it would be saved.
    TPngSamples Samples() const;
    // The file the image was read from, empty when it was not read from one.
    const QByteArray& File() const { return FFile; }

  private:
    QByteArray FFile;
};
