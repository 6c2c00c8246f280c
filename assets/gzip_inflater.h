// GzipInflater: the program's own decoder for one gzip member (RFC 1952)
// holding a DEFLATE stream (RFC 1951). The song is stored this way.
//
// Usage:
//   GzipInflater& inflater = makeGzipInflater(arena);  // once, at start-up
//   int32_t written = inflate(inflater, gzipBytes, output);
//   if (written < 0) puts(describeInflateError(inflateError(written)));
//
// What it honours of the gzip header: FLG's FEXTRA (an extra field is not
// read: inflate gives -1 and writes nothing), FNAME and FCOMMENT (passed over
// up to their zero bytes) and FHCRC (two bytes passed over). It never compares
// the identification bytes or the method with 31 139 8, never checks the
// header CRC, LEN against NLEN, or the trailer's CRC-32 and size: a member
// with a wrong signature or checksum decodes as if it were right. Block type 3
// counts as an empty block.
//
// How it decodes: every Huffman code becomes a tree of HuffmanNodes taken from
// a fixed pool, and a symbol is found by walking that tree one bit at a time.
// The fixed codes are given as (length, code) pairs; the dynamic ones are
// assigned canonically from their lengths. Lengths and distances are computed
// from their symbols; there are no lookup tables. All working memory (two
// length Arrays, 320 pairs, 640 nodes, 2 x 16 counters) comes from the Arena
// once; a call allocates nothing and keeps nothing that affects the next one.
//
// What it refuses (a negative result, its InflateError; never a write outside
// output or a read before its start): input that ends before the final block does, output
// that is too small, copies from before the first byte, codes that are
// over-subscribed or incomplete (the two incomplete codes that zlib accepts
// are accepted too: a lone code of one bit, and a distance code with no codes
// at all for blocks of literals only), bits that lead to no symbol, and
// malformed runs of code lengths. The single instance is not re-entrant.
#pragma once

#include <cstdint>

#include "assets/byte_stream.h"
#include "base/arena.h"
#include "base/array.h"

namespace corvexa {

// The order in which a dynamic block lists the lengths of the code-length code.
inline constexpr int32_t kCodeLengthOrderValues[19] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                       11, 4,  12, 3, 13, 2, 14, 1, 15};
inline constexpr Array<const int32_t> kCodeLengthOrder{19, kCodeLengthOrderValues};

// Why inflate gave no byte count: its result is the negative value, and
// inflateError() turns any result into the error (kNone for a byte count).
enum class InflateError : int32_t {
  kNone = 0,
  kExtraField = -1,           // FLG announces an extra field (FEXTRA)
  kTruncated = -2,            // the input ends before the final block does
  kOutputFull = -3,           // the decoded bytes do not fit into output
  kDistanceTooFar = -4,       // a copy reaches back before the first byte
  kTooManyCodes = -5,         // HLIT above 286 or HDIST above 30
  kRepeatWithoutLength = -6,  // code-length symbol 16 with no length before it
  kLengthRunTooLong = -7,     // a run of code lengths passes HLIT + HDIST
  kOverSubscribed = -8,       // more codes of some lengths than the bits allow
  kIncompleteCode = -9,       // codes left unused (beyond what zlib accepts)
  kNoEndOfBlock = -10,        // a literal/length code without symbol 256
  kCodeLeadsNowhere = -11,    // bits that reach no symbol, or the node pool ran out
};

// The error of an inflate result: kNone for a byte count (>= 0).
constexpr InflateError inflateError(int32_t result) {
  return result >= 0 ? InflateError::kNone : static_cast<InflateError>(result);
}

// One line for a message: "no error", kDataEndsEarly, "a Huffman code is
// over-subscribed", ...
const char* describeInflateError(InflateError error);

// (length, code) of one symbol; the symbol is the pair's index in its list.
struct CodePair {
  int32_t length;
  int32_t code;
};

struct CodePairList {
  Array<CodePair> entries;  // 320: 288 fixed literal/length codes fit
  int32_t count;
};

// symbol -1 marks an inner node; a missing child is nullptr.
struct HuffmanNode {
  int16_t symbol;
  HuffmanNode* zero;
  HuffmanNode* one;
};

struct HuffmanNodePool {
  Array<HuffmanNode> nodes;  // 640: complete literal/length and distance trees at once
  int32_t count;             // nodes handed out
};

struct CanonicalCodeBuilder {
  Array<int32_t> lengthCounts;  // codes of each length 0..15
  Array<int32_t> nextCodes;     // next code to hand out for each length
};

// Bits come from each byte low bit first. mask 0: nothing of current is left.
struct InflateBitReader {
  uint8_t mask;
  int32_t current;
  ByteStream* stream;
};

struct GzipInflater {
  Array<uint8_t> codeLengthCodeLengths;  // 19
  Array<uint8_t> codeLengths;            // 316: 286 literal/length + 30 distance
  CodePairList pairs;
  HuffmanNodePool nodes;
  CanonicalCodeBuilder builder;
  ByteStream input;
  InflateBitReader bits;
};

// All working memory preallocated here, once.
GzipInflater& makeGzipInflater(Arena& arena);

// Decodes the gzip member in input into output from index 0. Returns the
// number of bytes written (>= 0), -1 when the header announces an extra field
// (FEXTRA; nothing written), or another negative InflateError value for
// malformed input. After a success, inflater.input.position is just past the
// final block's last byte (the 8-byte trailer follows).
int32_t inflate(GzipInflater& inflater, Array<const uint8_t> input, Array<uint8_t> output);

// n bits (0..16), the first read becoming bit 0. A failed stream gives 0 bits.
int32_t readBits(InflateBitReader& reader, int32_t n);

// Builds the tree of pairs.entries[0 .. pairs.count-1] (zero lengths skipped)
// with nodes from pool and gives its root, or nullptr when the pool runs out or
// two codes collide (neither happens to codes that passed the length checks).
HuffmanNode* buildHuffmanTree(HuffmanNodePool& pool, const CodePairList& pairs);

}  // namespace corvexa
