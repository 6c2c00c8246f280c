// Arena: where the engine's long-lived objects and Arrays come from.
//
// Every block is zero-filled when it is handed out and stays until the Arena
// itself ends; nothing is freed one by one. The program has one Arena that
// lives as long as the process (start-up fills it, nothing adds to it later);
// a test makes its own and drops everything with it.
//
// Blocks come from calloc, so a large buffer that is never written (the tail of
// the song's PCM buffer) costs address space but no resident memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <type_traits>
#include <vector>

#include "base/array.h"

namespace corvexa {

class Arena {
 public:
  Arena() = default;
  Arena(const Arena&) = delete;
  Arena& operator=(const Arena&) = delete;
  ~Arena();

  // A zero-filled Array of count elements (count >= 0).
  template <typename T>
  Array<T> makeArray(int32_t count) {
    static_assert(std::is_trivially_destructible_v<T>);
    return Array<T>{count, static_cast<T*>(allocate(sizeof(T), count))};
  }

  // One object, value-initialised in zero-filled storage.
  template <typename T, typename... Args>
  T& make(Args&&... args) {
    static_assert(std::is_trivially_destructible_v<T>);
    return *new (allocate(sizeof(T), 1)) T{static_cast<Args&&>(args)...};
  }

  // Bytes handed out so far (for benchmarks and reports).
  int64_t bytesAllocated() const { return bytes_; }

 private:
  void* allocate(size_t size, int32_t count);

  std::vector<void*> blocks_;
  int64_t bytes_ = 0;
};

}  // namespace corvexa
