#include "GifCodec.h"

#include "ConversionJob.h"
#include "LargeBlocks.h"
#include "Parallel.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <gif_lib.h>
#include <libimagequant.h>
#include <memory>
#ifdef FORMSHIFT_HAVE_OPENMP
#include <omp.h>
#endif
#include <utility>
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

[[noreturn]] void Fail(const char* what) {
    throw ConversionError(std::string("GIF: ") + what);
}

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
    // LZW codes stand for at most 4096 pixels each, and only as the table fills: past the
    // first 16 million pixels a file needs a byte for every 1400 or so.
    if (fw * fh > file.size() * 1400 + (qint64(1) << 24))
        throw ConversionError("GIF: the file is far too short for the picture's size");
    // The frame sits on the logical screen; a frame reaching past it widens the picture.
    const qint64 width = std::max<qint64>(gif->SWidth, left + fw),
                 height = std::max<qint64>(gif->SHeight, top + fh);
    CheckPictureSize(width, height);
    // Around the frame the screen is only transparent fill, which no data pays for:
    // a few bytes naming a vast screen would otherwise claim a gigabyte.
    if (width * height > 4 * fw * fh + (qint64(1) << 24))
        throw ConversionError("GIF: the logical screen is far larger than the picture on it");

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
        for (qint64 x = 0; x < fw; ++x, dst += 4)
            std::memcpy(dst, colours[line[std::size_t(x)]], 4);
    };
    if (frame.Interlace) {
        static const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
        for (int pass = 0; pass < 4; ++pass)
            for (qint64 y = start[pass]; y < fh; y += step[pass])
                readRow(int(y));
    } else {
        for (qint64 y = 0; y < fh; ++y)
            readRow(int(y));
    }
    if (out.HasAlpha() && !out.AnyTransparency()) out.SetHasAlpha(false);
    return out;
}

namespace {

struct TLiq {
    liq_attr* Attr = nullptr;
    liq_image* Image = nullptr;
    liq_histogram* Histogram = nullptr;
    liq_result* Result = nullptr;
    ~TLiq() {
        if (Result) liq_result_destroy(Result);
        if (Histogram) liq_histogram_destroy(Histogram);
        if (Image) liq_image_destroy(Image);
        if (Attr) liq_attr_destroy(Attr);
    }
};

// The palette is built from at most this many pixels, taken on a regular grid: more adds
// time, not colours.
constexpr qint64 PaletteSamples = 1 << 19;

using TColour = std::array<std::uint8_t, 3>;

// Exact nearest palette colour (squared RGB distance, first entry on ties), found through
// a grid of 32 × 32 × 32 cells: each cell lists, when first needed, the entries that can be
// nearest to some colour inside it, which is rarely more than a few.
class TNearestColour {
  public:
    explicit TNearestColour(const std::vector<TColour>& palette) : FPalette(palette), FCell(CellCount, -1) {}

    int Find(int r, int g, int b) {
        const int cell = (r >> 3) << 10 | (g >> 3) << 5 | (b >> 3);
        if (FCell[std::size_t(cell)] < 0) FillCell(cell);
        const std::uint16_t* candidate = FCandidates.data() + FCell[std::size_t(cell)];
        int best = candidate[1], bestDistance = Distance(FPalette[best], r, g, b);
        for (int i = 2; i <= candidate[0]; ++i) {
            const int d = Distance(FPalette[candidate[i]], r, g, b);
            if (d < bestDistance) { // candidates run in palette order, so ties keep the first
                best = candidate[i];
                bestDistance = d;
            }
        }
        return best;
    }

  private:
    static constexpr int CellCount = 1 << 15;

    static int Distance(const TColour& c, int r, int g, int b) {
        return (c[0] - r) * (c[0] - r) + (c[1] - g) * (c[1] - g) + (c[2] - b) * (c[2] - b);
    }
    // Squared distances from a value to the nearest and farthest points of [low, low + 7].
    static int Near(int v, int low) {
        return v < low ? (low - v) * (low - v) : v > low + 7 ? (v - low - 7) * (v - low - 7) : 0;
    }
    static int Far(int v, int low) {
        const int d = std::max(std::abs(v - low), std::abs(v - low - 7));
        return d * d;
    }

