#include "assets/gif_decoder.h"

#include <gtest/gtest.h>

#include "assets/embedded.h"
#include "tests/engine/gif_builder.h"

using namespace corvexa;

namespace {

constexpr uint32_t kSeeThrough = 0x80000000u;

struct Decoded {
  Arena arena;
  GifResult result{};
};

void decode(Decoded& out, const GifBuilder& gif) {
  GifDecoder& decoder = makeGifDecoder(out.arena);
  out.result = decodeGif(decoder, out.arena, gif.array());
}

GifError errorOf(const GifBuilder& gif) {
  Decoded decoded;
  decode(decoded, gif);
  return decoded.result.error;
}

std::string commentOf(const GifImage& image) {
  return std::string(image.comment.begin(), image.comment.end());
}

std::vector<uint32_t> pixelsOf(const GifImage& image, int32_t frame = 0) {
  Array<uint32_t> pixels = image.frames[frame]->pixels;
  return std::vector<uint32_t>(pixels.begin(), pixels.end());
}

// A 4 x 2 image with 4 colours, index 2 see-through.
GifBuilder smallImage() {
  GifBuilder gif;
  gif.header(4, 2, 2, {0xFF00FF, 0x102030, 0xABCDEF, 0xFFFFFF})
      .control(2, 7)
      .image(4, 2, 2, literalCodes({0, 1, 2, 3, 3, 2, 1, 0}, 4, 2))
      .trailer();
  return gif;
}

}  // namespace

TEST(GifDecoder, ColoursSeeThroughAndDelay) {
  Decoded decoded;
  decode(decoded, smallImage());
  ASSERT_EQ(decoded.result.error, GifError::kNone);
  const GifImage& image = *decoded.result.image;
  EXPECT_EQ(image.width, 4);
  EXPECT_EQ(image.height, 2);
  ASSERT_EQ(image.frames.count, 1);
  EXPECT_EQ(image.frames[0]->delay, 7);
  EXPECT_EQ(image.comment.items, nullptr);
  // FF 00 FF is red 255, blue 255 with the top byte clear; the transparent
  // index gives the see-through pixel whatever its colour.
  EXPECT_EQ(pixelsOf(image), (std::vector<uint32_t>{0xFF00FF, 0x302010, kSeeThrough, 0xFFFFFF,
                                                    0xFFFFFF, kSeeThrough, 0x302010, 0xFF00FF}));
}

TEST(GifDecoder, ControlExtensionAppliesToTheNextImageOnly) {
  GifBuilder gif;
  gif.header(2, 1, 1, {0x000001, 0x000002})
      .control(1, 5)
      .image(2, 1, 2, literalCodes({0, 1}, 2, 2))
      .image(2, 1, 2, literalCodes({1, 0}, 2, 2))
      .control(0, 9, /*flags=*/0)  // transparency flag clear: index 0 is see-through all the same
      .image(2, 1, 2, literalCodes({1, 0}, 2, 2))
      .image(2, 1, 2, literalCodes({1, 0}, 2, 2))
      .trailer();
  Decoded decoded;
  decode(decoded, gif);
  ASSERT_EQ(decoded.result.error, GifError::kNone);
  const GifImage& image = *decoded.result.image;
  ASSERT_EQ(image.frames.count, 4);
  EXPECT_EQ(pixelsOf(image, 0), (std::vector<uint32_t>{0x010000, kSeeThrough}));
  EXPECT_EQ(image.frames[0]->delay, 5);
  EXPECT_EQ(pixelsOf(image, 1), (std::vector<uint32_t>{0x020000, 0x010000}));
  EXPECT_EQ(image.frames[1]->delay, 0);
  EXPECT_EQ(pixelsOf(image, 2), (std::vector<uint32_t>{0x020000, kSeeThrough}));
  EXPECT_EQ(image.frames[2]->delay, 9);
  EXPECT_EQ(pixelsOf(image, 3), (std::vector<uint32_t>{0x020000, 0x010000}));
  EXPECT_EQ(image.frames[3]->delay, 0);
}

