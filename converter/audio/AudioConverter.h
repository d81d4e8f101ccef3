#pragma once
// Audio conversion between MP3, FLAC, OGG, OPUS and WAVE through the audio layer:
// the source is opened as a stream, an encoder for the target is attached, and the
// stream is played silently at full speed while a poll shows the percentage.
#include "ConversionJob.h"

#include <chrono>

// Start and release the audio layer around each run. Conversions may run on several
// threads at once between the two; the release must wait until none runs.
void InitiateLibraries();
void FreeLibraries();

// How long the poll waits at most before it shows the percentage and lets the
// window handle its events; it ends sooner when the stream ends.
constexpr std::chrono::milliseconds AudioPollInterval{500};
// How soon a stop is noticed while the poll waits.
constexpr std::chrono::milliseconds AudioStopSlice{50};

// Writes job.OutputPath; Finalised only once the complete file is written. Throws
// ConversionError when the source cannot be read to its end or the target cannot
// be written (an encoder missing from this build included); Cancelled on "Stop".
TModifyProgress ConvertAudio(const ConversionJob& job);
