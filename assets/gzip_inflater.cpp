// The gzip member's parts, each read by a function of its own, in the order
// in which they come: header, then blocks (stored, fixed, dynamic), each coded
// block being codes() over the trees that fixed() or dynamic() built.
#include "assets/gzip_inflater.h"

namespace corvexa {

namespace {

constexpr int32_t kPairCapacity = 320;
constexpr int32_t kNodeCapacity = 640;
constexpr int32_t kMaxCodeBits = 15;
constexpr int32_t kMaxLiteralLengthCodes = 286;
constexpr int32_t kMaxDistanceCodes = 30;
constexpr int32_t kEndOfBlock = 256;

constexpr int32_t kFlagHeaderCrc = 2;
constexpr int32_t kFlagExtra = 4;
constexpr int32_t kFlagName = 8;
constexpr int32_t kFlagComment = 16;

void appendPair(CodePairList& pairs, int32_t length, int32_t code) {
  pairs.entries[pairs.count] = CodePair{length, code};
  pairs.count++;
}

// A reset node from the pool, or nullptr when all 640 are handed out.
HuffmanNode* takeNode(HuffmanNodePool& pool) {
  if (pool.count >= pool.nodes.count) return nullptr;
  HuffmanNode* node = &pool.nodes[pool.count];
  pool.count++;
  *node = HuffmanNode{-1, nullptr, nullptr};
  return node;
}

// Canonical codes for lengths[first .. first+n-1], appended to the (emptied)
// pairs, one pair per symbol, zero lengths included. Gives what is left of
// the code space in units of one 15-bit code: 0 for a complete code, more for
// an incomplete one, less than 0 for an over-subscribed one (then the pairs
// are left as they were).
int32_t assignCanonicalCodes(GzipInflater& inflater, Array<uint8_t> lengths, int32_t first,
                             int32_t n) {
  CanonicalCodeBuilder& builder = inflater.builder;
  for (int32_t length = 0; length <= kMaxCodeBits; length++) {
    builder.lengthCounts[length] = 0;
    builder.nextCodes[length] = 0;
  }
  for (int32_t symbol = 0; symbol < n; symbol++) builder.lengthCounts[lengths[first + symbol]]++;

  // Each length halves the room left; a length with more codes than room
  // over-subscribes the code and would make two symbols share bits.
  int32_t left = 1;
  for (int32_t length = 1; length <= kMaxCodeBits; length++) {
    left = left * 2 - builder.lengthCounts[length];
    if (left < 0) return left;
  }

  int32_t code = 0;
  for (int32_t length = 2; length <= kMaxCodeBits; length++) {
    code = (code + builder.lengthCounts[length - 1]) * 2;
    if (builder.lengthCounts[length] != 0) builder.nextCodes[length] = code;
  }
  inflater.pairs.count = 0;
  for (int32_t symbol = 0; symbol < n; symbol++) {
    int32_t length = lengths[first + symbol];
    int32_t symbolCode = 0;
    if (length != 0) {
      symbolCode = builder.nextCodes[length] & ((1 << length) - 1);
      builder.nextCodes[length]++;
    }
    appendPair(inflater.pairs, length, symbolCode);
  }
  return left;
}

// True when no code is longer than one bit: the only incomplete codes that
// zlib takes for literal/length and distance codes (no code at all, or one).
bool onlyOneBitCodes(const CanonicalCodeBuilder& builder) {
  for (int32_t length = 2; length <= kMaxCodeBits; length++) {
    if (builder.lengthCounts[length] != 0) return false;
  }
  return true;
}

// The tree of lengths[first .. first+n-1], with the code checks that keep
// every walk inside it: over-subscribed codes are refused, and incomplete
// ones unless allowIncomplete and all codes are of one bit.
InflateError buildCheckedTree(GzipInflater& inflater, Array<uint8_t> lengths, int32_t first,
                              int32_t n, bool allowIncomplete, HuffmanNode** root) {
  int32_t left = assignCanonicalCodes(inflater, lengths, first, n);
  if (left < 0) return InflateError::kOverSubscribed;
  if (left > 0 && !(allowIncomplete && onlyOneBitCodes(inflater.builder)))
    return InflateError::kIncompleteCode;
  *root = buildHuffmanTree(inflater.nodes, inflater.pairs);
  return *root == nullptr ? InflateError::kCodeLeadsNowhere : InflateError::kNone;
}

// decode: one symbol, walking from root one bit per step; a negative result
// is the InflateError of bits that lead nowhere.
int32_t decodeSymbol(GzipInflater& inflater, const HuffmanNode* root) {
  const HuffmanNode* node = root;
  while (node->symbol < 0) {
    node = readBits(inflater.bits, 1) != 0 ? node->one : node->zero;
    if (node == nullptr) {
      return static_cast<int32_t>(inflater.input.failed() ? InflateError::kTruncated
                                                          : InflateError::kCodeLeadsNowhere);
    }
  }
  return node->symbol;
}

// stored: the rest of the current byte is dropped, then LEN and NLEN (16 bits
// each; NLEN is not compared with LEN), then LEN bytes as they are.
InflateError stored(GzipInflater& inflater, Array<uint8_t> output, int32_t& written) {
  inflater.bits.mask = 0;
  int32_t length = readBits(inflater.bits, 16);
  readBits(inflater.bits, 16);
  // The bytes are whole ones now; all of them must be there before any is
  // written (take fails the stream when they are not).
  if (!inflater.input.take(length)) return InflateError::kTruncated;
  if (length > output.count - written) return InflateError::kOutputFull;
  // With the mask at 0 each readBits(8) would read one whole byte: copy them.
  ByteStream& input = inflater.input;
  for (int32_t k = 0; k < length; k++) output[written + k] = input.data[input.position + k];
  input.position += length;
  written += length;
  return InflateError::kNone;
}

// codes: literal/length symbols, each length followed by a distance symbol
// and the extra bits of both, until the end-of-block symbol 256.
InflateError codes(GzipInflater& inflater, const HuffmanNode* literalLengthRoot,
                   const HuffmanNode* distanceRoot, Array<uint8_t> output, int32_t& written) {
  int32_t at = written;
  for (;;) {
    int32_t symbol = decodeSymbol(inflater, literalLengthRoot);
    if (symbol < 0) return static_cast<InflateError>(symbol);
    if (inflater.input.failed()) return InflateError::kTruncated;
    if (symbol < kEndOfBlock) {
      if (at >= output.count) return InflateError::kOutputFull;
      output[at] = static_cast<uint8_t>(symbol);
      at++;
      continue;
    }
    if (symbol == kEndOfBlock) break;

    // Lengths 3..258: four symbols per count of extra bits from 261 on.
    int32_t length = 258;
    if (symbol <= 260) {
      length = symbol - 254;
    } else if (symbol <= 284) {
      int32_t extra = (symbol - 261) / 4;
      length = readBits(inflater.bits, extra) + ((symbol - 1) % 4 + 4) * (1 << extra) + 3;
    }

    // Distances 1..32768: two symbols per count of extra bits from 2 on.
    int32_t distanceSymbol = decodeSymbol(inflater, distanceRoot);
    if (distanceSymbol < 0) return static_cast<InflateError>(distanceSymbol);
    int32_t distance = distanceSymbol + 1;
    if (distanceSymbol >= 2) {
      int32_t extra = (distanceSymbol - 2) / 2;
      distance = readBits(inflater.bits, extra) + (distanceSymbol % 2 + 2) * (1 << extra) + 1;
    }
    if (inflater.input.failed()) return InflateError::kTruncated;
    if (distance > at) return InflateError::kDistanceTooFar;
    if (length > output.count - at) return InflateError::kOutputFull;

    // Forward, byte by byte: a distance below the length repeats the last
    // bytes, which is how runs are coded.
    for (int32_t k = 0; k < length; k++) output[at + k] = output[at - distance + k];
    at += length;
  }
  written = at;
  return InflateError::kNone;
}

// fixed: the codes of RFC 1951 given directly as pairs, rebuilt each block.
InflateError fixed(GzipInflater& inflater, Array<uint8_t> output, int32_t& written) {
  CodePairList& pairs = inflater.pairs;
  pairs.count = 0;
  inflater.nodes.count = 0;
  for (int32_t s = 0; s <= 143; s++) appendPair(pairs, 8, 48 + s);
  for (int32_t s = 144; s <= 255; s++) appendPair(pairs, 9, 256 + s);
  for (int32_t s = 256; s <= 279; s++) appendPair(pairs, 7, s - 256);
  for (int32_t s = 280; s <= 287; s++) appendPair(pairs, 8, 192 + s - 280);
  const HuffmanNode* literalLengthRoot = buildHuffmanTree(inflater.nodes, pairs);
  pairs.count = 0;
  for (int32_t s = 0; s <= 31; s++) appendPair(pairs, 5, s);
  const HuffmanNode* distanceRoot = buildHuffmanTree(inflater.nodes, pairs);
  if (literalLengthRoot == nullptr || distanceRoot == nullptr)
    return InflateError::kCodeLeadsNowhere;
  return codes(inflater, literalLengthRoot, distanceRoot, output, written);
}

// The HLIT + HDIST code lengths of a dynamic block, coded with the
// code-length code: 0..15 a length, 16 the previous length 3..6 times, 17
// zero 3..10 times, 18 zero 11..138 times. A run may pass from the
// literal/length lengths into the distance lengths, but not beyond them.
InflateError readCodeLengths(GzipInflater& inflater, const HuffmanNode* root, int32_t total) {
  Array<uint8_t> lengths = inflater.codeLengths;
  int32_t i = 0;
  while (i < total) {
    int32_t symbol = decodeSymbol(inflater, root);
    if (symbol < 0) return static_cast<InflateError>(symbol);
    if (inflater.input.failed()) return InflateError::kTruncated;
    if (symbol < 16) {
      lengths[i] = static_cast<uint8_t>(symbol);
      i++;
      continue;
    }
    uint8_t length = 0;
    int32_t repeat = 0;
    if (symbol == 16) {
      if (i == 0) return InflateError::kRepeatWithoutLength;
      length = lengths[i - 1];
      repeat = readBits(inflater.bits, 2) + 3;
    } else if (symbol == 17) {
      repeat = readBits(inflater.bits, 3) + 3;
    } else {
      repeat = readBits(inflater.bits, 7) + 11;
    }
    if (inflater.input.failed()) return InflateError::kTruncated;
    if (repeat > total - i) return InflateError::kLengthRunTooLong;
    for (int32_t k = 0; k < repeat; k++) lengths[i + k] = length;
    i += repeat;
  }
  return InflateError::kNone;
}

// dynamic: HLIT, HDIST, HCLEN, the code-length code's lengths in
// kCodeLengthOrder, then the code lengths of the block's two codes.
InflateError dynamic(GzipInflater& inflater, Array<uint8_t> output, int32_t& written) {
  int32_t literalLengthCount = readBits(inflater.bits, 5) + 257;
  int32_t distanceCount = readBits(inflater.bits, 5) + 1;
  int32_t codeLengthCount = readBits(inflater.bits, 4) + 4;
  if (inflater.input.failed()) return InflateError::kTruncated;
  // 287 and 288 literal/length codes, or 31 and 32 distance codes, would name
  // symbols that never occur and pass the 316 code lengths.
  if (literalLengthCount > kMaxLiteralLengthCodes || distanceCount > kMaxDistanceCodes)
    return InflateError::kTooManyCodes;

  for (int32_t i = 0; i < 19; i++) {
    inflater.codeLengthCodeLengths[kCodeLengthOrder[i]] =
        static_cast<uint8_t>(i < codeLengthCount ? readBits(inflater.bits, 3) : 0);
  }
  if (inflater.input.failed()) return InflateError::kTruncated;
  inflater.nodes.count = 0;
  HuffmanNode* codeLengthRoot = nullptr;
  InflateError error =
      buildCheckedTree(inflater, inflater.codeLengthCodeLengths, 0, 19, false, &codeLengthRoot);
  if (error != InflateError::kNone) return error;
  error = readCodeLengths(inflater, codeLengthRoot, literalLengthCount + distanceCount);
  if (error != InflateError::kNone) return error;

  // Without symbol 256 the block could never end.
  if (inflater.codeLengths[kEndOfBlock] == 0) return InflateError::kNoEndOfBlock;
  inflater.nodes.count = 0;
  HuffmanNode* literalLengthRoot = nullptr;
  HuffmanNode* distanceRoot = nullptr;
  error = buildCheckedTree(inflater, inflater.codeLengths, 0, literalLengthCount, true,
                           &literalLengthRoot);
  if (error != InflateError::kNone) return error;
  error = buildCheckedTree(inflater, inflater.codeLengths, literalLengthCount, distanceCount, true,
                           &distanceRoot);
  if (error != InflateError::kNone) return error;
  return codes(inflater, literalLengthRoot, distanceRoot, output, written);
}

// header: ID1 ID2 CM FLG MTIME(4) XFL OS, then what FLG announces. The
// identification and method bytes are passed over, not compared.
InflateError header(ByteStream& input) {
  input.skip(2);
  input.skip(1);
  int32_t flags = input.readByte();
  input.skip(4);
  input.skip(1);
  input.skip(1);
  if ((flags & kFlagExtra) != 0) return InflateError::kExtraField;
  // A failed stream reads as 0, which ends these loops too.
  if ((flags & kFlagName) != 0) {
    while (input.readByte() != 0) {
    }
  }
  if ((flags & kFlagComment) != 0) {
    while (input.readByte() != 0) {
    }
  }
  if ((flags & kFlagHeaderCrc) != 0) input.skip(2);
  return input.failed() ? InflateError::kTruncated : InflateError::kNone;
}

}  // namespace

GzipInflater& makeGzipInflater(Arena& arena) {
  GzipInflater& inflater = arena.make<GzipInflater>();
  inflater.codeLengthCodeLengths = arena.makeArray<uint8_t>(19);
  inflater.codeLengths = arena.makeArray<uint8_t>(kMaxLiteralLengthCodes + kMaxDistanceCodes);
  inflater.pairs = CodePairList{arena.makeArray<CodePair>(kPairCapacity), 0};
  inflater.nodes = HuffmanNodePool{arena.makeArray<HuffmanNode>(kNodeCapacity), 0};
  inflater.builder = CanonicalCodeBuilder{arena.makeArray<int32_t>(kMaxCodeBits + 1),
                                          arena.makeArray<int32_t>(kMaxCodeBits + 1)};
  inflater.bits = InflateBitReader{0, 0, &inflater.input};
  return inflater;
}

// bits: n bits, low bit of each byte first, a new byte whenever the mask has
// passed bit 7.
int32_t readBits(InflateBitReader& reader, int32_t n) {
  int32_t value = 0;
  for (int32_t i = 0; i < n; i++) {
    if (reader.mask == 0) {
      reader.mask = 1;
      reader.current = reader.stream->readByte();
    }
    if ((reader.current & reader.mask) != 0) value |= 1 << i;
    reader.mask = static_cast<uint8_t>(reader.mask << 1);
  }
  return value;
}

// construct: every pair with a length walks down from the root, bit L-1
// first, taking the nodes it lacks; its last node gets the symbol.
HuffmanNode* buildHuffmanTree(HuffmanNodePool& pool, const CodePairList& pairs) {
  HuffmanNode* root = takeNode(pool);
  if (root == nullptr) return nullptr;
  for (int32_t symbol = 0; symbol < pairs.count; symbol++) {
    const CodePair& pair = pairs.entries[symbol];
    HuffmanNode* node = root;
    for (int32_t bit = pair.length - 1; bit >= 0; bit--) {
      if (node->symbol >= 0) return nullptr;  // a shorter code is a prefix of this one
      HuffmanNode*& child = ((pair.code >> bit) & 1) != 0 ? node->one : node->zero;
      if (child == nullptr) child = takeNode(pool);
      if (child == nullptr) return nullptr;
      node = child;
    }
    if (pair.length > 0) {
      // The last node must be fresh: no symbol yet and nothing below it.
      if (node->symbol >= 0 || node->zero != nullptr || node->one != nullptr) return nullptr;
      node->symbol = static_cast<int16_t>(symbol);
    }
  }
  return root;
}

int32_t inflate(GzipInflater& inflater, Array<const uint8_t> input, Array<uint8_t> output) {
  inflater.input.pointAt(input);
  inflater.bits.mask = 0;
  inflater.bits.stream = &inflater.input;
  InflateError error = header(inflater.input);
  if (error != InflateError::kNone) return static_cast<int32_t>(error);

  int32_t written = 0;
  int32_t last = 0;
  do {
    last = readBits(inflater.bits, 1);
    int32_t type = readBits(inflater.bits, 2);
    // Also what stops a run of type-3 blocks: each takes three bits.
    if (inflater.input.failed()) return static_cast<int32_t>(InflateError::kTruncated);
    if (type == 0) {
      error = stored(inflater, output, written);
    } else if (type == 1) {
      error = fixed(inflater, output, written);
    } else if (type == 2) {
      error = dynamic(inflater, output, written);
    } else {
      error = InflateError::kNone;  // type 3: an empty block
    }
    if (error != InflateError::kNone) return static_cast<int32_t>(error);
  } while (last == 0);
  return written;
}

const char* describeInflateError(InflateError error) {
  switch (error) {
    case InflateError::kNone:
      return "no error";
    case InflateError::kExtraField:
      return "the gzip header announces an extra field (FEXTRA), which is not read";
    case InflateError::kTruncated:
      return kDataEndsEarly;
    case InflateError::kOutputFull:
      return "the decoded data do not fit into the output";
    case InflateError::kDistanceTooFar:
      return "a copy reaches back before the first decoded byte";
    case InflateError::kTooManyCodes:
      return "a dynamic block names more than 286 literal/length or 30 distance codes";
    case InflateError::kRepeatWithoutLength:
      return "a code-length repeat (16) comes before any length";
    case InflateError::kLengthRunTooLong:
      return "a run of code lengths goes past the block's code count";
    case InflateError::kOverSubscribed:
      return "a Huffman code is over-subscribed";
    case InflateError::kIncompleteCode:
      return "a Huffman code is incomplete";
    case InflateError::kNoEndOfBlock:
      return "a literal/length code has no end-of-block symbol";
    case InflateError::kCodeLeadsNowhere:
      return "the bits lead to no symbol of the code";
  }
  return "unknown error";
}

}  // namespace corvexa
