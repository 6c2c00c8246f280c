// The engine's fuzz targets' inputs, replayed in every build: the seeds (real
// files, which must decode) and every input that ever crashed or hung a
// target (fuzz/regressions/, which must now be refused or decoded cleanly,
// whatever the answer). The sanitizer build checks the memory accesses on the
// way. The tick list's finding is replayed by the tool's tests.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "assets/bitmap_font.h"
#include "assets/gif_decoder.h"
#include "assets/gzip_inflater.h"
#include "base/arena.h"
#include "effects/text_drawing.h"
#include "music/audio_format.h"
#include "music/song.h"

using namespace corvexa;

namespace {

struct Input {
  std::string name;
  std::vector<uint8_t> bytes;
  Array<const uint8_t> array() const { return {static_cast<int32_t>(bytes.size()), bytes.data()}; }
};

std::vector<Input> inputsOf(const std::string& folder) {
  std::vector<Input> inputs;
  const std::filesystem::path dir = std::filesystem::path(CORVEXA_SOURCE_DIR) / "fuzz" / folder;
  if (!std::filesystem::is_directory(dir)) return inputs;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    if (!entry.is_regular_file() || entry.path().filename() == ".gitkeep") continue;
    std::ifstream file(entry.path(), std::ios::binary);
    inputs.push_back({entry.path().filename().string(),
                      std::vector<uint8_t>(std::istreambuf_iterator<char>(file), {})});
  }
  return inputs;
}

// What the fuzz target checks, less the abort: a count within the output or
// one of the error codes.
int32_t inflateChecked(const Input& input) {
  Arena arena;
  GzipInflater& inflater = makeGzipInflater(arena);
  Array<uint8_t> output = arena.makeArray<uint8_t>(1 << 20);
  const int32_t written = inflate(inflater, input.array(), output);
  EXPECT_LE(written, output.count) << input.name;
  EXPECT_GE(written, static_cast<int32_t>(InflateError::kCodeLeadsNowhere)) << input.name;
  return written;
}

GifError decodeGifAndFont(const Input& input) {
  Arena arena;
  GifDecoder& decoder = makeGifDecoder(arena);
  const GifResult result = decodeGif(decoder, arena, input.array());
  if (result.error == GifError::kNone) {
    for (const GifFrame* frame : result.image->frames)
      EXPECT_EQ(frame->pixels.count, result.image->width * result.image->height) << input.name;
  }
  BitmapFont font{};
  if (buildFont(decoder, arena, input.array(), font).error == FontError::kNone) {
    std::vector<uint32_t> pixels(kPixelCount);
    std::vector<char16_t> text;
    for (int32_t code = 0; code < 256; code++) text.push_back(static_cast<char16_t>(code + 1));
    drawText(font, {256, text.data()}, 1, {kPixelCount, pixels.data()}, -3, 5);
  }
  return result.error;
}

LoadError renderFiveSeconds(const Input& input) {
  Arena arena;
  const Array<int16_t> output = arena.makeArray<int16_t>(5 * kSampleRate);
  const RenderedSong song = renderSong(arena, input.array(), output);
  EXPECT_GE(song.sampleCount, 0) << input.name;
  EXPECT_LE(song.sampleCount, output.count) << input.name;
  if (song.error != LoadError::kNone) {
    EXPECT_EQ(song.sampleCount, 0) << input.name;
  }
  return song.error;
}

TEST(FuzzInputs, SeedsDecodeAndFindingsAreHandledCleanly) {
  for (const Input& input : inputsOf("regressions/inflate")) inflateChecked(input);
  for (const Input& input : inputsOf("regressions/gif_font")) decodeGifAndFont(input);
  for (const Input& input : inputsOf("regressions/xm_render")) renderFiveSeconds(input);

  const std::vector<Input> members = inputsOf("corpus/inflate");
  ASSERT_GE(members.size(), 5u);
  for (const Input& input : members) EXPECT_GE(inflateChecked(input), 0) << input.name;

  const std::vector<Input> images = inputsOf("corpus/gif_font");
  ASSERT_GE(images.size(), 3u);
  for (const Input& input : images)
    EXPECT_EQ(decodeGifAndFont(input), GifError::kNone) << input.name;

  const std::vector<Input> songs = inputsOf("corpus/xm_render");
  ASSERT_GE(songs.size(), 2u);
  for (const Input& input : songs)
    EXPECT_EQ(renderFiveSeconds(input), LoadError::kNone) << input.name;
}

}  // namespace
