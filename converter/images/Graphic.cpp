#include "Graphic.h"

#include "PictureFile.h"

void TGraphic::SaveToFile(const QString& path) const {
    WritePictureFile(path, SaveToMemory());
}

void TGraphic::Assign(const TGraphic& source) {
    FRaster = source.Raster();
}