    void FillCell(int cell) {
        const int low[3] = {(cell >> 10) << 3, ((cell >> 5) & 31) << 3, (cell & 31) << 3};
        int bound = INT_MAX;
        for (const TColour& c : FPalette)
            bound = std::min(bound, Far(c[0], low[0]) + Far(c[1], low[1]) + Far(c[2], low[2]));
        const int start = int(FCandidates.size());
        FCell[std::size_t(cell)] = start;
        FCandidates.push_back(0);
        for (std::size_t i = 0; i < FPalette.size(); ++i) {
            const TColour& c = FPalette[i];
            if (Near(c[0], low[0]) + Near(c[1], low[1]) + Near(c[2], low[2]) <= bound) {
                FCandidates.push_back(std::uint16_t(i));
                ++FCandidates[std::size_t(start)];
            }
        }
    }

    const std::vector<TColour>& FPalette;
    std::vector<int> FCell;
    std::vector<std::uint16_t> FCandidates;
};

// Floyd–Steinberg error diffusion in serpentine order over rows [first, last); pixels with
// alpha 0 take `transparent` and pass no error on.
void Dither(const TRaster& pixels, int first, int last, const std::vector<TColour>& palette, int transparent,
            std::uint8_t* indices) {
    const int w = pixels.Width();
    TNearestColour nearest(palette);
    // Errors in sixteenths, three channels, one spare pixel on each side.
    std::vector<int> current(std::size_t(w + 2) * 3, 0), next(std::size_t(w + 2) * 3, 0);
    for (int y = first; y < last; ++y) {
        const std::uint8_t* src = pixels.Row(y);
        std::uint8_t* out = indices + qsizetype(w) * y;
        const bool forward = (y - first) % 2 == 0;
        const int step = forward ? 1 : -1;
        std::fill(next.begin(), next.end(), 0);
        for (int i = 0; i < w; ++i) {
            const int x = forward ? i : w - 1 - i;
            const std::uint8_t* p = src + x * 4;
            if (p[3] == 0) {
                out[x] = std::uint8_t(transparent);
                continue;
            }
            int* here = &current[std::size_t(x + 1) * 3];
            int* ahead = here + 3 * step;
            int* below = &next[std::size_t(x + 1) * 3];
            int value[3];
            for (int c = 0; c < 3; ++c)
                value[c] = std::clamp(p[c] + ((here[c] + 8) >> 4), 0, 255);
            const int index = nearest.Find(value[0], value[1], value[2]);
            out[x] = std::uint8_t(index);
            const TColour& chosen = palette[std::size_t(index)];
            for (int c = 0; c < 3; ++c) {
                const int error = value[c] - chosen[std::size_t(c)];
                ahead[c] += error * 7;
                below[c - 3 * step] += error * 3;
                below[c] += error * 5;
                below[c + 3 * step] += error;
            }
        }
        std::swap(current, next);
    }
}

int WriteOutput(GifFileType* gif, const GifByteType* data, int length) {
    static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(data), length);
    return length;
}

struct TGifWriter {
    GifFileType* Gif = nullptr;
    ColorMapObject* Map = nullptr;
    ~TGifWriter() {
        int error = 0;
        if (Gif) EGifCloseFile(Gif, &error);
        if (Map) GifFreeMapObject(Map);
    }
};

} // namespace

