// A small GIF writer for the font images: one global colour table, a Graphic
// Control Extension naming the transparent index, a comment, one full-screen
// image with LZW data in codes of at most 12 bits.
//
// Its parts are whole functions of their own, so that the tests build their
// GIF bytes, broken ones among them, with the same code: the block writers
// (put...), the code packer and the LZW code writer, which widens its codes
// exactly as the engine's decoder (assets/gif_decoder.h) reads them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace corvexa::make_fonts {

struct GifPicture {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint32_t> palette;  // 0xRRGGBB; a power of two from 2 to 256 entries
  int32_t transparentIndex = -1;  // -1: no Graphic Control Extension
  std::string comment;            // at most 255 bytes; empty: no comment
  std::vector<uint8_t> indices;   // width x height colour indices, row by row
  bool zeroSignature = false;     // six zero bytes instead of "GIF89a"
};

// The whole file.
std::vector<uint8_t> encodeGif(const GifPicture& picture);

// The LZW code stream of indices (minimum code size codeSize), packed lowest
// bit first, without the sub-block framing. A clear code comes first and again
// whenever the decoder's table would otherwise grow past index 4094.
std::vector<uint8_t> encodeLzw(const std::vector<uint8_t>& indices, int32_t codeSize);

// Packs codes of any width up to 24 bits, lowest bit first.
struct CodePacker {
  std::vector<uint8_t> bytes;
  uint32_t pending = 0;
  int32_t pendingBits = 0;

  void put(int32_t code, int32_t width);
  // The bytes, the last one padded with zero bits.
  std::vector<uint8_t> finish();
};

// LZW codes at the widths the decoder reads them: after a clear code the
// width is codeSize + 1; from the second code after it on, each code read adds
// a table entry (while the table holds fewer than 4096), and the width grows
// by one, up to 12, once the entry just added is 2^width - 1.
class LzwCodeWriter {
 public:
  LzwCodeWriter(int32_t clearCode, int32_t codeSize);
  void clear();  // the clear code, and the decoder's table afresh
  void put(int32_t code);
  void end();  // the end code
  std::vector<uint8_t> finish() { return packer_.finish(); }

  int32_t width() const { return width_; }
  // The index of the entry the decoder adds when it reads the next code.
  int32_t nextEntry() const { return tableCount_; }

 private:
  CodePacker packer_;
  int32_t clearCode_;
  int32_t codeSize_;
  int32_t width_;
  int32_t tableCount_;  // entries in the decoder's table
  int32_t codesSinceClear_;
};

// The blocks of a GIF file, appended to out.
void putInt16(std::vector<uint8_t>& out, int32_t value);
// Signature ("GIF89a", or six zero bytes), logical screen descriptor and a
// global colour table of 2^sizeBits colours (0xRRGGBB; missing entries black).
void putScreen(std::vector<uint8_t>& out, int32_t width, int32_t height, int32_t sizeBits,
               std::vector<uint32_t> palette, bool zeroSignature);
// Data sub-blocks of at most 255 bytes, and the terminator unless told not to.
void putSubBlocks(std::vector<uint8_t>& out, const std::vector<uint8_t>& data,
                  bool terminator = true);
void putComment(std::vector<uint8_t>& out, const std::string& text);
// A Graphic Control Extension: flags 1 says the index is transparent.
void putGraphicControl(std::vector<uint8_t>& out, int32_t transparentIndex, int32_t delay,
                       uint8_t flags = 1);
// An image descriptor at (0, 0) with its packed fields, then the LZW data.
void putImage(std::vector<uint8_t>& out, int32_t width, int32_t height, int32_t codeSize,
              const std::vector<uint8_t>& lzwData, uint8_t packed = 0);

}  // namespace corvexa::make_fonts
