#include "assets/bitmap_font.h"

#include <gtest/gtest.h>

#include "assets/embedded.h"
#include "effects/text_drawing.h"
#include "tests/engine/gif_builder.h"

using namespace corvexa;

namespace {

constexpr uint32_t kSeeThrough = 0x80000000u;

// A font whose pixel (column c, row r) of glyph g is g << 16 | r << 8 | c,
// except that column 1 of every glyph is see-through. Glyph g is character
// 'A' + g.
struct TestFont {
  Arena arena;
  BitmapFont font{};
  TestFont(int32_t glyphs, int32_t width, int32_t height) {
    font.stripWidth = glyphs * width;
    font.stripHeight = height;
    font.glyphWidth = width;
    font.glyphHeight = height;
    font.pixels = arena.makeArray<uint32_t>(font.stripWidth * height);
    font.glyphOffsets = arena.makeArray<int32_t>(kGlyphOffsetCount);
    for (int32_t g = 0; g < glyphs; g++) {
      font.glyphOffsets['A' + g] = g * width;
      for (int32_t r = 0; r < height; r++)
        for (int32_t c = 0; c < width; c++)
          font.pixels[r * font.stripWidth + g * width + c] =
              c == 1 ? kSeeThrough : static_cast<uint32_t>(g << 16 | r << 8 | c);
    }
  }
};

struct Screen {
  Arena arena;
  Framebuffer pixels = arena.makeArray<uint32_t>(kPixelCount);
  explicit Screen(uint32_t fill = 0x123456) {
    for (uint32_t& p : pixels) p = fill;
  }
  uint32_t at(int32_t x, int32_t y) const { return pixels[y * kScreenWidth + x]; }
  int32_t changed(uint32_t fill = 0x123456) const {
    int32_t n = 0;
    for (uint32_t p : pixels) n += p != fill;
    return n;
  }
};

FontResult fontFrom(const std::string& descriptor, int32_t width, int32_t height, Arena& arena,
                    BitmapFont& font) {
  GifBuilder gif;
  gif.header(width, height, 1, {0xFFFFFF, 0});
  if (!descriptor.empty()) gif.comment(descriptor);
  gif.image(width, height, 8, literalCodes(std::vector<uint8_t>(width * height, 1), 2, 8))
      .trailer();
  GifDecoder& decoder = makeGifDecoder(arena);
  return buildFont(decoder, arena, gif.array(), font);
}

}  // namespace

TEST(BitmapFont, EmbeddedFontsAndTheirOffsets) {
  Arena arena;
  GifDecoder& decoder = makeGifDecoder(arena);
  BitmapFont gold = createFont(decoder, arena, kGoldBarFontName);
  BitmapFont simple = createFont(decoder, arena, kSimpleFontName);
  EXPECT_EQ(gold.stripWidth, 1280);
  EXPECT_EQ(gold.stripHeight, 32);
  EXPECT_EQ(gold.glyphWidth, 32);
  EXPECT_EQ(gold.glyphHeight, 32);
  EXPECT_EQ(gold.glyphOffsets['A'], 0);
  EXPECT_EQ(gold.glyphOffsets['0'], 832);
  EXPECT_EQ(gold.glyphOffsets[','], 1216);
  EXPECT_EQ(gold.glyphOffsets[' '], 1248);
  EXPECT_EQ(simple.stripWidth, 1008);
  EXPECT_EQ(simple.glyphWidth, 16);
  EXPECT_EQ(simple.glyphHeight, 28);
  EXPECT_EQ(simple.glyphOffsets['a'], 416);
  EXPECT_EQ(simple.glyphOffsets['!'], 992);
  EXPECT_EQ(simple.glyphOffsets[' '], 0);  // not listed: the first glyph
  EXPECT_EQ(simple.glyphOffsets['?'], 0);
}

