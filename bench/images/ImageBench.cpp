// Converts files the way a background run of the converter does, one after the other in
// one process, so the benchmark can measure the image converter before the program exists.
// Usage: image_bench FROM TO OUTDIR FILE...   (FROM and TO as format names: png, jpeg, gif, ...)
#include "ImageConverter.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 5) {
        std::fprintf(stderr, "usage: image_bench FROM TO OUTDIR FILE...\n");
        return 2;
    }
    const FormatTag from = FormatFromExtension(args[1]), to = FormatFromExtension(args[2]);
    const QString folder = QDir(args[3]).absolutePath();
    QDir().mkpath(folder);
    int failures = 0;
    for (qsizetype i = 4; i < args.size(); ++i) {
        ConversionJob job;
        job.SourcePath = args[i];
        job.SourceFormat = from;
        job.TargetFormat = to;
        job.OutputPath =
            folder + QLatin1Char('/') + QFileInfo(args[i]).completeBaseName() + FormatExtension(to);
        job.TempFolder = folder + QStringLiteral("/Temp/");
        QElapsedTimer timer;
        timer.start();
        try {
            if (ConvertImage(job) != TModifyProgress::Finalised) ++failures;
        } catch (const std::exception& error) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(args[i]), error.what());
            ++failures;
        }
        if (qEnvironmentVariableIsSet("IMAGE_BENCH_VERBOSE"))
            std::fprintf(stderr, "%s %lld ms\n", qPrintable(QFileInfo(args[i]).fileName()), timer.elapsed());
    }
    return failures ? 1 : 0;
}
