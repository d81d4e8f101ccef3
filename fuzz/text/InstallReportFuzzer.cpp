// Install reports of any content: reading one never fails, fills the options only for
// the supported version, and reads the same the second time.
#include "InstallReport.h"
#include "MemoryFile.h"
#include "ProfileIni.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const TMemoryFile file(data, size);
    if (!file.Valid()) return 0;
    TAppOptions first, second;
    const TReportStatus status = ReadInstallReport(file.Path(), first);
    if (ReadInstallReport(file.Path(), second) != status) std::abort();
    if (status == TReportStatus::Found &&
        (first.InstallPath != second.InstallPath || first.RegistryRecord != second.RegistryRecord))
        std::abort();
    const TProfileIni ini(file.Path());
    for (const char* section : {"Report", "Application", "Installation"}) {
        const std::optional<QString> value = ini.Value(QString::fromLatin1(section), QStringLiteral("Name"));
        if (value && value->size() > TProfileIni::MaxValueLength) std::abort();
    }
    return 0;
}
