#pragma once
// The catalogue of file formats the converter knows: tags, names, extensions and
// which converter family handles a pair of them.
#include <QString>
#include <cstdint>

// Stored and compared as numbers (command line, settings): the values never change.
enum class FormatTag : std::uint8_t {
    Unknown = 0,
    AUTO = 1,
    PNG = 2,
    BMP = 3,
    JPEG = 4,
    GIF = 5,
    ICO = 6,
    IMGBASE = 7,
    MP3 = 8,
    FLAC = 9,
    OGG = 10,
    OPUS = 11,
    BASE64 = 12,
    HEIC = 13,
    WAVE = 14,
};

constexpr int FirstFormatTag = 1;
constexpr int LastFormatTag = 14;

enum class ConverterFamily { None, Base64Decode, Base64Encode, Audio, Image };

// Upper-cases the text, drops every "." and compares with the recognised words;
// Unknown when nothing matches. Takes ".jpg", "jpg" or "JPEG".
FormatTag FormatFromExtension(const QString& text);
// Stores the name of a known tag in `name`; leaves it untouched for any other tag.
void FormatName(FormatTag tag, QString& name);
QString FormatName(FormatTag tag);
// "." + lower-cased name; "." alone for an unknown tag.
QString FormatExtension(FormatTag tag);
// Caption of the tag's button in the format picker ("✨AUTO", "IMG-BASE", ...).
QString PickerCaption(FormatTag tag);

bool IsAudioFormat(FormatTag tag);
bool IsImageFormat(FormatTag tag);
// The converter of a pair, source already resolved from AUTO; first match wins.
ConverterFamily ChooseConverter(FormatTag source, FormatTag target);
