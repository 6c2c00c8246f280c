#include "tools/make-fonts/gif_encoder.h"

#include <algorithm>
#include <stdexcept>

namespace corvexa::make_fonts {

namespace {

constexpr int32_t kMaxCodeWidth = 12;
constexpr int32_t kTableSize = 4096;
constexpr int32_t kLastTableIndex = 4094;  // the encoder never lets the table grow past this

}  // namespace

void CodePacker::put(int32_t code, int32_t width) {
  pending |= static_cast<uint32_t>(code) << pendingBits;
  pendingBits += width;
  while (pendingBits >= 8) {
    bytes.push_back(static_cast<uint8_t>(pending));
    pending >>= 8;
    pendingBits -= 8;
  }
}

std::vector<uint8_t> CodePacker::finish() {
  if (pendingBits > 0) bytes.push_back(static_cast<uint8_t>(pending));
  pending = 0;
  pendingBits = 0;
  return bytes;
}

LzwCodeWriter::LzwCodeWriter(int32_t clearCode, int32_t codeSize)
    : clearCode_(clearCode),
      codeSize_(codeSize),
      width_(codeSize + 1),
      tableCount_(clearCode + 2),
      codesSinceClear_(0) {}

void LzwCodeWriter::clear() {
  packer_.put(clearCode_, width_);
  width_ = codeSize_ + 1;
  tableCount_ = clearCode_ + 2;
  codesSinceClear_ = 0;
}

void LzwCodeWriter::put(int32_t code) {
  packer_.put(code, width_);
  if (codesSinceClear_++ > 0 && tableCount_ < kTableSize) {
    const int32_t added = tableCount_++;
    if (added >= (1 << width_) - 1 && width_ < kMaxCodeWidth) width_++;
  }
}

void LzwCodeWriter::end() {
  packer_.put(clearCode_ + 1, width_);
}

std::vector<uint8_t> encodeLzw(const std::vector<uint8_t>& indices, int32_t codeSize) {
  const int32_t alphabet = 1 << codeSize;
  // children[code * alphabet + index]: the code of code's string + index, or 0.
  std::vector<int32_t> children(static_cast<size_t>(kTableSize) * alphabet);
  LzwCodeWriter writer(alphabet, codeSize);
  writer.clear();
  if (indices.empty()) {
    writer.end();
    return writer.finish();
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
    writer.put(current);
    // The decoder adds current's string + index when it reads the next code.
    if (writer.nextEntry() <= kLastTableIndex) {
      child = writer.nextEntry();
    } else {
      // Its table is full once it has read this code: start afresh.
      writer.clear();
      std::fill(children.begin(), children.end(), 0);
    }
    current = index;
  }
  writer.put(current);
  writer.end();
  return writer.finish();
}

void putInt16(std::vector<uint8_t>& out, int32_t value) {
  out.push_back(static_cast<uint8_t>(value));
  out.push_back(static_cast<uint8_t>(value >> 8));
}

void putScreen(std::vector<uint8_t>& out, int32_t width, int32_t height, int32_t sizeBits,
               std::vector<uint32_t> palette, bool zeroSignature) {
  const uint8_t signature[6] = {'G', 'I', 'F', '8', '9', 'a'};
  for (uint8_t byte : signature) out.push_back(zeroSignature ? 0 : byte);
  putInt16(out, width);
  putInt16(out, height);
  // Global colour table present, colour resolution 8 bits, its size.
  out.push_back(static_cast<uint8_t>(0x80 | 0x70 | (sizeBits - 1)));
  out.push_back(0);  // background colour index
  out.push_back(0);  // pixel aspect ratio
  palette.resize(static_cast<size_t>(1) << sizeBits);
  for (uint32_t colour : palette) {
    out.push_back(static_cast<uint8_t>(colour >> 16));
    out.push_back(static_cast<uint8_t>(colour >> 8));
    out.push_back(static_cast<uint8_t>(colour));
  }
}

void putSubBlocks(std::vector<uint8_t>& out, const std::vector<uint8_t>& data, bool terminator) {
  for (size_t at = 0; at < data.size(); at += 255) {
    size_t size = std::min<size_t>(255, data.size() - at);
    out.push_back(static_cast<uint8_t>(size));
    out.insert(out.end(), data.begin() + at, data.begin() + at + size);
  }
  if (terminator) out.push_back(0);
}

void putComment(std::vector<uint8_t>& out, const std::string& text) {
  out.insert(out.end(), {0x21, 0xFE});
  putSubBlocks(out, std::vector<uint8_t>(text.begin(), text.end()));
}

void putGraphicControl(std::vector<uint8_t>& out, int32_t transparentIndex, int32_t delay,
                       uint8_t flags) {
  out.insert(out.end(), {0x21, 0xF9, 4, flags});
  putInt16(out, delay);
  out.insert(out.end(), {static_cast<uint8_t>(transparentIndex), 0});
}

void putImage(std::vector<uint8_t>& out, int32_t width, int32_t height, int32_t codeSize,
              const std::vector<uint8_t>& lzwData, uint8_t packed) {
  out.push_back(0x2C);
  putInt16(out, 0);  // left
  putInt16(out, 0);  // top
  putInt16(out, width);
  putInt16(out, height);
  out.push_back(packed);
  out.push_back(static_cast<uint8_t>(codeSize));
  putSubBlocks(out, lzwData);
}

std::vector<uint8_t> encodeGif(const GifPicture& picture) {
  int32_t colours = static_cast<int32_t>(picture.palette.size());
  int32_t sizeBits = 1;
  while ((1 << sizeBits) < colours) sizeBits++;
  if ((1 << sizeBits) != colours || colours > 256 || picture.comment.size() > 255 ||
      picture.indices.size() != static_cast<size_t>(picture.width) * picture.height) {
    throw std::invalid_argument("picture outside what the GIF writer takes");
  }
  std::vector<uint8_t> out;
  putScreen(out, picture.width, picture.height, sizeBits, picture.palette, picture.zeroSignature);
  if (!picture.comment.empty()) putComment(out, picture.comment);
  // No disposal, no delay, transparency flag set.
  if (picture.transparentIndex >= 0) putGraphicControl(out, picture.transparentIndex, 0);
  const int32_t codeSize = sizeBits < 2 ? 2 : sizeBits;
  putImage(out, picture.width, picture.height, codeSize, encodeLzw(picture.indices, codeSize));
  out.push_back(0x3B);  // trailer
  return out;
}

}  // namespace corvexa::make_fonts
