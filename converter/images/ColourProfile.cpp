#include "ColourProfile.h"

#include "ConversionJob.h"

#include <lcms2.h>
#include <memory>

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

} // namespace

bool IsRgbProfile(QByteArrayView icc) {
    const ProfilePtr profile = OpenProfile(icc);
    return profile && cmsGetColorSpace(profile.get()) == cmsSigRgbData &&
           cmsGetDeviceClass(profile.get()) != cmsSigLinkClass;
}

void ConvertToSrgb(TRaster& raster, QByteArrayView icc) {
    const ProfilePtr source = OpenProfile(icc);
    const ProfilePtr srgb(cmsCreate_sRGBProfile());
    if (!source || !srgb) throw ConversionError("the colour profile cannot be read");
    // Perceptual, as viewers render pictures with a profile on an sRGB screen.
    const TransformPtr transform(cmsCreateTransform(source.get(), TYPE_RGBA_8, srgb.get(), TYPE_RGBA_8,
                                                    INTENT_PERCEPTUAL, cmsFLAGS_COPY_ALPHA));
    if (!transform) throw ConversionError("the colour profile cannot be converted to sRGB");
    for (int y = 0; y < raster.Height(); ++y) {
        std::uint8_t* row = raster.Row(y);
        cmsDoTransform(transform.get(), row, row, cmsUInt32Number(raster.Width()));
    }
}
