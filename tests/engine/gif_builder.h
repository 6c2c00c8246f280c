// Hand-made GIF bytes for the decoder's and the fonts' tests, written with the
// font images' own GIF writer (tools/make-fonts/gif_encoder.h): blocks one by
// one, raw bytes where a test breaks the structure, and LZW data written as
// literal codes only (each pixel its own code), which any decoder must read
// back exactly.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "base/array.h"
#include "tools/make-fonts/gif_encoder.h"

namespace corvexa {

// Codes of given widths, lowest bit first.
using CodeWriter = make_fonts::CodePacker;

// Literal codes for indices, starting with a clear code and ending with the end
// code, at the widths the decoder expects: the clear code is the number of
// colours in the global table, the first width codeSize + 1.
inline std::vector<uint8_t> literalCodes(const std::vector<uint8_t>& indices, int32_t colours,
                                         int32_t codeSize, bool endCode = true) {
  make_fonts::LzwCodeWriter writer(colours, codeSize);
  writer.clear();
  for (uint8_t index : indices) writer.put(index);
  if (endCode) writer.end();
  return writer.finish();
}

struct GifBuilder {
  std::vector<uint8_t> bytes;

  GifBuilder& raw(std::initializer_list<uint8_t> values) {
    bytes.insert(bytes.end(), values);
    return *this;
  }
  GifBuilder& int16(int32_t value) {
    make_fonts::putInt16(bytes, value);
    return *this;
  }
  // Six zero bytes, the screen size and a global table of 2^(sizeBits) colours
  // (0xRRGGBB, missing entries black).
  GifBuilder& header(int32_t width, int32_t height, int32_t sizeBits,
                     std::vector<uint32_t> colours) {
    make_fonts::putScreen(bytes, width, height, sizeBits, std::move(colours), true);
    return *this;
  }
  GifBuilder& control(int32_t transparent, int32_t delay, uint8_t flags = 1) {
    make_fonts::putGraphicControl(bytes, transparent, delay, flags);
    return *this;
  }
  GifBuilder& subBlocks(const std::vector<uint8_t>& data, bool terminator = true) {
    make_fonts::putSubBlocks(bytes, data, terminator);
    return *this;
  }
  GifBuilder& comment(const std::string& text) {
    make_fonts::putComment(bytes, text);
    return *this;
  }
  GifBuilder& image(int32_t width, int32_t height, int32_t codeSize,
                    const std::vector<uint8_t>& lzwData, uint8_t packed = 0) {
    make_fonts::putImage(bytes, width, height, codeSize, lzwData, packed);
    return *this;
  }
  GifBuilder& trailer() { return raw({0x3B}); }

  Array<const uint8_t> array() const {
    return Array<const uint8_t>{static_cast<int32_t>(bytes.size()), bytes.data()};
  }
};

}  // namespace corvexa
