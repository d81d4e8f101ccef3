// formshift: the command line. Background runs of images and Base64 convert here
// without loading a window system; everything else is formshift-full's.
#include "ConsoleRun.h"
#include "FullProgram.h"
#include "ImageConverter.h"
#include "LargeBlocks.h"
#include "ProgramVersion.h"

#include <QCoreApplication>
#include <cstdio>

namespace {

void InstallImageConverters(TConverterSet& converters) {
    converters.Image = ConvertImage;
    // The codecs keep a few large picture buffers between the files of a run.
    converters.FreeLibraries = [] { ReleaseCachedBlocks(); };
}

} // namespace

int main(int argc, char* argv[]) {
    if (AnswerVersionRequest(argc, argv, "formshift")) return 0;
    const TCommandLine line = ParseCommandLine(argc, argv);
    if (line.HelpAndEnd) {
        std::fputs(UsageText().toUtf8().constData(), stdout);
        return ExitSuccess;
    }
    if (!line.BackgroundRun()) return ExecFullProgram(argv);

    TBackgroundPlan plan;
    QString dataFolder;
    if (const std::optional<int> status = PrepareBackgroundRun(line, plan, dataFolder)) return *status;
    // The folder dialog needs the window system, audio the audio layer.
    if (plan.NeedsFolder() || plan.NeedsAudio()) return ExecFullProgram(argv);
    QCoreApplication app(argc, argv);
    return RunInConsole(plan, dataFolder, InstallImageConverters);
}
