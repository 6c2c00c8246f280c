// Start-up: each show owns what it builds, and broken data is reported.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "assets/gif_decoder.h"
#include "assets/gzip_inflater.h"
#include "core/demo_state.h"
#include "music/module_loader.h"
#include "tests/engine/gif_builder.h"

using namespace corvexa;

namespace {

std::vector<uint32_t> frameAt(DemoState& state, int32_t tick, std::vector<uint32_t>& pixels) {
  while (state.scene->tick < tick) state.demo->update(PointerState{});
  state.demo->draw({kPixelCount, pixels.data()});
  return pixels;
}

// The embedded table with one resource's bytes replaced.
struct DamagedTable {
  std::vector<ResourceEntry> entries;
  explicit DamagedTable(const ResourceName& name, Array<const uint8_t> bytes) {
    for (const ResourceEntry& entry : embeddedResources()) {
      entries.push_back(entry);
      if (entry.name == &name) entries.back().bytes = bytes;
    }
  }
  ResourceTable table() const { return {static_cast<int32_t>(entries.size()), entries.data()}; }
};

std::string failureOf(const StartUpResult& result) {
  char text[160];
  describeStartUpFailure(result, text, sizeof text);
  return text;
}

}  // namespace

// Two shows side by side draw the same frames and hold the same song, and
// dropping the one built last leaves the other whole (under AddressSanitizer
// a pointer into the dropped show's memory would be reported here).
TEST(StartUp, TwoShowsInOneProcessAreIndependent) {
  auto first = std::make_unique<DemoState>();
  auto second = std::make_unique<DemoState>();
  ASSERT_TRUE(startUp(*first).ok());
  ASSERT_TRUE(startUp(*second).ok());
  EXPECT_NE(first->tables.sineTable.items, second->tables.sineTable.items);
  ASSERT_EQ(first->renderedSampleCount, second->renderedSampleCount);
  EXPECT_EQ(0, std::memcmp(first->pcmBuffer.items, second->pcmBuffer.items,
                           sizeof(int16_t) * first->renderedSampleCount));

  std::vector<uint32_t> a(kPixelCount), b(kPixelCount);
  for (int32_t tick : {60, 1000, 2200}) {
    EXPECT_EQ(frameAt(*first, tick, a), frameAt(*second, tick, b)) << "tick " << tick;
  }
  // The jumping word, the twisters and the scroller all read the tables.
  const std::vector<int32_t> laterTicks = {2300, 5200};
  std::vector<std::vector<uint32_t>> later;
  for (int32_t tick : laterTicks) later.push_back(frameAt(*second, tick, b));
  second.reset();
  for (size_t i = 0; i < laterTicks.size(); i++) {
    EXPECT_EQ(frameAt(*first, laterTicks[i], a), later[i]) << "tick " << laterTicks[i];
  }
}

TEST(StartUp, NamesTheDamagedFileAndWhy) {
  const Array<const uint8_t>& gold = *lookupResource(kGoldBarFontName);
  DamagedTable cutFont(kGoldBarFontName, {gold.count / 2, gold.items});
  auto state = std::make_unique<DemoState>();
  StartUpResult result = startUp(*state, cutFont.table());
  EXPECT_FALSE(result.ok());
  EXPECT_EQ(failureOf(result), "the embedded file goldbar.gif is damaged: " +
                                   std::string(describeGifError(GifError::kTruncated)));

  GifBuilder noComment;  // a good image, but no font descriptor
  noComment.header(4, 2, 2, {0, 0xFFFFFF, 0, 0})
      .image(4, 2, 2, literalCodes({0, 1, 1, 0, 1, 0, 0, 1}, 4, 2))
      .trailer();
  DamagedTable plainImage(kSimpleFontName,
                          {static_cast<int32_t>(noComment.bytes.size()), noComment.bytes.data()});
  state = std::make_unique<DemoState>();
  result = startUp(*state, plainImage.table());
  EXPECT_EQ(failureOf(result), "the embedded file simple-16x28.gif is damaged: " +
                                   std::string(describeFontError(FontError::kNoDescriptor)));

  const Array<const uint8_t>& song = *lookupResource(kSongName);
  DamagedTable cutSong(kSongName, {song.count - 100, song.items});
  state = std::make_unique<DemoState>();
  result = startUp(*state, cutSong.table());
  EXPECT_EQ(failureOf(result), "the embedded file corvexa.xm.gz is damaged: " +
                                   std::string(describeInflateError(InflateError::kTruncated)));

  // A gzip member that inflates (one stored block) to bytes that are no XM file.
  const uint8_t notXm[] = {0x1F, 0x8B, 8,   0,   0,   0, 0, 0, 0, 0xFF, 1, 4, 0, 0xFB,
                           0xFF, 'n',  'o', 'p', 'e', 0, 0, 0, 0, 4,    0, 0, 0};
  DamagedTable wrongSong(kSongName, {sizeof notXm, notXm});
  state = std::make_unique<DemoState>();
  result = startUp(*state, wrongSong.table());
  EXPECT_EQ(failureOf(result), "the embedded file corvexa.xm.gz is damaged: " +
                                   std::string(describeLoadError(LoadError::kWrongVersion)));
}
