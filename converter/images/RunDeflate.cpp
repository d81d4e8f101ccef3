#include "RunDeflate.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <queue>

namespace {

constexpr qsizetype BlockBytes = 1 << 18;
constexpr int LiteralCodes = 286;
constexpr int EndOfBlock = 256;
constexpr int MaxRun = 258;

// Packs bits least significant first. A plain value: hot loops work on a local copy, which
// the compiler keeps in registers, and store it back.
struct TBitWriter {
    std::vector<std::uint8_t>* Out = nullptr;
    std::uint8_t* At = nullptr;
    std::uint64_t Bits = 0;
    int Count = 0;

    explicit TBitWriter(std::vector<std::uint8_t>& out) : Out(&out), At(out.data()) {}

    // Makes room for `bytes` more bytes of output; Put itself never checks.
    void Reserve(std::size_t bytes) {
        const std::size_t used = std::size_t(At - Out->data());
        if (Out->size() < used + bytes + 8) Out->resize(std::max(Out->size() * 2, used + bytes + 8));
        At = Out->data() + used;
    }
    // At most 56 bits at a time. Always stores eight bytes and moves on by the whole bytes
    // written, which needs no branch; Reserve leaves room for the overhang.
    void Put(std::uint64_t bits, int count) {
        Bits |= bits << Count;
        Count += count;
        std::memcpy(At, &Bits, 8); // little-endian, as deflate packs bits
        At += Count >> 3;
        Bits = (Count & ~7) == 64 ? 0 : Bits >> (Count & ~7);
        Count &= 7;
    }
    // Pads with zero bits to the next byte boundary and writes out every whole byte.
    void Align() {
        if (Count % 8) Put(0, 8 - Count % 8);
    }
    // Trims the output to what was written; call once at the end.
    void Finish() { Out->resize(std::size_t(At - Out->data())); }
};

struct TLengthCode {
    std::uint16_t Symbol;
    std::uint8_t ExtraBits;
    std::uint16_t Extra;
};

constexpr std::array<TLengthCode, MaxRun + 1> MakeLengthCodes() {
    constexpr int base[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                              31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
    constexpr int extra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                               2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
    std::array<TLengthCode, MaxRun + 1> table{};
    for (int code = 0; code < 29; ++code) {
        const int last = code == 28 ? 258 : base[code] + (1 << extra[code]) - 1;
        for (int length = base[code]; length <= last && length <= MaxRun; ++length)
            table[std::size_t(length)] = {std::uint16_t(257 + code), std::uint8_t(extra[code]),
                                          std::uint16_t(length - base[code])};
    }
    return table;
}
constexpr auto LengthCodes = MakeLengthCodes();

struct TRun {
    qsizetype At;
    int Length;
};

// Finds the runs of data[begin, end) worth a match: three or more bytes equal to the byte
// before them. The first byte is always a literal, so parts never look at each other's bytes.
void FindRuns(const std::uint8_t* data, qsizetype begin, qsizetype end, std::vector<TRun>& runs) {
    runs.clear();
    for (qsizetype i = begin + 1; i < end;) {
        const std::uint8_t previous = data[i - 1];
        if (data[i] != previous) {
            ++i;
            continue;
        }
        const qsizetype limit = std::min<qsizetype>(end - i, MaxRun);
        qsizetype n = 1;
        while (n < limit && data[i + n] == previous)
            ++n;
        if (n >= 3) runs.push_back({i, int(n)});
        i += n;
    }
}

// Byte counts in four interleaved tables, which keeps repeated bytes from waiting on each
// other's increments.
void CountBytes(const std::uint8_t* data, qsizetype size, std::uint32_t* frequency) {
    std::array<std::array<std::uint32_t, 256>, 4> tables{};
    qsizetype i = 0;
    for (; i + 4 <= size; i += 4) {
        ++tables[0][data[i]];
        ++tables[1][data[i + 1]];
        ++tables[2][data[i + 2]];
        ++tables[3][data[i + 3]];
    }
    for (; i < size; ++i)
        ++tables[0][data[i]];
    for (int b = 0; b < 256; ++b)
        frequency[b] += tables[0][std::size_t(b)] + tables[1][std::size_t(b)] + tables[2][std::size_t(b)] +
                        tables[3][std::size_t(b)];
}

// Huffman code lengths of at most `limit` bits for the used symbols; at least two symbols
// get a code, so the code is always complete.
void BuildLengths(const std::uint32_t* frequency, int count, int limit, std::uint8_t* lengths) {
    std::fill(lengths, lengths + count, 0);
    struct TSymbol {
        std::uint32_t Frequency;
        int Index;
    };
    std::vector<TSymbol> used;
    for (int i = 0; i < count; ++i)
        if (frequency[i]) used.push_back({frequency[i], i});
    for (int i = 0; used.size() < 2 && i < count; ++i)
        if (!frequency[i]) used.push_back({1, i});
    std::stable_sort(used.begin(), used.end(),
                     [](const TSymbol& a, const TSymbol& b) { return a.Frequency < b.Frequency; });

    // Tree by repeated merging of the two lightest nodes; leaves first, then inner nodes.
    const int leaves = int(used.size());
    std::vector<std::uint64_t> weight(std::size_t(2 * leaves));
    std::vector<int> parent(std::size_t(2 * leaves), -1);
    using TNode = std::pair<std::uint64_t, int>;
    std::priority_queue<TNode, std::vector<TNode>, std::greater<>> queue;
    for (int i = 0; i < leaves; ++i) {
        weight[std::size_t(i)] = used[std::size_t(i)].Frequency;
        queue.push({weight[std::size_t(i)], i});
    }
    int next = leaves;
    while (queue.size() > 1) {
        const TNode a = queue.top();
        queue.pop();
        const TNode b = queue.top();
        queue.pop();
        weight[std::size_t(next)] = a.first + b.first;
        parent[std::size_t(a.second)] = parent[std::size_t(b.second)] = next;
        queue.push({weight[std::size_t(next)], next});
        ++next;
    }
    std::array<int, 64> perLength{};
    for (int i = 0; i < leaves; ++i) {
        int depth = 0;
        for (int node = i; parent[std::size_t(node)] >= 0; node = parent[std::size_t(node)])
            ++depth;
        ++perLength[std::size_t(std::min(depth, limit))];
    }
    // Codes longer than the limit were cut to it; lengthen shorter ones until the code is
    // complete again.
    std::uint32_t total = 0;
    for (int i = limit; i > 0; --i)
        total += std::uint32_t(perLength[std::size_t(i)]) << (limit - i);
    while (total != (1u << limit)) {
        --perLength[std::size_t(limit)];
        for (int i = limit - 1; i > 0; --i) {
            if (perLength[std::size_t(i)]) {
                --perLength[std::size_t(i)];
                perLength[std::size_t(i + 1)] += 2;
                break;
            }
        }
        --total;
    }
    // The most frequent symbols get the shortest codes.
    int j = leaves;
    for (int length = 1; length <= limit; ++length)
        for (int k = perLength[std::size_t(length)]; k > 0; --k)
            lengths[used[std::size_t(--j)].Index] = std::uint8_t(length);
}

// Canonical codes, bit-reversed for deflate's least-significant-bit-first packing.
void BuildCodes(const std::uint8_t* lengths, int count, std::uint16_t* codes) {
    std::array<int, 16> perLength{};
    for (int i = 0; i < count; ++i)
        ++perLength[lengths[i]];
    perLength[0] = 0;
    std::array<int, 16> nextCode{};
    int code = 0;
    for (int bits = 1; bits < 16; ++bits) {
        code = (code + perLength[std::size_t(bits - 1)]) << 1;
        nextCode[std::size_t(bits)] = code;
    }
    for (int i = 0; i < count; ++i) {
        const int length = lengths[i];
        if (!length) continue;
        int value = nextCode[std::size_t(length)]++, reversed = 0;
        for (int b = 0; b < length; ++b, value >>= 1)
            reversed = (reversed << 1) | (value & 1);
        codes[i] = std::uint16_t(reversed);
    }
}

void PutStored(TBitWriter& out, const std::uint8_t* data, qsizetype size, bool final) {
    out.Reserve(std::size_t(size + size / 65535 * 5 + 16));
    do {
        const qsizetype n = std::min<qsizetype>(size, 65535);
        out.Put((final && n == size) ? 1 : 0, 3);
        out.Align();
        out.Put(std::uint32_t(n), 16);
        out.Put(std::uint32_t(~n & 0xFFFF), 16);
        for (qsizetype i = 0; i < n; ++i)
            out.Put(data[i], 8);
        data += n;
        size -= n;
    } while (size > 0);
}

void PutBlock(TBitWriter& out, const std::uint8_t* data, qsizetype begin, qsizetype end, bool final,
              std::vector<TRun>& runs) {
    std::array<std::uint32_t, LiteralCodes> frequency{};
    std::uint64_t runExtraBits = 0;
    FindRuns(data, begin, end, runs);
    CountBytes(data + begin, end - begin, frequency.data());
    for (const TRun& run : runs) {
        frequency[data[run.At - 1]] -= std::uint32_t(run.Length);
        ++frequency[LengthCodes[std::size_t(run.Length)].Symbol];
        runExtraBits += LengthCodes[std::size_t(run.Length)].ExtraBits;
    }
    frequency[EndOfBlock] = 1;
    std::array<std::uint8_t, LiteralCodes> lengths{};
    BuildLengths(frequency.data(), LiteralCodes, 15, lengths.data());
    std::array<std::uint16_t, LiteralCodes> codes{};
    BuildCodes(lengths.data(), LiteralCodes, codes.data());
    int literalCount = LiteralCodes;
    while (literalCount > 257 && lengths[std::size_t(literalCount - 1)] == 0)
        --literalCount;

    // Code lengths of both alphabets (the distance alphabet is the single 1-bit code for
    // distance 1), run-length coded with symbols 16, 17 and 18.
    std::vector<std::uint8_t> all(lengths.begin(), lengths.begin() + literalCount);
    all.push_back(1);
    struct TLengthSymbol {
        std::uint8_t Symbol, ExtraBits, Extra;
    };
    std::vector<TLengthSymbol> symbols;
    for (std::size_t i = 0; i < all.size();) {
        const std::uint8_t value = all[i];
        std::size_t n = 1;
        while (i + n < all.size() && all[i + n] == value)
            ++n;
        std::size_t left = n;
        if (value == 0) {
            while (left >= 11) {
                const std::size_t take = std::min<std::size_t>(left, 138);
                symbols.push_back({18, 7, std::uint8_t(take - 11)});
                left -= take;
            }
            if (left >= 3) {
                symbols.push_back({17, 3, std::uint8_t(left - 3)});
                left = 0;
            }
        } else {
            symbols.push_back({value, 0, 0});
            --left;
            while (left >= 3) {
                const std::size_t take = std::min<std::size_t>(left, 6);
                symbols.push_back({16, 2, std::uint8_t(take - 3)});
                left -= take;
            }
        }
        for (; left > 0; --left)
            symbols.push_back({value, 0, 0});
        i += n;
    }
    std::array<std::uint32_t, 19> lengthFrequency{};
    for (const auto& s : symbols)
        ++lengthFrequency[s.Symbol];
    std::array<std::uint8_t, 19> lengthLengths{};
    BuildLengths(lengthFrequency.data(), 19, 7, lengthLengths.data());
    std::array<std::uint16_t, 19> lengthCodes{};
    BuildCodes(lengthLengths.data(), 19, lengthCodes.data());
    static constexpr int Order[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
    int orderCount = 19;
    while (orderCount > 4 && lengthLengths[std::size_t(Order[orderCount - 1])] == 0)
        --orderCount;

    // Exact size of the block, to fall back to stored blocks for data that does not compress.
    std::uint64_t bits = 3 + 5 + 5 + 4 + 3 * std::uint64_t(orderCount) + runExtraBits;
    for (const auto& s : symbols)
        bits += lengthLengths[s.Symbol] + s.ExtraBits;
    for (int i = 0; i < LiteralCodes; ++i)
        bits += std::uint64_t(frequency[std::size_t(i)]) * lengths[std::size_t(i)];
    for (int i = 257; i < LiteralCodes; ++i)
        bits += frequency[std::size_t(i)]; // the 1-bit distance code
    const qsizetype size = end - begin;
    if (bits > std::uint64_t(size) * 8 + std::uint64_t(size / 65535 + 1) * 40 + 8) {
        PutStored(out, data + begin, size, final);
        return;
    }

    // Header, then at most 15 + 5 + 1 bits for each byte of the block.
    out.Reserve(std::size_t(size) * 3 + 1024);
    out.Put(final ? 1 : 0, 1);
    out.Put(2, 2);
    out.Put(std::uint32_t(literalCount - 257), 5);
    out.Put(0, 5); // one distance code
    out.Put(std::uint32_t(orderCount - 4), 4);
    for (int i = 0; i < orderCount; ++i)
        out.Put(lengthLengths[std::size_t(Order[i])], 3);
    for (const auto& s : symbols) {
        out.Put(lengthCodes[s.Symbol], lengthLengths[s.Symbol]);
        if (s.ExtraBits) out.Put(s.Extra, s.ExtraBits);
    }
    // Each literal's code and length in one table entry.
    std::array<std::uint32_t, 256> literal{};
    for (int b = 0; b < 256; ++b)
        literal[std::size_t(b)] =
            std::uint32_t(codes[std::size_t(b)]) | std::uint32_t(lengths[std::size_t(b)]) << 16;
    TBitWriter w = out;
    auto putLiterals = [&](qsizetype from, qsizetype to) {
        for (qsizetype i = from; i < to; ++i) {
            const std::uint32_t entry = literal[data[i]];
            w.Put(entry & 0xFFFF, int(entry >> 16));
        }
    };
    qsizetype at = begin;
    for (const TRun& run : runs) {
        putLiterals(at, run.At);
        const TLengthCode& code = LengthCodes[std::size_t(run.Length)];
        // Length code, its extra bits and the 1-bit code of distance 1, in one go.
        w.Put(std::uint32_t(codes[code.Symbol]) | (std::uint32_t(code.Extra) << lengths[code.Symbol]),
              lengths[code.Symbol] + code.ExtraBits + 1);
        at = run.At + run.Length;
    }
    putLiterals(at, end);
    w.Put(codes[EndOfBlock], lengths[EndOfBlock]);
    out = w;
}

} // namespace

std::vector<std::uint8_t> DeflateRuns(const std::uint8_t* data, qsizetype begin, qsizetype end, bool last) {
    std::vector<std::uint8_t> stream;
    TBitWriter out(stream);
    out.Reserve(std::size_t((end - begin) / 2 + 1024));
    if (begin == end && last) PutStored(out, data, 0, true);
    std::vector<TRun> runs;
    for (qsizetype at = begin; at < end; at += BlockBytes) {
        const qsizetype blockEnd = std::min(end, at + BlockBytes);
        PutBlock(out, data, at, blockEnd, last && blockEnd == end, runs);
    }
    out.Reserve(16);
    if (!last) {
        out.Put(0, 3); // an empty stored block: the stream continues byte-aligned
        out.Align();
        out.Put(0x0000, 16);
        out.Put(0xFFFF, 16);
    }
    out.Align();
    out.Finish();
    return stream;
}