TEST(GifDecoder, ControlExtensionIsFiveFixedBytes) {
  // The block size byte is not believed: a control extension claiming 6 bytes
  // is still read as 4 plus its terminator, and the two bytes after it are met
  // between blocks (here a comment's introducer and label).
  GifBuilder gif;
  gif.header(2, 1, 1, {0x000001, 0x000002});
  gif.raw({0x21, 0xF9, 6, 0, 3, 0, 1, 0}).raw({0x21, 0xFE, 2, 'o', 'k', 0});
  gif.image(2, 1, 2, literalCodes({0, 1}, 2, 2)).trailer();
  Decoded decoded;
  decode(decoded, gif);
  ASSERT_EQ(decoded.result.error, GifError::kNone);
  EXPECT_EQ(commentOf(*decoded.result.image), "ok");
  EXPECT_EQ(decoded.result.image->frames[0]->delay, 3);
  EXPECT_EQ(pixelsOf(*decoded.result.image), (std::vector<uint32_t>{0x010000, kSeeThrough}));
}

TEST(GifDecoder, CommentsAndOtherBytesBetweenBlocks) {
  // The last comment wins; stray bytes between blocks are passed over.
  GifBuilder gif;
  gif.header(2, 1, 1, {0x000001, 0x000002}).comment("first");
  gif.raw({0x00, 0x42, 0x99}).comment("second, last!");
  gif.image(2, 1, 2, literalCodes({1, 1}, 2, 2)).trailer();
  Decoded decoded;
  decode(decoded, gif);
  ASSERT_EQ(decoded.result.error, GifError::kNone);
  EXPECT_EQ(commentOf(*decoded.result.image), "second, last!");
  EXPECT_EQ(pixelsOf(*decoded.result.image), (std::vector<uint32_t>{0x020000, 0x020000}));

  // A comment keeps its first sub-block and passes over the one byte after it,
  // here an image separator, not a terminator.
  GifBuilder oneByte;
  oneByte.header(2, 1, 1, {}).raw({0x21, 0xFE, 3, 'a', 'b', 'c', 0x2C});
  oneByte.image(2, 1, 2, literalCodes({0, 1}, 2, 2)).trailer();
  Decoded a;
  decode(a, oneByte);
  ASSERT_EQ(a.result.error, GifError::kNone);
  EXPECT_EQ(commentOf(*a.result.image), "abc");
  EXPECT_EQ(a.result.image->frames.count, 1);
}

TEST(GifDecoder, LaterSubBlocksAreMetByteByByte) {
  // A comment's second sub-block, an application extension's sub-block and the
  // data after an image's end code: their bytes are not skipped as blocks but
  // met one by one, so a comment extension inside any of them is read.
  auto commentInside = [](const std::string& text) {
    std::vector<uint8_t> bytes{0x21, 0xFE, static_cast<uint8_t>(text.size())};
    for (char c : text) bytes.push_back(static_cast<uint8_t>(c));
    bytes.push_back(0);
    return bytes;
  };
  std::vector<uint8_t> secondBlock = commentInside("second block");
  std::string longText(255, 'x');
  longText.append(secondBlock.begin(), secondBlock.end());
  GifBuilder inComment;
  inComment.header(2, 1, 1, {0, 1}).comment(longText);
  inComment.image(2, 1, 2, literalCodes({0, 1}, 2, 2)).trailer();

  GifBuilder inExtension;
  inExtension.header(2, 1, 1, {0, 1}).comment("plain");
  inExtension.raw({0x21, 0xFF}).subBlocks(commentInside("application"));
  inExtension.image(2, 1, 2, literalCodes({0, 1}, 2, 2)).trailer();

  GifBuilder afterEndCode;
  std::vector<uint8_t> data = literalCodes({0, 1}, 2, 2);
  std::vector<uint8_t> tail = commentInside("image data");
  data.insert(data.end(), tail.begin(), tail.end());
  afterEndCode.header(2, 1, 1, {0, 1}).comment("plain").image(2, 1, 2, data).trailer();

  for (auto [gif, text] :
       {std::pair{&inComment, "second block"}, std::pair{&inExtension, "application"},
        std::pair{&afterEndCode, "image data"}}) {
    Decoded decoded;
    decode(decoded, *gif);
    ASSERT_EQ(decoded.result.error, GifError::kNone) << text;
    EXPECT_EQ(commentOf(*decoded.result.image), text);
    EXPECT_EQ(pixelsOf(*decoded.result.image), (std::vector<uint32_t>{0, 0x010000})) << text;
  }

  // A trailer byte inside an extension's sub-block ends the blocks there.
  GifBuilder trailerInside;
  trailerInside.header(2, 1, 1, {0, 1}).raw({0x21, 0xFF}).subBlocks({0x3B});
  trailerInside.image(2, 1, 2, literalCodes({0, 1}, 2, 2)).trailer();
  EXPECT_EQ(errorOf(trailerInside), GifError::kNoImage);
}

