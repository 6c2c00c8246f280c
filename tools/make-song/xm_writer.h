// The XM writer: lays a synthesised Song out as an extended module of version
// 0x0104, the layout every tracker reads: a 60-byte preamble and 276-byte
// header (with the 256-entry order table), packed patterns, then instruments
// with their 263-byte headers, 40-byte sample headers and delta-coded 8- or
// 16-bit sample data.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/make-song/song.h"

namespace corvexa::make_song {

std::vector<uint8_t> writeXm(const Song& song);

}  // namespace corvexa::make_song
