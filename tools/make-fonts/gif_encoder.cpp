#include "tools/make-fonts/gif_encoder.h"

#include <algorithm>
#include <stdexcept>

namespace corvexa::make_fonts {

namespace {

constexpr int32_t kMaxCodeWidth = 12;
constexpr int32_t kLastTableIndex = 4094;  // the decoder's table never grows past this

// Packs codes of varying width, lowest bit first.
struct BitPacker {
  std::vector<uint8_t> bytes;
  uint32_t pending = 0;
  int32_t pendingBits = 0;

  void put(int32_t code, int32_t width) {
    pending |= static_cast<uint32_t>(code) << pendingBits;
    pendingBits += width;
    while (pendingBits >= 8) {
      bytes.push_back(static_cast<uint8_t>(pending));
      pending >>= 8;
      pendingBits -= 8;
    }
  }
  void flush() {
    if (pendingBits > 0) bytes.push_back(static_cast<uint8_t>(pending));
    pending = 0;
    pendingBits = 0;
  }
};

void putInt16(std::vector<uint8_t>& out, int32_t value) {
  out.push_back(static_cast<uint8_t>(value));
  out.push_back(static_cast<uint8_t>(value >> 8));
}

}  // namespace

std::vector<uint8_t> encodeLzw(const std::vector<uint8_t>& indices, int32_t codeSize) {
  const int32_t clearCode = 1 << codeSize;
  const int32_t alphabet = clearCode;
  // children[code * alphabet + index]: the code of code's string + index, or 0.
  std::vector<int32_t> children(static_cast<size_t>(4096) * alphabet);
  BitPacker out;
  int32_t width = codeSize + 1;
  int32_t nextCode = clearCode + 2;  // the entry the decoder adds with the next code
  int32_t codesSinceClear = 0;
  auto reset = [&] {
    std::fill(children.begin(), children.end(), 0);
    width = codeSize + 1;
    nextCode = clearCode + 2;
    codesSinceClear = 0;
  };
  // Emits a data code and follows the decoder: from the second code after a
  // clear on, each code it reads adds an entry, and the width grows once the
  // entry just added is 2^width - 1.
  auto emit = [&](int32_t code) {
    out.put(code, width);
    if (codesSinceClear++ > 0) {
      int32_t added = nextCode - 1;
      if (added >= (1 << width) - 1 && width < kMaxCodeWidth) width++;
    }
  };

  out.put(clearCode, width);
  reset();
  if (indices.empty()) {
    out.put(clearCode + 1, width);
    out.flush();
    return out.bytes;
  }
  int32_t current = indices[0];
  for (size_t i = 1; i < indices.size(); i++) {
    int32_t index = indices[i];
    if (index >= alphabet) throw std::invalid_argument("colour index outside the code size");
    int32_t& child = children[static_cast<size_t>(current) * alphabet + index];
    if (child != 0) {
      current = child;
      continue;
    }
    emit(current);
    if (nextCode <= kLastTableIndex) {
      child = nextCode++;
    } else {
      // The decoder's table is full once it has read this code: start afresh.
      out.put(clearCode, width);
      reset();
    }
    current = index;
  }
  emit(current);
  out.put(clearCode + 1, width);
  out.flush();
  return out.bytes;
}

std::vector<uint8_t> encodeGif(const GifPicture& picture) {
  int32_t colours = static_cast<int32_t>(picture.palette.size());
  int32_t sizeBits = 1;
  while ((1 << sizeBits) < colours) sizeBits++;
  if ((1 << sizeBits) != colours || colours > 256 || picture.comment.size() > 255 ||
      picture.indices.size() != static_cast<size_t>(picture.width) * picture.height) {
    throw std::invalid_argument("picture outside what the GIF writer takes");
  }
  std::vector<uint8_t> out(6, 0);  // the signature: "GIF89a" or six zeros
  if (!picture.zeroSignature) std::copy_n("GIF89a", 6, out.begin());
  putInt16(out, picture.width);
  putInt16(out, picture.height);
  // Global colour table present, colour resolution 8 bits, its size.
  out.push_back(static_cast<uint8_t>(0x80 | 0x70 | (sizeBits - 1)));
  out.push_back(0);  // background colour index
  out.push_back(0);  // pixel aspect ratio
  for (uint32_t colour : picture.palette) {
    out.push_back(static_cast<uint8_t>(colour >> 16));
    out.push_back(static_cast<uint8_t>(colour >> 8));
    out.push_back(static_cast<uint8_t>(colour));
  }
  if (!picture.comment.empty()) {
    out.insert(out.end(), {0x21, 0xFE, static_cast<uint8_t>(picture.comment.size())});
    out.insert(out.end(), picture.comment.begin(), picture.comment.end());
    out.push_back(0);
  }
  if (picture.transparentIndex >= 0) {
    // Graphic Control Extension: no disposal, no delay, transparency flag set.
    out.insert(out.end(),
               {0x21, 0xF9, 4, 0x01, 0, 0, static_cast<uint8_t>(picture.transparentIndex), 0});
  }
  out.push_back(0x2C);
  putInt16(out, 0);
  putInt16(out, 0);
  putInt16(out, picture.width);
  putInt16(out, picture.height);
  out.push_back(0);  // no local colour table, not interlaced
  int32_t codeSize = sizeBits < 2 ? 2 : sizeBits;
  out.push_back(static_cast<uint8_t>(codeSize));
  std::vector<uint8_t> data = encodeLzw(picture.indices, codeSize);
  for (size_t at = 0; at < data.size(); at += 255) {
    size_t size = std::min<size_t>(255, data.size() - at);
    out.push_back(static_cast<uint8_t>(size));
    out.insert(out.end(), data.begin() + at, data.begin() + at + size);
  }
  out.push_back(0);
  out.push_back(0x3B);
  return out;
}

}  // namespace corvexa::make_fonts
