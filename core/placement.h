// Where the 320 x 180 picture goes in a window.
//
// placePicture(width, height) takes the window's size in pixels and answers
// the rectangle the picture covers on screen; everything outside it is black.
//
//   - A portrait window (width < height) shows the picture a quarter turn
//     counter-clockwise: it then covers 180 columns by 320 rows per unit of
//     scale, its top row running up the window's left edge. A square window
//     counts as landscape.
//   - The scale is the largest whole number at which the turned or unturned
//     picture fits, so every framebuffer pixel becomes a sharp square of
//     scale x scale screen pixels, centred (odd leftovers put the extra pixel
//     on the right or bottom).
//   - A window too small for scale 1 gets scale 0, and the picture is shrunk
//     to the largest rectangle of its own proportions that fits, so the whole
//     picture stays visible.
//
// Pure arithmetic, in the engine so that every way of showing the picture
// places it alike: the desktop program's video output draws with the answer,
// and so does the browser page, through the WebAssembly module's
// corvexaPlace.
#pragma once

#include <cstdint>

namespace corvexa {

struct Placement {
  bool turned = false;  // portrait window: shown a quarter turn counter-clockwise
  int32_t scale = 0;    // whole-number scale; 0 when shrunk to fit
  int32_t x = 0;        // left column of the picture in the window
  int32_t y = 0;        // top row of the picture in the window
  int32_t width = 0;    // columns covered (after turning)
  int32_t height = 0;   // rows covered (after turning)
};

Placement placePicture(int32_t windowWidth, int32_t windowHeight);

}  // namespace corvexa
