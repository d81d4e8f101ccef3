#include "Converters.h"

#include "AudioConverter.h"
#include "ImageConverter.h"
#include "LargeBlocks.h"

void InstallConverters(TConverterSet& converters) {
    converters.Image = ConvertImage;
    converters.Audio = ConvertAudio;
    converters.InitiateLibraries = InitiateLibraries;
    converters.FreeLibraries = [] {
        FreeLibraries();
        // The image codecs keep a few large picture buffers between files of a run;
        // an idle program gives them back.
        ReleaseCachedBlocks();
    };
}
