// The inflater against zlib on members zlib makes, and on hand-built bit
// streams for the cases no compressor writes: every malformed input must end
// in its own error code, and zlib must agree on what is malformed.
#include "assets/gzip_inflater.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#ifdef CORVEXA_TEST_WITH_ZLIB
#include <zlib.h>
#endif

using namespace corvexa;

namespace {

using Bytes = std::vector<uint8_t>;

// A DEFLATE bit stream: values go low bit first, Huffman codes high bit first.
struct BitWriter {
  Bytes bytes;
  int32_t used = 8;  // bits taken in the last byte

  void bits(uint32_t value, int32_t n) {
    for (int32_t i = 0; i < n; i++) {
      if (used == 8) {
        bytes.push_back(0);
        used = 0;
      }
      if ((value >> i) & 1) bytes.back() |= static_cast<uint8_t>(1 << used);
      used++;
    }
  }
  void code(uint32_t code, int32_t length) {
    for (int32_t i = length - 1; i >= 0; i--) bits((code >> i) & 1, 1);
  }
  void byte(uint8_t value) {
    used = 8;
    bytes.push_back(value);
  }
};

// A gzip member around a DEFLATE stream: 10 header bytes, any bytes the flags
// announce, the stream and a trailer of zeros (the inflater never reads it).
Bytes member(const Bytes& deflate, uint8_t flags = 0, const Bytes& fields = {}) {
  Bytes bytes = {0x1f, 0x8b, 8, flags, 0, 0, 0, 0, 0, 3};
  bytes.insert(bytes.end(), fields.begin(), fields.end());
  bytes.insert(bytes.end(), deflate.begin(), deflate.end());
  bytes.insert(bytes.end(), 8, 0);
  return bytes;
}

void fixedSymbol(BitWriter& w, int32_t symbol) {
  if (symbol < 144) {
    w.code(48 + symbol, 8);
  } else if (symbol < 256) {
    w.code(256 + symbol, 9);
  } else if (symbol < 280) {
    w.code(symbol - 256, 7);
  } else {
    w.code(192 + symbol - 280, 8);
  }
}

// RFC 1951's canonical codes for a list of lengths.
std::vector<uint32_t> canonicalCodes(const std::vector<int32_t>& lengths) {
  int32_t counts[16] = {};
  for (int32_t length : lengths) counts[length]++;
  counts[0] = 0;
  uint32_t next[16] = {};
  uint32_t code = 0;
  for (int32_t length = 1; length < 16; length++) {
    code = (code + counts[length - 1]) << 1;
    next[length] = code;
  }
  std::vector<uint32_t> codes(lengths.size());
  for (size_t s = 0; s < lengths.size(); s++) {
    if (lengths[s] != 0) codes[s] = next[lengths[s]]++;
  }
  return codes;
}

// The code-length code of the hand-built dynamic blocks: symbols 0..12 of four
// bits and 13..18 of five make a complete code.
std::vector<int32_t> standardCodeLengthLengths() {
  std::vector<int32_t> lengths(19, 4);
  for (int32_t s = 13; s < 19; s++) lengths[s] = 5;
  return lengths;
}

void dynamicHeader(BitWriter& w, bool last, int32_t hlit, int32_t hdist,
                   const std::vector<int32_t>& codeLengthLengths) {
  w.bits(last ? 1 : 0, 1);
  w.bits(2, 2);
  w.bits(hlit - 257, 5);
  w.bits(hdist - 1, 5);
  w.bits(15, 4);
  for (int32_t i = 0; i < 19; i++) w.bits(codeLengthLengths[kCodeLengthOrderValues[i]], 3);
}

void codeLengthSymbol(BitWriter& w, int32_t symbol) {
  static const std::vector<int32_t> lengths = standardCodeLengthLengths();
  static const std::vector<uint32_t> codes = canonicalCodes(lengths);
  w.code(codes[symbol], lengths[symbol]);
}

// A dynamic block's header and code lengths, each length written as itself.
struct DynamicCodes {
  std::vector<uint32_t> literal, distance;
  std::vector<int32_t> literalLengths, distanceLengths;
  void put(BitWriter& w, int32_t symbol) const { w.code(literal[symbol], literalLengths[symbol]); }
  void putDistance(BitWriter& w, int32_t symbol) const {
    w.code(distance[symbol], distanceLengths[symbol]);
  }
};

DynamicCodes dynamicBlock(BitWriter& w, bool last, std::vector<int32_t> literalLengths,
                          std::vector<int32_t> distanceLengths) {
  dynamicHeader(w, last, static_cast<int32_t>(literalLengths.size()),
                static_cast<int32_t>(distanceLengths.size()), standardCodeLengthLengths());
  for (int32_t length : literalLengths) codeLengthSymbol(w, length);
  for (int32_t length : distanceLengths) codeLengthSymbol(w, length);
  return {canonicalCodes(literalLengths), canonicalCodes(distanceLengths), literalLengths,
          distanceLengths};
}

// Literal/length lengths over 'a', 'b', end-of-block, 257 (length 3) and 285
// (length 258), with the given lengths; all other symbols unused.
std::vector<int32_t> smallAlphabet(int32_t a, int32_t b, int32_t end, int32_t three,
                                   int32_t longest) {
  std::vector<int32_t> lengths(286, 0);
  lengths['a'] = a;
  lengths['b'] = b;
  lengths[256] = end;
  lengths[257] = three;
  lengths[285] = longest;
  return lengths;
}

struct Result {
  int32_t code;
  Bytes output;  // the written part on success, the whole buffer otherwise
  InflateError error() const { return inflateError(code); }
};

constexpr uint8_t kUnwritten = 0xA5;

// Inflates into a buffer of capacity bytes prefilled with kUnwritten and, past
// capacity, a guard of 64 more that must never change.
Result inflateBytes(GzipInflater& inflater, const Bytes& input, int32_t capacity = 1 << 20) {
  Bytes buffer(static_cast<size_t>(capacity) + 64, kUnwritten);
  int32_t code = inflate(inflater, {static_cast<int32_t>(input.size()), input.data()},
                         {capacity, buffer.data()});
  for (size_t i = capacity; i < buffer.size(); i++) {
    EXPECT_EQ(buffer[i], kUnwritten) << "written past the output at " << i;
  }
  buffer.resize(capacity);
  if (code >= 0) {
    for (size_t i = code; i < buffer.size(); i++) {
      if (buffer[i] != kUnwritten) {
        ADD_FAILURE() << "written past the result at " << i;
        break;
      }
    }
    buffer.resize(code);
  }
  return {code, buffer};
}

Bytes text(const std::string& s) {
  return Bytes(s.begin(), s.end());
}

class GzipInflaterTest : public ::testing::Test {
 protected:
  Arena arena;
  GzipInflater& inflater = makeGzipInflater(arena);

