// Video output: the 320 x 180 framebuffer shown in an SDL window.
//
// One streaming texture of the framebuffer's size takes each frame's pixels
// (red, green, blue and an unused fourth byte: SDL_PIXELFORMAT_ABGR8888 read as
// 32-bit values), and the renderer copies it with point sampling to the
// rectangle placePicture chose, turned a quarter turn counter-clockwise in a
// portrait window, on black. The renderer presents with vertical sync where
// the driver offers it; the main loop paces itself where it does not.
//
// On Windows the renderer is Direct3D 11 where it starts, else whichever SDL
// falls back to.
//
// Lifetime: initVideo once the window exists, placeVideo whenever its size
// changes, presentFrame per frame, closeVideo at the end. Every SDL failure
// is reported on stderr as one line and answered false.
#pragma once

#include <SDL.h>

#include <cstdint>

#include "core/placement.h"

namespace corvexa {

struct VideoOutput {
  SDL_Renderer* renderer = nullptr;
  SDL_Texture* texture = nullptr;  // 320 x 180, streaming
  Placement placement;
  bool vsync = false;  // the renderer promised to wait for the display
};

// Creates the renderer and the texture for window and places the picture.
bool initVideo(VideoOutput& video, SDL_Window* window);

// The texture alone, for a renderer made elsewhere (tests draw into a surface).
bool createFrameTexture(VideoOutput& video);

// Recomputes the placement from the renderer's output size in pixels.
bool placeVideo(VideoOutput& video);

// Uploads the framebuffer's 57,600 pixels and draws the picture on black
// (without presenting).
bool drawFrame(VideoOutput& video, const uint32_t* pixels);

// drawFrame, then shows the result.
bool presentFrame(VideoOutput& video, const uint32_t* pixels);

void closeVideo(VideoOutput& video);

}  // namespace corvexa
