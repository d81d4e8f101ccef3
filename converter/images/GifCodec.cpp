#include "GifCodec.h"

#include "ConversionJob.h"

#include <algorithm>
#include <cstring>
#include <gif_lib.h>
#include <libimagequant.h>
#include <memory>
#include <vector>

namespace {

struct TGifInput {
    const std::uint8_t* Data;
    qsizetype Size;
    qsizetype Pos = 0;
};

int ReadInput(GifFileType* gif, GifByteType* out, int length) {
    auto* in = static_cast<TGifInput*>(gif->UserData);
    const int n = int(std::min<qsizetype>(length, in->Size - in->Pos));
    std::memcpy(out, in->Data + in->Pos, std::size_t(n));
    in->Pos += n;
    return n;
}

struct TGifCloser {
    void operator()(GifFileType* gif) const {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};

[[noreturn]] void Fail(const char* what) { throw ConversionError(std::string("GIF: ") + what); }

} // namespace

TRaster DecodeGif(QByteArrayView file) {
    if (file.size() < 13 || std::memcmp(file.data(), "GIF8", 4) != 0) Fail("not a GIF file");
    TGifInput input{reinterpret_cast<const std::uint8_t*>(file.data()), file.size()};
    int error = 0;
    std::unique_ptr<GifFileType, TGifCloser> gif(DGifOpen(&input, ReadInput, &error));
    if (!gif) Fail("damaged header");

    int transparent = -1;
    for (;;) {
        GifRecordType type;
        if (DGifGetRecordType(gif.get(), &type) == GIF_ERROR) Fail("the file is cut short");
        if (type == TERMINATE_RECORD_TYPE) Fail("the file holds no picture");
        if (type == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* block = nullptr;
            if (DGifGetExtension(gif.get(), &code, &block) == GIF_ERROR) Fail("damaged extension");
            if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4) {
                GraphicsControlBlock control;
                if (DGifExtensionToGCB(block[0], block + 1, &control) == GIF_OK)
                    transparent = control.TransparentColor;
            }
            while (block) {
                if (DGifGetExtensionNext(gif.get(), &block) == GIF_ERROR) Fail("damaged extension");
            }
            continue;
        }
        if (type != IMAGE_DESC_RECORD_TYPE) continue;
        if (DGifGetImageDesc(gif.get()) == GIF_ERROR) Fail("damaged image descriptor");
        break;
    }

    const GifImageDesc& frame = gif->Image;
    const qint64 left = frame.Left, top = frame.Top, fw = frame.Width, fh = frame.Height;
    CheckPictureSize(fw, fh);
    // The frame sits on the logical screen; a frame reaching past it widens the picture.
    const qint64 width = std::max<qint64>(gif->SWidth, left + fw), height = std::max<qint64>(gif->SHeight, top + fh);
    CheckPictureSize(width, height);

    const ColorMapObject* map = frame.ColorMap ? frame.ColorMap : gif->SColorMap;
    std::uint8_t colours[256][4];
    for (int i = 0; i < 256; ++i) {
        // Without any colour table the indices are read as grey levels.
        const bool known = map && i < map->ColorCount;
        colours[i][0] = known ? map->Colors[i].Red : map ? 0 : std::uint8_t(i);
        colours[i][1] = known ? map->Colors[i].Green : map ? 0 : std::uint8_t(i);
        colours[i][2] = known ? map->Colors[i].Blue : map ? 0 : std::uint8_t(i);
        colours[i][3] = i == transparent ? 0 : 255;
    }

    const bool covers = left == 0 && top == 0 && fw == width && fh == height;
    TRaster out(int(width), int(height), !covers || transparent >= 0);
    if (!covers) out.Fill(0, 0, 0, 0);
    std::vector<GifPixelType> line(static_cast<std::size_t>(fw));
    auto readRow = [&](int y) {
        if (DGifGetLine(gif.get(), line.data(), int(fw)) == GIF_ERROR) Fail("the picture data is cut short");
        std::uint8_t* dst = out.Row(int(top) + y) + left * 4;
        for (qint64 x = 0; x < fw; ++x, dst += 4) std::memcpy(dst, colours[line[std::size_t(x)]], 4);
    };
    if (frame.Interlace) {
        static const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
        for (int pass = 0; pass < 4; ++pass)
            for (qint64 y = start[pass]; y < fh; y += step[pass]) readRow(int(y));
    } else {
        for (qint64 y = 0; y < fh; ++y) readRow(int(y));
    }
    if (out.HasAlpha() && !out.AnyTransparency()) out.SetHasAlpha(false);
    return out;
}

