#pragma once
// A deflate encoder for filtered image rows: literals and runs of the previous byte
// (matches at distance 1) under a dynamic Huffman code per block. On photographs it beats
// general LZ77 compressors in size, since their matches there are short and costly, and it
// runs several times faster; on graphics the runs catch what the row filters leave.
// Parts of one stream can be encoded on separate threads and joined byte-aligned.
#include <QtGlobal>
#include <cstdint>
#include <vector>

// Encodes data[begin, end) as raw deflate blocks, reading nothing outside that range. The
// last part ends with a final block; any other part ends with an empty stored block,
// leaving the stream at a byte boundary so that the next part's bytes can follow.
std::vector<std::uint8_t> DeflateRuns(const std::uint8_t* data, qsizetype begin, qsizetype end, bool last);
