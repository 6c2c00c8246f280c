// The table of the program's three embedded assets.
//
// A resource is known by the identity of its ResourceName object, not by the
// text of the name: lookupResource compares addresses, so another object with
// the same text finds nothing. The text is a label for people.
#pragma once

#include <cstdint>

#include "core/array.h"

struct ResourceName {
  Array<const char16_t> text;
};

struct ResourceEntry {
  const ResourceName* name;
  Array<const uint8_t> bytes;
};

extern const ResourceName kGoldBarFontName;
extern const ResourceName kSimpleFontName;
extern const ResourceName kSongName;

inline constexpr int32_t kResourceCount = 3;
extern const ResourceEntry kResourceTable[kResourceCount];

// The bytes of the resource named by this very object, or nullptr.
const Array<const uint8_t>* lookupResource(const ResourceName& name);
