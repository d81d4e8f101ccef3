#include "Converters.h"

#include "AudioConverter.h"

void InstallConverters(TConverterSet& converters) {
    converters.Audio = ConvertAudio;
    converters.InitiateLibraries = InitiateLibraries;
    converters.FreeLibraries = FreeLibraries;
}
