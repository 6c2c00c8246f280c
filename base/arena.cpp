#include "base/arena.h"

#include <cstdlib>

namespace corvexa {

Arena::~Arena() {
  for (void* block : blocks_) std::free(block);
}

void* Arena::allocate(size_t size, int32_t count) {
  size_t elements = count > 0 ? static_cast<size_t>(count) : 1;
  void* block = std::calloc(elements, size);
  if (block == nullptr) throw std::bad_alloc();
  blocks_.push_back(block);
  bytes_ += static_cast<int64_t>(elements * size);
  return block;
}

}  // namespace corvexa
