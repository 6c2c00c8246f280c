// Writes bytes as one gzip member through Debian's gzip (-9 -n: best
// compression, no name and no time stamp in the header), so the same bytes
// always give the same file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace corvexa::make_song {

// gzip writes into an OutputFile, whole or not at all. Throws ToolFailure
// (status 1) naming the file when gzip is missing or fails or the file cannot
// be written.
void writeGzip(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace corvexa::make_song
