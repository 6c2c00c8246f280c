// Effect: the interface of the seven visual effects.
//
// update advances an effect by one 16 ms tick; draw renders it into the
// framebuffer. The scene builds every effect once; their fields are plain
// public data that the timeline rewrites at fixed ticks. An effect that the
// current timeline entry does not list is neither updated nor drawn and keeps
// its state.
#pragma once

#include "effects/framebuffer.h"

namespace corvexa {

struct Effect {
  virtual void update() = 0;
  virtual void draw(Framebuffer framebuffer) = 0;
};

}  // namespace corvexa
