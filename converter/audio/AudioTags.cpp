#include "AudioTags.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QImageReader>
#include <QStringList>

#include <taglib/attachedpictureframe.h>
#include <taglib/fileref.h>
#include <taglib/flacfile.h>
#include <taglib/flacpicture.h>
#include <taglib/id3v2tag.h>
#include <taglib/infotag.h>
#include <taglib/mpegfile.h>
#include <taglib/opusfile.h>
#include <taglib/tpropertymap.h>
#include <taglib/vorbisfile.h>
#include <taglib/wavfile.h>
#include <taglib/xiphcomment.h>

#include <array>
#include <memory>
#include <vector>

namespace {

struct TPicture {
    TagLib::ByteVector Data;
    TagLib::String Mime;
    TagLib::String Description;
    int Type = 3; // front cover
};

struct TAudioTags {
    TagLib::PropertyMap Properties;
    std::vector<TPicture> Pictures;
};

TagLib::FileName NameOf(const QByteArray& encoded) {
    return encoded.constData();
}

// Names of the encoder that made the source are not carried: ours wrote the output.
bool DescribesEncoder(const TagLib::String& key) {
    return key == "ENCODER" || key == "ENCODING" || key == "ENCODERSETTINGS";
}

void AddPicturesOf(const TagLib::List<TagLib::FLAC::Picture*>& pictures, std::vector<TPicture>& out) {
    for (const TagLib::FLAC::Picture* picture : pictures)
        out.push_back({picture->data(), picture->mimeType(), picture->description(), int(picture->type())});
}

void AddPicturesOf(const TagLib::ID3v2::Tag* tag, std::vector<TPicture>& out) {
    if (!tag) return;
    for (const TagLib::ID3v2::Frame* frame : tag->frameList("APIC")) {
        const auto* picture = dynamic_cast<const TagLib::ID3v2::AttachedPictureFrame*>(frame);
        if (picture)
            out.push_back(
                {picture->picture(), picture->mimeType(), picture->description(), int(picture->type())});
    }
}

TAudioTags ReadTags(const QString& path) {
    TAudioTags tags;
    const QByteArray name = QFile::encodeName(path);
    TagLib::FileRef ref(NameOf(name), false);
    if (ref.isNull() || !ref.file()->isValid()) return tags;
    TagLib::File* file = ref.file();
    for (const auto& [key, values] : file->properties())
        if (!DescribesEncoder(key) && !values.isEmpty()) tags.Properties.insert(key, values);
    if (auto* mpeg = dynamic_cast<TagLib::MPEG::File*>(file)) {
        AddPicturesOf(mpeg->ID3v2Tag(), tags.Pictures);
    } else if (auto* flac = dynamic_cast<TagLib::FLAC::File*>(file)) {
        AddPicturesOf(flac->pictureList(), tags.Pictures);
    } else if (auto* vorbis = dynamic_cast<TagLib::Ogg::Vorbis::File*>(file)) {
        AddPicturesOf(vorbis->tag()->pictureList(), tags.Pictures);
    } else if (auto* opus = dynamic_cast<TagLib::Ogg::Opus::File*>(file)) {
        AddPicturesOf(opus->tag()->pictureList(), tags.Pictures);
    } else if (auto* wave = dynamic_cast<TagLib::RIFF::WAV::File*>(file)) {
        if (wave->hasID3v2Tag()) AddPicturesOf(wave->ID3v2Tag(), tags.Pictures);
    }
    return tags;
}

TagLib::FLAC::Picture* FlacPicture(const TPicture& source) {
    auto* picture = new TagLib::FLAC::Picture;
    picture->setData(source.Data);
    picture->setMimeType(source.Mime);
    picture->setDescription(source.Description);
    picture->setType(TagLib::FLAC::Picture::Type(source.Type));
    // The block names the picture's size; readers of APIC frames never needed it.
    QByteArray bytes = QByteArray::fromRawData(source.Data.data(), qsizetype(source.Data.size()));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    const QSize size = QImageReader(&buffer).size();
    if (size.isValid()) {
        picture->setWidth(size.width());
        picture->setHeight(size.height());
        picture->setColorDepth(24);
    }
    return picture;
}

// What readers call the keys, for the user.
QString Readable(const TagLib::String& key) {
    static const std::array<std::pair<const char*, const char*>, 4> names = {{
        {"ALBUMARTIST", "album artist"},
        {"DISCNUMBER", "disc number"},
        {"TRACKNUMBER", "track number"},
        {"DATE", "date"},
    }};
    for (const auto& [tag, name] : names)
        if (key == tag) return QString::fromLatin1(name);
    return QString::fromStdString(key.to8Bit(true)).toLower();
}

// The INFO fields that hold our keys; what has none stays behind.
TagLib::PropertyMap WriteInfo(TagLib::RIFF::Info::Tag& info, const TagLib::PropertyMap& properties) {
    static const std::array<std::pair<const char*, const char*>, 8> fields = {{
        {"TITLE", "INAM"},
        {"ARTIST", "IART"},
        {"ALBUM", "IPRD"},
        {"DATE", "ICRD"},
        {"GENRE", "IGNR"},
        {"COMMENT", "ICMT"},
        {"TRACKNUMBER", "IPRT"},
        {"COPYRIGHT", "ICOP"},
    }};
    TagLib::PropertyMap left;
    for (const auto& [key, values] : properties) {
        const char* field = nullptr;
        for (const auto& [name, id] : fields)
            if (key == name) field = id;
        if (field)
            info.setFieldText(field, values.toString(" / "));
        else
            left.insert(key, values);
    }
    return left;
}

// Writes the tags; returns those the file cannot hold and whether pictures fit.
bool WriteTags(const QString& path, FormatTag target, const TAudioTags& tags, TagLib::PropertyMap& left,
               bool& picturesKept) {
    const QByteArray name = QFile::encodeName(path);
    picturesKept = true;
    switch (target) {
    case FormatTag::MP3: {
        TagLib::MPEG::File file(NameOf(name), false);
        if (!file.isValid()) return false;
        TagLib::ID3v2::Tag* tag = file.ID3v2Tag(true);
        left = tag->setProperties(tags.Properties);
        tag->removeFrames("APIC");
        for (const TPicture& source : tags.Pictures) {
            auto* frame = new TagLib::ID3v2::AttachedPictureFrame;
            frame->setPicture(source.Data);
            frame->setMimeType(source.Mime);
            frame->setDescription(source.Description);
            frame->setType(TagLib::ID3v2::AttachedPictureFrame::Type(source.Type));
            tag->addFrame(frame);
        }
        return file.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripOthers);
    }
    case FormatTag::FLAC: {
        TagLib::FLAC::File file(NameOf(name), false);
        if (!file.isValid()) return false;
        left = file.xiphComment(true)->setProperties(tags.Properties);
        file.removePictures();
        for (const TPicture& source : tags.Pictures)
            file.addPicture(FlacPicture(source));
        return file.save();
    }
    case FormatTag::OGG:
    case FormatTag::OPUS: {
        std::unique_ptr<TagLib::Ogg::File> file;
        TagLib::Ogg::XiphComment* comment = nullptr;
        if (target == FormatTag::OGG) {
            auto vorbis = std::make_unique<TagLib::Ogg::Vorbis::File>(NameOf(name), false);
            comment = vorbis->tag();
            file = std::move(vorbis);
        } else {
            auto opus = std::make_unique<TagLib::Ogg::Opus::File>(NameOf(name), false);
            comment = opus->tag();
            file = std::move(opus);
        }
        if (!file->isValid() || !comment) return false;
        left = comment->setProperties(tags.Properties);
        comment->removeAllPictures();
        for (const TPicture& source : tags.Pictures)
            comment->addPicture(FlacPicture(source));
        return file->save();
    }
    case FormatTag::WAVE: {
        TagLib::RIFF::WAV::File file(NameOf(name), false);
        if (!file.isValid()) return false;
        left = WriteInfo(*file.InfoTag(), tags.Properties);
        picturesKept = tags.Pictures.empty();
        return file.save(TagLib::RIFF::WAV::File::Info, TagLib::File::StripOthers);
    }
    default:
        return true;
    }
}

} // namespace

void CarryAudioTags(const QString& source, const QString& output, FormatTag target,
                    const std::function<void(const QString&)>& reportLoss) {
    const TAudioTags tags = ReadTags(source);
    if (tags.Properties.isEmpty() && tags.Pictures.empty()) return;
    TagLib::PropertyMap left;
    bool picturesKept = true;
    const QString format = FormatName(target);
    if (!WriteTags(output, target, tags, left, picturesKept)) {
        reportLoss(QStringLiteral("tags and cover art dropped: they could not be written into the %1 file")
                       .arg(format));
        return;
    }
    if (!left.isEmpty()) {
        QStringList names;
        for (const auto& entry : left)
            names << Readable(entry.first);
        reportLoss(
            QStringLiteral("tags dropped: %1 holds no %2").arg(format, names.join(QStringLiteral(", "))));
    }
    if (!picturesKept) reportLoss(QStringLiteral("cover art dropped: %1 holds no pictures").arg(format));
}
