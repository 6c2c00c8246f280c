// corvexa-tool gunzip IN.gz --out OUT
//
// Decodes the gzip member in IN.gz with the program's own inflater (the one
// that unpacks the song at start-up) and writes the bytes to OUT. Its rules
// are the inflater's: the header's extra field (FEXTRA) is refused, the
// signature and the header CRC are not checked. The trailer is, here: the
// decoded bytes must have the CRC-32 and the size (modulo 2^32) that it
// holds, or the member is refused naming which one differs. A file that holds
// more than one member, or data after the member's trailer, is refused rather
// than decoded in part.
//
// The output is bounded at 256 MiB; a member that decodes to more (a zip bomb)
// is refused. The bound costs nothing until written: the buffer comes zeroed
// from calloc. OUT is written only once the whole member has decoded and
// checked, so a malformed file leaves no OUT behind, and appears whole or not
// at all.
//
// The old spelling `gunzip IN OUT` still works for this release, with a note.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "assets/gzip_inflater.h"
#include "base/arena.h"
#include "tools/common/input_file.h"
#include "tools/common/output_file.h"
#include "tools/corvexa-tool/command.h"

namespace corvexa::corvexa_tool {

namespace {

constexpr int32_t kMaxOutputBytes = 256 * 1024 * 1024;
constexpr int32_t kMaxInputBytes = 1024 * 1024 * 1024;
constexpr int32_t kTrailerBytes = 8;  // CRC-32 and size, little-endian

struct GunzipOptions {
  std::string input;
  std::string output;
};

// The CRC-32 of gzip and zlib (RFC 1952: reflected, polynomial 0xEDB88320),
// a byte at a time through a table of the 256 byte values.
uint32_t crc32(const uint8_t* bytes, size_t size) {
  uint32_t table[256];
  for (uint32_t value = 0; value < 256; value++) {
    uint32_t crc = value;
    for (int32_t bit = 0; bit < 8; bit++) crc = (crc >> 1) ^ ((crc & 1) != 0 ? 0xEDB88320u : 0);
    table[value] = crc;
  }
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = 0; i < size; i++) crc = table[(crc ^ bytes[i]) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

uint32_t littleEndian32(const uint8_t* bytes) {
  return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
         static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

std::string hex(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%08X", value);
  return text;
}

// What the trailer at trailer says against the decoded bytes: "" when both
// agree, else the one line naming what differs.
std::string checkTrailer(const uint8_t* trailer, const uint8_t* decoded, int32_t count) {
  const uint32_t wantedCrc = littleEndian32(trailer);
  const uint32_t wantedSize = littleEndian32(trailer + 4);
  const uint32_t crc = crc32(decoded, static_cast<size_t>(count));
  std::string differs;
  if (crc != wantedCrc)
    differs = "the trailer's CRC-32 is " + hex(wantedCrc) + ", the data's " + hex(crc);
  if (static_cast<uint32_t>(count) != wantedSize) {
    differs += (differs.empty() ? "" : "; ") + std::string("the trailer's size is ") +
               std::to_string(wantedSize) + ", the data's " + std::to_string(count);
  }
  return differs;
}

int runGunzip(const GunzipOptions& options) {
  std::vector<uint8_t> input = tools::readInputFile(options.input, kMaxInputBytes);
  Arena arena;
  GzipInflater& inflater = makeGzipInflater(arena);
  Array<uint8_t> output = arena.makeArray<uint8_t>(kMaxOutputBytes);
  int32_t count = inflate(inflater, {static_cast<int32_t>(input.size()), input.data()}, output);
  const InflateError error = inflateError(count);
  if (error == InflateError::kOutputFull) {
    throw ToolFailure(options.input +
                      ": decodes to more than 256 MiB, the most this command writes");
  }
  if (error != InflateError::kNone)
    throw ToolFailure(options.input + ": " + describeInflateError(error));
  const int32_t end = inflater.input.position;  // just past the final block
  int32_t after = static_cast<int32_t>(input.size()) - end - kTrailerBytes;
  if (after < 0) {
    throw ToolFailure(options.input + ": " + kDataEndsEarly +
                      ", without the trailer's CRC-32 and size");
  }
  const std::string differs = checkTrailer(input.data() + end, output.items, count);
  if (!differs.empty()) throw ToolFailure(options.input + ": " + differs);
  if (after > 0) {
    throw ToolFailure(options.input + ": " + std::to_string(after) +
                      " bytes after the first member; only one member is decoded");
  }
  tools::writeOutputFile(options.output, output.items, static_cast<size_t>(count));
  std::printf("%s: %d bytes to %s\n", options.input.c_str(), count, options.output.c_str());
  return 0;
}

// The old spelling: the output as a second positional word.
void readOldOutput(tools::CommandWords& words) {
  if (tools::nameOldPositionalOutput(words, 1, "--out", {}, 2))
    tools::noteOldSpelling("corvexa-tool gunzip", "gunzip IN OUT", "gunzip IN --out OUT");
}

}  // namespace

Command addGunzipCommand(const tools::Arguments& line) {
  auto options = std::make_shared<GunzipOptions>();
  tools::Arguments command = line.addCommand(
      "gunzip",
      "decode one gzip member with the program's own inflater, checking its trailer (at most "
      "256 MiB)");
  command.addInput("IN", options->input, "the gzip file");
  command.addOutput(options->output, "the file for the decoded bytes");
  return {command, [options] { return runGunzip(*options); }, readOldOutput};
}

}  // namespace corvexa::corvexa_tool