TEST(GifDecoder, StringTableCodes) {
  // Code size 2: clear 4, end 5. Codes 0, 1 (adds 6 = "0 1"), 6 (adds 7 =
  // "1 0", and the width grows to 4), 8 (= count: the previous string "0 1"
  // and its own first index, "0 1 0"), 14 (beyond the count 9: taken as 9,
  // "0 1 0 0"), 2 (adds 10 = "0 1 0 0 2"), 10, end.
  CodeWriter codes;
  codes.put(4, 3);
  codes.put(0, 3);
  codes.put(1, 3);
  codes.put(6, 3);
  codes.put(8, 4);
  codes.put(14, 4);
  codes.put(2, 4);
  codes.put(10, 4);
  codes.put(5, 4);
  std::vector<uint32_t> expected;
  for (uint32_t index : {0, 1, 0, 1, 0, 1, 0, 0, 1, 0, 0, 2, 0, 1, 0, 0, 2})
    expected.push_back(index << 16);
  GifBuilder gif;
  int32_t length = static_cast<int32_t>(expected.size());
  gif.header(length, 1, 2, {0, 1, 2, 3}).image(length, 1, 2, codes.finish()).trailer();
  Decoded decoded;
  decode(decoded, gif);
  ASSERT_EQ(decoded.result.error, GifError::kNone);
  EXPECT_EQ(pixelsOf(*decoded.result.image), expected);
}

TEST(GifDecoder, ClearCodeIsTheColourCount) {
  // Two colours with code size 2: clear code 2, end code 3, 3-bit codes. Code
  // 2 clears (it is no literal), and 3 ends before the last literal.
  CodeWriter two;
  for (int32_t code : {2, 1, 0, 2, 1, 3, 0}) two.put(code, 3);
  GifBuilder gifTwo;
  gifTwo.header(4, 1, 1, {0x0000FF, 0x00FF00}).image(4, 1, 2, two.finish()).trailer();
  Decoded a;
  decode(a, gifTwo);
  ASSERT_EQ(a.result.error, GifError::kNone);
  EXPECT_EQ(pixelsOf(*a.result.image), (std::vector<uint32_t>{0x00FF00, 0xFF0000, 0x00FF00, 0}));

  // Four colours with code size 3: clear code 4, end code 5, 4-bit codes;
  // 6 and 7 are table entries, not literals.
  CodeWriter four;
  for (int32_t code : {4, 3, 1, 6, 7, 5}) four.put(code, 4);
  GifBuilder gifFour;
  gifFour.header(6, 1, 2, {0x000001, 0x000002, 0x000003, 0x000004});
  gifFour.image(6, 1, 3, four.finish()).trailer();
  Decoded b;
  decode(b, gifFour);
  ASSERT_EQ(b.result.error, GifError::kNone);
  EXPECT_EQ(pixelsOf(*b.result.image),
            (std::vector<uint32_t>{0x040000, 0x020000, 0x040000, 0x020000, 0x020000, 0x040000}));
}

TEST(GifDecoder, FullTableStopsGrowingUntilTheNextClear) {
  // 5000 literals without a clear: the table fills at 4096 entries and the
  // width stays 12. Then code 4095, the last entry, still decodes: literal i
  // added entry 5 + i, the indices of literals i - 1 and i.
  std::vector<uint8_t> indices;
  for (int32_t i = 0; i < 5000; i++) indices.push_back(static_cast<uint8_t>(i * 7 % 4));
  make_fonts::LzwCodeWriter writer(4, 2);
  writer.clear();
  for (uint8_t index : indices) writer.put(index);
  ASSERT_EQ(writer.width(), 12);
  writer.put(4095);
  writer.clear();  // at width 12; afresh at width 3
  writer.put(3);
  writer.end();
  indices.push_back(indices[4089]);
  indices.push_back(indices[4090]);
  indices.push_back(3);

  int32_t length = static_cast<int32_t>(indices.size());
  GifBuilder gif;
  gif.header(length, 1, 2, {0, 1, 2, 3}).image(length, 1, 2, writer.finish()).trailer();
  Decoded decoded;
  decode(decoded, gif);
  ASSERT_EQ(decoded.result.error, GifError::kNone);
  std::vector<uint32_t> pixels = pixelsOf(*decoded.result.image);
  ASSERT_EQ(pixels.size(), indices.size());
  for (size_t i = 0; i < indices.size(); i++) {
    ASSERT_EQ(pixels[i], static_cast<uint32_t>(indices[i]) << 16) << i;
  }
}

