// corvexa-tool gunzip IN.gz OUT
//
// Decodes the gzip member in IN.gz with the program's own inflater (the one
// that unpacks the song at start-up) and writes the bytes to OUT. Its rules
// are the inflater's: the header's extra field (FEXTRA) is refused, the
// signature, header CRC and trailer are not checked. A file that holds more
// than one member, or data after the member's trailer, is refused rather than
// decoded in part.
//
// The output is bounded at 256 MiB; a member that decodes to more (a zip bomb)
// is refused. The bound costs nothing until written: the buffer comes zeroed
// from calloc. OUT is written only once the whole member has decoded, so a
// malformed file leaves no OUT behind, and appears whole or not at all.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "assets/gzip_inflater.h"
#include "base/arena.h"
#include "tools/common/input_file.h"
#include "tools/common/output_file.h"
#include "tools/corvexa-tool/command.h"

namespace corvexa::tool {

namespace {

constexpr int32_t kMaxOutputBytes = 256 * 1024 * 1024;
constexpr int32_t kMaxInputBytes = 1024 * 1024 * 1024;
constexpr int32_t kTrailerBytes = 8;  // CRC-32 and size, not read

struct GunzipOptions {
  std::string input;
  std::string output;
};

int runGunzip(const GunzipOptions& options) {
  std::vector<uint8_t> input = tools::readInputFile(options.input, kMaxInputBytes);
  Arena arena;
  GzipInflater& inflater = makeGzipInflater(arena);
  Array<uint8_t> output = arena.makeArray<uint8_t>(kMaxOutputBytes);
  int32_t count = inflate(inflater, {static_cast<int32_t>(input.size()), input.data()}, output);
  if (count == kInflateOutputFull) {
    throw ToolFailure(options.input +
                      ": decodes to more than 256 MiB, the most this command writes");
  }
  if (count < 0) throw ToolFailure(options.input + ": " + describeInflateError(count));
  int32_t after = static_cast<int32_t>(input.size()) - inflater.input.position - kTrailerBytes;
  if (after > 0) {
    throw ToolFailure(options.input + ": " + std::to_string(after) +
                      " bytes after the first member; only one member is decoded");
  }
  tools::writeOutputFile(options.output, output.items, static_cast<size_t>(count));
  std::printf("%s: %d bytes to %s\n", options.input.c_str(), count, options.output.c_str());
  return 0;
}

}  // namespace

Command addGunzipCommand(CLI::App& app) {
  auto options = std::make_shared<GunzipOptions>();
  CLI::App* command = app.add_subcommand(
      "gunzip", "decode one gzip member with the program's own inflater (at most 256 MiB)");
  command->add_option("in", options->input, "the gzip file")->required();
  command->add_option("out", options->output, "the file for the decoded bytes")->required();
  return {command, [options] { return runGunzip(*options); }};
}

}  // namespace corvexa::tool
