#include "music/song.h"

#include "assets/byte_stream.h"
#include "music/player.h"

namespace corvexa {

RenderedSong renderSong(Arena& arena, Array<const uint8_t> bytes, Array<int16_t> output) {
  Module& module = createModule(arena);
  ByteStream stream;
  stream.pointAt(bytes);
  ModuleLoader loader{module, stream};
  const LoadStatus status = loader.load();
  if (status != LoadStatus::ok) return {status, &module, 0};
  Player& player = createPlayer(arena);
  return {status, &module, player.render(module, output)};
}

}  // namespace corvexa