TEST(GifDecoder, DataThatEndsEarly) {
  // An end code before the last pixel: the rest stays 0.
  GifBuilder early;
  early.header(4, 1, 1, {0x000001, 0x000002}).image(4, 1, 2, literalCodes({1, 1}, 2, 2)).trailer();
  Decoded a;
  decode(a, early);
  ASSERT_EQ(a.result.error, GifError::kNone);
  EXPECT_EQ(pixelsOf(*a.result.image), (std::vector<uint32_t>{0x020000, 0x020000, 0, 0}));

  // No end code at all: the image ends with its data (9-bit codes, so that the
  // padding of the last byte holds no further code).
  GifBuilder open;
  open.header(2, 1, 1, {0x000001, 0x000002});
  open.image(2, 1, 8, literalCodes({1, 0}, 2, 8, /*endCode=*/false)).trailer();
  Decoded b;
  decode(b, open);
  ASSERT_EQ(b.result.error, GifError::kNone);
  EXPECT_EQ(pixelsOf(*b.result.image), (std::vector<uint32_t>{0x020000, 0x010000}));

  // Without a trailer the blocks end with the bytes.
  GifBuilder noTrailer;
  noTrailer.header(2, 1, 1, {}).image(2, 1, 2, literalCodes({1, 0}, 2, 2));
  EXPECT_EQ(errorOf(noTrailer), GifError::kNone);
}

TEST(GifDecoder, EveryErrorHasItsCause) {
  // The signature bytes are never looked at.
  GifBuilder anySignature = smallImage();
  for (int32_t i = 0; i < 6; i++) anySignature.bytes[i] = "PNG?!;"[i];
  EXPECT_EQ(errorOf(anySignature), GifError::kNone);

  GifBuilder zeroWidth, negative, huge;
  zeroWidth.header(0, 2, 1, {}).trailer();
  negative.header(-4, 2, 1, {}).trailer();
  huge.header(8192, 4096, 1, {}).trailer();
  EXPECT_EQ(errorOf(zeroWidth), GifError::kBadScreenSize);
  EXPECT_EQ(errorOf(negative), GifError::kBadScreenSize);
  EXPECT_EQ(errorOf(huge), GifError::kTooLarge);

  // 2048 x 2048 frames: four fit in the budget, the fifth does not.
  GifBuilder many;
  many.header(2048, 2048, 1, {});
  for (int32_t i = 0; i < 5; i++) many.image(2048, 2048, 2, literalCodes({0}, 2, 2));
  EXPECT_EQ(errorOf(many), GifError::kTooLarge);

  GifBuilder wrongSize;
  wrongSize.header(4, 2, 2, {}).image(4, 1, 2, literalCodes({0}, 4, 2)).trailer();
  EXPECT_EQ(errorOf(wrongSize), GifError::kFrameSize);

  GifBuilder tooMany;
  tooMany.header(1, 1, 1, {});
  for (int32_t i = 0; i < 257; i++) tooMany.image(1, 1, 2, literalCodes({0}, 2, 2));
  EXPECT_EQ(errorOf(tooMany), GifError::kTooManyFrames);

  // Code size 11 gives 12-bit codes, the widest the table holds; 12 is refused.
  GifBuilder codeSize11, codeSize12;
  codeSize11.header(1, 1, 1, {}).image(1, 1, 11, literalCodes({1}, 2, 11)).trailer();
  codeSize12.header(1, 1, 1, {}).image(1, 1, 12, literalCodes({1}, 2, 12)).trailer();
  EXPECT_EQ(errorOf(codeSize11), GifError::kNone);
  EXPECT_EQ(errorOf(codeSize12), GifError::kBadCodeSize);

  // A first code, and one after a clear, that is not yet in the table: there
  // is no previous string to build it from.
  CodeWriter first, afterClear;
  for (int32_t code : {4, 6}) first.put(code, 3);
  for (int32_t code : {4, 0, 4, 7}) afterClear.put(code, 3);
  GifBuilder badFirst, badAfterClear;
  badFirst.header(4, 1, 2, {}).image(4, 1, 2, first.finish()).trailer();
  badAfterClear.header(4, 1, 2, {}).image(4, 1, 2, afterClear.finish()).trailer();
  EXPECT_EQ(errorOf(badFirst), GifError::kBadCode);
  EXPECT_EQ(errorOf(badAfterClear), GifError::kBadCode);

  GifBuilder tooMuch;
  tooMuch.header(2, 1, 1, {}).image(2, 1, 2, literalCodes({0, 1, 1}, 2, 2)).trailer();
  EXPECT_EQ(errorOf(tooMuch), GifError::kTooMuchData);

  GifBuilder noImage;
  noImage.header(2, 1, 1, {}).comment("just words").trailer();
  EXPECT_EQ(errorOf(noImage), GifError::kNoImage);

  GifBuilder cut = smallImage();
  cut.bytes.resize(cut.bytes.size() - 4);  // inside the image data
  EXPECT_EQ(errorOf(cut), GifError::kTruncated);
}