QByteArray EncodeGif(const TRaster& raster, const TColourMap& mapColours) {
    const int w = raster.Width(), h = raster.Height();
    if (w > 65535 || h > 65535) throw ConversionError("GIF: the picture is too large for a GIF file");

    // Pixels less than half opaque become transparent (alpha 0), the others are made opaque
    // over white.
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

    // The palette: libimagequant over a grid of samples, opaque ones only; the transparent
    // colour, when needed, is one more entry after them.
    const qint64 total = qint64(w) * h;
    int step = 1;
    while (total / (qint64(step) * step) > PaletteSamples)
        ++step;
    std::vector<std::uint8_t> samples;
    samples.reserve(std::size_t((w / step + 1) * (h / step + 1) * 4));
    for (int y = 0; y < h; y += step) {
        const std::uint8_t* row = std::as_const(pixels).Row(y);
        for (int x = 0; x < w; x += step)
            if (row[x * 4 + 3]) samples.insert(samples.end(), row + x * 4, row + x * 4 + 4);
    }
    std::vector<TColour> palette;
    if (samples.empty()) {
        palette.push_back({0, 0, 0});
    } else {
#ifdef FORMSHIFT_HAVE_OPENMP
        // libimagequant's OpenMP team would keep spinning on both cores while our own
        // threads dither; for a few hundred thousand samples one thread is enough.
        const int ompThreads = omp_get_max_threads();
        omp_set_num_threads(1);
        struct TRestore {
            int Threads;
            ~TRestore() { omp_set_num_threads(Threads); }
        } restore{ompThreads};
#endif
        TLiq liq;
        liq.Attr = liq_attr_create();
        if (!liq.Attr) throw ConversionError("GIF: out of memory");
        liq_set_max_colors(liq.Attr, transparency ? 255 : 256);
        const int count = int(samples.size() / 4);
        liq.Image = liq_image_create_rgba(liq.Attr, samples.data(), count, 1, 0);
        liq.Histogram = liq_histogram_create(liq.Attr);
        if (!liq.Image || !liq.Histogram ||
            liq_histogram_add_image(liq.Histogram, liq.Attr, liq.Image) != LIQ_OK ||
            liq_histogram_quantize(liq.Histogram, liq.Attr, &liq.Result) != LIQ_OK)
            throw ConversionError("GIF: colour reduction failed");
        const liq_palette* found = liq_get_palette(liq.Result);
        for (unsigned i = 0; i < found->count; ++i)
            palette.push_back({found->entries[i].r, found->entries[i].g, found->entries[i].b});
    }
    const int transparentIndex = transparency ? int(palette.size()) : -1;

    const auto indexBlock = AllocateBlock(std::size_t(total));
    std::uint8_t* const indices = indexBlock.get();
    const int parts = total < (1 << 18) ? 1 : std::min(WorkerCount(), h);
    RunParts(parts, [&](int k) {
        Dither(pixels, int(qint64(h) * k / parts), int(qint64(h) * (k + 1) / parts), palette,
               transparentIndex, indices);
    });

    const int used = int(palette.size()) + (transparency ? 1 : 0);
    int bits = 1;
    while ((1 << bits) < used)
        ++bits;
    TGifWriter writer;
    writer.Map = GifMakeMapObject(1 << bits, nullptr);
    if (!writer.Map) throw ConversionError("GIF: out of memory");
    if (mapColours) {
        std::vector<std::uint8_t> rgb;
        for (const TColour& c : palette)
            rgb.insert(rgb.end(), c.begin(), c.end());
        mapColours(rgb.data(), int(palette.size()));
        for (std::size_t i = 0; i < palette.size(); ++i)
            palette[i] = {rgb[i * 3], rgb[i * 3 + 1], rgb[i * 3 + 2]};
    }
    for (int i = 0; i < (1 << bits); ++i) {
        const TColour c = i < int(palette.size()) ? palette[std::size_t(i)] : TColour{0, 0, 0};
        writer.Map->Colors[i] = {c[0], c[1], c[2]};
    }

    QByteArray out;
    out.reserve(total / 2);
    int error = 0;
    auto check = [](int result) {
        if (result == GIF_ERROR) throw ConversionError("GIF: writing failed");
    };
    writer.Gif = EGifOpen(&out, WriteOutput, &error);
    if (!writer.Gif) check(GIF_ERROR);
    EGifSetGifVersion(writer.Gif, transparency);
    check(EGifPutScreenDesc(writer.Gif, w, h, bits, 0, writer.Map));
    if (transparency) {
        GraphicsControlBlock control{DISPOSAL_UNSPECIFIED, false, 0, transparentIndex};
        GifByteType extension[4];
        EGifGCBToExtension(&control, extension);
        check(EGifPutExtension(writer.Gif, GRAPHICS_EXT_FUNC_CODE, 4, extension));
    }
    check(EGifPutImageDesc(writer.Gif, 0, 0, w, h, false, nullptr));
    for (int y = 0; y < h; ++y)
        check(EGifPutLine(writer.Gif, indices + qsizetype(w) * y, w));
    const int closed = EGifCloseFile(writer.Gif, &error);
    writer.Gif = nullptr;
    check(closed);
    return out;
}
