#include "music/song.h"

#include <atomic>
#include <system_error>
#include <thread>
#include <vector>

#include "assets/byte_stream.h"
#include "music/player.h"

// A browser build without threads cannot start one: there the calling thread
// renders the whole song.
#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
#define CORVEXA_NO_THREADS 1
#endif

namespace corvexa {

namespace {

// The output is handed out in stretches of this many samples (0.74 s), in
// order, to whichever Player asks next: however the song's density varies, the
// Players stay about as busy as one another, and none waits on another for
// longer than one stretch.
constexpr int32_t kStretchSamples = 32768;

struct SharedRender {
  const Module* module;
  Array<int16_t> output;
  std::atomic<int32_t> nextStretch{0};

  // Renders stretches until none is left or the song has ended. The Player
  // plays the stretches other Players take silently: its cursors move on
  // exactly as mixing moves them, so its next stretch starts where one Player
  // rendering everything would be.
  void renderStretches(Player& player) {
    player.start(*module);
    while (!player.ended) {
      const int64_t first = int64_t{nextStretch.fetch_add(1)} * kStretchSamples;
      if (first >= output.count) return;
      const int64_t last = first + kStretchSamples;
      const int32_t end = last < output.count ? static_cast<int32_t>(last) : output.count;
      player.playOn({end, output.items}, static_cast<int32_t>(first));
    }
  }
};

}  // namespace

int32_t defaultSongParts() {
#if defined(CORVEXA_NO_THREADS)
  return 1;
#else
  const unsigned processors = std::thread::hardware_concurrency();  // 0 when unknown
  if (processors < 2) return 1;
  return processors < kMostSongParts ? static_cast<int32_t>(processors) : kMostSongParts;
#endif
}

RenderedSong renderSong(Arena& arena, Array<const uint8_t> bytes, Array<int16_t> output,
                        int32_t parts) {
  Module& module = createModule(arena);
  ByteStream stream;
  stream.pointAt(bytes);
  ModuleLoader loader{module, stream};
  const LoadError error = loader.load();
  if (error != LoadError::kNone) return {error, &module, 0};

  // Every Player comes from the arena here, before any thread starts: the
  // Arena serves one thread.
  Array<Player*> players = arena.makeArray<Player*>(parts > 1 ? parts : 1);
  for (Player*& player : players) player = &createPlayer(arena);
  SharedRender render{&module, output};
#if defined(CORVEXA_NO_THREADS)
  render.renderStretches(*players[0]);
#else
  std::vector<std::thread> threads;
  threads.reserve(players.count - 1);  // nothing moves once threads run
  for (int32_t k = 1; k < players.count; k++) {
    try {
      threads.emplace_back([&render, &player = *players[k]] { render.renderStretches(player); });
    } catch (const std::system_error&) {
      break;  // no more threads: the Players that run share the song
    }
  }
  render.renderStretches(*players[0]);
  for (std::thread& thread : threads) thread.join();
#endif
  // The song's end is where a Player that reached it stopped; one that never
  // ran has played nothing.
  int32_t length = 0;
  for (const Player* player : players) {
    if (player->outputCount > length) length = player->outputCount;
  }
  return {error, &module, length};
}

}  // namespace corvexa
