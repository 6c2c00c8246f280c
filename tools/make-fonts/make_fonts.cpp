// make-fonts: writes the two font images of assets/data from the glyph masks
// kept beside this file, byte for byte the same on every machine.
//
//   make-fonts GLYPH_DIR --out-dir DIR
//
// GLYPH_DIR holds goldbar-glyphs.txt and simple-glyphs.txt: per glyph a line
// "glyph C" and then one text row per pixel row, "#" for ink and "." for none;
// lines that start with "//" are comments.
// DIR receives goldbar.gif and simple-16x28.gif. Both images have six zero
// bytes in place of the signature, 16 colours, magenta FF 00 FF as the
// transparent colour and the font descriptor as their comment.
//
// GoldBar is shaded here: every glyph becomes a bevelled bar of gold, lit from
// above, with a dark rim; 16x28 Simple is plain white.
//
// Its command line is every tool's (tools/common/command_line.h), with --help
// and --version; the old spelling `make-fonts GLYPH_DIR DIR` still works for
// this release, with a note. Exit status as every tool's
// (tools/common/tool_failure.h): 0 done, 2 bad arguments or a mask file it
// refuses, 1 an image that cannot be written.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "tools/common/command_line.h"
#include "tools/common/input_file.h"
#include "tools/common/output_file.h"
#include "tools/common/run_tool.h"
#include "tools/common/tool_failure.h"
#include "tools/make-fonts/gif_encoder.h"

using namespace corvexa::make_fonts;
namespace tools = corvexa::tools;
using tools::ToolFailure;