TEST(GifDecoder, EmbeddedFontImages) {
  Arena arena;
  GifDecoder& decoder = makeGifDecoder(arena);
  GifResult gold = decodeGif(decoder, arena, {kGoldbarGifSize, kGoldbarGif});
  ASSERT_EQ(gold.error, GifError::kNone);
  EXPECT_EQ(gold.image->width, 1280);
  EXPECT_EQ(gold.image->height, 32);
  ASSERT_EQ(gold.image->frames.count, 1);
  EXPECT_EQ(gold.image->frames[0]->pixels.count, 40960);
  EXPECT_EQ(gold.image->frames[0]->delay, 0);
  EXPECT_EQ(commentOf(*gold.image), "32x32 ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789!., ");

  GifResult simple = decodeGif(decoder, arena, {kSimple16x28GifSize, kSimple16x28Gif});
  ASSERT_EQ(simple.error, GifError::kNone);
  EXPECT_EQ(simple.image->width, 1008);
  EXPECT_EQ(simple.image->height, 28);
  ASSERT_EQ(simple.image->frames.count, 1);
  EXPECT_EQ(simple.image->frames[0]->pixels.count, 28224);
  EXPECT_EQ(commentOf(*simple.image),
            "16x28 ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789!");
}

TEST(GifDecoder, EveryCutAndManyDamagedCopiesOfAFontImage) {
  // Whatever the damage, a decode reads and writes inside its arrays (the
  // sanitizer build checks), and a cut file is never taken for a whole one
  // unless the cut lies past the image data.
  std::vector<uint8_t> whole(kGoldbarGif, kGoldbarGif + kGoldbarGifSize);
  Arena reference;
  GifResult full = decodeGif(makeGifDecoder(reference), reference,
                             {static_cast<int32_t>(whole.size()), whole.data()});
  ASSERT_EQ(full.error, GifError::kNone);
  Array<uint32_t> fullPixels = full.image->frames[0]->pixels;
  for (int32_t length = 0; length < static_cast<int32_t>(whole.size()); length += 7) {
    Arena arena;
    GifResult result = decodeGif(makeGifDecoder(arena), arena, {length, whole.data()});
    if (result.error == GifError::kNone) {
      ASSERT_GE(length, static_cast<int32_t>(whole.size()) - 2) << length;
      Array<uint32_t> pixels = result.image->frames[0]->pixels;
      ASSERT_TRUE(std::equal(pixels.begin(), pixels.end(), fullPixels.begin())) << length;
    } else {
      ASSERT_TRUE(result.error == GifError::kTruncated || result.error == GifError::kNoImage)
          << length << " " << describeGifError(result.error);
    }
  }
  uint32_t seed = 12345;
  auto next = [&seed] { return seed = seed * 1103515245u + 12345u, seed >> 8; };
  for (int32_t copy = 0; copy < 400; copy++) {
    std::vector<uint8_t> damaged = whole;
    for (int32_t hits = 0; hits < 1 + copy % 4; hits++) {
      damaged[next() % damaged.size()] = static_cast<uint8_t>(next());
    }
    Arena arena;
    GifResult result = decodeGif(makeGifDecoder(arena), arena,
                                 {static_cast<int32_t>(damaged.size()), damaged.data()});
    if (result.error == GifError::kNone) {
      ASSERT_GE(result.image->frames.count, 1);
    }
  }
}
