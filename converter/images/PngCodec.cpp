#include "PngCodec.h"

#include "ByteIo.h"
#include "ConversionJob.h"
#include "LargeBlocks.h"
#include "Parallel.h"
#include "RunDeflate.h"

#include <algorithm>
#include <array>
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <libdeflate.h>
#include <memory>
#include <optional>
#include <png.h>
#include <string>

namespace {

// ---- reading --------------------------------------------------------------------------

struct TPngReader {
    png_structp Png = nullptr;
    png_infop Info = nullptr;
    const std::uint8_t* Data = nullptr;
    std::size_t Size = 0;
    std::size_t Pos = 0;
    std::string Message;

    explicit TPngReader(QByteArrayView file)
        : Data(reinterpret_cast<const std::uint8_t*>(file.data())), Size(std::size_t(file.size())) {
        Png =
            png_create_read_struct(PNG_LIBPNG_VER_STRING, this, &TPngReader::OnError, &TPngReader::OnWarning);
        if (!Png) throw ConversionError("PNG: out of memory");
        Info = png_create_info_struct(Png);
        if (!Info) {
            png_destroy_read_struct(&Png, nullptr, nullptr);
            throw ConversionError("PNG: out of memory");
        }
        png_set_read_fn(Png, this, &TPngReader::OnRead);
        // Our own pixel limit is checked after the header; libpng's only guards its row buffers.
        png_set_user_limits(Png, 0x7FFFFFFF, 0x7FFFFFFF);
    }
    ~TPngReader() { png_destroy_read_struct(&Png, &Info, nullptr); }
    TPngReader(const TPngReader&) = delete;
    TPngReader& operator=(const TPngReader&) = delete;