TEST(BitmapFont, EmbeddedGlyphsUseTheirColoursAndHaveInk) {
  Arena arena;
  GifDecoder& decoder = makeGifDecoder(arena);
  BitmapFont gold = createFont(decoder, arena, kGoldBarFontName);
  BitmapFont simple = createFont(decoder, arena, kSimpleFontName);
  const uint32_t golds[] = {0x000044, 0x004488, 0x0066AA, 0x2288CC, 0x00AAEE, 0x44CCEE, 0x99EEEE};
  for (int32_t g = 0; g < 40; g++) {
    int32_t ink = 0;
    for (int32_t r = 0; r < 32; r++) {
      for (int32_t c = 0; c < 32; c++) {
        uint32_t p = gold.pixels[r * 1280 + g * 32 + c];
        if (p == kSeeThrough) continue;
        ink++;
        ASSERT_NE(std::find(std::begin(golds), std::end(golds), p), std::end(golds)) << g;
      }
    }
    if (g == 39) {
      EXPECT_EQ(ink, 0) << "the space is see-through";
    } else {
      EXPECT_GT(ink, 30) << g;
    }
  }
  for (int32_t g = 0; g < 63; g++) {
    int32_t ink = 0;
    for (int32_t r = 0; r < 28; r++) {
      for (int32_t c = 0; c < 16; c++) {
        uint32_t p = simple.pixels[r * 1008 + g * 16 + c];
        ASSERT_TRUE(p == kSeeThrough || p == 0xFFFFFF) << g;
        ink += p == 0xFFFFFF;
      }
    }
    EXPECT_GT(ink, 10) << g;
  }
}

TEST(BitmapFont, Descriptors) {
  Arena arena;
  BitmapFont font{};
  ASSERT_EQ(fontFrom("4x2 ABA", 12, 2, arena, font).error, FontError::kNone);
  EXPECT_EQ(font.glyphWidth, 4);
  EXPECT_EQ(font.glyphHeight, 2);
  EXPECT_EQ(font.glyphOffsets['A'], 8);  // listed twice: the later glyph
  EXPECT_EQ(font.glyphOffsets['B'], 4);
  ASSERT_EQ(fontFrom("4x2 A B", 16, 2, arena, font).error, FontError::kNone);
  EXPECT_EQ(font.glyphOffsets[' '], 4);  // the set may hold a space

  // None of these may write outside the offsets or pass the strip.
  BitmapFont untouched{};
  EXPECT_EQ(fontFrom("", 8, 2, arena, untouched).error, FontError::kNoDescriptor);
  EXPECT_EQ(fontFrom("4 2 AB", 8, 2, arena, untouched).error, FontError::kBadDescriptor);
  EXPECT_EQ(fontFrom("4x2", 8, 2, arena, untouched).error, FontError::kBadDescriptor);
  EXPECT_EQ(fontFrom("x2 AB", 8, 2, arena, untouched).error, FontError::kBadDescriptor);
  EXPECT_EQ(fontFrom("4x2x AB", 8, 2, arena, untouched).error, FontError::kBadDescriptor);
  EXPECT_EQ(fontFrom("0x2 AB", 8, 2, arena, untouched).error, FontError::kBadDescriptor);
  EXPECT_EQ(fontFrom("99999999999x2 AB", 8, 2, arena, untouched).error, FontError::kBadDescriptor);
  EXPECT_EQ(fontFrom("4x2 A\xC4", 8, 2, arena, untouched).error, FontError::kBadCharacter);
  EXPECT_EQ(fontFrom("4x2 ABC", 8, 2, arena, untouched).error, FontError::kStripTooSmall);
  EXPECT_EQ(fontFrom("4x3 AB", 8, 2, arena, untouched).error, FontError::kStripTooSmall);
  EXPECT_EQ(untouched.glyphWidth, 0);

  GifBuilder notAnImage;
  notAnImage.raw({1, 2, 3});
  FontResult bad = buildFont(makeGifDecoder(arena), arena, notAnImage.array(), untouched);
  EXPECT_EQ(bad.error, FontError::kBadImage);
  EXPECT_EQ(bad.gifError, GifError::kTruncated);

  // A name the table does not hold gives a font that draws nothing.
  ResourceName other{kGoldBarFontName.text};
  BitmapFont empty = createFont(makeGifDecoder(arena), arena, other);
  Screen screen;
  drawText(empty, {2, u"AB"}, 0, screen.pixels, 0, 0);
  EXPECT_EQ(screen.changed(), 0);
}

