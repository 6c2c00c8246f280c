#include "tools/common/crc32.h"

namespace corvexa::tools {

uint32_t crc32(const uint8_t* bytes, size_t count) {
  static const auto table = [] {
    struct Table {
      uint32_t entries[256];
    } t{};
    for (uint32_t i = 0; i < 256; i++) {
      uint32_t c = i;
      for (int32_t bit = 0; bit < 8; bit++) c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t.entries[i] = c;
    }
    return t;
  }();
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = 0; i < count; i++) crc = table.entries[(crc ^ bytes[i]) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

}  // namespace corvexa::tools
