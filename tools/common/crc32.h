// CRC-32 as gzip (RFC 1952) and zip compute it: polynomial 0xEDB88320,
// reflected, starting from and finished with all ones.
#pragma once

#include <cstddef>
#include <cstdint>

namespace corvexa::tools {

uint32_t crc32(const uint8_t* bytes, size_t count);

}  // namespace corvexa::tools