namespace {

struct TLiq {
    liq_attr* Attr = nullptr;
    liq_image* Image = nullptr;
    liq_result* Result = nullptr;
    ~TLiq() {
        if (Result) liq_result_destroy(Result);
        if (Image) liq_image_destroy(Image);
        if (Attr) liq_attr_destroy(Attr);
    }
};

int WriteOutput(GifFileType* gif, const GifByteType* data, int length) {
    static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(data), length);
    return length;
}

struct TGifWriter {
    GifFileType* Gif = nullptr;
    ~TGifWriter() {
        int error = 0;
        if (Gif) EGifCloseFile(Gif, &error);
    }
};

} // namespace

QByteArray EncodeGif(const TRaster& raster) {
    const int w = raster.Width(), h = raster.Height();
    if (w > 65535 || h > 65535) throw ConversionError("GIF: the picture is too large for a GIF file");

    // One fully transparent colour at most; libimagequant then keeps it as one entry.
    TRaster pixels = raster;
    bool transparency = false;
    if (raster.HasAlpha()) {
        std::uint8_t* p = pixels.Bits();
        for (qsizetype i = 0, n = qsizetype(w) * h; i < n; ++i, p += 4) {
            const int a = p[3];
            if (a < 128) {
                std::memset(p, 0, 4);
                transparency = true;
            } else if (a < 255) {
                for (int c = 0; c < 3; ++c) {
                    const int v = p[c] * a + 255 * (255 - a) + 128;
                    p[c] = std::uint8_t((v + (v >> 8)) >> 8);
                }
                p[3] = 255;
            }
        }
    }

    TLiq liq;
    liq.Attr = liq_attr_create();
    if (!liq.Attr) throw ConversionError("GIF: out of memory");
    liq_set_max_colors(liq.Attr, 256);
    liq.Image = liq_image_create_rgba(liq.Attr, pixels.Bits(), w, h, 0);
    if (!liq.Image) throw ConversionError("GIF: out of memory");
    if (liq_image_quantize(liq.Image, liq.Attr, &liq.Result) != LIQ_OK)
        throw ConversionError("GIF: colour reduction failed");
    liq_set_dithering_level(liq.Result, 1.0f);
    std::vector<std::uint8_t> indices(static_cast<std::size_t>(qsizetype(w) * h));
    if (liq_write_remapped_image(liq.Result, liq.Image, indices.data(), indices.size()) != LIQ_OK)
        throw ConversionError("GIF: colour reduction failed");
    const liq_palette* palette = liq_get_palette(liq.Result);

    int transparentIndex = -1;
    int bits = 1;
    while ((1 << bits) < int(palette->count)) ++bits;
    ColorMapObject* map = GifMakeMapObject(1 << bits, nullptr);
    if (!map) throw ConversionError("GIF: out of memory");
    for (int i = 0; i < (1 << bits); ++i) {
        const bool used = i < int(palette->count);
        map->Colors[i].Red = used ? palette->entries[i].r : 0;
        map->Colors[i].Green = used ? palette->entries[i].g : 0;
        map->Colors[i].Blue = used ? palette->entries[i].b : 0;
        if (used && transparency && palette->entries[i].a < 128 && transparentIndex < 0) transparentIndex = i;
    }

    QByteArray out;
    out.reserve(qsizetype(w) * h / 2);
    int error = 0;
    TGifWriter writer;
    writer.Gif = EGifOpen(&out, WriteOutput, &error);
    auto check = [&](int result) {
        if (result == GIF_ERROR) {
            GifFreeMapObject(map);
            map = nullptr;
            throw ConversionError("GIF: writing failed");
        }
    };
    if (!writer.Gif) check(GIF_ERROR);
    EGifSetGifVersion(writer.Gif, transparentIndex >= 0);
    check(EGifPutScreenDesc(writer.Gif, w, h, bits, 0, map));
    if (transparentIndex >= 0) {
        GraphicsControlBlock control{DISPOSAL_UNSPECIFIED, false, 0, transparentIndex};
        GifByteType extension[4];
        EGifGCBToExtension(&control, extension);
        check(EGifPutExtension(writer.Gif, GRAPHICS_EXT_FUNC_CODE, 4, extension));
    }
    check(EGifPutImageDesc(writer.Gif, 0, 0, w, h, false, nullptr));
    for (int y = 0; y < h; ++y) check(EGifPutLine(writer.Gif, indices.data() + qsizetype(w) * y, w));
    GifFreeMapObject(map);
    map = nullptr;
    const int closed = EGifCloseFile(writer.Gif, &error);
    writer.Gif = nullptr;
    if (closed == GIF_ERROR) throw ConversionError("GIF: writing failed");
    return out;
}
