// The framebuffer every picture is drawn into, and its pixel rules.
//
// 320 x 180 pixels, row by row from the top-left; pixel (x, y) is element
// y * 320 + x. A pixel is red | green << 8 | blue << 16: in memory the bytes are
// red, green, blue and a fourth byte that carries no colour.
//
// See-through rule: a copied source pixel with bit 31 set is ORed onto the
// destination instead of replacing it. The see-through values in use,
// 0xFF000000 and 0x80000000, thus leave the visible colour alone.
#pragma once

#include <cstdint>

#include "base/array.h"
#include "base/pixel.h"

namespace corvexa {

inline constexpr int32_t kScreenWidth = 320;
inline constexpr int32_t kScreenHeight = 180;
inline constexpr int32_t kPixelCount = kScreenWidth * kScreenHeight;  // 57,600

using Framebuffer = Array<uint32_t>;

// The see-through rule for one pixel.
inline uint32_t combine(uint32_t source, uint32_t destination) {
  return (source & kSeeThroughBit) ? (source | destination) : source;
}

}  // namespace corvexa