namespace {

// Far more than a mask file holds (some 40 KB each).
constexpr int64_t kMaxMaskBytes = 16 << 20;

struct GlyphMasks {
  int32_t width = 0;
  int32_t height = 0;
  std::string characters;
  std::vector<std::vector<std::string>> rows;  // per glyph, per pixel row
};

GlyphMasks readGlyphMasks(const std::string& path) {
  std::istringstream file(tools::readInputText(path, kMaxMaskBytes));
  GlyphMasks masks;
  std::string line;
  int32_t lineNumber = 0;
  while (std::getline(file, line)) {
    lineNumber++;
    if (line.empty() || line.rfind("//", 0) == 0) continue;
    if (line.rfind("glyph ", 0) == 0 && line.size() == 7) {
      masks.characters += line[6];
      masks.rows.emplace_back();
      continue;
    }
    bool valid = !masks.rows.empty() && line.find_first_not_of(".#") == std::string::npos &&
                 (masks.width == 0 || static_cast<int32_t>(line.size()) == masks.width);
    if (!valid) throw ToolFailure(path + ":" + std::to_string(lineNumber) + ": bad row");
    masks.width = static_cast<int32_t>(line.size());
    masks.rows.back().push_back(line);
  }
  for (const auto& glyph : masks.rows) {
    if (masks.height == 0) masks.height = static_cast<int32_t>(glyph.size());
    if (static_cast<int32_t>(glyph.size()) != masks.height)
      throw ToolFailure(path + ": glyphs of different heights");
  }
  if (masks.rows.empty()) throw ToolFailure(path + ": no glyphs");
  return masks;
}

std::string descriptorOf(const GlyphMasks& masks) {
  return std::to_string(masks.width) + "x" + std::to_string(masks.height) + " " + masks.characters;
}

// Palette of GoldBar: black, the transparent magenta, then seven golds from
// the darkest to the brightest.
constexpr uint32_t kTransparentMagenta = 0xFF00FF;
const std::vector<uint32_t> kGoldPalette = {0x000000, kTransparentMagenta,
                                            0x440000, 0x884400,
                                            0xAA6600, 0xCC8822,
                                            0xEEAA00, 0xEECC44,
                                            0xEEEE99, 0x000000,
                                            0x000000, 0x000000,
                                            0x000000, 0x000000,
                                            0x000000, 0x000000};
constexpr uint8_t kGoldTransparent = 1;
constexpr uint8_t kFirstGold = 2;  // gold level 0 (the rim) .. 6 (the brightest)

// The bar's own gold by row before any bevel, in quarter levels: bright in the
// upper part with a polished stripe, falling off toward the bottom.
int32_t bodyQuarterLevel(int32_t row, int32_t height) {
  static const int32_t kQuarters[32] = {20, 20, 20, 21, 21, 22, 23, 24, 23, 22, 20,
                                        19, 18, 18, 17, 17, 16, 16, 15, 15, 14, 14,
                                        13, 13, 12, 12, 11, 10, 10, 9,  9,  8};
  return kQuarters[row * 32 / height];
}

// A quarter level to a whole level by a 2 x 2 ordered dither, so that the
// gradient runs smoothly through the seven golds.
int32_t ditheredLevel(int32_t quarters, int32_t x, int32_t y) {
  static const int32_t kThreshold[2][2] = {{0, 2}, {3, 1}};
  return quarters / 4 + (quarters % 4 > kThreshold[y & 1][x & 1] ? 1 : 0);
}

// GoldBar's colour index of pixel (x, y) of a glyph.
uint8_t goldIndex(const std::vector<std::string>& glyph, int32_t x, int32_t y) {
  int32_t width = static_cast<int32_t>(glyph[0].size());
  int32_t height = static_cast<int32_t>(glyph.size());
  auto ink = [&](int32_t px, int32_t py) {
    return px >= 0 && py >= 0 && px < width && py < height && glyph[py][px] == '#';
  };
  if (!ink(x, y)) {
    // The rim: one pixel of the darkest gold around the ink.
    for (int32_t dy = -1; dy <= 1; dy++)
      for (int32_t dx = -1; dx <= 1; dx++)
        if (ink(x + dx, y + dy)) return kFirstGold;
    return kGoldTransparent;
  }
  // Which way the nearby edge faces: the sum of the offsets to empty pixels
  // within two pixels, nearer ones counting twice.
  int32_t normalX = 0, normalY = 0, edgeDistance = 3;
  for (int32_t dy = -2; dy <= 2; dy++) {
    for (int32_t dx = -2; dx <= 2; dx++) {
      if (ink(x + dx, y + dy) || dx * dx + dy * dy > 5) continue;
      int32_t distance = std::max(std::abs(dx), std::abs(dy));
      int32_t weight = 3 - distance;
      normalX += weight * dx;
      normalY += weight * dy;
      edgeDistance = std::min(edgeDistance, distance);
    }
  }
  int32_t level = ditheredLevel(bodyQuarterLevel(y, height), x, y);
  if (edgeDistance <= 2) {
    // Light from above and a little from the left: edges facing up shine,
    // edges facing down fall into shadow.
    int32_t light = -4 * normalY - normalX;
    int32_t depth = edgeDistance == 1 ? 2 : 1;
    if (light > 2) level += depth;
    if (light < -2) level -= depth;
    if (light >= -2 && light <= 2 && normalX > 0) level -= 1;
  }
  level = std::max(1, std::min(6, level));
  return static_cast<uint8_t>(kFirstGold + level);
}

// A font strip: the glyphs side by side, each pixel's colour index chosen by
// indexOf(glyph, x, y), with the descriptor as the comment.
template <typename IndexOf>
GifPicture stripPicture(const GlyphMasks& masks, std::vector<uint32_t> palette,
                        int32_t transparentIndex, IndexOf indexOf) {
  GifPicture picture;
  int32_t count = static_cast<int32_t>(masks.rows.size());
  picture.width = masks.width * count;
  picture.height = masks.height;
  picture.palette = std::move(palette);
  picture.transparentIndex = transparentIndex;
  picture.comment = descriptorOf(masks);
  picture.zeroSignature = true;
  picture.indices.resize(static_cast<size_t>(picture.width) * picture.height);
  for (int32_t g = 0; g < count; g++)
    for (int32_t y = 0; y < masks.height; y++)
      for (int32_t x = 0; x < masks.width; x++)
        picture.indices[static_cast<size_t>(y) * picture.width + g * masks.width + x] =
            indexOf(masks.rows[g], x, y);
  return picture;
}

GifPicture goldBarPicture(const GlyphMasks& masks) {
  return stripPicture(masks, kGoldPalette, kGoldTransparent, goldIndex);
}

// 16x28 Simple: white ink on transparent magenta at index 0.
GifPicture simplePicture(const GlyphMasks& masks) {
  std::vector<uint32_t> palette(16, 0x000000);
  palette[0] = kTransparentMagenta;
  palette[1] = 0xFFFFFF;
  return stripPicture(masks, palette, 0,
                      [](const std::vector<std::string>& glyph, int32_t x, int32_t y) {
                        return static_cast<uint8_t>(glyph[y][x] == '#' ? 1 : 0);
                      });
}

}  // namespace

int main(int argc, char** argv) {
  tools::CommandLine line{
      "make-fonts", "make-fonts: writes the font images of assets/data from their glyph masks"};
  const tools::Arguments arguments = line.arguments();
  std::string glyphs, out;
  arguments.addInput("GLYPH_DIR", glyphs,
               "the folder of goldbar-glyphs.txt and simple-glyphs.txt (tools/make-fonts)");
  arguments.addOutputDirectory(out, "the folder for goldbar.gif and simple-16x28.gif");
  tools::CommandWords words = tools::commandWords(argc, argv);
  // The old spelling: the output folder as a second positional word.
  if (tools::nameOldPositionalOutput(words, 0, "--out-dir", {}, 2)) {
    tools::noteOldSpelling("make-fonts", "make-fonts GLYPH_DIR DIR",
                           "make-fonts GLYPH_DIR --out-dir DIR");
  }
  const int status = tools::parseCommandLine(line, words);
  if (status >= 0) return status;
  return tools::runTool("make-fonts", [&] {
    GlyphMasks gold = readGlyphMasks(glyphs + "/goldbar-glyphs.txt");
    GlyphMasks simple = readGlyphMasks(glyphs + "/simple-glyphs.txt");
    tools::writeOutputFile(out + "/goldbar.gif", encodeGif(goldBarPicture(gold)));
    tools::writeOutputFile(out + "/simple-16x28.gif", encodeGif(simplePicture(simple)));
    return 0;
  });
}
