// Any bytes as a gzip member: inflate must give a count within the output or
// one of its error codes, and never touch memory outside its arrays.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "assets/gzip_inflater.h"
#include "base/arena.h"

using namespace corvexa;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Arena arena;
  static GzipInflater& inflater = makeGzipInflater(arena);
  // Large enough for the seeds to decode whole, small enough to hit the bound.
  static Array<uint8_t> output = arena.makeArray<uint8_t>(1 << 20);
  if (size > (1u << 24)) return -1;
  const int32_t written = inflate(inflater, {static_cast<int32_t>(size), data}, output);
  if (written > output.count || written < static_cast<int32_t>(InflateError::kCodeLeadsNowhere))
    abort();
  if (written >= 0 && inflater.input.position > static_cast<int32_t>(size)) abort();
  return 0;
}
