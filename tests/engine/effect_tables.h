// The effect tables built once for the whole test binary.
#pragma once

#include "effects/tables.h"

inline const EffectTables& ensureEffectTables() {
  static Arena* arena = [] {
    Arena* tables = new Arena;
    buildEffectTables(*tables);
    return tables;
  }();
  (void)arena;
  return effectTables;
}
