#include <cstdio>

#include "assets/gif_decoder.h"
#include "assets/gzip_inflater.h"
#include "core/demo_state.h"
#include "music/song.h"

namespace corvexa {

namespace {

// Why a font image did not become a font, in the GIF decoder's words where
// the image itself is at fault.
const char* fontFailure(const FontResult& result) {
  return result.error == FontError::kBadImage ? describeGifError(result.gifError)
                                              : describeFontError(result.error);
}

// A resource's file, for the message.
const char* fileOf(ResourceTable resources, const ResourceName& name) {
  const ResourceEntry* entry = findResource(resources, name);
  return entry != nullptr ? entry->file : "(not in the table)";
}

}  // namespace

StartUpResult startUp(DemoState& state, ResourceTable resources) {
  Arena& arena = state.arena;
  state.tables = buildEffectTables(arena);
  GifDecoder& gifDecoder = makeGifDecoder(arena);
  FontResult gold = createFont(gifDecoder, arena, resources, kGoldBarFontName, state.goldBarFont);
  if (gold.error != FontError::kNone) {
    return {fileOf(resources, kGoldBarFontName), fontFailure(gold)};
  }
  FontResult simple = createFont(gifDecoder, arena, resources, kSimpleFontName, state.simpleFont);
  if (simple.error != FontError::kNone) {
    return {fileOf(resources, kSimpleFontName), fontFailure(simple)};
  }
  state.scene = &buildScene(arena, state.tables, state.goldBarFont, state.simpleFont);

  // The song: inflated into its buffer (the rest stays zero), loaded and
  // rendered whole into PCM before the first frame.
  const ResourceEntry* song = findResource(resources, kSongName);
  if (song == nullptr) return {fileOf(resources, kSongName), "no such resource"};
  GzipInflater& inflater = makeGzipInflater(arena);
  Array<uint8_t> songBytes = arena.makeArray<uint8_t>(kSongBufferBytes);
  const int32_t inflated = inflate(inflater, song->bytes, songBytes);
  if (inflated < 0) return {song->file, describeInflateError(inflateError(inflated))};
  Array<int16_t> pcm = arena.makeArray<int16_t>(kPcmBufferSamples);
  RenderedSong rendered = renderSong(arena, {songBytes.count, songBytes.items}, pcm);
  if (rendered.error != LoadError::kNone) return {song->file, describeLoadError(rendered.error)};
  state.pcmBuffer = pcm;
  state.renderedSampleCount = rendered.sampleCount;

  Demo& demo = arena.make<Demo>();
  demo.scene = state.scene;
  demo.pcmBuffer = {state.pcmBuffer.count, state.pcmBuffer.items};
  demo.renderedSampleCount = state.renderedSampleCount;
  state.demo = &demo;
  return {};
}

void describeStartUpFailure(const StartUpResult& result, char* text, int32_t size) {
  std::snprintf(text, static_cast<size_t>(size), "the embedded file %s is damaged: %s",
                result.file != nullptr ? result.file : "(none)", result.reason);
}

}  // namespace corvexa
