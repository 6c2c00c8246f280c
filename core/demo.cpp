#include "core/demo.h"

#include "core/scene.h"

namespace corvexa {

bool Demo::update(const PointerState& pointer) {
  if (pointer.pressed > 0) return false;
  runSceneTick(*scene);
  return true;
}

void Demo::draw(Framebuffer framebuffer) {
  for (uint32_t& pixel : framebuffer) pixel = 0;
  drawScene(*scene, framebuffer);
}

void Demo::fillAudio(int16_t* destination, int32_t count) {
  if (count <= 0) return;
  if (renderedSampleCount <= 0) {
    for (int32_t i = 0; i < count; i++) destination[i] = 0;
    return;
  }
  int32_t written = 0;
  while (written < count) {
    int32_t n = renderedSampleCount - playPosition;
    if (n > count - written) n = count - written;
    for (int32_t i = 0; i < n; i++) {
      // Halved; an arithmetic shift, so odd negative samples go toward minus infinity.
      destination[written++] = static_cast<int16_t>(pcmBuffer[playPosition++] >> 1);
    }
    if (playPosition == renderedSampleCount) playPosition = 0;
  }
}

}  // namespace corvexa
