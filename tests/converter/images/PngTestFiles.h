#pragma once
// PNG files of every colour type, depth and layout, written by libpng for the tests.
#include <QByteArray>
#include <functional>
#include <png.h>
#include <vector>

namespace imagetest {

struct TPngFixture {
    int Width = 8;
    int Height = 6;
    int ColorType = PNG_COLOR_TYPE_RGB;
    int Depth = 8;
    bool Interlaced = false;
    std::vector<png_color> Palette;
    std::vector<png_byte> PaletteAlpha;
    bool TransparentColour = false;
    png_color_16 Transparent{};
    int Filters = PNG_ALL_FILTERS;
};

// Sample value (already within the depth's range) of channel c of pixel (x, y).
using TSampleFunction = std::function<unsigned(int x, int y, int c)>;

inline QByteArray PngFile(const TPngFixture& fixture, const TSampleFunction& sample) {
    QByteArray out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(
        png, &out,
        [](png_structp p, png_bytep data, png_size_t length) {
            static_cast<QByteArray*>(png_get_io_ptr(p))
                ->append(reinterpret_cast<const char*>(data), qsizetype(length));
        },
        nullptr);
    png_set_IHDR(png, info, png_uint_32(fixture.Width), png_uint_32(fixture.Height), fixture.Depth,
                 fixture.ColorType, fixture.Interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!fixture.Palette.empty())
        png_set_PLTE(png, info, fixture.Palette.data(), int(fixture.Palette.size()));
    if (!fixture.PaletteAlpha.empty())
        png_set_tRNS(png, info, fixture.PaletteAlpha.data(), int(fixture.PaletteAlpha.size()), nullptr);
    if (fixture.TransparentColour) {
        png_color_16 value = fixture.Transparent;
        png_set_tRNS(png, info, nullptr, 0, &value);
    }
    png_set_filter(png, 0, fixture.Filters);
    png_write_info(png, info);
    const int channels = fixture.ColorType == PNG_COLOR_TYPE_RGB          ? 3
                         : fixture.ColorType == PNG_COLOR_TYPE_RGB_ALPHA  ? 4
                         : fixture.ColorType == PNG_COLOR_TYPE_GRAY_ALPHA ? 2
                                                                          : 1;
    const std::size_t rowBytes = (std::size_t(fixture.Width) * channels * fixture.Depth + 7) / 8;
    std::vector<std::vector<png_byte>> rows(std::size_t(fixture.Height), std::vector<png_byte>(rowBytes, 0));
    for (int y = 0; y < fixture.Height; ++y) {
        auto& row = rows[std::size_t(y)];
        for (int x = 0; x < fixture.Width; ++x) {
            for (int c = 0; c < channels; ++c) {
                const unsigned v = sample(x, y, c);
                const std::size_t index = std::size_t(x) * channels + std::size_t(c);
                if (fixture.Depth == 16) {
                    row[index * 2] = png_byte(v >> 8);
                    row[index * 2 + 1] = png_byte(v);
                } else if (fixture.Depth == 8) {
                    row[index] = png_byte(v);
                } else {
                    const std::size_t bit = index * std::size_t(fixture.Depth);
                    row[bit / 8] |= png_byte(v << (8 - fixture.Depth - bit % 8));
                }
            }
        }
    }
    std::vector<png_bytep> pointers;
    for (auto& row : rows)
        pointers.push_back(row.data());
    png_write_image(png, pointers.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

// A smooth pattern for any depth: channel c of pixel (x, y) within 0 … 2^depth − 1.
inline TSampleFunction Pattern(int depth) {
    return [depth](int x, int y, int c) {
        const unsigned range = (1u << depth) - 1;
        return unsigned((x * 37 + y * 101 + c * 59) * 977u) % (range + 1);
    };
}

} // namespace imagetest
