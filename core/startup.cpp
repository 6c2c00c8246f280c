#include "assets/gif_decoder.h"
#include "assets/gzip_inflater.h"
#include "assets/resources.h"
#include "core/demo_state.h"
#include "effects/tables.h"
#include "music/song.h"

void startUp(DemoState& state) {
  Arena& arena = state.arena;
  buildEffectTables(arena);
  GifDecoder& gifDecoder = makeGifDecoder(arena);
  state.goldBarFont = createFont(gifDecoder, arena, kGoldBarFontName);
  state.simpleFont = createFont(gifDecoder, arena, kSimpleFontName);
  state.scene = &buildScene(arena, state.goldBarFont, state.simpleFont);

  // The song: inflated into its buffer (the rest stays zero), loaded and
  // rendered whole into PCM before the first frame.
  GzipInflater& inflater = makeGzipInflater(arena);
  Array<uint8_t> songBytes = arena.makeArray<uint8_t>(kSongBufferBytes);
  inflate(inflater, *lookupResource(kSongName), songBytes);
  Array<int16_t> pcm = arena.makeArray<int16_t>(kPcmBufferSamples);
  RenderedSong song = renderSong(arena, {songBytes.count, songBytes.items}, pcm);
  state.pcmBuffer = pcm;
  state.renderedSampleCount = song.sampleCount;

  Demo& demo = arena.make<Demo>();
  demo.scene = state.scene;
  demo.pcmBuffer = {state.pcmBuffer.count, state.pcmBuffer.items};
  demo.renderedSampleCount = state.renderedSampleCount;
  state.demo = &demo;
}
