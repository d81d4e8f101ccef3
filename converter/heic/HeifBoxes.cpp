#include "HeifBoxes.h"

#include <QByteArray>
#include <QFile>
#include <cstdint>
#include <cstring>

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
    const QByteArray head = file.read(HeadBytes);
    TBox meta, properties, container;
    // 'meta' is a full box: four bytes of version and flags precede its children.
    if (!FindChild(head, 0, head.size(), "meta", meta)) return false;
    if (!FindChild(head, meta.Body + 4, meta.End, "iprp", properties)) return false;
    if (!FindChild(head, properties.Body, properties.End, "ipco", container)) return false;
    TBox property;
    return FindChild(head, container.Body, container.End, "irot", property) ||
           FindChild(head, container.Body, container.End, "imir", property);
}
