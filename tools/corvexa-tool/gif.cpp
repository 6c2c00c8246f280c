// corvexa-tool gif IN.gif --out OUT.png [--raw]
//
// Decodes an image with the engine's own GIF decoder, the one that reads the
// font images, and writes its first frame as a PNG, see-through pixels with
// alpha 0; with --raw also OUT.u32 beside it (OUT.png's name ending in .u32
// instead): the decoded 32-bit pixels, little-endian, row by row. Prints
//   WIDTHxHEIGHT frames=N comment="..."
// with bytes outside printable ASCII (and " and \) in the comment as \xNN.
//
// The decoder reads the program's own image format, which keeps GIF's blocks
// but not all of its rules (assets/gif_decoder.h lists them): not every GIF
// decodes, nor decodes as other readers show it. An input it cannot decode,
// cut short or not the size of its screen, ends with one line naming the file
// and the reason, status 2.
//
// The old spelling --raw PATH still works for this release, with a note.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "assets/gif_decoder.h"
#include "tools/common/input_file.h"
#include "tools/common/png_file.h"
#include "tools/corvexa-tool/command.h"

namespace corvexa::corvexa_tool {

namespace {

struct GifOptions {
  std::string in;
  std::string out;
  bool raw = false;
  std::string oldRawPath;  // the old spelling's --raw PATH
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
  tools::writePng(options.out, rgba.data(), image.width, image.height, true);
  const std::string rawPath = !options.oldRawPath.empty() ? options.oldRawPath
                              : options.raw ? tools::besideOutput(options.out, ".png", ".u32")
                                            : "";
  if (!rawPath.empty()) tools::writeRawPixels(rawPath, pixels.items, pixels.count);
  std::printf("%dx%d frames=%d comment=\"%s\"\n", image.width, image.height, image.frames.count,
              quoteComment(image.comment).c_str());
  return 0;
}

// The old spelling --raw PATH.
void readOldRawPath(tools::CommandWords& words) {
  if (tools::renameOldFlagValue(words, 1, "--raw", "--old-raw-path", {"--out"})) {
    tools::noteOldSpelling("corvexa-tool gif", "--raw OUT.u32", "--raw",
                           "which writes OUT.u32 beside --out OUT.png");
  }
}

}  // namespace

Command addGifCommand(const tools::Arguments& line) {
  auto options = std::make_shared<GifOptions>();
  tools::Arguments command = line.addCommand(
      "gif",
      "decode an image as the program's own GIF decoder reads its font images (not every GIF) and "
      "write its first frame as PNG");
  command.addInput("IN", options->in, "the image, in GIF's block structure");
  command.addOutput(options->out, "the PNG file for the first frame");
  command.addFlag("--raw", options->raw,
                  "also write the decoded pixels, little-endian, beside it as OUT.u32");
  command.addHiddenOption("--old-raw-path", options->oldRawPath);
  return {command, [options] { return runGif(*options); }, readOldRawPath};
}

}  // namespace corvexa::corvexa_tool
