// Array: a signed 32-bit element count and the elements it counts.
//
// Every table, buffer and list of the engine is an Array. An Array does not own
// its elements: they are either constant data compiled into the program (the
// Array is laid over them, nothing is copied) or a zero-filled block handed out
// by an Arena, which keeps it until the Arena ends. Arrays never change their
// count. Element access is not bounds-checked: every user keeps its indexes
// inside count.
#pragma once

#include <cstdint>

namespace corvexa {

template <typename T>
struct Array {
  int32_t count = 0;
  T* items = nullptr;

  T& operator[](int32_t index) const { return items[index]; }
  T* begin() const { return items; }
  T* end() const { return items + count; }
};

// An Array over constant data that lives as long as the program.
template <typename T>
Array<const T> arrayOver(const T* items, int32_t count) {
  return Array<const T>{count, items};
}

}  // namespace corvexa
