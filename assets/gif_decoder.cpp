#include "assets/gif_decoder.h"

namespace corvexa {

namespace {

// The LZW layer alone: a reset to the decoder's clear code and initial width,
// and the decoding of one image's codes into pixels from index 0. decodeLzw
// gives kNone and the number of pixels written in total (the data may end
// early, by an end code or by running out), or kBadCode / kTooMuchData.
void resetLzw(LzwDecoder& lzw);
GifError decodeLzw(LzwDecoder& lzw, Array<uint32_t> pixels, int32_t& total);

constexpr uint8_t kExtensionIntroducer = 0x21;
constexpr uint8_t kImageSeparator = 0x2C;
constexpr uint8_t kTrailer = 0x3B;
constexpr uint8_t kGraphicControlLabel = 0xF9;
constexpr uint8_t kCommentLabel = 0xFE;

// The suffix of the entry reached by following prefixes from code: the first
// colour index of code's string. Prefixes always point to earlier entries, so
// the walk ends.
int16_t firstIndex(const LzwStringTable& table, int32_t code) {
  while (table.entries[code].prefix >= 0) code = table.entries[code].prefix;
  return table.entries[code].suffix;
}

// Appends a string; a full table takes nothing more until the next clear code.
// Gives the new entry's index, or -1 when the table is full.
int32_t appendString(LzwStringTable& table, int16_t suffix, int16_t prefix) {
  if (table.count >= kLzwTableSize) return -1;
  table.entries[table.count] = {suffix, prefix};
  return table.count++;
}

// Writes code's string at pixels[total ..]: last index first, walking back
// along the prefixes. Gives false, writing nothing, when it would not fit.
bool writeString(const LzwStringTable& table, int32_t code, Array<uint32_t> pixels,
                 int32_t& total) {
  int32_t length = 1;
  for (int32_t c = code; table.entries[c].prefix >= 0; c = table.entries[c].prefix) length++;
  if (length > pixels.count - total) return false;
  int32_t at = total + length - 1;
  for (int32_t c = code; c >= 0; c = table.entries[c].prefix) {
    pixels[at--] = static_cast<uint32_t>(table.entries[c].suffix);
  }
  total += length;
  return true;
}

struct BlockState {
  int32_t transparent = -1;  // colour index of see-through pixels for the next image
  int32_t delay = 0;
  int32_t frameCount = 0;
  Array<uint8_t> comment;
};

// Graphic Control Extension, after its label: block size, packed fields,
// delay, transparent index and terminator, five fixed bytes. The packed fields
// are not looked at: the index is see-through whatever the transparency flag
// says.
void readGraphicControl(ByteStream& stream, BlockState& state) {
  stream.skip(1);  // block size
  stream.skip(1);  // packed fields
  state.delay = stream.readInt16();
  state.transparent = stream.readByte();
  stream.skip(1);  // block terminator
}

// Comment Extension, after its label: the first sub-block becomes the comment
// (replacing any earlier one), then one byte is passed over, the terminator of
// a one-block comment. Bytes of any further sub-blocks are left to the block
// loop.
void readComment(ByteStream& stream, Arena& arena, BlockState& state) {
  uint8_t size = stream.readByte();
  state.comment = arena.makeArray<uint8_t>(size);
  stream.readBytes(size, state.comment);
  stream.skip(1);
}

// Image descriptor and image data, after the separator: one new frame. The
// packed fields are not looked at: no local colour table is read and rows come
// in the order they are stored.
GifError readImage(GifDecoder& decoder, Arena& arena, int32_t width, int32_t height,
                   int32_t colours, BlockState& state) {
  ByteStream& stream = decoder.stream;
  stream.skip(2);  // left
  stream.skip(2);  // top
  int32_t w = stream.readInt16();
  int32_t h = stream.readInt16();
  stream.skip(1);  // packed fields
  int32_t codeSize = stream.readByte();
  if (stream.failed()) return GifError::kTruncated;
  if (w != width || h != height) return GifError::kFrameSize;
  if (codeSize > kLzwMaxCodeSize) return GifError::kBadCodeSize;
  if (state.frameCount == kMaxGifFrames) return GifError::kTooManyFrames;
  int32_t pixelCount = w * h;  // the screen size was checked against kMaxGifPixels
  if (decoder.pixelsAllocated + pixelCount > kMaxGifPixels) return GifError::kTooLarge;
  decoder.pixelsAllocated += pixelCount;

  GifFrame& frame = arena.make<GifFrame>();
  frame.pixels = arena.makeArray<uint32_t>(pixelCount);
  frame.delay = state.delay;
  decoder.frames[state.frameCount++] = &frame;

  decoder.subBlocks.remaining = stream.readByte();
  LzwDecoder& lzw = decoder.lzw;
  lzw.bits.left = 0;
  lzw.clearCode = colours;
  lzw.initialWidth = codeSize + 1;
  resetLzw(lzw);
  int32_t total = 0;
  GifError error = decodeLzw(lzw, frame.pixels, total);
  if (error != GifError::kNone) return error;
  if (stream.failed()) return GifError::kTruncated;

  // Every index written is below the clear code, so inside the palette.
  for (int32_t i = 0; i < total; i++) {
    int32_t index = static_cast<int32_t>(frame.pixels[i]);
    frame.pixels[i] = index == state.transparent ? kSeeThroughBit : decoder.palette[index];
  }
  state.transparent = -1;
  state.delay = 0;
  // Data bytes after the end code and the terminator are left to the block
  // loop; when the end code lies in the last data byte the reader has already
  // consumed the terminator.
  return GifError::kNone;
}

}  // namespace

const char* describeGifError(GifError error) {
  switch (error) {
    case GifError::kNone:
      return "no error";
    case GifError::kTruncated:
      return kDataEndsEarly;
    case GifError::kBadScreenSize:
      return "the screen width or height is zero or negative";
    case GifError::kTooLarge:
      return "the frames would hold more than 16,777,216 pixels";
    case GifError::kFrameSize:
      return "an image is not the size of the screen (unsupported)";
    case GifError::kTooManyFrames:
      return "more than 256 images";
    case GifError::kBadCodeSize:
      return "the LZW code size is above 11";
    case GifError::kBadCode:
      return "the LZW data starts with a code that is not in the table";
    case GifError::kTooMuchData:
      return "the LZW data holds more pixels than the image";
    case GifError::kNoImage:
      return "the file holds no image";
  }
  return "unknown error";
}

int32_t SubBlockReader::read() {
  if (remaining == 0 || stream->failed()) return -1;
  int32_t byte = stream->readByte();
  remaining--;
  // The size of the next sub-block comes with the last byte of this one.
  if (remaining == 0) remaining = stream->readByte();
  return byte;
}

int32_t LzwBitReader::read(int32_t n) {
  int32_t value = 0;
  int32_t have = 0;
  while (n > 0) {
    if (left == 0) {
      int32_t byte = source->read();
      if (byte < 0) return -1;
      current = static_cast<uint8_t>(byte);
      left = 8;
    }
    int32_t take = n < left ? n : left;
    value |= (current & ((1 << take) - 1)) << have;
    current = static_cast<uint8_t>(current >> take);
    have += take;
    left -= take;
    n -= take;
  }
  return value;
}

namespace {

void resetLzw(LzwDecoder& lzw) {
  LzwStringTable& table = lzw.table;
  lzw.width = lzw.initialWidth;
  lzw.previous = -1;
  table.count = 0;
  for (int32_t i = 0; i < lzw.clearCode; i++) appendString(table, static_cast<int16_t>(i), -1);
  appendString(table, -1, -1);  // the clear code's slot
  appendString(table, -2, -1);  // the end code's slot
}

GifError decodeLzw(LzwDecoder& lzw, Array<uint32_t> pixels, int32_t& total) {
  LzwStringTable& table = lzw.table;
  total = 0;
  for (;;) {
    int32_t code = lzw.bits.read(lzw.width);
    if (code < 0) return GifError::kNone;  // the data ended without an end code
    if (code == lzw.clearCode) {
      resetLzw(lzw);
      continue;
    }
    if (code == lzw.clearCode + 1) return GifError::kNone;

    int32_t added = -1;
    if (code < table.count) {
      if (lzw.previous >= 0) {
        added = appendString(table, firstIndex(table, code), lzw.previous);
      }
    } else {
      // Not yet in the table: the string of previous followed by its own
      // first index, the entry about to be added. A code beyond the count is
      // taken as the count. Right after a clear there is no previous string
      // to build on.
      if (lzw.previous < 0) return GifError::kBadCode;
      added = appendString(table, firstIndex(table, lzw.previous), lzw.previous);
      if (added < 0) return GifError::kBadCode;  // a full table: no 12-bit code gets here
      code = added;
    }
    if (!writeString(table, code, pixels, total)) return GifError::kTooMuchData;
    if (added >= (1 << lzw.width) - 1 && lzw.width < kLzwMaxWidth) lzw.width++;
    lzw.previous = static_cast<int16_t>(code);
  }
}

}  // namespace

GifDecoder& makeGifDecoder(Arena& arena) {
  GifDecoder& decoder = arena.make<GifDecoder>();
  decoder.subBlocks.stream = &decoder.stream;
  decoder.lzw.table.entries = arena.makeArray<LzwEntry>(kLzwTableSize);
  decoder.lzw.bits.source = &decoder.subBlocks;
  decoder.frames = arena.makeArray<GifFrame*>(kMaxGifFrames);
  decoder.palette = arena.makeArray<uint32_t>(kGifPaletteSize);
  return decoder;
}

GifResult decodeGif(GifDecoder& decoder, Arena& arena, Array<const uint8_t> bytes) {
  ByteStream& stream = decoder.stream;
  stream.pointAt(bytes);
  decoder.pixelsAllocated = 0;

  // Header: signature and version (passed over untested), logical screen
  // descriptor, global colour table.
  stream.skip(3);
  stream.skip(3);
  int32_t width = stream.readInt16();
  int32_t height = stream.readInt16();
  uint8_t flags = stream.readByte();
  stream.skip(1);  // background colour index
  stream.skip(1);  // pixel aspect ratio
  if (stream.failed()) return {GifError::kTruncated, nullptr};
  if (width <= 0 || height <= 0) return {GifError::kBadScreenSize, nullptr};
  if (static_cast<int64_t>(width) * height > kMaxGifPixels) return {GifError::kTooLarge, nullptr};
  // The table is read whatever the global colour table flag says; entries
  // past it are black, not left over from an earlier image. Bits 3 to 6 of
  // the flags are not looked at.
  int32_t colours = 1 << ((flags & 7) + 1);
  for (int32_t i = 0; i < kGifPaletteSize; i++) {
    decoder.palette[i] = i < colours ? static_cast<uint32_t>(stream.readInt24()) : 0;
  }

  // Blocks, until the trailer or the end of the data.
  BlockState state;
  while (!stream.failed() && stream.position != bytes.count) {
    uint8_t introducer = stream.readByte();
    if (introducer == kExtensionIntroducer) {
      uint8_t label = stream.readByte();
      if (label == kGraphicControlLabel) {
        readGraphicControl(stream, state);
      } else if (label == kCommentLabel) {
        readComment(stream, arena, state);
      }
      // Any other extension: its sub-blocks are met by this loop byte by byte.
    } else if (introducer == kImageSeparator) {
      GifError error = readImage(decoder, arena, width, height, colours, state);
      if (error != GifError::kNone) return {error, nullptr};
    } else if (introducer == kTrailer) {
      break;
    }
    // Any other byte between blocks is passed over.
  }
  if (stream.failed()) return {GifError::kTruncated, nullptr};
  if (state.frameCount == 0) return {GifError::kNoImage, nullptr};

  GifImage& image = arena.make<GifImage>();
  image.width = width;
  image.height = height;
  image.frames = arena.makeArray<GifFrame*>(state.frameCount);
  for (int32_t i = 0; i < state.frameCount; i++) image.frames[i] = decoder.frames[i];
  image.comment = state.comment;
  return {GifError::kNone, &image};
}

}  // namespace corvexa
