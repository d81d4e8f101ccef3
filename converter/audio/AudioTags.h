#pragma once
// Tags and cover art carried from an audio source to its converted output: ID3v2 with
// APIC pictures (MP3), Vorbis comments with PICTURE blocks (FLAC) or
// METADATA_BLOCK_PICTURE (Ogg Vorbis, Opus), the INFO list (WAVE). The encoder writes
// the audio; TagLib then writes what it cannot.
#include "FormatCatalogue.h"

#include <QString>
#include <functional>

// Writes the source's tags and pictures into the finished output; what the target
// cannot hold is named through `reportLoss`, one line for tags and one for pictures.
void CarryAudioTags(const QString& source, const QString& output, FormatTag target,
                    const std::function<void(const QString&)>& reportLoss);
