#pragma once
// The audio layer's entry points: streams that decode a file and "play" it on a
// worker thread (no sound device is ever opened), and encoders that write what a
// stream plays into a file. Lengths and positions count bytes of the decoded
// sample data: 32-bit float samples, interleaved, at the source's rate.
//
// With BASS_UNICODE a file name is a NUL-terminated UTF-16 string, otherwise UTF-8.
// Every call is thread-safe; a failing call returns 0 (or -1 where a count is
// expected) and leaves its reason for BASS_ErrorGetCode on the calling thread.
//
// FORMSHIFT_HIDE_AUDIO_ENCODERS (a comma-separated list of mp3, flac, ogg, opus,
// wave) makes those encoders unavailable, as if the build lacked them.
#include <cstdint>

using BOOL = int;
using DWORD = std::uint32_t;
using QWORD = std::uint64_t;
using HSTREAM = DWORD;
using HENCODE = DWORD;
using HSYNC = DWORD;

constexpr DWORD BASS_UNICODE = 0x80000000;
constexpr DWORD BASS_SAMPLE_FLOAT = 0x100;

constexpr DWORD BASS_ENCODE_PCM = 0x40;
constexpr DWORD BASS_ENCODE_AUTOFREE = 0x40000;

constexpr DWORD BASS_POS_BYTE = 0;

constexpr DWORD BASS_ATTRIB_FREQ = 1;
constexpr DWORD BASS_ATTRIB_VOL = 2;

constexpr DWORD BASS_ACTIVE_STOPPED = 0;
constexpr DWORD BASS_ACTIVE_PLAYING = 1;

constexpr DWORD BASS_SYNC_END = 2;
constexpr DWORD BASS_SYNC_MIXTIME = 0x40000000;
constexpr DWORD BASS_SYNC_ONETIME = 0x80000000;

// Container of a stream's source, in BASS_CHANNELINFO::ctype.
constexpr DWORD BASS_CTYPE_STREAM_OTHER = 0x10000;
constexpr DWORD BASS_CTYPE_STREAM_OGG = 0x10002;
constexpr DWORD BASS_CTYPE_STREAM_MP3 = 0x10005;
constexpr DWORD BASS_CTYPE_STREAM_WAV = 0x40000;
constexpr DWORD BASS_CTYPE_STREAM_FLAC = 0x10900;
constexpr DWORD BASS_CTYPE_STREAM_OPUS = 0x11200;

enum : int {
    BASS_OK = 0,
    BASS_ERROR_MEM = 1,
    BASS_ERROR_FILEOPEN = 2,
    BASS_ERROR_HANDLE = 5,
    BASS_ERROR_INIT = 8,
    BASS_ERROR_ALREADY = 14,
    BASS_ERROR_ILLTYPE = 19,
    BASS_ERROR_ILLPARAM = 20,
    BASS_ERROR_CREATE = 33,
    BASS_ERROR_NOTAVAIL = 37,
    BASS_ERROR_FILEFORM = 41,
    BASS_ERROR_CODEC = 44,
    BASS_ERROR_ENDED = 45,
    BASS_ERROR_UNKNOWN = -1,
};

struct BASS_CHANNELINFO {
    DWORD freq = 0; // sample rate
    DWORD chans = 0;
    DWORD flags = 0;   // BASS_SAMPLE_FLOAT: the sample data is 32-bit float
    DWORD ctype = 0;   // BASS_CTYPE_STREAM_...
    DWORD origres = 0; // bits per sample of the source, 0 when it has none (lossy)
    DWORD plugin = 0;
    DWORD sample = 0;
    const char* filename = nullptr; // UTF-8; valid while the stream exists
};

// Called on the stream's worker thread once playback has ended by itself (at the
// end of the data, or early after a read or write failure), never after a free.
using SYNCPROC = void(HSYNC handle, DWORD channel, DWORD data, void* user);
using ENCODEPROC = void(HENCODE handle, DWORD channel, const void* buffer, DWORD length, void* user);

int BASS_ErrorGetCode();

// `device` and `freq` are accepted for compatibility; nothing is played aloud.
BOOL BASS_Init(int device, DWORD freq, DWORD flags, void* window, const void* dsguid);
// Frees every stream (and with it its encoders), then the library.
BOOL BASS_Free();

// Whole files only: `mem`, `offset` and `length` must be 0.
HSTREAM BASS_StreamCreateFile(BOOL mem, const void* file, QWORD offset, QWORD length, DWORD flags);
// Stops playback and waits for the worker; encoders close their files unfinished.
BOOL BASS_StreamFree(HSTREAM handle);

// The length of the decoded data. It is known exactly for most files; for others it
// is estimated until playback reaches the end. Should playback end early (damaged
// or truncated source, failed encoder), the position never reaches the length.
QWORD BASS_ChannelGetLength(DWORD handle, DWORD mode);
// Bytes of decoded data delivered to the encoders; it reaches the length only
// once every encoder has written its complete file.
QWORD BASS_ChannelGetPosition(DWORD handle, DWORD mode);
double BASS_ChannelBytes2Seconds(DWORD handle, QWORD pos);
BOOL BASS_ChannelGetInfo(DWORD handle, BASS_CHANNELINFO* info);
// BASS_ATTRIB_FREQ: playback speed in sample frames per second (0 = the source's
// rate, i.e. real time); a huge value runs as fast as the machine allows.
// BASS_ATTRIB_VOL: 0..1; encoders always receive the data at full level.
BOOL BASS_ChannelSetAttribute(DWORD handle, DWORD attrib, float value);
// Starts playback; `restart` is not supported once a stream has played.
BOOL BASS_ChannelPlay(DWORD handle, BOOL restart);
DWORD BASS_ChannelIsActive(DWORD handle);
// Only BASS_SYNC_END (with or without the MIXTIME/ONETIME flags).
HSYNC BASS_ChannelSetSync(DWORD handle, DWORD type, QWORD param, SYNCPROC* proc, void* user);

// With BASS_ENCODE_PCM, `cmdline` names a WAVE file that receives 16-bit PCM at the
// stream's rate. Outside encoder programs are not run (BASS_ERROR_NOTAVAIL).
HENCODE BASS_Encode_Start(DWORD handle, const void* cmdline, DWORD flags, ENCODEPROC* proc, void* user);
// Each writes `filename` with its encoder's defaults; `options` must be empty.
// MP3: LAME VBR (about 190 kbps). FLAC: 16 or 24 bits as the source. OGG: Vorbis at
// quality 5. OPUS: about 128 kbps at 48 kHz. Tags and the channel layout are kept
// where the format can hold them (MP3 holds at most two channels).
HENCODE BASS_Encode_MP3_StartFile(DWORD handle, const void* options, DWORD flags, const void* filename);
HENCODE BASS_Encode_FLAC_StartFile(DWORD handle, const void* options, DWORD flags, const void* filename);
HENCODE BASS_Encode_OGG_StartFile(DWORD handle, const void* options, DWORD flags, const void* filename);
HENCODE BASS_Encode_OPUS_StartFile(DWORD handle, const void* options, DWORD flags, const void* filename);
