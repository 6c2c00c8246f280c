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
// malformed file leaves no OUT behind; a failed write removes what it began.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "assets/gzip_inflater.h"
#include "base/arena.h"
#include "tools/corvexa-tool/command.h"

namespace corvexa::tool {

namespace {

constexpr int32_t kMaxOutputBytes = 256 * 1024 * 1024;
constexpr int32_t kMaxInputBytes = 1024 * 1024 * 1024;
constexpr int32_t kTrailerBytes = 8;  // CRC-32 and size, not read

std::vector<uint8_t> readInput(const std::string& path) {
  std::error_code error;
  if (!std::filesystem::exists(path, error)) throw CommandFailure(path + ": no such file");
  if (!std::filesystem::is_regular_file(path, error))
    throw CommandFailure(path + ": not a plain file");
  uintmax_t size = std::filesystem::file_size(path, error);
  if (error) throw CommandFailure(path + ": cannot read (" + error.message() + ")");
  if (size > static_cast<uintmax_t>(kMaxInputBytes))
    throw CommandFailure(path + ": larger than 1 GiB, more than this command reads");
  std::vector<uint8_t> bytes(size);
  std::ifstream file(path, std::ios::binary);
  if (!file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size)))
    throw CommandFailure(path + ": cannot read");
  return bytes;
}

void writeOutput(const std::string& path, const uint8_t* bytes, int32_t count) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  bool written = file && file.write(reinterpret_cast<const char*>(bytes), count) && file.flush();
  file.close();
  if (written && file) return;
  // Leave nothing that could pass for the decoded file (but never remove a
  // device or anything else that is not a plain file).
  std::error_code error;
  if (std::filesystem::is_regular_file(path, error)) std::filesystem::remove(path, error);
  throw CommandFailure(path + ": cannot write", 1);
}

struct GunzipOptions {
  std::string input;
  std::string output;
};

int runGunzip(const GunzipOptions& options) {
  std::vector<uint8_t> input = readInput(options.input);
  Arena arena;
  GzipInflater& inflater = makeGzipInflater(arena);
  Array<uint8_t> output = arena.makeArray<uint8_t>(kMaxOutputBytes);
  int32_t count = inflate(inflater, {static_cast<int32_t>(input.size()), input.data()}, output);
  if (count == kInflateOutputFull) {
    throw CommandFailure(options.input +
                         ": decodes to more than 256 MiB, the most this command writes");
  }
  if (count < 0) throw CommandFailure(options.input + ": " + describeInflateError(count));
  int32_t after = static_cast<int32_t>(input.size()) - inflater.input.position - kTrailerBytes;
  if (after > 0) {
    throw CommandFailure(options.input + ": " + std::to_string(after) +
                         " bytes after the first member; only one member is decoded");
  }
  writeOutput(options.output, output.items, count);
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
