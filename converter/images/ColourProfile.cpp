#include "ColourProfile.h"

#include "ConversionJob.h"
#include "Parallel.h"

#include <lcms2.h>
#include <memory>
#include <vector>

namespace {

struct ProfileCloser {
    void operator()(void* profile) const { cmsCloseProfile(profile); }
};
using ProfilePtr = std::unique_ptr<void, ProfileCloser>;

struct TransformDeleter {
    void operator()(void* transform) const { cmsDeleteTransform(transform); }
};
using TransformPtr = std::unique_ptr<void, TransformDeleter>;

ProfilePtr OpenProfile(QByteArrayView icc) {
    return ProfilePtr(cmsOpenProfileFromMem(icc.data(), cmsUInt32Number(icc.size())));
}

// From packed 8-bit RGB, the layout Little CMS has its fastest path for. Without its
// one-colour cache the transform may run on several threads at once.
TransformPtr ToSrgb(QByteArrayView icc) {
    const ProfilePtr source = OpenProfile(icc);
    const ProfilePtr srgb(cmsCreate_sRGBProfile());
    if (!source || !srgb) throw ConversionError("the colour profile cannot be read");
    // Perceptual, as viewers render pictures with a profile on an sRGB screen.
    TransformPtr transform(cmsCreateTransform(source.get(), TYPE_RGB_8, srgb.get(), TYPE_RGB_8,
                                              INTENT_PERCEPTUAL, cmsFLAGS_NOCACHE));
    if (!transform) throw ConversionError("the colour profile cannot be converted to sRGB");
    return transform;
}

} // namespace

bool IsRgbProfile(QByteArrayView icc) {
    const ProfilePtr profile = OpenProfile(icc);
    return profile && cmsGetColorSpace(profile.get()) == cmsSigRgbData &&
           cmsGetDeviceClass(profile.get()) != cmsSigLinkClass;
}

void ConvertToSrgb(std::uint8_t* rgb, int count, QByteArrayView icc) {
    const TransformPtr transform = ToSrgb(icc);
    cmsDoTransform(transform.get(), rgb, rgb, cmsUInt32Number(count));
}

void ConvertToSrgb(TRaster& raster, QByteArrayView icc) {
    const TransformPtr transform = ToSrgb(icc);
    const int w = raster.Width(), h = raster.Height();
    std::uint8_t* const bits = raster.Bits();
    const int parts = qint64(w) * h < (1 << 18) ? 1 : std::min(WorkerCount(), h);
    RunParts(parts, [&](int part) {
        std::vector<std::uint8_t> rgb(std::size_t(w) * 3);
        for (int y = int(qint64(h) * part / parts), end = int(qint64(h) * (part + 1) / parts); y < end; ++y) {
            std::uint8_t* row = bits + qsizetype(y) * raster.Stride();
            for (int x = 0; x < w; ++x)
                for (int c = 0; c < 3; ++c)
                    rgb[std::size_t(x) * 3 + c] = row[x * 4 + c];
            cmsDoTransform(transform.get(), rgb.data(), rgb.data(), cmsUInt32Number(w));
            for (int x = 0; x < w; ++x)
                for (int c = 0; c < 3; ++c)
                    row[x * 4 + c] = rgb[std::size_t(x) * 3 + c];
        }
    });
}
