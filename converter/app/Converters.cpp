#include "Converters.h"

#include "AudioConverter.h"
#include "ImageConverter.h"

void InstallConverters(TConverterSet& converters) {
    converters.Image = ConvertImage;
    converters.Audio = ConvertAudio;
    converters.InitiateLibraries = InitiateLibraries;
    converters.FreeLibraries = FreeLibraries;
}
