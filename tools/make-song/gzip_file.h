// Writes bytes as one gzip member through Debian's gzip (-9 -n: best
// compression, no name and no time stamp in the header), so the same bytes
// always give the same file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace corvexa::make_song {

// Throws std::runtime_error naming the file when gzip cannot run or the file
// cannot be written; a partial file is removed.
void writeGzip(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace corvexa::make_song