  Result run(const Bytes& input, int32_t capacity = 1 << 20) {
    return inflateBytes(inflater, input, capacity);
  }
};

#ifdef CORVEXA_TEST_WITH_ZLIB

// A gzip member from zlib; header may set name, comment, header CRC and extra.
Bytes zlibMember(const Bytes& data, int level, int strategy = Z_DEFAULT_STRATEGY,
                 gz_header* header = nullptr) {
  z_stream stream{};
  EXPECT_EQ(deflateInit2(&stream, level, Z_DEFLATED, 31, 8, strategy), Z_OK);
  if (header != nullptr) {
    EXPECT_EQ(deflateSetHeader(&stream, header), Z_OK);
  }
  Bytes out(deflateBound(&stream, data.size()) + 64);
  stream.next_in = const_cast<Bytef*>(data.data());
  stream.avail_in = static_cast<uInt>(data.size());
  stream.next_out = out.data();
  stream.avail_out = static_cast<uInt>(out.size());
  EXPECT_EQ(deflate(&stream, Z_FINISH), Z_STREAM_END);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return out;
}

// Whether zlib decodes a raw DEFLATE stream to its end, and what it gives.
bool zlibAccepts(const Bytes& deflate, Bytes* output = nullptr) {
  z_stream stream{};
  EXPECT_EQ(inflateInit2(&stream, -15), Z_OK);
  Bytes out(1 << 20);
  stream.next_in = const_cast<Bytef*>(deflate.data());
  stream.avail_in = static_cast<uInt>(deflate.size());
  stream.next_out = out.data();
  stream.avail_out = static_cast<uInt>(out.size());
  int status = ::inflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  inflateEnd(&stream);
  if (output != nullptr) *output = out;
  return status == Z_STREAM_END;
}

#define EXPECT_ZLIB_REJECTS(w) EXPECT_FALSE(zlibAccepts((w).bytes))
#define EXPECT_ZLIB_GIVES(w, expected)                \
  do {                                                \
    Bytes zlibOutput;                                 \
    EXPECT_TRUE(zlibAccepts((w).bytes, &zlibOutput)); \
    EXPECT_EQ(zlibOutput, expected);                  \
  } while (0)

#else
#define EXPECT_ZLIB_REJECTS(w) (void)(w)
#define EXPECT_ZLIB_GIVES(w, expected) ((void)(w), (void)(expected))
#endif

// Data to compress: random bytes, words from a small vocabulary, long runs.
Bytes randomBytes(size_t size, uint32_t seed) {
  std::mt19937 random(seed);
  Bytes bytes(size);
  for (uint8_t& b : bytes) b = static_cast<uint8_t>(random());
  return bytes;
}

[[maybe_unused]] Bytes wordyBytes(size_t size, uint32_t seed) {
  static const char* const words[] = {"pattern ", "row ", "tick ", "sample ",  "note C-4 ",
                                      "volume ",  "\n",   "00 ",   "vibrato ", "FF "};
  std::mt19937 random(seed);
  Bytes bytes;
  while (bytes.size() < size) {
    const char* word = words[random() % 10];
    bytes.insert(bytes.end(), word, word + std::char_traits<char>::length(word));
  }
  bytes.resize(size);
  return bytes;
}

[[maybe_unused]] Bytes runBytes(size_t size, uint32_t seed) {
  std::mt19937 random(seed);
  Bytes bytes;
  while (bytes.size() < size) bytes.insert(bytes.end(), 1 + random() % 700, random() % 3);
  bytes.resize(size);
  return bytes;
}

// ---- Members that zlib makes ----------------------------------------------

#ifdef CORVEXA_TEST_WITH_ZLIB

TEST_F(GzipInflaterTest, DecodesZlibMembersAtEveryLevel) {
  const size_t sizes[] = {0, 1, 100, 5000, 70000, 300000};
  for (size_t size : sizes) {
    for (uint32_t kind = 0; kind < 3; kind++) {
      Bytes data = kind == 0   ? randomBytes(size, 7 + size)
                   : kind == 1 ? wordyBytes(size, 11 + size)
                               : runBytes(size, 13 + size);
      for (int level = 0; level <= 9; level++) {
        Bytes gz = zlibMember(data, level);
        Result result = run(gz);
        ASSERT_EQ(result.code, static_cast<int32_t>(size))
            << "size " << size << " kind " << kind << " level " << level << ": "
            << describeInflateError(result.error());
        ASSERT_EQ(result.output, data) << "size " << size << " kind " << kind << " level " << level;
      }
    }
  }
}

TEST_F(GzipInflaterTest, DecodesFixedHuffmanOnlyAndRunLengthMembers) {
  for (int strategy : {Z_FIXED, Z_HUFFMAN_ONLY, Z_RLE, Z_FILTERED}) {
    for (size_t size : {10, 40000, 200000}) {
      Bytes data = wordyBytes(size, 3);
      data.insert(data.end(), 500, 'z');
      Bytes gz = zlibMember(data, 6, strategy);
      Result result = run(gz);
      ASSERT_EQ(result.code, static_cast<int32_t>(data.size())) << strategy << " " << size;
      ASSERT_EQ(result.output, data);
    }
  }
}

TEST_F(GzipInflaterTest, PassesOverNameCommentAndHeaderCrc) {
  Bytes data = wordyBytes(3000, 5);
  std::string name = "corvexa.xm";
  std::string comment = "a song in four channels";
  for (int flags = 0; flags < 8; flags++) {
    gz_header header{};
    header.os = 3;
    if (flags & 1) header.name = reinterpret_cast<Bytef*>(name.data());
    if (flags & 2) header.comment = reinterpret_cast<Bytef*>(comment.data());
    header.hcrc = (flags & 4) ? 1 : 0;
    Bytes gz = zlibMember(data, 9, Z_DEFAULT_STRATEGY, &header);
    Result result = run(gz);
    ASSERT_EQ(result.code, 3000) << "flags " << flags;
    EXPECT_EQ(result.output, data) << "flags " << flags;
  }
}

TEST_F(GzipInflaterTest, ExtraFieldGivesMinusOneAndWritesNothing) {
  Bytes data = wordyBytes(3000, 5);
  uint8_t extra[] = {'C', 'x', 2, 0, 1, 2};
  gz_header header{};
  header.extra = extra;
  header.extra_len = sizeof extra;
  Result result = run(zlibMember(data, 6, Z_DEFAULT_STRATEGY, &header), 4096);
  EXPECT_EQ(result.error(), InflateError::kExtraField);
  EXPECT_EQ(result.code, -1);
  EXPECT_TRUE(std::all_of(result.output.begin(), result.output.end(),
                          [](uint8_t b) { return b == kUnwritten; }));
}

// Every cut inside the header or the DEFLATE data is reported, whatever block
// kind it falls into; cuts in the trailer are not, since it is never read.
TEST_F(GzipInflaterTest, EveryTruncationReportsInputEnded) {
  Bytes data = wordyBytes(3000, 9);
  for (int level : {0, 1, 9}) {
    for (int strategy : {Z_DEFAULT_STRATEGY, Z_FIXED}) {
      Bytes gz = zlibMember(data, level, strategy);
      ASSERT_EQ(run(gz).code, 3000);
      int32_t end = inflater.input.position;
      ASSERT_EQ(end, static_cast<int32_t>(gz.size()) - 8);
      for (int32_t cut = 0; cut < end; cut++) {
        Bytes part(gz.begin(), gz.begin() + cut);
        ASSERT_EQ(run(part, 4096).error(), InflateError::kTruncated)
            << "level " << level << " cut " << cut;
      }
      Bytes withoutTrailer(gz.begin(), gz.begin() + end);
      EXPECT_EQ(run(withoutTrailer).code, 3000);
    }
  }
}

// A bound one byte too small is reported, and nothing lands past it; the exact
// bound is enough. Covers literals, copies and stored bytes.
TEST_F(GzipInflaterTest, OutputBoundIsKept) {
  for (int level : {0, 1, 9}) {
    for (Bytes data : {wordyBytes(5000, 1), runBytes(5000, 2), randomBytes(5000, 3)}) {
      Bytes gz = zlibMember(data, level);
      for (int32_t capacity : {0, 1, 2500, 4999}) {
        EXPECT_EQ(run(gz, capacity).error(), InflateError::kOutputFull) << level << " " << capacity;
      }
      EXPECT_EQ(run(gz, 5000).output, data);
    }
  }
}

// Flipped bytes in valid members: every outcome is a byte count or one of the
// documented codes, never a fault (the sanitizer build watches the memory).
TEST_F(GzipInflaterTest, DamagedMembersNeverFault) {
  std::mt19937 random(2024);
  Bytes sources[] = {zlibMember(wordyBytes(4000, 1), 9), zlibMember(runBytes(4000, 2), 1),
                     zlibMember(wordyBytes(2000, 3), 6, Z_FIXED)};
  int32_t failures = 0;
  for (int32_t round = 0; round < 3000; round++) {
    Bytes gz = sources[round % 3];
    int32_t flips = 1 + random() % 4;
    for (int32_t f = 0; f < flips; f++) {
      gz[10 + random() % (gz.size() - 18)] ^= static_cast<uint8_t>(1 + random() % 255);
    }
    int32_t code = run(gz, 8000).code;
    ASSERT_TRUE(code >= static_cast<int32_t>(InflateError::kCodeLeadsNowhere) && code <= 8000)
        << code;
    if (code < 0) failures++;
  }
  EXPECT_GT(failures, 100);  // the damage is seen, not decoded as something
}

#endif  // CORVEXA_TEST_WITH_ZLIB

// ---- Hand-built streams: the quoted cases -----------------------------------

TEST_F(GzipInflaterTest, EmptyFixedBlockGivesZero) {
  Result result = run(member({0x03, 0x00}));
  EXPECT_EQ(result.code, 0);
}

TEST_F(GzipInflaterTest, NameIsPassedOverUpToItsZero) {
  Bytes name = text("song.xm");
  name.push_back(0);
  BitWriter w;
  w.bits(1, 1);
  w.bits(1, 2);
  fixedSymbol(w, 'q');
  fixedSymbol(w, 256);
  EXPECT_EQ(run(member(w.bytes, 8, name)).output, text("q"));
  // Comment and header CRC after the name, and the bits that tell FTEXT and
  // the reserved flags, which are ignored.
  Bytes fields = name;
  Bytes comment = text("made by hand");
  fields.insert(fields.end(), comment.begin(), comment.end());
  fields.insert(fields.end(), {0, 0xAB, 0xCD});
  EXPECT_EQ(run(member(w.bytes, 8 | 16 | 2 | 1 | 0xE0, fields)).output, text("q"));
}

TEST_F(GzipInflaterTest, WrongSignatureAndMethodAreNotChecked) {
  Bytes gz = member({0x03, 0x00});
  gz[0] = 'P';
  gz[1] = 'K';
  gz[2] = 0;
  EXPECT_EQ(run(gz).code, 0);
}

TEST_F(GzipInflaterTest, LongestCopies) {
  // 'x', then length 258 at distance 1 through symbol 285 and through 284 with
  // extra bits 31: 258 copies of the byte before.
  for (int32_t way = 0; way < 2; way++) {
    BitWriter w;
    w.bits(1, 1);
    w.bits(1, 2);
    fixedSymbol(w, 'x');
    if (way == 0) {
      fixedSymbol(w, 285);
    } else {
      fixedSymbol(w, 284);
      w.bits(31, 5);
    }
    w.code(0, 5);
    fixedSymbol(w, 256);
    Bytes expected(259, 'x');
    EXPECT_EQ(run(member(w.bytes)).output, expected) << way;
    EXPECT_ZLIB_GIVES(w, expected);
  }
}

TEST_F(GzipInflaterTest, LengthsAndDistancesOfEveryCode) {
  // Every length symbol and every distance symbol, each once with its extra
  // bits all zero and once all one, after 32,768 literals to reach back into:
  // checks the arithmetic against zlib's tables.
  BitWriter w;
  w.bits(1, 1);
  w.bits(1, 2);
  Bytes pattern = randomBytes(32768, 77);
  for (uint8_t literal : pattern) fixedSymbol(w, literal);
  const int32_t written = 32768;
  for (int32_t i = 0; i < 60; i++) {
    int32_t symbol = 257 + i % 29;
    fixedSymbol(w, symbol);
    int32_t extra = symbol >= 261 && symbol <= 284 ? (symbol - 261) / 4 : 0;
    w.bits(i < 29 ? (1u << extra) - 1 : 0, extra);
    int32_t distanceSymbol = i % 30;
    w.code(distanceSymbol, 5);
    int32_t distanceExtra = distanceSymbol >= 2 ? (distanceSymbol - 2) / 2 : 0;
    w.bits(i < 30 ? 0 : (1u << distanceExtra) - 1, distanceExtra);
  }
  fixedSymbol(w, 256);
  Result result = run(member(w.bytes));
  ASSERT_GT(result.code, written);
#ifdef CORVEXA_TEST_WITH_ZLIB
  Bytes zlibOutput;
  ASSERT_TRUE(zlibAccepts(w.bytes, &zlibOutput));
  EXPECT_EQ(result.output, zlibOutput);
#endif
}

TEST_F(GzipInflaterTest, StoredBlocks) {
  // LEN 0 writes nothing; LEN 3 with an NLEN that is not its complement is
  // taken as it is; bytes reach back across block boundaries.
  BitWriter w;
  w.bits(0, 1);
  w.bits(0, 2);
  w.byte(0);
  w.byte(0);
  w.byte(0xFF);
  w.byte(0xFF);
  w.bits(0, 1);
  w.bits(0, 2);
  w.byte(3);
  w.byte(0);
  w.byte(0x12);
  w.byte(0x34);
  for (char c : std::string("abc")) w.byte(static_cast<uint8_t>(c));
  w.bits(1, 1);
  w.bits(1, 2);
  fixedSymbol(w, 258);  // length 4
  w.code(2, 5);         // distance 3
  fixedSymbol(w, 256);
  EXPECT_EQ(run(member(w.bytes)).output, text("abcabca"));
}

TEST_F(GzipInflaterTest, FinalBlockOfTypeThreeEndsDecoding) {
  BitWriter w;
  w.bits(0, 1);
  w.bits(1, 2);
  fixedSymbol(w, 'o');
  fixedSymbol(w, 256);
  w.bits(0, 1);
  w.bits(3, 2);  // an empty block, not the last
  w.bits(1, 1);
  w.bits(3, 2);         // the last, empty
  fixedSymbol(w, 'k');  // after the final block: never read
  Result result = run(member(w.bytes));
  EXPECT_EQ(result.code, 1);
  EXPECT_EQ(result.output, text("o"));
}

TEST_F(GzipInflaterTest, EndlessTypeThreeBlocksStopAtTheInputsEnd) {
  // 0b110 repeated: never final, type 3. Each takes three bits, so the input
  // runs out rather than the loop going on with zero bits.
  Bytes gz = {0x1f, 0x8b, 8, 0, 0, 0, 0, 0, 0, 3};
  for (int32_t i = 0; i < 100; i++) gz.insert(gz.end(), {0xB6, 0x6D, 0xDB});  // eight headers
  EXPECT_EQ(run(gz).error(), InflateError::kTruncated);
}

TEST_F(GzipInflaterTest, SameResultOnEveryCall) {
  BitWriter w;
  auto codes = dynamicBlock(w, true, smallAlphabet(2, 2, 2, 3, 3), {1, 1});
  for (char c : std::string("abba")) codes.put(w, c);
  codes.put(w, 257);
  codes.putDistance(w, 1);  // distance 2
  codes.put(w, 256);
  Bytes gz = member(w.bytes);
  Result first = run(gz);
  EXPECT_EQ(first.output, text("abbabab"));
  run(member({0x03, 0x00}));
  EXPECT_EQ(run(gz).output, first.output);
}

// ---- Hand-built streams: dynamic codes zlib accepts -------------------------

TEST_F(GzipInflaterTest, SingleDistanceCodeIsAccepted) {
  BitWriter w;
  auto codes = dynamicBlock(w, true, smallAlphabet(2, 2, 2, 3, 3), {1});
  codes.put(w, 'a');
  codes.put(w, 257);
  codes.putDistance(w, 0);
  codes.put(w, 256);
  EXPECT_EQ(run(member(w.bytes)).output, text("aaaa"));
  EXPECT_ZLIB_GIVES(w, text("aaaa"));
}

TEST_F(GzipInflaterTest, NoDistanceCodesForLiteralsOnly) {
  BitWriter w;
  auto codes = dynamicBlock(w, true, smallAlphabet(2, 2, 2, 3, 3), {0});
  codes.put(w, 'b');
  codes.put(w, 'a');
  codes.put(w, 256);
  EXPECT_EQ(run(member(w.bytes)).output, text("ba"));
  EXPECT_ZLIB_GIVES(w, text("ba"));
}

TEST_F(GzipInflaterTest, LoneEndOfBlockCodeIsAccepted) {
  BitWriter w;
  dynamicBlock(w, true, smallAlphabet(0, 0, 1, 0, 0), {0});
  w.bits(0, 1);
  EXPECT_EQ(run(member(w.bytes)).code, 0);
  EXPECT_ZLIB_GIVES(w, Bytes{});
}

// Lengths of HLIT 258 and the given HDIST: 'a' 'b' 256 2 bits, then a
// repeat (16) of that 2 for five more lengths: symbol 257 and four distances.
BitWriter crossingRepeat(int32_t hdist) {
  BitWriter w;
  dynamicHeader(w, true, 258, hdist, standardCodeLengthLengths());
  codeLengthSymbol(w, 18);
  w.bits(97 - 11, 7);  // 0..96
  codeLengthSymbol(w, 2);
  codeLengthSymbol(w, 2);
  codeLengthSymbol(w, 18);
  w.bits(138 - 11, 7);  // 99..236
  codeLengthSymbol(w, 18);
  w.bits(19 - 11, 7);  // 237..255
  codeLengthSymbol(w, 2);
  codeLengthSymbol(w, 16);
  w.bits(5 - 3, 2);
  return w;
}

TEST_F(GzipInflaterTest, RunsOfLengthsCrossIntoTheDistanceLengths) {
  BitWriter w = crossingRepeat(4);
  // Literal/length codes 00 'a', 01 'b', 10 end, 11 length 3; distances 2 bits.
  w.code(0, 2);
  w.code(1, 2);
  w.code(3, 2);
  w.code(1, 2);  // distance 2
  w.code(2, 2);
  EXPECT_EQ(run(member(w.bytes)).output, text("ababa"));
  EXPECT_ZLIB_GIVES(w, text("ababa"));
}

// ---- Hand-built streams: malformed ------------------------------------------

TEST_F(GzipInflaterTest, RunOfLengthsPastTheCodeCount) {
  BitWriter crossing = crossingRepeat(3);  // five repeated where four remain
  EXPECT_EQ(run(member(crossing.bytes)).error(), InflateError::kLengthRunTooLong);
  EXPECT_ZLIB_REJECTS(crossing);

  BitWriter zeros;  // 138 + 138 zeros where 258 lengths remain
  dynamicHeader(zeros, true, 257, 1, standardCodeLengthLengths());
  codeLengthSymbol(zeros, 18);
  zeros.bits(127, 7);
  codeLengthSymbol(zeros, 18);
  zeros.bits(127, 7);
  EXPECT_EQ(run(member(zeros.bytes)).error(), InflateError::kLengthRunTooLong);
  EXPECT_ZLIB_REJECTS(zeros);
}

TEST_F(GzipInflaterTest, RepeatWithoutAPreviousLength) {
  BitWriter w;
  dynamicHeader(w, true, 257, 1, standardCodeLengthLengths());
  codeLengthSymbol(w, 16);
  w.bits(0, 2);
  EXPECT_EQ(run(member(w.bytes)).error(), InflateError::kRepeatWithoutLength);
  EXPECT_ZLIB_REJECTS(w);
}

TEST_F(GzipInflaterTest, TooManyLiteralLengthOrDistanceCodes) {
  const int32_t counts[][2] = {{287, 1}, {288, 30}, {286, 31}, {257, 32}};
  for (const auto& count : counts) {
    BitWriter w;
    dynamicHeader(w, true, count[0], count[1], standardCodeLengthLengths());
    EXPECT_EQ(run(member(w.bytes)).error(), InflateError::kTooManyCodes)
        << count[0] << " " << count[1];
    EXPECT_ZLIB_REJECTS(w);
  }
}

TEST_F(GzipInflaterTest, BadCodeLengthCodes) {
  std::vector<int32_t> over(19, 0);
  over[0] = over[8] = over[18] = 1;
  std::vector<int32_t> lone(19, 0);
  lone[8] = 1;
  std::vector<int32_t> none(19, 0);
  std::vector<int32_t> gap(19, 3);  // 19 codes of three bits: over
  const std::pair<std::vector<int32_t>, InflateError> cases[] = {
      {over, InflateError::kOverSubscribed},
      {gap, InflateError::kOverSubscribed},
      {lone, InflateError::kIncompleteCode},
      {none, InflateError::kIncompleteCode}};
  for (const auto& [lengths, expected] : cases) {
    BitWriter w;
    dynamicHeader(w, true, 257, 1, lengths);
    w.bits(0, 32);  // whatever would follow
    EXPECT_EQ(run(member(w.bytes)).error(), expected);
    EXPECT_ZLIB_REJECTS(w);
  }
}

TEST_F(GzipInflaterTest, BadLiteralLengthAndDistanceCodes) {
  struct Case {
    std::vector<int32_t> literal, distance;
    InflateError expected;
  };
  const Case cases[] = {
      {smallAlphabet(1, 1, 1, 0, 0), {1}, InflateError::kOverSubscribed},
      {smallAlphabet(2, 2, 2, 0, 0), {1}, InflateError::kIncompleteCode},
      {smallAlphabet(0, 0, 2, 0, 0),
       {1},
       InflateError::kIncompleteCode},  // a lone code of two bits
      {smallAlphabet(1, 1, 0, 0, 0), {1}, InflateError::kNoEndOfBlock},
      {smallAlphabet(2, 2, 2, 3, 3), {1, 1, 1}, InflateError::kOverSubscribed},
      {smallAlphabet(2, 2, 2, 3, 3), {2, 2, 2}, InflateError::kIncompleteCode},
      {smallAlphabet(2, 2, 2, 3, 3), {0, 2}, InflateError::kIncompleteCode},
  };
  for (const Case& c : cases) {
    BitWriter w;
    dynamicBlock(w, true, c.literal, c.distance);
    w.bits(0, 32);
    EXPECT_EQ(run(member(w.bytes)).error(), c.expected);
    EXPECT_ZLIB_REJECTS(w);
  }
}

TEST_F(GzipInflaterTest, BitsThatLeadNowhere) {
  {  // a length where there is no distance code at all
    BitWriter w;
    auto codes = dynamicBlock(w, true, smallAlphabet(2, 2, 2, 3, 3), {0});
    codes.put(w, 'a');
    codes.put(w, 257);
    w.bits(0, 8);
    EXPECT_EQ(run(member(w.bytes)).error(), InflateError::kCodeLeadsNowhere);
    EXPECT_ZLIB_REJECTS(w);
  }
  {  // the missing half of a lone one-bit distance code
    BitWriter w;
    auto codes = dynamicBlock(w, true, smallAlphabet(2, 2, 2, 3, 3), {1});
    codes.put(w, 'a');
    codes.put(w, 257);
    w.bits(1, 1);
    codes.put(w, 256);
    EXPECT_EQ(run(member(w.bytes)).error(), InflateError::kCodeLeadsNowhere);
    EXPECT_ZLIB_REJECTS(w);
  }
  {  // the missing half of a lone end-of-block code
    BitWriter w;
    dynamicBlock(w, true, smallAlphabet(0, 0, 1, 0, 0), {0});
    w.bits(1, 1);
    EXPECT_EQ(run(member(w.bytes)).error(), InflateError::kCodeLeadsNowhere);
    EXPECT_ZLIB_REJECTS(w);
  }
}

TEST_F(GzipInflaterTest, CopyFromBeforeTheFirstByte) {
  for (int32_t literals = 0; literals < 3; literals++) {
    BitWriter w;
    w.bits(1, 1);
    w.bits(1, 2);
    for (int32_t i = 0; i < literals; i++) fixedSymbol(w, 'a');
    fixedSymbol(w, 257);
    w.code(2, 5);  // distance 3
    fixedSymbol(w, 256);
    EXPECT_EQ(run(member(w.bytes)).error(), InflateError::kDistanceTooFar) << literals;
    EXPECT_ZLIB_REJECTS(w);
  }
}

TEST_F(GzipInflaterTest, StoredBlockLongerThanItsInput) {
  BitWriter w;
  w.bits(1, 1);
  w.bits(0, 2);
  w.byte(10);
  w.byte(0);
  w.byte(0xF5);
  w.byte(0xFF);
  for (int32_t i = 0; i < 9; i++) w.byte('s');
  Bytes input = member(w.bytes);
  input.resize(input.size() - 8);  // the stored bytes end the input
  Result result = run(input, 64);
  EXPECT_EQ(result.error(), InflateError::kTruncated);
  EXPECT_EQ(result.output[0], kUnwritten);  // nothing of the block was written
}

TEST_F(GzipInflaterTest, HeaderCutShortOrUnterminatedName) {
  Bytes gz = member({0x03, 0x00}, 8, text("no end to this name"));
  gz.resize(gz.size() - 10);
  EXPECT_EQ(run(gz).error(), InflateError::kTruncated);
  EXPECT_EQ(run(Bytes{0x1f, 0x8b, 8, 0, 0, 0}).error(), InflateError::kTruncated);
  EXPECT_EQ(run(Bytes{}).error(), InflateError::kTruncated);
  // The extra-field flag is seen even in a header cut short after FLG.
  EXPECT_EQ(run(Bytes{0x1f, 0x8b, 8, 4}).error(), InflateError::kExtraField);
}

TEST(BuildHuffmanTree, RefusesCollidingCodesAndAnExhaustedPool) {
  Arena arena;
  GzipInflater& inflater = makeGzipInflater(arena);
  CodePairList& pairs = inflater.pairs;
  auto build = [&](std::initializer_list<CodePair> list) {
    pairs.count = 0;
    for (CodePair pair : list) pairs.entries[pairs.count++] = pair;
    inflater.nodes.count = 0;
    return buildHuffmanTree(inflater.nodes, pairs);
  };
  EXPECT_NE(build({{1, 0}, {2, 2}, {2, 3}}), nullptr);
  EXPECT_EQ(build({{3, 5}, {3, 5}}), nullptr);  // the same code twice
  EXPECT_EQ(build({{1, 0}, {2, 1}}), nullptr);  // 0 is a prefix of 01
  EXPECT_EQ(build({{2, 1}, {1, 0}}), nullptr);  // ... in either order

  // 320 codes of 15 bits spread over the code space need more than 640 nodes.
  pairs.count = 0;
  for (int32_t i = 0; i < 320; i++) pairs.entries[pairs.count++] = CodePair{15, i * 97};
  inflater.nodes.count = 0;
  EXPECT_EQ(buildHuffmanTree(inflater.nodes, pairs), nullptr);
  EXPECT_EQ(inflater.nodes.count, 640);
}

}  // namespace
