// A small GIF writer for the font images: one global colour table, a Graphic
// Control Extension naming the transparent index, a comment, one full-screen
// image with LZW data in codes of at most 12 bits.
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

// The LZW code stream of indices (minimum code size codeSize), packed lowest
// bit first, without the sub-block framing. A clear code comes first and again
// whenever the decoder's table would otherwise grow past index 4094.
std::vector<uint8_t> encodeLzw(const std::vector<uint8_t>& indices, int32_t codeSize);

// The whole file.
std::vector<uint8_t> encodeGif(const GifPicture& picture);

}  // namespace corvexa::make_fonts
