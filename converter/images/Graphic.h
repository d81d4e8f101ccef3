#pragma once
// A decoded picture held by one of the image classes (bitmap, PNG, JPEG, GIF, icon).
// Each class reads and writes its own file format and takes another class's picture
// through Assign, adapting it to what its format can hold.
#include "Raster.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <utility>

class TGraphic {
  public:
    virtual ~TGraphic() = default;

    // Decodes a whole file held in memory. Throws ConversionError.
    virtual void LoadFromMemory(QByteArrayView data) = 0;
    // The same for a file read into a buffer of its own: a class that keeps the
    // file shares that buffer instead of copying what may be gigabytes.
    virtual void LoadFromBytes(const QByteArray& data) { LoadFromMemory(data); }
    virtual QByteArray SaveToMemory() const = 0;
    // Creates or replaces the file. Throws ConversionError.
    void SaveToFile(const QString& path) const;

    virtual void Assign(const TGraphic& source);
    // Replaces the pixels, for a picture turned upright or converted to sRGB.
    virtual void SetRaster(TRaster raster) { FRaster = std::move(raster); }
    const TRaster& Raster() const { return FRaster; }
    int Width() const { return FRaster.Width(); }
    int Height() const { return FRaster.Height(); }

  protected:
    TRaster FRaster;
};
