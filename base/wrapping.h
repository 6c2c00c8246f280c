// 32-bit arithmetic that wraps at 2^32 as the machine does, without the
// undefined behaviour of signed overflow in C++. Used where a value grows
// without end (tick counters) or where a product may pass 2^31 and only its
// low bits matter (sine indexes).
#pragma once

#include <cstdint>

namespace corvexa {

inline int32_t wrapAdd(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

inline int32_t wrapMul(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}

}  // namespace corvexa
