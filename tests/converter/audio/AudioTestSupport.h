#pragma once
// Test clips written by hand and read back with ffprobe, an independent reader.
#include <QString>
#include <cstdint>
#include <optional>

struct WaveClip {
    int SampleRate = 44100;
    int Channels = 2;
    int Bits = 16; // 16 or 24
    double Seconds = 1.0;
    std::uint32_t ChannelMask = 0; // written as WAVE_FORMAT_EXTENSIBLE when set
    QString Title{};               // a LIST INFO title when set
    double DeclaredSeconds = 0;    // what the header claims, when not Seconds (a cut-off file)
};

// A tone of a different pitch in every channel.
void WriteWave(const QString& path, const WaveClip& clip);

struct ProbedAudio {
    QString Codec;
    int Channels = 0;
    int SampleRate = 0;
    QString Layout;
    int BitsPerRawSample = 0;
    double DecodedSeconds = 0; // summed over every decoded frame
    QString Title;
};

bool HaveFfprobe();
// Nothing when ffprobe finds no audio stream in the file.
std::optional<ProbedAudio> Probe(const QString& path);

void Truncate(const QString& path, double fraction);
