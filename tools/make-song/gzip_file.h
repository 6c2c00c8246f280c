// Writes bytes as one gzip member (RFC 1952) of stored DEFLATE blocks: no
// name, no time stamp, so the same bytes always give the same file.
//
// Why stored: the song is mostly sample frames, which gzip -9 brings down
// by a fifth at best, and start-up inflates the member with the demo's own
// decoder, which walks its Huffman trees a bit at a time: some 30 ns a
// byte. A stored block it copies as it stands, so the whole song costs
// start-up a fraction of a millisecond instead of several.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace corvexa::make_song {

// The member's bytes.
std::vector<uint8_t> storedGzip(const std::vector<uint8_t>& bytes);

// Writes them into an OutputFile, whole or not at all. Throws ToolFailure
// (status 1) naming the file when it cannot be written.
void writeGzip(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace corvexa::make_song
