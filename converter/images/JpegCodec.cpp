#include "JpegCodec.h"

#include "ConversionJob.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

// jpeglib.h needs FILE and size_t declared first.
#include <jerror.h>
#include <jpeglib.h>

namespace {

// A hostile progressive file can hold thousands of tiny scans, each costing a full pass.
constexpr int MaxScans = 500;

struct TJpegErrors {
    jpeg_error_mgr Manager{};
    std::jmp_buf Jump;
    std::string Message;
    bool CutShort = false;
};

void OnError(j_common_ptr info) {
    auto* errors = reinterpret_cast<TJpegErrors*>(info->err);
    char text[JMSG_LENGTH_MAX];
    info->err->format_message(info, text);
    errors->Message = text;
    std::longjmp(errors->Jump, 1);
}

// Warnings about corrupt entropy data leave a usable picture, as every viewer shows it; a
// file that ends before its last scan does not.
void OnMessage(j_common_ptr info, int level) {
    if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF)
        reinterpret_cast<TJpegErrors*>(info->err)->CutShort = true;
}

void OnProgress(j_common_ptr info) {
    if (info->is_decompressor && reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > MaxScans) {
        reinterpret_cast<TJpegErrors*>(info->err)->Message = "too many scans";
        std::longjmp(reinterpret_cast<TJpegErrors*>(info->err)->Jump, 1);
    }
}

struct TDecoder {
    jpeg_decompress_struct Info{};
    TJpegErrors Errors;
    jpeg_progress_mgr Progress{};
    bool Created = false;
    TRaster Raster;
    std::vector<std::uint8_t> CmykRow;
    ~TDecoder() {
        if (Created) jpeg_destroy_decompress(&Info);
    }
};

struct TEncoder {
    jpeg_compress_struct Info{};
    TJpegErrors Errors;
    bool Created = false;
    unsigned char* Buffer = nullptr;
    unsigned long Size = 0;
    ~TEncoder() {
        if (Created) jpeg_destroy_compress(&Info);
        std::free(Buffer);
    }
};

} // namespace

TRaster DecodeJpeg(QByteArrayView file) {
    const auto state = std::make_unique<TDecoder>();
    TDecoder& d = *state;
    d.Info.err = jpeg_std_error(&d.Errors.Manager);
    d.Errors.Manager.error_exit = OnError;
    d.Errors.Manager.emit_message = OnMessage;
    if (setjmp(d.Errors.Jump)) throw ConversionError("JPEG: " + d.Errors.Message);
    if (file.size() < 3 || std::uint8_t(file[0]) != 0xFF || std::uint8_t(file[1]) != 0xD8)
        throw ConversionError("JPEG: not a JPEG file");

    jpeg_create_decompress(&d.Info);
    d.Created = true;
    d.Progress.progress_monitor = OnProgress;
    d.Info.progress = &d.Progress;
    jpeg_mem_src(&d.Info, reinterpret_cast<const unsigned char*>(file.data()), (unsigned long)file.size());
    jpeg_read_header(&d.Info, TRUE);
    CheckPictureSize(d.Info.image_width, d.Info.image_height);
    // Every 8 × 8 block costs at least a bit or two, so no JPEG holds more than about 512
    // pixels per byte; a header claiming more would only make us allocate for nothing.
    if (qint64(d.Info.image_width) * d.Info.image_height / 1024 > file.size())
        throw ConversionError("JPEG: the file is far too short for the picture's size");

    const bool cmyk = d.Info.jpeg_color_space == JCS_CMYK || d.Info.jpeg_color_space == JCS_YCCK;
    switch (d.Info.jpeg_color_space) {
    case JCS_GRAYSCALE:
    case JCS_YCbCr:
    case JCS_RGB:
        d.Info.out_color_space = JCS_EXT_RGBA;
        break;
    case JCS_CMYK:
    case JCS_YCCK:
        d.Info.out_color_space = JCS_CMYK;
        break;
    default:
        throw ConversionError("JPEG: unsupported colour space");
    }
    jpeg_start_decompress(&d.Info);
    d.Raster = TRaster(int(d.Info.output_width), int(d.Info.output_height), false);
    const int w = d.Raster.Width();
    if (cmyk) d.CmykRow.resize(std::size_t(w) * 4);
    while (d.Info.output_scanline < d.Info.output_height) {
        const int y = int(d.Info.output_scanline);
        JSAMPROW row = cmyk ? d.CmykRow.data() : d.Raster.Row(y);
        if (jpeg_read_scanlines(&d.Info, &row, 1) != 1) break;
        if (cmyk) {
            // Adobe's files store the inks inverted (255 = no ink), and nearly all CMYK
            // JPEGs come from Adobe's software; the others are read the same way.
            const std::uint8_t* s = d.CmykRow.data();
            std::uint8_t* o = d.Raster.Row(y);
            const bool inverted = d.Info.saw_Adobe_marker;
            for (int x = 0; x < w; ++x, s += 4, o += 4) {
                const int c = inverted ? s[0] : 255 - s[0], m = inverted ? s[1] : 255 - s[1];
                const int yl = inverted ? s[2] : 255 - s[2], k = inverted ? s[3] : 255 - s[3];
                o[0] = std::uint8_t((c * k + 127) / 255);
                o[1] = std::uint8_t((m * k + 127) / 255);
                o[2] = std::uint8_t((yl * k + 127) / 255);
                o[3] = 255;
            }
        }
        if (d.Errors.CutShort) break;
    }
    if (d.Errors.CutShort || d.Info.output_scanline < d.Info.output_height)
        throw ConversionError("JPEG: the file is cut short");
    jpeg_finish_decompress(&d.Info);
    if (d.Errors.CutShort) throw ConversionError("JPEG: the file is cut short");
    return std::move(d.Raster);
}

QByteArray EncodeJpeg(const TRaster& raster, int quality) {
    if (raster.Width() > JPEG_MAX_DIMENSION || raster.Height() > JPEG_MAX_DIMENSION)
        throw ConversionError("JPEG: the picture is too large for a JPEG file");
    const auto state = std::make_unique<TEncoder>();
    TEncoder& e = *state;
    e.Info.err = jpeg_std_error(&e.Errors.Manager);
    e.Errors.Manager.error_exit = OnError;
    e.Errors.Manager.emit_message = OnMessage;
    if (setjmp(e.Errors.Jump)) throw ConversionError("JPEG: " + e.Errors.Message);

    jpeg_create_compress(&e.Info);
    e.Created = true;
    jpeg_mem_dest(&e.Info, &e.Buffer, &e.Size);
    e.Info.image_width = JDIMENSION(raster.Width());
    e.Info.image_height = JDIMENSION(raster.Height());
    e.Info.input_components = 4;
    e.Info.in_color_space = JCS_EXT_RGBX;
    jpeg_set_defaults(&e.Info);
    jpeg_set_quality(&e.Info, quality, TRUE);
    jpeg_start_compress(&e.Info, TRUE);
    while (e.Info.next_scanline < e.Info.image_height) {
        auto row = const_cast<JSAMPROW>(raster.Row(int(e.Info.next_scanline)));
        jpeg_write_scanlines(&e.Info, &row, 1);
    }
    jpeg_finish_compress(&e.Info);
    return QByteArray(reinterpret_cast<const char*>(e.Buffer), qsizetype(e.Size));
}
