// The engine's GIF decoder against images written by another encoder
// (ImageMagick's convert, Debian package imagemagick). Where the decoder's
// rules and the encoder's agree (tables of 16 and 256 colours, whose code size
// gives the same clear code; comments whose later bytes hold no block
// introducer) every pixel must come back as the picture the encoder was given;
// where they differ the decoder's own rules must show: the control extension's
// index is see-through even with its flag clear, a 2-colour file is refused,
// and interlaced rows come in storage order.
#include <gtest/gtest.h>

#include "assets/gif_decoder.h"
#include "tests/tools/tool_run.h"

using namespace corvexa;

namespace {

struct Picture {
  int32_t width, height;
  std::vector<uint32_t> rgb;  // 0xRRGGBB
};

void writePpm(const std::filesystem::path& path, const Picture& picture) {
  std::string header =
      "P6\n" + std::to_string(picture.width) + " " + std::to_string(picture.height) + "\n255\n";
  std::vector<uint8_t> bytes(header.begin(), header.end());
  for (uint32_t c : picture.rgb) {
    bytes.push_back(static_cast<uint8_t>(c >> 16));
    bytes.push_back(static_cast<uint8_t>(c >> 8));
    bytes.push_back(static_cast<uint8_t>(c));
  }
  writeBytes(path, bytes);
}

// A picture of width x height whose pixel (x, y) takes palette[pick(x, y)].
template <typename Pick>
Picture makePicture(int32_t width, int32_t height, const std::vector<uint32_t>& palette,
                    Pick pick) {
  Picture picture{width, height, {}};
  for (int32_t y = 0; y < height; y++)
    for (int32_t x = 0; x < width; x++) picture.rgb.push_back(palette[pick(x, y) % palette.size()]);
  return picture;
}

std::vector<uint32_t> paletteOf(int32_t count) {
  std::vector<uint32_t> palette;
  for (int32_t i = 0; i < count; i++) {
    palette.push_back(static_cast<uint32_t>(i << 16 | (255 - i) << 8 | ((i * 7) & 255)));
  }
  return palette;
}

// The colour 0xRRGGBB that the n-th Graphic Control Extension of a GIF file
// names as transparent, and whether its transparency flag is set. The search
// starts after the global colour table.
struct ControlIndex {
  uint32_t rgb;
  bool flagSet;
};
ControlIndex controlIndex(const std::vector<uint8_t>& file, int32_t n) {
  size_t table = 13 + 3 * (static_cast<size_t>(2) << (file.at(10) & 7));
  for (size_t at = table; at + 7 < file.size(); at++) {
    if (file[at] != 0x21 || file[at + 1] != 0xF9 || file[at + 2] != 4 || n-- > 0) continue;
    size_t colour = 13 + 3 * static_cast<size_t>(file[at + 6]);
    return {static_cast<uint32_t>(file[colour] << 16 | file[colour + 1] << 8 | file[colour + 2]),
            (file[at + 3] & 1) != 0};
  }
  ADD_FAILURE() << "no control extension " << n;
  return {0x1000000, false};
}

// The engine's pixel for a colour 0xRRGGBB.
uint32_t enginePixel(uint32_t rgb) {
  return (rgb >> 16 & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16;
}

struct Reference : ::testing::Test {
  std::filesystem::path dir = freshDirectory("gif-reference");
  Arena arena;
  GifDecoder& decoder = makeGifDecoder(arena);
  std::vector<uint8_t> file;

  // Writes the pictures as frames of one GIF with convert and decodes it.
  GifResult encodeAndDecode(const std::vector<Picture>& frames, const std::string& options) {
    std::string inputs;
    for (size_t i = 0; i < frames.size(); i++) {
      std::filesystem::path ppm = dir / ("frame" + std::to_string(i) + ".ppm");
      writePpm(ppm, frames[i]);
      inputs += " " + shellQuote(ppm);
    }
    RunResult converted =
        run("convert " + options + inputs + " " + shellQuote(dir / "out.gif"), dir);
    EXPECT_EQ(converted.status, 0) << "ImageMagick's convert is needed: " << converted.err;
    file = readBytes(dir / "out.gif");
    return decodeGif(decoder, arena, {static_cast<int32_t>(file.size()), file.data()});
  }

  void expectFrame(const GifImage& image, int32_t frame, const Picture& picture,
                   uint32_t transparentRgb = 0x1000000) {
    ASSERT_EQ(image.width, picture.width);
    ASSERT_EQ(image.height, picture.height);
    Array<uint32_t> pixels = image.frames[frame]->pixels;
    for (int32_t i = 0; i < pixels.count; i++) {
      uint32_t expected =
          picture.rgb[i] == transparentRgb ? 0x80000000u : enginePixel(picture.rgb[i]);
      ASSERT_EQ(pixels[i], expected) << "frame " << frame << " pixel " << i;
    }
  }
};

}  // namespace

TEST_F(Reference, SixteenAndTwoHundredFiftySixColours) {
  // The encoder writes a control extension with the transparency flag clear;
  // its index (a colour of the picture) is see-through all the same.
  Picture sixteen =
      makePicture(67, 41, paletteOf(16), [](int32_t x, int32_t y) { return x / 3 + y / 2 * 5; });
  GifResult a = encodeAndDecode({sixteen}, "");
  ASSERT_EQ(a.error, GifError::kNone) << describeGifError(a.error);
  ASSERT_EQ(file[10] & 7, 3);  // 16 colours, so clear code 16 by either rule
  ControlIndex flagClear = controlIndex(file, 0);
  EXPECT_FALSE(flagClear.flagSet);
  ASSERT_NE(std::count(sixteen.rgb.begin(), sixteen.rgb.end(), flagClear.rgb), 0);
  expectFrame(*a.image, 0, sixteen, flagClear.rgb);

  // Noise in 256 colours fills the string table again and again.
  uint32_t seed = 7;
  Picture noise = makePicture(200, 150, paletteOf(256), [&seed](int32_t, int32_t) {
    seed = seed * 1103515245u + 12345u;
    return static_cast<int32_t>(seed >> 16 & 255);
  });
  GifResult c = encodeAndDecode({noise}, "");
  ASSERT_EQ(c.error, GifError::kNone) << describeGifError(c.error);
  ASSERT_EQ(file[10] & 7, 7);
  expectFrame(*c.image, 0, noise, controlIndex(file, 0).rgb);
}

TEST_F(Reference, TwoColoursAreRefused) {
  // The encoder writes code size 2 for a 2-entry table and starts with its
  // clear code 4; here the clear code is 2, the end code 3, and 4 is a first
  // code not in the table.
  Picture two = makePicture(37, 19, {0x000000, 0xFFFFFF},
                            [](int32_t x, int32_t y) { return (x * y) % 3 == 0 ? 1 : 0; });
  GifResult b = encodeAndDecode({two}, "");
  ASSERT_EQ(file[10] & 7, 0);  // a 2-entry global table indeed
  EXPECT_EQ(b.error, GifError::kBadCode);
}

TEST_F(Reference, TransparencyCommentsAndFrames) {
  std::vector<uint32_t> palette = paletteOf(15);
  palette.push_back(0xFF00FF);
  Picture first = makePicture(40, 30, palette, [](int32_t x, int32_t y) { return x + y; });
  Picture second = makePicture(40, 30, palette, [](int32_t x, int32_t y) { return x * 3 + y; });
  // A comment longer than one sub-block: its first 255 bytes look like blocks
  // and are kept; the rest holds no block introducer and is passed over.
  std::string comment;
  for (int32_t i = 0; i < 255; i++) comment += "!,;"[i % 3];
  comment += std::string(45, 'z');
  GifResult result = encodeAndDecode(
      {first, second}, "-delay 7 -comment " + shellQuote(comment) + " -transparent '#FF00FF'");
  ASSERT_EQ(result.error, GifError::kNone) << describeGifError(result.error);
  const GifImage& image = *result.image;
  ASSERT_EQ(image.frames.count, 2);
  EXPECT_EQ(image.frames[0]->delay, 7);
  EXPECT_EQ(image.frames[1]->delay, 7);
  EXPECT_EQ(std::string(image.comment.begin(), image.comment.end()), comment.substr(0, 255));
  EXPECT_TRUE(controlIndex(file, 0).flagSet);
  EXPECT_TRUE(controlIndex(file, 1).flagSet);
  expectFrame(image, 0, first, 0xFF00FF);
  expectFrame(image, 1, second, 0xFF00FF);
}

TEST_F(Reference, InterlacedRowsComeInStorageOrder) {
  // Rows 0, 8, 4, 12, then 2, 6, 10, 14, then the odd ones, as stored.
  Picture picture =
      makePicture(16, 16, paletteOf(4), [](int32_t x, int32_t y) { return (x + y) % 4; });
  GifResult result = encodeAndDecode({picture}, "-interlace GIF");
  ASSERT_EQ(result.error, GifError::kNone) << describeGifError(result.error);
  ASSERT_EQ(file[10] & 7, 1);  // 4 colours: clear code 4 by either rule
  Picture stored{16, 16, {}};
  for (int32_t row : {0, 8, 4, 12, 2, 6, 10, 14, 1, 3, 5, 7, 9, 11, 13, 15}) {
    stored.rgb.insert(stored.rgb.end(), picture.rgb.begin() + row * 16,
                      picture.rgb.begin() + row * 16 + 16);
  }
  expectFrame(*result.image, 0, stored, controlIndex(file, 0).rgb);
}
