// corvexa-tool gif IN.gif --out OUT.png [--raw OUT.u32]
//
// Decodes a GIF image with the engine's own decoder and writes its first
// frame as a PNG, see-through pixels with alpha 0; with --raw also the decoded
// 32-bit pixels, little-endian, row by row. Prints
//   WIDTHxHEIGHT frames=N comment="..."
// with bytes outside printable ASCII (and " and \) in the comment as \xNN.
// The decoder reads the program's own image format (assets/gif_decoder.h says
// where it differs from standard GIF). An input it cannot decode, cut short or
// not the size of its screen, ends with one line naming the file and the
// reason, status 2.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "assets/gif_decoder.h"
#include "tools/common/input_file.h"
#include "tools/corvexa-tool/command.h"
#include "tools/corvexa-tool/png_file.h"

namespace corvexa::tool {

namespace {

struct GifOptions {
  std::string in;
  std::string out;
  std::string raw;
};

// Larger than any image the decoder holds: 16,777,216 pixels in LZW codes of
// at most 12 bits are some 25 MB.
constexpr int64_t kMaxGifBytes = 64 << 20;

std::string quoteComment(Array<uint8_t> comment) {
  std::string text;
  for (uint8_t byte : comment) {
    if (byte >= 32 && byte < 127 && byte != '"' && byte != '\\') {
      text += static_cast<char>(byte);
    } else {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\x%02X", byte);
      text += escape;
    }
  }
  return text;
}

int runGif(const GifOptions& options) {
  std::vector<uint8_t> bytes = tools::readInputFile(options.in, kMaxGifBytes);
  Arena arena;
  GifDecoder& decoder = makeGifDecoder(arena);
  GifResult result = decodeGif(
      decoder, arena, Array<const uint8_t>{static_cast<int32_t>(bytes.size()), bytes.data()});
  if (result.error != GifError::kNone)
    throw ToolFailure(options.in + ": " + describeGifError(result.error));
  const GifImage& image = *result.image;
  Array<uint32_t> pixels = image.frames[0]->pixels;

  // See-through pixels become alpha 0, every other pixel is opaque.
  std::vector<uint32_t> rgba(pixels.begin(), pixels.end());
  for (uint32_t& pixel : rgba) {
    pixel = (pixel & kSeeThroughBit) ? 0 : (pixel & 0xFFFFFF) | 0xFF000000u;
  }
  writePng(options.out, rgba.data(), image.width, image.height, true);
  if (!options.raw.empty()) writeRawPixels(options.raw, pixels.items, pixels.count);
  std::printf("%dx%d frames=%d comment=\"%s\"\n", image.width, image.height, image.frames.count,
              quoteComment(image.comment).c_str());
  return 0;
}

}  // namespace

Command addGifCommand(CLI::App& app) {
  auto options = std::make_shared<GifOptions>();
  CLI::App* command = app.add_subcommand(
      "gif", "decode a GIF image with the engine's decoder and write its first frame as PNG");
  command->add_option("in", options->in, "the GIF image")->required();
  command->add_option("--out", options->out, "PNG file for the first frame")->required();
  command->add_option("--raw", options->raw, "also write the decoded pixels, little-endian");
  return {command, [options] { return runGif(*options); }};
}

}  // namespace corvexa::tool