    static void OnRead(png_structp png, png_bytep out, png_size_t length) {
        auto* self = static_cast<TPngReader*>(png_get_io_ptr(png));
        if (length > self->Size - self->Pos) png_error(png, "the file is cut short");
        std::memcpy(out, self->Data + self->Pos, length);
        self->Pos += length;
    }
    static void OnError(png_structp png, png_const_charp message) {
        static_cast<TPngReader*>(png_get_error_ptr(png))->Message = message;
        png_longjmp(png, 1);
    }
    static void OnWarning(png_structp, png_const_charp) {}
};

[[noreturn]] void FailWith(const TPngReader& reader) {
    throw ConversionError("PNG: " + (reader.Message.empty() ? std::string("damaged file") : reader.Message));
}

// Reads the header and checks the size against our limit.
void ReadHeader(TPngReader& r) {
    if (r.Size < 8 || png_sig_cmp(r.Data, 0, 8) != 0) {
        r.Message = "not a PNG file";
        png_longjmp(r.Png, 1);
    }
    png_read_info(r.Png, r.Info);
    const png_uint_32 w = png_get_image_width(r.Png, r.Info), h = png_get_image_height(r.Png, r.Info);
    if (w == 0 || h == 0 || qint64(w) > MaxPicturePixels() / qint64(h)) {
        r.Message = "the picture is too large";
        png_longjmp(r.Png, 1);
    }
}

// 16-bit samples become 8-bit the way png_set_scale_16 rounds them.
std::uint8_t Scale16(unsigned v) {
    return std::uint8_t((v * 255 + 32895) >> 16);
}

struct TDecodedRaster {
    TRaster Raster;
    std::vector<png_bytep> Rows;
};

std::uint32_t ReadU32BE(const std::uint8_t* p) {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

// Reverses one row's filter in place: `row` holds the filtered bytes and receives the
// samples; `prev` is the row above (all zero for the first).
bool Unfilter(int type, std::uint8_t* row, const std::uint8_t* prev, qsizetype n, int bpp) {
    switch (type) {
    case 0:
        return true;
    case 1:
        for (qsizetype i = bpp; i < n; ++i)
            row[i] = std::uint8_t(row[i] + row[i - bpp]);
        return true;
    case 2:
        for (qsizetype i = 0; i < n; ++i)
            row[i] = std::uint8_t(row[i] + prev[i]);
        return true;
    case 3:
        for (qsizetype i = 0; i < bpp; ++i)
            row[i] = std::uint8_t(row[i] + (prev[i] >> 1));
        for (qsizetype i = bpp; i < n; ++i)
            row[i] = std::uint8_t(row[i] + ((row[i - bpp] + prev[i]) >> 1));
        return true;
    case 4:
        for (qsizetype i = 0; i < bpp; ++i)
            row[i] = std::uint8_t(row[i] + prev[i]);
        for (qsizetype i = bpp; i < n; ++i) {
            const int a = row[i - bpp], b = prev[i], c = prev[i - bpp];
            const int p = b - c, q = a - c;
            const int pa = std::abs(p), pb = std::abs(q), pc = std::abs(p + q);
            row[i] = std::uint8_t(row[i] + (pa <= pb && pa <= pc ? a : pb <= pc ? b : c));
        }
        return true;
    default:
        return false;
    }
}

// Deflate turns a byte of data into at most 1032 bytes: a file whose image data could never
// fill the rows its header declares is refused before anything is allocated for them. A
// file whose chunks cannot be walked is left to the decoders to report.
void CheckDataCanFillRows(QByteArrayView file) {
    const auto* d = reinterpret_cast<const std::uint8_t*>(file.data());
    const qsizetype size = file.size();
    if (size < 33 || std::memcmp(d + 12, "IHDR", 4) != 0) return;
    const qint64 w = ReadU32BE(d + 16), h = ReadU32BE(d + 20);
    const int depth = d[24], type = d[25];
    const int channels = type == 2 ? 3 : type == 4 ? 2 : type == 6 ? 4 : 1;
    // Sizes beyond the pixel limit are the decoders' to refuse; below it nothing overflows.
    if (w == 0 || h == 0 || depth > 16 || w > MaxPicturePixels() / h) return;
    qint64 data = 0;
    for (qsizetype at = 33; size - at >= 12;) {
        const std::uint32_t length = ReadU32BE(d + at);
        if (std::memcmp(d + at + 4, "IDAT", 4) == 0) data += length;
        if (std::memcmp(d + at + 4, "IEND", 4) == 0 || qint64(length) > size - at - 12) break;
        at += 12 + qsizetype(length);
    }
    const qint64 rows = ((w * channels * depth + 7) / 8 + 1) * h;
    if (rows / 1032 > data + 64)
        throw ConversionError("PNG: the image data is far too short for the picture's size");
}

// Non-interlaced 8-bit RGB and RGBA files, the way photographs are saved, decoded with
// libdeflate, which inflates several times faster than zlib. Anything else, and any file
// this finds fault with, is left to libpng (nullopt), which reads every kind and reports
// what is wrong.
std::optional<TRaster> DecodePlainPng(QByteArrayView file) {
    const auto* d = reinterpret_cast<const std::uint8_t*>(file.data());
    const qsizetype size = file.size();
    if (size < 8 + 25 || png_sig_cmp(d, 0, 8) != 0) return std::nullopt;
    auto chunkOk = [&](qsizetype at, std::uint32_t length) {
        return ReadU32BE(d + at + 8 + length) == libdeflate_crc32(0, d + at + 4, length + 4);
    };
    if (ReadU32BE(d + 8) != 13 || std::memcmp(d + 12, "IHDR", 4) != 0 || !chunkOk(8, 13)) return std::nullopt;
    const std::uint32_t w = ReadU32BE(d + 16), h = ReadU32BE(d + 20);
    const int depth = d[24], type = d[25];
    if (depth != 8 || (type != 2 && type != 6) || d[26] != 0 || d[27] != 0 || d[28] != 0) return std::nullopt;
    if (w == 0 || h == 0 || w > 0x7FFFFFFF || h > 0x7FFFFFFF) return std::nullopt;
    CheckPictureSize(w, h);

    std::vector<std::pair<qsizetype, std::uint32_t>> idat;
    qsizetype idatBytes = 0;
    bool ended = false;
    for (qsizetype at = 33; !ended;) {
        if (size - at < 12) return std::nullopt;
        const std::uint32_t length = ReadU32BE(d + at);
        if (length > 0x7FFFFFFF || qsizetype(length) > size - at - 12) return std::nullopt;
        const char* name = reinterpret_cast<const char*>(d + at + 4);
        if (std::memcmp(name, "IDAT", 4) == 0) {
            if (!chunkOk(at, length)) return std::nullopt;
            idat.emplace_back(at + 8, length);
            idatBytes += length;
        } else if (std::memcmp(name, "IEND", 4) == 0) {
            if (!chunkOk(at, length)) return std::nullopt;
            ended = true;
        } else if (std::memcmp(name, "tRNS", 4) == 0 || (name[0] & 0x20) == 0) {
            // A transparent colour, or a critical chunk we do not know (PLTE included,
            // which libpng checks against the colour type).
            return std::nullopt;
        }
        at += 12 + qsizetype(length);
    }
    if (idat.empty()) return std::nullopt;

    auto compressed = AllocateBlock(std::size_t(idatBytes));
    qsizetype gathered = 0;
    for (const auto& [offset, length] : idat) {
        std::memcpy(compressed.get() + gathered, d + offset, length);
        gathered += length;
    }
    const int bpp = type == 6 ? 4 : 3;
    const qsizetype rowBytes = qsizetype(w) * bpp;
    const qsizetype expected = (rowBytes + 1) * qsizetype(h);
    const auto filtered = AllocateBlock(std::size_t(expected));
    libdeflate_decompressor* inflater = libdeflate_alloc_decompressor();
    if (!inflater) throw ConversionError("PNG: out of memory");
    std::size_t got = 0;
    const libdeflate_result result = libdeflate_zlib_decompress(
        inflater, compressed.get(), std::size_t(idatBytes), filtered.get(), std::size_t(expected), &got);
    libdeflate_free_decompressor(inflater);
    if (result != LIBDEFLATE_SUCCESS || qsizetype(got) != expected) return std::nullopt;
    compressed.reset();

    TRaster out(int(w), int(h), type == 6);
    std::vector<std::uint8_t> zero(static_cast<std::size_t>(rowBytes), 0);
    const std::uint8_t* prev = zero.data();
    for (qsizetype y = 0; y < qsizetype(h); ++y) {
        std::uint8_t* row = filtered.get() + (rowBytes + 1) * y + 1;
        if (!Unfilter(row[-1], row, prev, rowBytes, bpp)) return std::nullopt;
        prev = row;
        std::uint8_t* dst = out.Row(int(y));
        if (type == 6) {
            std::memcpy(dst, row, std::size_t(rowBytes));
        } else {
            for (std::uint32_t x = 0; x < w; ++x, dst += 4) {
                dst[0] = row[x * 3];
                dst[1] = row[x * 3 + 1];
                dst[2] = row[x * 3 + 2];
                dst[3] = 255;
            }
        }
    }
    if (type == 6 && !out.AnyTransparency()) out.SetHasAlpha(false);
    return out;
}

} // namespace

bool LooksLikePng(QByteArrayView data) {
    return data.size() >= 8 && png_sig_cmp(reinterpret_cast<png_const_bytep>(data.data()), 0, 8) == 0;
}

TRaster DecodePng(QByteArrayView file) {
    CheckDataCanFillRows(file);
    if (std::optional<TRaster> plain = DecodePlainPng(file)) return std::move(*plain);
    const auto reader = std::make_unique<TPngReader>(file);
    const auto out = std::make_unique<TDecodedRaster>();
    TPngReader& r = *reader;
    if (setjmp(png_jmpbuf(r.Png))) FailWith(r);

    ReadHeader(r);
    const int colorType = png_get_color_type(r.Png, r.Info);
    const bool alpha = (colorType & PNG_COLOR_MASK_ALPHA) || png_get_valid(r.Png, r.Info, PNG_INFO_tRNS);
    png_set_expand(r.Png);
    png_set_scale_16(r.Png);
    png_set_gray_to_rgb(r.Png);
    if (!(colorType & PNG_COLOR_MASK_ALPHA)) png_set_filler(r.Png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(r.Png);
    png_read_update_info(r.Png, r.Info);
    if (png_get_rowbytes(r.Png, r.Info) != png_get_image_width(r.Png, r.Info) * 4) {
        r.Message = "unexpected row layout";
        png_longjmp(r.Png, 1);
    }

    out->Raster =
        TRaster(int(png_get_image_width(r.Png, r.Info)), int(png_get_image_height(r.Png, r.Info)), alpha);
    out->Rows.resize(std::size_t(out->Raster.Height()));
    for (int y = 0; y < out->Raster.Height(); ++y)
        out->Rows[std::size_t(y)] = out->Raster.Row(y);
    png_read_image(r.Png, out->Rows.data());
    png_read_end(r.Png, nullptr);
    if (alpha && !out->Raster.AnyTransparency()) out->Raster.SetHasAlpha(false);
    return std::move(out->Raster);
}

TPngSamples DecodePngSamples(QByteArrayView file) {
    CheckDataCanFillRows(file);
    const auto reader = std::make_unique<TPngReader>(file);
    const auto out = std::make_unique<TPngSamples>();
    // Everything that owns memory lives on the heap, made before setjmp: libpng's
    // error jump would skip the destructor of anything made after it.
    const auto rows = std::make_unique<std::vector<std::uint8_t>>();
    const auto rowPointers = std::make_unique<std::vector<png_bytep>>();
    TPngReader& r = *reader;
    TPngSamples& s = *out;
    if (setjmp(png_jmpbuf(r.Png))) FailWith(r);

    ReadHeader(r);
    s.Width = int(png_get_image_width(r.Png, r.Info));
    s.Height = int(png_get_image_height(r.Png, r.Info));
    s.ColorType = png_get_color_type(r.Png, r.Info);
    s.BitDepth = png_get_bit_depth(r.Png, r.Info);
    const int depth = s.BitDepth == 16 ? 8 : s.BitDepth;
    s.SampleBits = depth == 2 ? 4 : depth;

    if (s.ColorType == PNG_COLOR_TYPE_PALETTE) {
        png_colorp palette = nullptr;
        int count = 0;
        if (png_get_PLTE(r.Png, r.Info, &palette, &count) & PNG_INFO_PLTE)
            for (int i = 0; i < count; ++i)
                s.Palette.push_back({palette[i].red, palette[i].green, palette[i].blue});
    }

    png_bytep trnsAlpha = nullptr;
    int trnsCount = 0;
    png_color_16p trnsColour = nullptr;
    const bool trns = png_get_tRNS(r.Png, r.Info, &trnsAlpha, &trnsCount, &trnsColour) & PNG_INFO_tRNS;
    auto level = [&](unsigned v) -> std::uint8_t {
        if (s.BitDepth == 16) return Scale16(v);
        return std::uint8_t(v * 255 / ((1u << s.BitDepth) - 1));
    };
    switch (s.ColorType) {
    case PNG_COLOR_TYPE_GRAY:
        if (trns && trnsColour) {
            s.Transparency = TPngTransparency::Bit;
            s.HasTransparentColour = true;
            const std::uint8_t g = level(trnsColour->gray & ((1u << s.BitDepth) - 1));
            s.TransparentColour = {g, g, g};
        }
        break;
    case PNG_COLOR_TYPE_RGB:
        if (trns && trnsColour) {
            s.Transparency = TPngTransparency::Bit;
            s.HasTransparentColour = true;
            s.TransparentColour = {level(trnsColour->red), level(trnsColour->green), level(trnsColour->blue)};
        }
        break;
    case PNG_COLOR_TYPE_PALETTE:
        if (trns && trnsAlpha && trnsCount > 0) {
            s.PaletteAlpha.assign(trnsAlpha, trnsAlpha + trnsCount);
            const auto partial = std::count_if(s.PaletteAlpha.begin(), s.PaletteAlpha.end(),
                                               [](std::uint8_t a) { return a != 255; });
            s.Transparency = partial == 1 ? TPngTransparency::Bit : TPngTransparency::Partial;
            const auto clear = std::find(s.PaletteAlpha.begin(), s.PaletteAlpha.end(), 0);
            if (clear != s.PaletteAlpha.end() &&
                std::size_t(clear - s.PaletteAlpha.begin()) < s.Palette.size())
                s.TransparentColour = s.Palette[std::size_t(clear - s.PaletteAlpha.begin())];
            s.HasTransparentColour = true; // black when no entry is fully transparent
        }
        break;
    default:
        s.Transparency = TPngTransparency::Partial;
    }

    if (s.BitDepth == 16) png_set_scale_16(r.Png);
    if (s.ColorType == PNG_COLOR_TYPE_RGB || s.ColorType == PNG_COLOR_TYPE_RGB_ALPHA) png_set_bgr(r.Png);
    png_set_interlace_handling(r.Png);
    png_read_update_info(r.Png, r.Info);

    const qsizetype rowBytes = qsizetype(png_get_rowbytes(r.Png, r.Info));
    rows->resize(std::size_t(rowBytes * s.Height));
    rowPointers->resize(std::size_t(s.Height));
    for (int y = 0; y < s.Height; ++y)
        (*rowPointers)[std::size_t(y)] = rows->data() + rowBytes * y;
    png_read_image(r.Png, rowPointers->data());
    png_read_end(r.Png, nullptr);

    const int w = s.Width;
    const std::uint8_t* src = rows->data();
    switch (s.ColorType) {
    case PNG_COLOR_TYPE_RGB:
        s.ColourStride = rowBytes;
        s.Colour = std::move(*rows);
        break;
    case PNG_COLOR_TYPE_RGB_ALPHA:
    case PNG_COLOR_TYPE_GRAY_ALPHA: {
        const int colours = s.ColorType == PNG_COLOR_TYPE_RGB_ALPHA ? 3 : 1;
        s.ColourStride = qsizetype(w) * colours;
        s.Colour.resize(std::size_t(s.ColourStride * s.Height));
        s.Alpha.resize(std::size_t(qsizetype(w) * s.Height));
        std::uint8_t* c = s.Colour.data();
        std::uint8_t* a = s.Alpha.data();
        for (qsizetype i = 0, n = qsizetype(w) * s.Height; i < n; ++i) {
            for (int k = 0; k < colours; ++k)
                *c++ = *src++;
            *a++ = *src++;
        }
        break;
    }
    default:
        if (s.BitDepth == 2) {
            // Two-bit samples are widened to one per nibble.
            s.ColourStride = (qsizetype(w) + 1) / 2;
            s.Colour.assign(std::size_t(s.ColourStride * s.Height), 0);
            for (int y = 0; y < s.Height; ++y) {
                const std::uint8_t* in = src + rowBytes * y;
                std::uint8_t* o = s.Colour.data() + s.ColourStride * y;
                for (int x = 0; x < w; ++x) {
                    const int v = (in[x / 4] >> (6 - 2 * (x % 4))) & 3;
                    o[x / 2] |= std::uint8_t(x % 2 ? v : v << 4);
                }
            }
        } else {
            s.ColourStride = rowBytes;
            s.Colour = std::move(*rows);
        }
    }
    return std::move(*out);
}

TPngSamples PngSamplesFromRaster(const TRaster& raster) {
    TPngSamples s;
    s.Width = raster.Width();
    s.Height = raster.Height();
    s.ColorType = raster.HasAlpha() ? 6 : 2;
    s.Transparency = raster.HasAlpha() ? TPngTransparency::Partial : TPngTransparency::None;
    s.ColourStride = qsizetype(s.Width) * 3;
    s.Colour.resize(std::size_t(s.ColourStride * s.Height));
    if (raster.HasAlpha()) s.Alpha.resize(std::size_t(qsizetype(s.Width) * s.Height));
    std::uint8_t* c = s.Colour.data();
    const std::uint8_t* p = raster.Bits();
    for (qsizetype i = 0, n = qsizetype(s.Width) * s.Height; i < n; ++i, p += 4) {
        *c++ = p[2];
        *c++ = p[1];
        *c++ = p[0];
        if (raster.HasAlpha()) s.Alpha[std::size_t(i)] = p[3];
    }
    return s;
}

// ---- writing --------------------------------------------------------------------------

namespace {

// Below this many bytes of rows one thread does it all.
constexpr qsizetype ParallelThreshold = 1 << 20;
constexpr qsizetype IdatChunk = 1 << 20;
// libdeflate's default level, for the pictures that LZ77 matches help.
constexpr int LzCompressionLevel = 6;

// The filters, each over a whole row. The loops have no dependence from one byte to the
// next, so the compiler turns them into vector code.
void FilterSub(const std::uint8_t* __restrict cur, qsizetype n, int bpp, std::uint8_t* __restrict out) {
    for (qsizetype i = 0; i < bpp; ++i)
        out[i] = cur[i];
    for (qsizetype i = bpp; i < n; ++i)
        out[i] = std::uint8_t(cur[i] - cur[i - bpp]);
}

void FilterUp(const std::uint8_t* __restrict cur, const std::uint8_t* __restrict prev, qsizetype n,
              std::uint8_t* __restrict out) {
    for (qsizetype i = 0; i < n; ++i)
        out[i] = std::uint8_t(cur[i] - prev[i]);
}

void FilterAverage(const std::uint8_t* __restrict cur, const std::uint8_t* __restrict prev, qsizetype n,
                   int bpp, std::uint8_t* __restrict out) {
    for (qsizetype i = 0; i < bpp; ++i)
        out[i] = std::uint8_t(cur[i] - (prev[i] >> 1));
    for (qsizetype i = bpp; i < n; ++i)
        out[i] = std::uint8_t(cur[i] - ((cur[i - bpp] + prev[i]) >> 1));
}

void FilterPaeth(const std::uint8_t* __restrict cur, const std::uint8_t* __restrict prev, qsizetype n,
                 int bpp, std::uint8_t* __restrict out) {
    for (qsizetype i = 0; i < bpp; ++i)
        out[i] = std::uint8_t(cur[i] - prev[i]);
    for (qsizetype i = bpp; i < n; ++i) {
        const int a = cur[i - bpp], b = prev[i], c = prev[i - bpp];
        const int p = b - c, q = a - c;
        const int pa = p < 0 ? -p : p, pb = q < 0 ? -q : q, pc = p + q < 0 ? -(p + q) : p + q;
        const int predicted = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
        out[i] = std::uint8_t(cur[i] - predicted);
    }
}

// The bytes read as signed values, summed by magnitude: the usual measure of how well a
// filter did, which favours runs of small differences.
std::uint64_t Cost(const std::uint8_t* __restrict bytes, qsizetype n) {
    std::uint64_t total = 0;
    for (qsizetype at = 0; at < n; at += 1 << 16) {
        const qsizetype end = std::min(n, at + (qsizetype(1) << 16));
        std::uint32_t sum = 0;
        for (qsizetype i = at; i < end; ++i) {
            const std::uint8_t v = bytes[i], negative = std::uint8_t(-v);
            sum += v < negative ? v : negative;
        }
        total += sum;
    }
    return total;
}

// Filters one row (`prev` is the row above, all zero for the first) and writes the filter
// type and the filtered bytes to `out`: the type whose bytes cost least.
void FilterRow(const std::uint8_t* cur, const std::uint8_t* prev, qsizetype n, int bpp, std::uint8_t* out,
               std::uint8_t* scratch) {
    std::uint8_t* row = out + 1;
    std::uint64_t best = Cost(cur, n);
    int bestType = 0;
    std::memcpy(row, cur, std::size_t(n));
    auto consider = [&](int type) {
        const std::uint64_t cost = Cost(scratch, n);
        if (cost < best) {
            best = cost;
            bestType = type;
            std::memcpy(row, scratch, std::size_t(n));
        }
    };
    FilterSub(cur, n, bpp, scratch);
    consider(1);
    FilterUp(cur, prev, n, scratch);
    consider(2);
    FilterAverage(cur, prev, n, bpp, scratch);
    consider(3);
    FilterPaeth(cur, prev, n, bpp, scratch);
    consider(4);
    out[0] = std::uint8_t(bestType);
}

// How a picture is stored: the smallest of the lossless layouts that hold it. Pictures of
// at most 256 colours become palette images, of as few bits per pixel as their colours
// allow; grey pictures drop the two colour channels they repeat.
class TPngLayout {
  public:
    TPngLayout(const TRaster& raster, TPngBits bits) {
        const bool alpha = raster.HasAlpha();
        const std::uint8_t* p = raster.Bits();
        const qsizetype pixels = qsizetype(raster.Width()) * raster.Height();
        bool grey = true;
        bool fewColours = true;
        std::uint32_t last = 0;
        for (qsizetype i = 0; i < pixels && (grey || fewColours); ++i, p += 4) {
            grey = grey && p[0] == p[1] && p[1] == p[2];
            if (!fewColours) continue;
            const std::uint32_t colour = Pack(p);
            if (i > 0 && colour == last) continue;
            last = colour;
            if (Find(colour) < 0) {
                if (FPalette.size() == 256) {
                    fewColours = false;
                    continue;
                }
                Insert(colour, int(FPalette.size()));
                FPalette.push_back(colour);
            }
        }
        if (fewColours && !(grey && FPalette.size() > 16)) {
            FColorType = 3;
            FDepth = FPalette.size() <= 2 ? 1 : FPalette.size() <= 4 ? 2 : FPalette.size() <= 16 ? 4 : 8;
            if (bits == TPngBits::AtLeastEight) FDepth = 8;
            // Transparent entries first, so the transparency chunk stays short.
            std::stable_partition(FPalette.begin(), FPalette.end(),
                                  [](std::uint32_t c) { return (c >> 24) != 255; });
            FSlots.fill(Empty);
            FIndex.fill(-1);
            for (std::size_t i = 0; i < FPalette.size(); ++i)
                Insert(FPalette[i], int(i));
        } else {
            FColorType = grey ? (alpha ? 4 : 0) : (alpha ? 6 : 2);
            FPalette.clear();
        }
    }

    int ColorType() const { return FColorType; }
    int Depth() const { return FDepth; }
    // Bytes per complete pixel, at least 1: the distance the filters look back.
    int FilterStep() const { return FColorType == 6 ? 4 : FColorType == 2 ? 3 : FColorType == 4 ? 2 : 1; }
    qsizetype RowBytes(int width) const {
        const int channels = FColorType == 6 ? 4 : FColorType == 2 ? 3 : FColorType == 4 ? 2 : 1;
        return (qsizetype(width) * channels * FDepth + 7) / 8;
    }
    // Palette entries as red, green, blue, alpha from the low byte up.
    const std::vector<std::uint32_t>& Palette() const { return FPalette; }

    void PackRow(const TRaster& raster, int y, std::uint8_t* out) const {
        const std::uint8_t* src = raster.Row(y);
        const int w = raster.Width();
        switch (FColorType) {
        case 6:
            std::memcpy(out, src, std::size_t(w) * 4);
            break;
        case 2:
            for (int x = 0; x < w; ++x, src += 4, out += 3) {
                out[0] = src[0];
                out[1] = src[1];
                out[2] = src[2];
            }
            break;
        case 4:
            for (int x = 0; x < w; ++x, src += 4, out += 2) {
                out[0] = src[0];
                out[1] = src[3];
            }
            break;
        case 0:
            for (int x = 0; x < w; ++x, src += 4)
                *out++ = src[0];
            break;
        default: {
            std::memset(out, 0, std::size_t(RowBytes(w)));
            const int perByte = 8 / FDepth;
            for (int x = 0; x < w; ++x, src += 4) {
                const int index = Find(Pack(src));
                out[x / perByte] |= std::uint8_t(index << (8 - FDepth * (x % perByte + 1)));
            }
        }
        }
    }

  private:
    static constexpr std::uint32_t Empty = 0xFFFFFFFF;
    static std::uint32_t Pack(const std::uint8_t* p) {
        std::uint32_t c;
        std::memcpy(&c, p, 4);
        return c;
    }
    static std::size_t Slot(std::uint32_t colour) { return std::size_t((colour * 2654435761u) >> 22); }
    // Open addressing over 1024 slots of colour and index; the index sits in a parallel array.
    int Find(std::uint32_t colour) const {
        for (std::size_t s = Slot(colour);; s = (s + 1) & 1023) {
            if (FSlots[s] == Empty && FIndex[s] < 0) return -1;
            if (FSlots[s] == colour && FIndex[s] >= 0) return FIndex[s];
        }
    }
    void Insert(std::uint32_t colour, int index) {
        std::size_t s = Slot(colour);
        while (FIndex[s] >= 0 && FSlots[s] != colour)
            s = (s + 1) & 1023;
        FSlots[s] = colour;
        FIndex[s] = index;
    }

    int FColorType = 2;
    int FDepth = 8;
    std::vector<std::uint32_t> FPalette;
    std::array<std::uint32_t, 1024> FSlots = MakeEmpty();
    std::array<int, 1024> FIndex = MakeUnused();
    static std::array<std::uint32_t, 1024> MakeEmpty() {
        std::array<std::uint32_t, 1024> a;
        a.fill(Empty);
        return a;
    }
    static std::array<int, 1024> MakeUnused() {
        std::array<int, 1024> a;
        a.fill(-1);
        return a;
    }
};

void AppendChunk(QByteArray& out, const char* type, const std::uint8_t* data, qsizetype size) {
    AppendU32BE(out, std::uint32_t(size));
    const qsizetype start = out.size();
    out.append(type, 4);
    if (size) out.append(reinterpret_cast<const char*>(data), size);
    const auto crc = libdeflate_crc32(0, out.constData() + start, std::size_t(size + 4));
    AppendU32BE(out, crc);
}

} // namespace

QByteArray EncodePng(const TRaster& raster, TPngBits bits) {
    const int w = raster.Width(), h = raster.Height();
    const TPngLayout layout(raster, bits);
    const int step = layout.FilterStep();
    const qsizetype rowBytes = layout.RowBytes(w);
    const qsizetype total = (rowBytes + 1) * h;
    // Filters rarely help palette indices; libpng's advice is to leave them unfiltered.
    const bool filter = layout.ColorType() != 3;
    const int parts = total < ParallelThreshold ? 1 : std::min(WorkerCount(), h);

    const auto filteredBlock = AllocateBlock(std::size_t(total));
    std::uint8_t* const filtered = filteredBlock.get();
    std::vector<std::vector<std::uint8_t>> streams(static_cast<std::size_t>(parts));
    RunParts(parts, [&](int k) {
        const int first = int(qint64(h) * k / parts), last = int(qint64(h) * (k + 1) / parts);
        std::vector<std::uint8_t> rows(static_cast<std::size_t>(rowBytes * 2), 0);
        std::vector<std::uint8_t> scratch(static_cast<std::size_t>(rowBytes));
        std::uint8_t* prev = rows.data();
        std::uint8_t* cur = rows.data() + rowBytes;
        if (first > 0) layout.PackRow(raster, first - 1, prev);
        for (int y = first; y < last; ++y) {
            std::uint8_t* out = filtered + (rowBytes + 1) * y;
            layout.PackRow(raster, y, cur);
            if (filter) {
                FilterRow(cur, prev, rowBytes, step, out, scratch.data());
            } else {
                out[0] = 0;
                std::memcpy(out + 1, cur, std::size_t(rowBytes));
            }
            std::swap(prev, cur);
        }
        streams[std::size_t(k)] =
            DeflateRuns(filtered, (rowBytes + 1) * first, (rowBytes + 1) * last, k + 1 == parts);
    });

    qsizetype runBytes = 0;
    for (const auto& stream : streams)
        runBytes += qsizetype(stream.size());
    std::vector<std::uint8_t> zlib;
    zlib.reserve(std::size_t(runBytes + 6));
    zlib.push_back(0x78);
    zlib.push_back(0x9C);
    for (auto& stream : streams) {
        zlib.insert(zlib.end(), stream.begin(), stream.end());
        std::vector<std::uint8_t>().swap(stream);
    }
    const std::uint32_t adler = libdeflate_adler32(1, filtered, std::size_t(total));
    for (int shift = 24; shift >= 0; shift -= 8)
        zlib.push_back(std::uint8_t(adler >> shift));

    // Runs suit photographs, whose grain defeats longer matches. Smooth or drawn pictures,
    // which the runs already shrink to less than 30 per cent, gain from LZ77 matches as well:
    // libdeflate gets a try on those, and the smaller stream is kept.
    if (runBytes * 10 < total * 3) {
        if (libdeflate_compressor* compressor = libdeflate_alloc_compressor(LzCompressionLevel)) {
            std::vector<std::uint8_t> lz(libdeflate_zlib_compress_bound(compressor, std::size_t(total)));
            const std::size_t size =
                libdeflate_zlib_compress(compressor, filtered, std::size_t(total), lz.data(), lz.size());
            libdeflate_free_compressor(compressor);
            if (size > 0 && size < zlib.size()) {
                lz.resize(size);
                zlib.swap(lz);
            }
        }
    }
    const qsizetype compressed = qsizetype(zlib.size());

    QByteArray out;
    out.reserve(compressed + compressed / IdatChunk * 12 + 64);
    out.append("\x89PNG\r\n\x1a\n", 8);
    QByteArray header;
    AppendU32BE(header, std::uint32_t(w));
    AppendU32BE(header, std::uint32_t(h));
    header.append(char(layout.Depth()));
    header.append(char(layout.ColorType()));
    header.append(3, '\0'); // deflate, adaptive filtering, not interlaced
    AppendChunk(out, "IHDR", reinterpret_cast<const std::uint8_t*>(header.constData()), header.size());
    if (layout.ColorType() == 3) {
        std::vector<std::uint8_t> plte, trns;
        for (const std::uint32_t c : layout.Palette()) {
            for (int shift : {0, 8, 16})
                plte.push_back(std::uint8_t(c >> shift));
            if ((c >> 24) != 255) trns.push_back(std::uint8_t(c >> 24));
        }
        AppendChunk(out, "PLTE", plte.data(), qsizetype(plte.size()));
        if (!trns.empty()) AppendChunk(out, "tRNS", trns.data(), qsizetype(trns.size()));
    }
    for (qsizetype at = 0; at < qsizetype(zlib.size()); at += IdatChunk)
        AppendChunk(out, "IDAT", zlib.data() + at, std::min(IdatChunk, qsizetype(zlib.size()) - at));
    AppendChunk(out, "IEND", nullptr, 0);
    return out;
}
