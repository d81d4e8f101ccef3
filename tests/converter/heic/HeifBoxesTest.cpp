#include "HeifBoxes.h"

#include <QByteArray>
#include <gtest/gtest.h>

namespace {

QByteArray U32(std::uint32_t v) {
    QByteArray out;
    for (int shift : {24, 16, 8, 0})
        out.append(char((v >> shift) & 0xFF));
    return out;
}

QByteArray U16(unsigned v) {
    return QByteArray(1, char(v >> 8)) + char(v & 0xFF);
}

QByteArray Box(const char* type, const QByteArray& body) {
    return U32(8 + body.size()) + type + body;
}

QByteArray FullBox(const char* type, int version, int flags, const QByteArray& body) {
    return Box(type, U32((std::uint32_t(version) << 24) | std::uint32_t(flags)) + body);
}

struct TBoxCase {
    const char* Name;
    const char* Property;    // the second property of the container
    unsigned AssociatedItem; // which item the two properties belong to; the primary one is 1
    bool WideIndex;
    bool Expected;
};

// ftyp, then meta with the primary item, a container of a size property and one more,
// and the associations of both with one item.
QByteArray HeifHead(const TBoxCase& c) {
    const QByteArray container =
        Box("ipco", Box("ispe", U32(0) + U32(32) + U32(16)) + Box(c.Property, QByteArray(1, '\x01')));
    QByteArray entry = U16(c.AssociatedItem) + char(2);
    entry += c.WideIndex ? U16(1) + U16(0x8002) : QByteArray("\x01\x82", 2);
    const QByteArray associations = FullBox("ipma", 0, c.WideIndex ? 1 : 0, U32(1) + entry);
    const QByteArray meta =
        FullBox("meta", 0, 0,
                FullBox("hdlr", 0, 0, U32(0) + "pict" + QByteArray(13, '\0')) +
                    FullBox("pitm", 0, 0, U16(1)) + Box("iprp", container + associations));
    return Box("ftyp", QByteArray("heic") + U32(0) + "mif1heic") + meta;
}

class HeifBoxesTest : public testing::TestWithParam<TBoxCase> {};

TEST_P(HeifBoxesTest, OnlyTurnsAndMirrorsOfThePrimaryPictureCount) {
    EXPECT_EQ(HeifHasTransformations(QByteArrayView(HeifHead(GetParam()))), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(Boxes, HeifBoxesTest,
                         testing::Values(TBoxCase{"Rotation", "irot", 1, false, true},
                                         TBoxCase{"Mirror", "imir", 1, false, true},
                                         TBoxCase{"RotationWideIndex", "irot", 1, true, true},
                                         TBoxCase{"RotationOfAnotherItem", "irot", 2, false, false},
                                         TBoxCase{"NoTransformation", "pixi", 1, false, false}),
                         [](const testing::TestParamInfo<TBoxCase>& info) {
                             return std::string(info.param.Name);
                         });

TEST(HeifBoxes, CutOrDamagedFilesHaveNone) {
    const QByteArray whole = HeifHead({"", "irot", 1, false, true});
    for (qsizetype length = 0; length < whole.size(); ++length)
        EXPECT_FALSE(HeifHasTransformations(QByteArrayView(whole.first(length)))) << length;
    QByteArray damaged = whole;
    damaged[3] = '\x02'; // ftyp claims less than its header
    EXPECT_FALSE(HeifHasTransformations(QByteArrayView(damaged)));
    EXPECT_FALSE(HeifHasTransformations(QStringLiteral("/nonexistent/file.heic")));
}

} // namespace
