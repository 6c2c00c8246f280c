// Any bytes as an XM file: load, then render at most five seconds. The count
// rendered must fit the output; a refused file renders nothing.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "base/arena.h"
#include "music/audio_format.h"
#include "music/song.h"

using namespace corvexa;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 24)) return -1;
  Arena arena;
  const Array<int16_t> output = arena.makeArray<int16_t>(5 * kSampleRate);
  const RenderedSong song = renderSong(arena, {static_cast<int32_t>(size), data}, output);
  if (song.sampleCount < 0 || song.sampleCount > output.count) abort();
  if (song.error != LoadError::kNone && song.sampleCount != 0) abort();
  if (describeLoadError(song.error) == nullptr) abort();
  return 0;
}
