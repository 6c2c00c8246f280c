// Hand-made GIF bytes for the decoder's and the fonts' tests: blocks written
// one by one, and LZW data written as literal codes only (each pixel its own
// code), which any decoder must read back exactly.
#pragma once

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "base/array.h"

namespace corvexa {

// Packs codes lowest bit first.
struct CodeWriter {
  std::vector<uint8_t> bytes;
  uint32_t pending = 0;
  int32_t bits = 0;
  void put(int32_t code, int32_t width) {
    pending |= static_cast<uint32_t>(code) << bits;
    bits += width;
    for (; bits >= 8; bits -= 8, pending >>= 8) bytes.push_back(static_cast<uint8_t>(pending));
  }
  std::vector<uint8_t> finish() {
    if (bits > 0) bytes.push_back(static_cast<uint8_t>(pending));
    bits = 0;
    return bytes;
  }
};

// Literal codes for indices, starting with a clear code and ending with the end
// code, at the widths the decoder expects: the clear code is the number of
// colours in the global table, the first width codeSize + 1; every code after
// the first adds a table entry (until the table holds 4096), and the width
// grows once the entry just added is 2^width - 1, up to 12 bits.
inline std::vector<uint8_t> literalCodes(const std::vector<uint8_t>& indices, int32_t colours,
                                         int32_t codeSize, bool endCode = true) {
  CodeWriter writer;
  int32_t clear = colours;
  int32_t width = codeSize + 1;
  int32_t count = clear + 2;
  writer.put(clear, width);
  for (size_t i = 0; i < indices.size(); i++) {
    writer.put(indices[i], width);
    if (i > 0 && count < 4096) {
      int32_t added = count++;
      if (added >= (1 << width) - 1 && width < 12) width++;
    }
  }
  if (endCode) writer.put(clear + 1, width);
  return writer.finish();
}

struct GifBuilder {
  std::vector<uint8_t> bytes;

  GifBuilder& raw(std::initializer_list<uint8_t> values) {
    bytes.insert(bytes.end(), values);
    return *this;
  }
  GifBuilder& int16(int32_t value) {
    return raw({static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)});
  }
  // Six zero bytes, the screen size and a global table of 2^(sizeBits) colours
  // (0xRRGGBB, missing entries black).
  GifBuilder& header(int32_t width, int32_t height, int32_t sizeBits,
                     std::vector<uint32_t> colours) {
    raw({0, 0, 0, 0, 0, 0});
    int16(width).int16(height).raw({static_cast<uint8_t>(0x80 | (sizeBits - 1)), 0, 0});
    colours.resize(static_cast<size_t>(1) << sizeBits);
    for (uint32_t c : colours)
      raw({static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c)});
    return *this;
  }
  GifBuilder& control(int32_t transparent, int32_t delay, uint8_t flags = 1) {
    raw({0x21, 0xF9, 4, flags}).int16(delay);
    return raw({static_cast<uint8_t>(transparent), 0});
  }
  GifBuilder& subBlocks(const std::vector<uint8_t>& data, bool terminator = true) {
    for (size_t at = 0; at < data.size(); at += 255) {
      size_t size = std::min<size_t>(255, data.size() - at);
      bytes.push_back(static_cast<uint8_t>(size));
      bytes.insert(bytes.end(), data.begin() + at, data.begin() + at + size);
    }
    if (terminator) bytes.push_back(0);
    return *this;
  }
  GifBuilder& comment(const std::string& text) {
    raw({0x21, 0xFE});
    return subBlocks(std::vector<uint8_t>(text.begin(), text.end()));
  }
  GifBuilder& image(int32_t width, int32_t height, int32_t codeSize,
                    const std::vector<uint8_t>& lzwData, uint8_t packed = 0) {
    raw({0x2C}).int16(0).int16(0).int16(width).int16(height);
    raw({packed, static_cast<uint8_t>(codeSize)});
    return subBlocks(lzwData);
  }
  GifBuilder& trailer() { return raw({0x3B}); }

  Array<const uint8_t> array() const {
    return Array<const uint8_t>{static_cast<int32_t>(bytes.size()), bytes.data()};
  }
};

}  // namespace corvexa
