#include "music/song.h"

#include "assets/byte_stream.h"
#include "music/player.h"

namespace corvexa {

RenderedSong renderSong(Arena& arena, Array<const uint8_t> bytes, Array<int16_t> output) {
  Module& module = createModule(arena);
  ByteStream stream;
  stream.pointAt(bytes);
  ModuleLoader loader{module, stream};
  const LoadError error = loader.load();
  if (error != LoadError::kNone) return {error, &module, 0};
  Player& player = createPlayer(arena);
  return {error, &module, player.render(module, output)};
}

}  // namespace corvexa
