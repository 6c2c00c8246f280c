// corvexa-tool gif, and the font images that make-fonts writes.
#include <gtest/gtest.h>

#include "tests/engine/gif_builder.h"
#include "tests/tools/tool_run.h"

using namespace corvexa;

namespace {

const std::filesystem::path kData = std::filesystem::path(CORVEXA_SOURCE_DIR) / "assets/data";

RunResult runGif(const std::filesystem::path& in, const std::filesystem::path& dir,
                 const std::string& extra = "") {
  return run(std::string(CORVEXA_TOOL) + " gif " + shellQuote(in) + " --out " +
                 shellQuote(dir / "out.png") + extra,
             dir);
}

// The one-line failure of a bad input: status 2, the file named, a reason.
void expectRefused(const RunResult& result, const std::filesystem::path& in,
                   const std::string& reason) {
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.out, "");
  EXPECT_NE(result.err.find(in.string()), std::string::npos) << result.err;
  EXPECT_NE(result.err.find(reason), std::string::npos) << result.err;
  EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
}

}  // namespace

TEST(GifCommand, DecodesAFontImageLikeImageMagick) {
  std::filesystem::path dir = freshDirectory("gif-command");
  RunResult result = runGif(kData / "goldbar.gif", dir, " --raw");
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out,
            "1280x32 frames=1 comment=\"32x32 ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789!., \"\n");
  std::vector<uint8_t> raw = readBytes(dir / "out.u32");
  ASSERT_EQ(raw.size(), 1280u * 32 * 4);

  // ImageMagick reads the same file with a real signature in front; the PNG
  // and the raw pixels must both agree with it, see-through as alpha 0.
  std::vector<uint8_t> gif = readBytes(kData / "goldbar.gif");
  std::copy_n("GIF89a", 6, gif.begin());
  writeBytes(dir / "signed.gif", gif);
  ASSERT_EQ(run("convert " + shellQuote(dir / "signed.gif") +
                    " rgba:" + shellQuote(dir / "magick.rgba") + " && convert " +
                    shellQuote(dir / "out.png") + " rgba:" + shellQuote(dir / "png.rgba"),
                dir)
                .status,
            0);
  std::vector<uint8_t> magick = readBytes(dir / "magick.rgba"), png = readBytes(dir / "png.rgba");
  ASSERT_EQ(magick.size(), raw.size());
  ASSERT_EQ(png.size(), raw.size());
  int32_t seeThrough = 0;
  for (size_t i = 0; i < raw.size(); i += 4) {
    bool clear = magick[i + 3] == 0;
    seeThrough += clear;
    if (clear) {
      ASSERT_EQ(raw[i + 3], 0x80) << i;
      ASSERT_EQ(png[i + 3], 0) << i;
    } else {
      for (size_t c = 0; c < 3; c++) {
        ASSERT_EQ(raw[i + c], magick[i + c]) << i;
        ASSERT_EQ(png[i + c], magick[i + c]) << i;
      }
      ASSERT_EQ(raw[i + 3], 0) << i;
      ASSERT_EQ(png[i + 3], 255) << i;
    }
  }
  EXPECT_GT(seeThrough, 10000);
}

TEST(GifCommand, BadInputsEndWithOneLineAndStatusTwo) {
  std::filesystem::path dir = freshDirectory("gif-command-errors");
  expectRefused(runGif(dir / "missing.gif", dir), dir / "missing.gif", "cannot open");

  // Text is taken for a header whose colour table runs past the end.
  writeBytes(dir / "text.gif", {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', '\n'});
  expectRefused(runGif(dir / "text.gif", dir), dir / "text.gif", "the data ends early");

  writeBytes(dir / "empty.gif", {});
  expectRefused(runGif(dir / "empty.gif", dir), dir / "empty.gif", "the data ends early");

  std::vector<uint8_t> font = readBytes(kData / "simple-16x28.gif");
  font.resize(font.size() / 2);
  writeBytes(dir / "cut.gif", font);
  expectRefused(runGif(dir / "cut.gif", dir), dir / "cut.gif", "the data ends early");

  GifBuilder small;
  small.header(4, 2, 1, {}).image(4, 1, 2, literalCodes({0}, 2, 2)).trailer();
  writeBytes(dir / "small.gif", small.bytes);
  expectRefused(runGif(dir / "small.gif", dir), dir / "small.gif", "not the size of the screen");
  EXPECT_FALSE(std::filesystem::exists(dir / "out.png"));
}

TEST(MakeFonts, RewritesTheFontImagesByteForByte) {
  std::filesystem::path dir = freshDirectory("make-fonts");
  std::filesystem::path glyphs = std::filesystem::path(CORVEXA_SOURCE_DIR) / "tools/make-fonts";
  RunResult result = run(
      std::string(MAKE_FONTS) + " " + shellQuote(glyphs) + " --out-dir " + shellQuote(dir), dir);
  ASSERT_EQ(result.status, 0) << result.err;
  for (const char* name : {"goldbar.gif", "simple-16x28.gif"}) {
    std::vector<uint8_t> made = readBytes(dir / name);
    EXPECT_FALSE(made.empty());
    EXPECT_TRUE(made == readBytes(kData / name)) << name << " differs from assets/data";
  }

  // A damaged mask file is refused with the line that is wrong.
  std::filesystem::create_directories(dir / "bad");
  std::filesystem::copy_file(glyphs / "simple-glyphs.txt", dir / "bad/simple-glyphs.txt");
  writeBytes(dir / "bad/goldbar-glyphs.txt",
             {'g', 'l', 'y', 'p', 'h', ' ', 'A', '\n', '#', 'x', '\n'});
  RunResult bad = run(std::string(MAKE_FONTS) + " " + shellQuote(dir / "bad") + " --out-dir " +
                          shellQuote(dir / "bad"),
                      dir);
  EXPECT_EQ(bad.status, 2);
  EXPECT_NE(bad.err.find("goldbar-glyphs.txt:2: bad row"), std::string::npos) << bad.err;
}
