#include "FormatCatalogue.h"

#include <array>

namespace {

struct FormatEntry {
    const char* Caption;
    const char* Name;
    std::array<const char*, 2> Words;
};

// Indexed by tag; entry 0 stands for "not recognised".
const std::array<FormatEntry, LastFormatTag + 1> Catalogue = {{
    {"", "", {nullptr, nullptr}},
    {"✨AUTO", "AUTO", {"AUTO", nullptr}},
    {"PNG", "PNG", {"PNG", nullptr}},
    {"BMP", "BMP", {"BMP", nullptr}},
    {"JPEG", "JPEG", {"JPEG", "JPG"}},
    {"GIF", "GIF", {"GIF", nullptr}},
    {"ICO", "ICO", {"ICO", nullptr}},
    {"IMG-BASE", "TXT", {nullptr, nullptr}},
    {"MP3", "MP3", {"MP3", nullptr}},
    {"FLAC", "FLAC", {"FLAC", nullptr}},
    {"OGG", "OGG", {"OGG", nullptr}},
    {"OPUS", "OPUS", {"OPUS", nullptr}},
    {"BASE64", "B64", {"TXT", "B64"}},
    {"HEIC", "HEIC", {"HEIC", "HEIF"}},
    {"WAVE", "WAV", {"WAV", nullptr}},
}};

bool IsKnown(FormatTag tag) {
    const int value = static_cast<int>(tag);
    return value >= FirstFormatTag && value <= LastFormatTag;
}

} // namespace

FormatTag FormatFromExtension(const QString& text) {
    QString word = text.toUpper();
    word.remove(QLatin1Char('.'));
    for (int tag = FirstFormatTag; tag <= LastFormatTag; ++tag) {
        for (const char* candidate : Catalogue[tag].Words) {
            if (candidate && word == QLatin1String(candidate)) return static_cast<FormatTag>(tag);
        }
    }
    return FormatTag::Unknown;
}

void FormatName(FormatTag tag, QString& name) {
    if (IsKnown(tag)) name = QString::fromUtf8(Catalogue[static_cast<int>(tag)].Name);
}

QString FormatName(FormatTag tag) {
    QString name;
    FormatName(tag, name);
    return name;
}

QString FormatExtension(FormatTag tag) {
    return QLatin1Char('.') + FormatName(tag).toLower();
}

QString PickerCaption(FormatTag tag) {
    return IsKnown(tag) ? QString::fromUtf8(Catalogue[static_cast<int>(tag)].Caption) : QString();
}

bool IsAudioFormat(FormatTag tag) {
    switch (tag) {
    case FormatTag::MP3:
    case FormatTag::FLAC:
    case FormatTag::OGG:
    case FormatTag::OPUS:
    case FormatTag::WAVE:
        return true;
    default:
        return false;
    }
}

bool IsImageFormat(FormatTag tag) {
    switch (tag) {
    case FormatTag::PNG:
    case FormatTag::BMP:
    case FormatTag::JPEG:
    case FormatTag::GIF:
    case FormatTag::ICO:
    case FormatTag::IMGBASE:
    case FormatTag::HEIC:
        return true;
    default:
        return false;
    }
}

ConverterFamily ChooseConverter(FormatTag source, FormatTag target) {
    if (source == FormatTag::BASE64) return ConverterFamily::Base64Decode;
    if (target == FormatTag::BASE64) return ConverterFamily::Base64Encode;
    if (IsAudioFormat(source) && IsAudioFormat(target)) return ConverterFamily::Audio;
    if (IsImageFormat(source) && IsImageFormat(target)) return ConverterFamily::Image;
    return ConverterFamily::None;
}