TEST(BitmapFont, GlyphClipping) {
  TestFont t(3, 32, 28);
  const BitmapFont& font = t.font;
  {
    Screen s;  // x = -10: columns 10 onward from screen column 0
    drawGlyph(font, 32, s.pixels, -10, 5);
    EXPECT_EQ(s.at(0, 5), (1u << 16) | 10);
    EXPECT_EQ(s.at(21, 32), (1u << 16) | 27u << 8 | 31);
    EXPECT_EQ(s.changed(), 22 * 28);
  }
  {
    Screen s;  // x = 300: the first 20 columns
    drawGlyph(font, 0, s.pixels, 300, 0);
    EXPECT_EQ(s.at(319, 0), 19u);
    EXPECT_EQ(s.changed(), 20 * 28);  // see-through pixels too gain bit 31
  }
  {
    Screen s;  // y = 170: the first 10 rows; y = -5: from row 5
    drawGlyph(font, 64, s.pixels, 0, 170);
    EXPECT_EQ(s.at(0, 179), (2u << 16) | 9u << 8);
    EXPECT_EQ(s.changed(), 32 * 10);
    Screen top;
    drawGlyph(font, 64, top.pixels, 0, -5);
    EXPECT_EQ(top.at(0, 0), (2u << 16) | 5u << 8);
    EXPECT_EQ(top.changed(), 32 * 23);
  }
  {
    Screen s;  // wholly off the screen, also far off
    for (int32_t x : {320, -32, INT32_MAX, INT32_MIN}) drawGlyph(font, 0, s.pixels, x, 0);
    for (int32_t y : {180, -28, INT32_MAX, INT32_MIN}) drawGlyph(font, 0, s.pixels, 0, y);
    // A source column whose glyph would leave the strip draws nothing.
    for (int32_t sx : {-1, 65, 1000}) drawGlyph(font, sx, s.pixels, 0, 0);
    EXPECT_EQ(s.changed(), 0);
  }
  {
    Screen s;  // see-through keeps the colour and sets bit 31; opaque replaces
    drawGlyph(font, 0, s.pixels, 100, 100);
    EXPECT_EQ(s.at(101, 100), 0x123456u | kSeeThrough);
    EXPECT_EQ(s.at(102, 101), 1u << 8 | 2);
  }
}

TEST(BitmapFont, TextRuns) {
  TestFont t(3, 16, 28);
  const BitmapFont& font = t.font;
  Screen s;
  const char16_t text[] = u"BC\0A";
  drawText(font, {4, text}, 1, s.pixels, 10, 20);  // stops at the zero
  EXPECT_EQ(s.at(10, 20), 1u << 16);
  EXPECT_EQ(s.at(27, 20), 2u << 16);  // 17 pixels on
  EXPECT_EQ(s.changed(), 2 * 16 * 28);

  Screen unknown;  // unlisted characters, also beyond the offsets, draw "A"
  const char16_t odd[] = {u'?', 0x20AC, 0xFFFF};
  drawText(font, {3, odd}, 0, unknown.pixels, 0, 0);
  EXPECT_EQ(unknown.at(0, 0), 0u);
  EXPECT_EQ(unknown.at(16, 0), 0u);
  EXPECT_EQ(unknown.at(32, 3), 3u << 8);
  EXPECT_EQ(unknown.changed(), 3 * 16 * 28);

  Screen far;  // a pen far off either side neither draws nor overflows
  drawText(font, {2, u"AB"}, INT32_MAX, far.pixels, INT32_MAX - 5, 0);
  drawText(font, {2, u"AB"}, INT32_MIN, far.pixels, INT32_MIN + 5, 0);
  EXPECT_EQ(far.changed(), 0);
}
