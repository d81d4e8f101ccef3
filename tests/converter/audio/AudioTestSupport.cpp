#include "AudioTestSupport.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <cmath>
#include <numbers>

namespace {

void Put16(QByteArray& out, std::uint32_t value) {
    out.append(char(value & 0xFF)).append(char(value >> 8 & 0xFF));
}
void Put32(QByteArray& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

QString TagValue(const QJsonObject& tags, const QString& key) {
    for (auto it = tags.begin(); it != tags.end(); ++it)
        if (it.key().compare(key, Qt::CaseInsensitive) == 0) return it.value().toString();
    return {};
}

} // namespace

void WriteWave(const QString& path, const WaveClip& clip) {
    const int bytesPerSample = clip.Bits / 8;
    const int blockAlign = bytesPerSample * clip.Channels;
    const auto frames = static_cast<std::uint32_t>(std::lround(clip.Seconds * clip.SampleRate));
    const auto declaredFrames =
        clip.DeclaredSeconds > 0
            ? static_cast<std::uint32_t>(std::lround(clip.DeclaredSeconds * clip.SampleRate))
            : frames;

    QByteArray format;
    Put16(format, clip.ChannelMask ? 0xFFFE : 1);
    Put16(format, clip.Channels);
    Put32(format, clip.SampleRate);
    Put32(format, clip.SampleRate * blockAlign);
    Put16(format, blockAlign);
    Put16(format, clip.Bits);
    if (clip.ChannelMask) {
        Put16(format, 22);
        Put16(format, clip.Bits);
        Put32(format, clip.ChannelMask);
        // The PCM sub-format GUID.
        format.append(QByteArray::fromHex("0100000000001000800000aa00389b71"));
    }
    QByteArray info;
    if (!clip.Title.isEmpty()) {
        QByteArray title = clip.Title.toUtf8();
        title.append('\0');
        if (title.size() % 2) title.append('\0');
        info.append("INFO").append("INAM");
        Put32(info, title.size());
        info.append(title);
    }
    QByteArray data;
    data.reserve(frames * blockAlign);
    for (std::uint32_t i = 0; i < frames; ++i) {
        for (int c = 0; c < clip.Channels; ++c) {
            const double value =
                0.4 * std::sin(2 * std::numbers::pi * (330.0 + 110.0 * c) * i / clip.SampleRate);
            const auto sample = static_cast<std::int32_t>(std::lround(value * ((1 << (clip.Bits - 1)) - 1)));
            for (int b = 0; b < bytesPerSample; ++b)
                data.append(char(sample >> (8 * b) & 0xFF));
        }
    }

    QByteArray file("RIFF");
    const std::uint32_t riffSize =
        4 + 8 + format.size() + (info.isEmpty() ? 0 : 8 + info.size()) + 8 + declaredFrames * blockAlign;
    Put32(file, riffSize);
    file.append("WAVE").append("fmt ");
    Put32(file, format.size());
    file.append(format);
    if (!info.isEmpty()) {
        file.append("LIST");
        Put32(file, info.size());
        file.append(info);
    }
    file.append("data");
    Put32(file, declaredFrames * blockAlign);
    file.append(data);

    QFile out(path);
    if (out.open(QIODevice::WriteOnly)) out.write(file);
}

bool HaveFfprobe() {
    return !QStandardPaths::findExecutable(QStringLiteral("ffprobe")).isEmpty();
}

std::optional<ProbedAudio> Probe(const QString& path) {
    QProcess ffprobe;
    ffprobe.start(QStringLiteral("ffprobe"),
                  {"-v", "error", "-print_format", "json", "-show_format", "-show_streams", "-select_streams",
                   "a:0", "-show_entries", "frame=nb_samples", "file:" + path});
    if (!ffprobe.waitForFinished(60000) || ffprobe.exitCode() != 0) return std::nullopt;
    const QJsonObject root = QJsonDocument::fromJson(ffprobe.readAllStandardOutput()).object();
    const QJsonArray streams = root["streams"].toArray();
    if (streams.isEmpty()) return std::nullopt;
    const QJsonObject stream = streams.first().toObject();
    ProbedAudio probed;
    probed.Codec = stream["codec_name"].toString();
    probed.Channels = stream["channels"].toInt();
    probed.SampleRate = stream["sample_rate"].toString().toInt();
    probed.Layout = stream["channel_layout"].toString();
    probed.BitsPerRawSample = stream["bits_per_raw_sample"].toString().toInt();
    qint64 samples = 0;
    for (const QJsonValue frame : root["frames"].toArray())
        samples += frame.toObject()["nb_samples"].toInt();
    if (probed.SampleRate > 0) probed.DecodedSeconds = double(samples) / probed.SampleRate;
    probed.Title = TagValue(root["format"].toObject()["tags"].toObject(), "title");
    if (probed.Title.isEmpty()) probed.Title = TagValue(stream["tags"].toObject(), "title");
    return probed;
}

void Truncate(const QString& path, double fraction) {
    QFile file(path);
    if (file.open(QIODevice::ReadWrite)) file.resize(static_cast<qint64>(file.size() * fraction));
}
