// Measures the engine on large inputs: Base64 of a multi-gigabyte file (speed and
// peak memory) and a job list of 100,000 files (adding, preparing, memory).
//   engine_bench base64 [size-in-MiB] [folder]
//   engine_bench joblist [count]
#include "Base64.h"
#include "ConversionDriver.h"
#include "JobList.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>
#include <random>
#include <sys/resource.h>

namespace {

long CurrentRssKiB() {
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
}

long PeakRssKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void WriteRandomFile(const QString& path, qint64 size) {
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    std::mt19937_64 random(42);
    std::vector<std::uint64_t> block(1 << 17);
    for (qint64 written = 0; written < size;) {
        for (auto& word : block)
            word = random();
        const qint64 chunk = std::min<qint64>(size - written, qint64(block.size() * 8));
        file.write(reinterpret_cast<const char*>(block.data()), chunk);
        written += chunk;
    }
}

int BenchBase64(qint64 mib, const QString& folder) {
    QTemporaryDir scratch(folder + "/engine-bench-XXXXXX");
    const QString source = scratch.filePath("data.bin");
    const QString text = scratch.filePath("data.bin.b64");
    const QString back = scratch.filePath("back.bin");
    const qint64 size = mib << 20;
    WriteRandomFile(source, size);
    const long baseline = PeakRssKiB();

    QElapsedTimer clock;
    clock.start();
    EncodeBase64File(source, text);
    const double encodeSeconds = clock.nsecsElapsed() / 1e9;
    clock.restart();
    DecodeBase64File(text, back);
    const double decodeSeconds = clock.nsecsElapsed() / 1e9;

    const long runPeak = PeakRssKiB();
    // The same bytes through memory only, and a plain copy: the I/O ceiling of this disk.
    QFile whole(source);
    whole.open(QIODevice::ReadOnly);
    const QByteArray first = whole.read(256 << 20);
    QByteArray encoded;
    encoded.reserve(first.size() / 3 * 4 + first.size() / 57 * 2 + 16);
    clock.restart();
    // Touch the output's pages first: measure encoding, not page faults.
    std::memset(encoded.data(), 0, encoded.capacity());
    clock.restart();
    Base64Encoder memoryEncoder;
    memoryEncoder.Update(first, encoded);
    memoryEncoder.Finish(encoded);
    const double memorySeconds = clock.nsecsElapsed() / 1e9;
    clock.restart();
    QFile::copy(source, scratch.filePath("copy.bin"));
    const double copySeconds = clock.nsecsElapsed() / 1e9;
    std::printf("in memory: encode %.0f MB/s; plain file copy of the source %.0f MB/s\n",
                first.size() / memorySeconds / 1e6, size / copySeconds / 1e6);

    const bool same = QFileInfo(back).size() == size;
    std::printf("base64 %lld MiB: encode %.2f s (%.0f MB/s), decode %.2f s (%.0f MB/s of text), "
                "peak RSS %ld MiB (before the run %ld MiB), sizes %s\n",
                static_cast<long long>(mib), encodeSeconds, size / encodeSeconds / 1e6, decodeSeconds,
                QFileInfo(text).size() / decodeSeconds / 1e6, runPeak / 1024, baseline / 1024,
                same ? "match" : "DIFFER");
    return same ? 0 : 1;
}

struct QuietView : TDriverView {};

int BenchJobList(int count) {
    const long before = CurrentRssKiB();
    QElapsedTimer clock;
    clock.start();
    TJobList jobs;
    for (int i = 0; i < count; ++i)
        jobs.FileList
            << QStringLiteral("/home/someone/Pictures/Holiday 2026/IMG_%1.JPG").arg(i, 6, 10, QChar('0'));
    const double addSeconds = clock.nsecsElapsed() / 1e9;
    clock.restart();
    jobs.PrepareList();
    const double prepareSeconds = clock.nsecsElapsed() / 1e9;
    clock.restart();
    for (int i = 0; i < 1000; ++i)
        jobs.PrepareList();
    const double repeatSeconds = clock.nsecsElapsed() / 1e9 / 1000;
    clock.restart();
    jobs.RemoveItem(0);
    const double removeSeconds = clock.nsecsElapsed() / 1e9;
    std::printf("job list of %d files: add %.1f ms, first PrepareList %.2f ms, later PrepareList %.3f ms, "
                "remove first row %.2f ms, memory %.1f MiB\n",
                count, addSeconds * 1e3, prepareSeconds * 1e3, repeatSeconds * 1e3, removeSeconds * 1e3,
                (CurrentRssKiB() - before) / 1024.0);
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QString mode = argc > 1 ? argv[1] : "joblist";
    if (mode == "base64")
        return BenchBase64(argc > 2 ? std::atoll(argv[2]) : 1024, argc > 3 ? argv[3] : "/tmp");
    if (mode == "joblist") return BenchJobList(argc > 2 ? std::atoi(argv[2]) : 100000);
    std::fprintf(stderr, "usage: engine_bench base64 [MiB] [folder] | joblist [count]\n");
    return 2;
}
