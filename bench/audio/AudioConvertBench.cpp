// Converts files one after the other the way a run of the converter does, without
// the window: audio_convert_bench TARGET OUTDIR FILE...
#include "AudioConverter.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const FormatTag target = args.size() > 3 ? FormatFromExtension(args[1]) : FormatTag::Unknown;
    if (!IsAudioFormat(target)) {
        std::fprintf(stderr, "usage: audio_convert_bench mp3|flac|ogg|opus|wav OUTDIR FILE...\n");
        return 2;
    }
    const QDir outputs(args[2]);
    QElapsedTimer timer;
    timer.start();
    InitiateLibraries();
    int failed = 0;
    for (qsizetype i = 3; i < args.size(); ++i) {
        ConversionJob job;
        job.SourcePath = args[i];
        job.SourceFormat = FormatFromExtension(QFileInfo(args[i]).suffix());
        job.TargetFormat = target;
        job.OutputPath = outputs.filePath(QFileInfo(args[i]).completeBaseName() + FormatExtension(target));
        try {
            if (ConvertAudio(job) != TModifyProgress::Finalised) ++failed;
        } catch (const std::exception& error) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(args[i]), error.what());
            ++failed;
        }
    }
    FreeLibraries();
    std::printf("%lld ms, %d failed\n", static_cast<long long>(timer.elapsed()), failed);
    return failed ? 1 : 0;
}
