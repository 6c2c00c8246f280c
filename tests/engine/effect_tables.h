// The effect tables, built once for the whole test binary and never changed.
#pragma once

#include "effects/tables.h"

namespace corvexa {

inline const EffectTables& testTables() {
  static Arena arena;
  static const EffectTables tables = buildEffectTables(arena);
  return tables;
}

}  // namespace corvexa
