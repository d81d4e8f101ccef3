#include "IconWriter.h"

#include "ConversionSettings.h"
#include "PictureFile.h"
#include "PngImage.h"

int ChooseIconEdge(int width, int height) {
    if (width < 16 || height < 16) return 32;
    for (int edge : IconSizes)
        if (edge <= width && edge <= height) return edge;
    return 32;
}

TIconImage CreateIconFromBitmap(const TRaster& work, int edge,
                                std::optional<std::array<std::uint8_t, 3>> fixedKey) {
    const int w = work.Width(), h = work.Height();
    const std::uint8_t* corner = work.Row(h - 1);
    const std::array<std::uint8_t, 3> key =
        fixedKey ? *fixedKey : std::array<std::uint8_t, 3>{corner[0], corner[1], corner[2]};

    TIconImage icon(edge, edge, 32);
    for (int y = 0; y < edge; ++y) {
        const std::uint8_t* src = work.Row(int(qint64(y) * h / edge));
        std::uint8_t* out = icon.Colour.data() + icon.ColourStride * y;
        for (int x = 0; x < edge; ++x, out += 4) {
            const std::uint8_t* p = src + qint64(x) * w / edge * 4;
            if (p[0] == key[0] && p[1] == key[1] && p[2] == key[2]) {
                icon.SetMaskBit(x, y);
                continue; // stays black
            }
            out[0] = p[2];
            out[1] = p[1];
            out[2] = p[0];
            // Readers that take the fourth byte as alpha (Qt, GTK) would show a 0 there as
            // transparent; 255 beside the mask's 0 (and 0 beside its 1) reads the same
            // whichever of the two a reader trusts.
            out[3] = 255;
        }
    }
    return icon;
}

void WriteIconTarget(const TGraphic& picture, bool sourceIsPng, const QString& path,
                     const ConversionSettings& settings) {
    TIconImage icon(1, 1, 32);
    if (sourceIsPng && settings.UltraIcoRes) {
        const auto* png = dynamic_cast<const TPngImage*>(&picture);
        icon = CreateIconFromPng(png ? png->Samples() : PngSamplesFromRaster(picture.Raster()));
    } else {
        // Smoothing only changes how the picture is drawn at its own size, which gives the
        // same pixels either way, so SmoothSize has nothing to choose here.
        const TRaster work = picture.Raster().FlattenedOver(255, 255, 255);
        std::optional<std::array<std::uint8_t, 3>> key;
        if (settings.FixWhitePng) key = std::array<std::uint8_t, 3>{255, 0, 255};
        icon = CreateIconFromBitmap(work, ChooseIconEdge(work.Width(), work.Height()), key);
    }
    WritePictureFile(path, IcoFileBytes(icon));
}
