// The table of the program's three embedded assets.
//
// A resource is known by the identity of its ResourceName object, not by the
// text of the name: lookupResource compares addresses, so another object with
// the same text finds nothing. The text is a label for people, and so is the
// name of the file in assets/data that the build compiled in.
//
// Start-up reads the embedded table; a test can hand it another table with the
// same names over other bytes (a damaged copy, say).
#pragma once

#include <cstdint>

#include "base/array.h"

namespace corvexa {

struct ResourceName {
  Array<const char16_t> text;
};

struct ResourceEntry {
  const ResourceName* name;
  const char* file;  // e.g. "corvexa.xm.gz"
  Array<const uint8_t> bytes;
};

using ResourceTable = Array<const ResourceEntry>;

extern const ResourceName kGoldBarFontName;
extern const ResourceName kSimpleFontName;
extern const ResourceName kSongName;

inline constexpr int32_t kResourceCount = 3;
extern const ResourceEntry kResourceTable[kResourceCount];

// The embedded table as an Array.
ResourceTable embeddedResources();

// The first entry of table named by this very object, or nullptr.
const ResourceEntry* findResource(ResourceTable table, const ResourceName& name);

// The bytes of the embedded resource named by this very object, or nullptr.
const Array<const uint8_t>* lookupResource(const ResourceName& name);

}  // namespace corvexa
