#include "tools/make-song/gzip_file.h"

#include <algorithm>

#include "tools/common/crc32.h"
#include "tools/common/output_file.h"

namespace corvexa::make_song {

namespace {

constexpr size_t kMostBytesInAStoredBlock = 65535;

void append32(std::vector<uint8_t>& out, uint32_t value) {
  for (int32_t i = 0; i < 4; i++) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

}  // namespace

std::vector<uint8_t> storedGzip(const std::vector<uint8_t>& bytes) {
  // ID1 ID2, deflate, no flags, no time stamp, no extra flags, Unix.
  std::vector<uint8_t> out = {0x1F, 0x8B, 8, 0, 0, 0, 0, 0, 0, 3};
  size_t at = 0;
  do {
    const size_t count = std::min(kMostBytesInAStoredBlock, bytes.size() - at);
    const bool last = at + count == bytes.size();
    out.push_back(last ? 1 : 0);  // BFINAL, BTYPE 00, then the byte's rest
    out.push_back(static_cast<uint8_t>(count));
    out.push_back(static_cast<uint8_t>(count >> 8));
    out.push_back(static_cast<uint8_t>(~count));
    out.push_back(static_cast<uint8_t>(~count >> 8));
    out.insert(out.end(), bytes.begin() + static_cast<ptrdiff_t>(at),
               bytes.begin() + static_cast<ptrdiff_t>(at + count));
    at += count;
  } while (at < bytes.size());
  append32(out, tools::crc32(bytes.data(), bytes.size()));
  append32(out, static_cast<uint32_t>(bytes.size()));
  return out;
}

void writeGzip(const std::string& path, const std::vector<uint8_t>& bytes) {
  tools::writeOutputFile(path, storedGzip(bytes));
}

}  // namespace corvexa::make_song
