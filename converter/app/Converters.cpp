#include "Converters.h"

void InstallConverters(TConverterSet&) {}
