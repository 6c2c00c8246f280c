// The inflater on a member the size of the song: about 20 KB out of one
// dynamic block, like the embedded XM file (21,665 bytes from 4,210). zlib
// only makes the member; the decoding is the program's own.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <random>
#include <vector>

#include "assets/embedded.h"
#include "assets/gzip_inflater.h"
#include "base/arena.h"

using namespace corvexa;

namespace {

// Something like an XM file: a header of text, pattern rows with many
// repeats, and sample data that hardly compresses.
std::vector<uint8_t> songLikeBytes() {
  std::mt19937 random(1);
  const char header[] =
      "Extended Module: corvexa benchmark   \x1a"
      "FastTracker v2.00   ";
  std::vector<uint8_t> bytes(header, header + sizeof header - 1);
  while (bytes.size() < 14000) {
    // Two channels with a note each (packed), the others empty.
    bytes.insert(bytes.end(), {0x98, static_cast<uint8_t>(48 + random() % 24), 1});
    bytes.insert(bytes.end(), 7, 0x80);
    bytes.insert(bytes.end(), {0x83, static_cast<uint8_t>(36 + random() % 3), 2});
    bytes.insert(bytes.end(), 7, 0x80);
  }
  int32_t sample = 0;
  while (bytes.size() < 21665) {
    sample += static_cast<int32_t>(random() % 9) - 4;
    bytes.push_back(static_cast<uint8_t>(sample));
  }
  return bytes;
}

std::vector<uint8_t> gzipMember(const std::vector<uint8_t>& data) {
  z_stream stream{};
  deflateInit2(&stream, 9, Z_DEFLATED, 31, 8, Z_DEFAULT_STRATEGY);
  std::vector<uint8_t> out(deflateBound(&stream, data.size()));
  stream.next_in = const_cast<Bytef*>(data.data());
  stream.avail_in = static_cast<uInt>(data.size());
  stream.next_out = out.data();
  stream.avail_out = static_cast<uInt>(out.size());
  deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return out;
}

void runInflate(benchmark::State& state, Array<const uint8_t> member) {
  Arena arena;
  GzipInflater& inflater = makeGzipInflater(arena);
  Array<uint8_t> output = arena.makeArray<uint8_t>(1048576);
  int32_t written = 0;
  for (auto _ : state) {
    written = inflate(inflater, member, output);
    benchmark::DoNotOptimize(output.items);
  }
  if (written < 0) state.SkipWithError(describeInflateError(inflateError(written)));
  state.SetBytesProcessed(state.iterations() * written);
  state.counters["in"] = member.count;
  state.counters["out"] = written;
}

void BM_InflateSongSizedMember(benchmark::State& state) {
  static const std::vector<uint8_t> member = gzipMember(songLikeBytes());
  runInflate(state, {static_cast<int32_t>(member.size()), member.data()});
}
BENCHMARK(BM_InflateSongSizedMember);

void BM_InflateEmbeddedSong(benchmark::State& state) {
  if (kCorvexaXmGzSize == 0) {
    state.SkipWithError("the embedded song is empty");
    return;
  }
  runInflate(state, {kCorvexaXmGzSize, kCorvexaXmGz});
}
BENCHMARK(BM_InflateEmbeddedSong);

}  // namespace
