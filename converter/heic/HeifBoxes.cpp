#include "HeifBoxes.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

std::uint64_t ReadBE(const char* p, int bytes) {
    std::uint64_t value = 0;
    for (int i = 0; i < bytes; ++i)
        value = (value << 8) | std::uint8_t(p[i]);
    return value;
}

struct TBox {
    char Type[4] = {};
    qint64 Body = 0; // offset of the contents
    qint64 End = 0;  // offset just past the box
};

// The box at `at` within [at, end); false when its header does not fit.
bool BoxAt(const QByteArray& data, qint64 at, qint64 end, TBox& box) {
    if (end - at < 8) return false;
    std::uint64_t size = ReadBE(data.constData() + at, 4);
    std::memcpy(box.Type, data.constData() + at + 4, 4);
    qint64 header = 8;
    if (size == 1) {
        if (end - at < 16) return false;
        size = ReadBE(data.constData() + at + 8, 8);
        header = 16;
    } else if (size == 0) {
        size = std::uint64_t(end - at);
    }
    if (size < std::uint64_t(header) || size > std::uint64_t(end - at)) return false;
    box.Body = at + header;
    box.End = at + qint64(size);
    return true;
}

bool FindChild(const QByteArray& data, qint64 from, qint64 end, const char* type, TBox& found) {
    TBox box;
    for (qint64 at = from; BoxAt(data, at, end, box); at = box.End) {
        if (std::memcmp(box.Type, type, 4) == 0) {
            found = box;
            return true;
        }
    }
    return false;
}

// The 'meta' box is small and comes early; a file whose first megabytes hold none
// is not one the tools wrote transformations into that we could see.
constexpr qint64 HeadBytes = 8 << 20;

} // namespace

bool HeifHasTransformations(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    return HeifHasTransformations(QByteArrayView(file.read(HeadBytes)));
}

bool HeifHasTransformations(QByteArrayView bytes) {
    const QByteArray head = bytes.toByteArray();
    TBox meta, primary, properties, container, associations;
    // 'meta' is a full box: four bytes of version and flags precede its children.
    if (!FindChild(head, 0, head.size(), "meta", meta)) return false;
    if (!FindChild(head, meta.Body + 4, meta.End, "pitm", primary)) return false;
    if (!FindChild(head, meta.Body + 4, meta.End, "iprp", properties)) return false;
    if (!FindChild(head, properties.Body, properties.End, "ipco", container)) return false;
    if (!FindChild(head, properties.Body, properties.End, "ipma", associations)) return false;

    const char* d = head.constData();
    if (primary.End - primary.Body < 6) return false;
    const bool wideId = d[primary.Body] != 0;
    if (wideId && primary.End - primary.Body < 8) return false;
    const std::uint64_t primaryId = ReadBE(d + primary.Body + 4, wideId ? 4 : 2);

    // The types of the properties, numbered from 1 as the associations count them.
    std::vector<QByteArray> types;
    TBox property;
    for (qint64 at = container.Body; BoxAt(head, at, container.End, property); at = property.End)
        types.emplace_back(property.Type, 4);

    qint64 at = associations.Body;
    if (associations.End - at < 8) return false;
    const int version = d[at];
    const bool wideIndex = (std::uint8_t(d[at + 3]) & 1) != 0;
    const std::uint64_t entries = ReadBE(d + at + 4, 4);
    at += 8;
    const int idBytes = version < 1 ? 2 : 4;
    for (std::uint64_t entry = 0; entry < entries; ++entry) {
        if (associations.End - at < idBytes + 1) return false;
        const std::uint64_t item = ReadBE(d + at, idBytes);
        const int count = std::uint8_t(d[at + idBytes]);
        at += idBytes + 1;
        const int indexBytes = wideIndex ? 2 : 1;
        if (associations.End - at < qint64(count) * indexBytes) return false;
        for (int i = 0; i < count; ++i, at += indexBytes) {
            if (item != primaryId) continue;
            // The top bit marks the property essential; the rest is its number.
            const std::uint64_t index = ReadBE(d + at, indexBytes) & (wideIndex ? 0x7FFF : 0x7F);
            if (index == 0 || index > types.size()) continue;
            const QByteArray& type = types[std::size_t(index - 1)];
            if (type == "irot" || type == "imir") return true;
        }
    }
    return false;
}
