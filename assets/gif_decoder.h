// GIF decoding: images in the GIF block structure with LZW-compressed pixels,
// turned into full-size frames of 32-bit pixels ready for the framebuffer.
//
// This reads the program's own image format, which keeps GIF's blocks but not
// all of its rules; a standard GIF decodes the same only where the two agree.
//  - The six signature and version bytes are passed over untested (the
//    program's font images carry zeros there).
//  - One global colour table of 2^((flags & 7) + 1) entries, read whatever the
//    table flag says. The LZW clear code is that number of entries, not
//    2^(code size); the first code width is code size + 1. A 4-entry table with
//    code size 2 has clear code 4, a 2-entry table with code size 2 clear code 2.
//  - An image descriptor's packed fields are ignored: a local colour table is
//    not read (its bytes are taken as the code size and image data) and an
//    interlaced image comes out in storage order. Every image must be the
//    logical screen's size.
//  - A Graphic Control Extension is read as block size, packed fields
//    (ignored), delay, transparent index and terminator: its index becomes
//    see-through even when the transparency flag is clear, for the next image
//    only.
//  - A Comment Extension keeps its first sub-block (the last comment wins) and
//    passes over the one byte after it, whatever it is. Any other extension
//    reads only its label. The bytes of further sub-blocks, and those left
//    after an image's end code, are met one at a time between blocks and passed
//    over unless one is 0x21 (extension), 0x2C (image) or 0x3B (trailer).
//
// Pixels: a colour of the table becomes red | green << 8 | blue << 16 with the
// top byte zero; the transparent colour index becomes 0x80000000, the
// see-through pixel.
//
// Usage: make one GifDecoder from an Arena at start-up (makeGifDecoder) and
// reuse it for every image; each decodeGif takes the image's bytes and gives a
// GifImage whose frames, pixels and comment are new Arena blocks, or a
// GifError saying why the bytes are not an image this decoder can show. A bad
// image never comes back half-decoded, and no input reads or writes outside its
// arrays. The decoder is not re-entrant.
#pragma once

#include <cstdint>

#include "assets/byte_stream.h"
#include "base/arena.h"
#include "base/pixel.h"

namespace corvexa {

// Why a decode gave no image. Every code is provoked by a test.
enum class GifError : int32_t {
  kNone = 0,
  kTruncated,      // the bytes end before the image does
  kBadScreenSize,  // screen width or height is zero or negative
  kTooLarge,       // the frames would hold more than kMaxGifPixels pixels
  kFrameSize,      // an image is not the size of the logical screen
  kTooManyFrames,  // more than kMaxGifFrames images
  kBadCodeSize,    // LZW code size above 11: codes wider than the table's 12 bits
  kBadCode,        // a code not in the table right after a clear code
  kTooMuchData,    // the LZW data would write past the image's last pixel
  kNoImage,        // the block structure ends without any image
};

// One line for a message: "no error", kDataEndsEarly, "more than 256
// images", ...
const char* describeGifError(GifError error);

inline constexpr int32_t kLzwTableSize = 4096;  // codes are at most 12 bits wide
inline constexpr int32_t kLzwMaxWidth = 12;
inline constexpr int32_t kLzwMaxCodeSize = kLzwMaxWidth - 1;
inline constexpr int32_t kMaxGifFrames = 256;
inline constexpr int32_t kGifPaletteSize = 256;
inline constexpr int64_t kMaxGifPixels = 16777216;  // over all frames of one image

// Reads the bytes of a run of data sub-blocks (size byte, then that many bytes;
// size 0 ends the run) as one stream of bytes.
struct SubBlockReader {
  ByteStream* stream;
  int32_t remaining;  // bytes left in the current sub-block; 0 = no more data

  // The next data byte, or -1 when the data has ended (or the stream failed).
  int32_t read();
};

// Reads codes of a given width, lowest bit first, from the sub-blocks.
struct LzwBitReader {
  SubBlockReader* source;
  uint8_t current;  // the unread bits of the last byte, lowest first
  int32_t left;     // bits still in current

  // n (0..16) bits as an unsigned value, or -1 when the data has ended.
  int32_t read(int32_t n);
};

// A string of colour indices: its last index and the entry holding the rest.
struct LzwEntry {
  int16_t suffix;  // -1 and -2 in the slots of the clear and end codes
  int16_t prefix;  // -1 for a one-index string
};

struct LzwStringTable {
  Array<LzwEntry> entries;  // kLzwTableSize
  int16_t count;            // entries in use
};

struct LzwDecoder {
  LzwStringTable table;
  LzwBitReader bits;
  int32_t clearCode;  // the number of global colour table entries
  int32_t initialWidth;
  int32_t width;     // the current code width in bits
  int16_t previous;  // the previous code, -1 after a clear
};

struct GifFrame {
  Array<uint32_t> pixels;  // width x height, row by row from the top left
  int32_t delay;           // of the Graphic Control Extension before it; 0 if none
};

struct GifImage {
  int32_t width;  // of the logical screen
  int32_t height;
  Array<GifFrame*> frames;  // at least one
  Array<uint8_t> comment;   // first sub-block of the last comment; items null if none
};

struct GifDecoder {
  ByteStream stream;
  SubBlockReader subBlocks;
  LzwDecoder lzw;
  Array<GifFrame*> frames;  // kMaxGifFrames, scratch list of the image being decoded
  Array<uint32_t> palette;  // kGifPaletteSize colours; black past the image's table
  int64_t pixelsAllocated;  // over the frames of the image being decoded
};

// The one decoder, its table, frame list and palette made in arena.
GifDecoder& makeGifDecoder(Arena& arena);

struct GifResult {
  GifError error;   // kNone when image is set
  GifImage* image;  // null unless error is kNone
};

// Decodes bytes; the image and everything it holds come from arena.
GifResult decodeGif(GifDecoder& decoder, Arena& arena, Array<const uint8_t> bytes);

}  // namespace corvexa
