// GIF decoding: images in the GIF block structure with LZW-compressed pixels,
// turned into full-size frames of 32-bit pixels ready for the framebuffer.
//
// The subset: one global colour table, images of the logical screen's size,
// no local colour tables, no interlacing. The first six bytes may hold the
// usual "GIF87a" / "GIF89a" signature or six zero bytes (the program's own
// font images carry zeros there).
//
// Pixels: a colour of the table becomes red | green << 8 | blue << 16 with the
// top byte zero; the transparent colour index named by a Graphic Control
// Extension (whose transparency flag is set) becomes 0x80000000, the
// see-through pixel. A Graphic Control Extension applies to the next image only.
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
#include "core/arena.h"

// Why a decode gave no image. Every code is provoked by a test.
enum class GifError : int32_t {
  kNone = 0,
  kNotGif,            // the first six bytes are neither a GIF signature nor zeros
  kTruncated,         // the bytes end before the image does
  kBadScreenSize,     // screen width or height is zero or negative
  kTooLarge,          // the frames would hold more than kMaxGifPixels pixels
  kFrameSize,         // an image is not the size of the logical screen
  kTooManyFrames,     // more than kMaxGifFrames images
  kLocalColourTable,  // an image brings its own colour table (unsupported)
  kInterlaced,        // an interlaced image (unsupported)
  kBadCodeSize,       // LZW minimum code size outside 1..8
  kBadCode,           // an LZW code that names no string yet
  kTooMuchData,       // the LZW data would write past the image's last pixel
  kNoImage,           // the block structure ends without any image
};

// A short lower-case reason for messages ("the data ends early").
const char* describeGifError(GifError error);

inline constexpr int32_t kLzwTableSize = 4096;  // codes are at most 12 bits wide
inline constexpr int32_t kLzwMaxWidth = 12;
inline constexpr int32_t kMaxGifFrames = 256;
inline constexpr int32_t kGifPaletteSize = 256;
inline constexpr int64_t kMaxGifPixels = 16777216;  // over all frames of one image
inline constexpr uint32_t kGifSeeThroughPixel = 0x80000000u;

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
  int32_t clearCode;
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
  Array<uint32_t> palette;  // kGifPaletteSize colours
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

// The LZW layer alone, for the decoder and its tests: a reset to the
// decoder's clear code and initial width, and the decoding of one image's
// codes into pixels from index 0. decodeLzw gives kNone and the number of
// pixels written in total (the data may end early, by an end code or by
// running out), or kBadCode / kTooMuchData.
void resetLzw(LzwDecoder& lzw);
GifError decodeLzw(LzwDecoder& lzw, Array<uint32_t> pixels, int32_t& total);
