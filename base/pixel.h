// The one pixel format: red | green << 8 | blue << 16, and bit 31 for
// see-through.
//
// The GIF decoder gives a see-through index exactly kSeeThroughBit; the
// framebuffer's see-through rule ORs any pixel with the bit set onto what is
// already there, so it leaves the visible colour alone.
#pragma once

#include <cstdint>

namespace corvexa {

inline constexpr uint32_t kSeeThroughBit = 0x80000000u;

}  // namespace corvexa
