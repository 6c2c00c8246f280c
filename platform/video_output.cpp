#include "platform/video_output.h"

#include <cstring>

#include "effects/framebuffer.h"
#include "platform/report.h"

namespace corvexa {

namespace {

constexpr int32_t kRowBytes = kScreenWidth * 4;

// The rectangle to copy the texture to. SDL turns a copy about the centre of
// its destination, so a turned picture's unturned rectangle (320s x 180s)
// shares its centre with the placement (180s x 320s).
SDL_Rect copyRectangle(const Placement& place) {
  if (!place.turned) return SDL_Rect{place.x, place.y, place.width, place.height};
  int32_t centreX2 = 2 * place.x + place.width;  // doubled: stays whole
  int32_t centreY2 = 2 * place.y + place.height;
  return SDL_Rect{(centreX2 - place.height) / 2, (centreY2 - place.width) / 2, place.height,
                  place.width};
}

}  // namespace

bool createFrameTexture(VideoOutput& video) {
  video.texture = SDL_CreateTexture(video.renderer, SDL_PIXELFORMAT_ABGR8888,
                                    SDL_TEXTUREACCESS_STREAMING, kScreenWidth, kScreenHeight);
  if (!video.texture) return fail("creating the picture's texture");
  // The fourth byte is no alpha: the texture replaces what is under it.
  if (SDL_SetTextureBlendMode(video.texture, SDL_BLENDMODE_NONE) != 0)
    return fail("setting the texture's blend mode");
  if (SDL_SetTextureScaleMode(video.texture, SDL_ScaleModeNearest) != 0)
    return fail("setting point sampling");
  return true;
}

bool initVideo(VideoOutput& video, SDL_Window* window) {
#ifdef _WIN32
  // Direct3D 11 first, the interface the show was made for; where it cannot
  // start, SDL goes on to its other renderers (SDL_RENDER_DRIVER overrides).
  SDL_SetHint(SDL_HINT_RENDER_DRIVER, "direct3d11");
#endif
  video.renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_PRESENTVSYNC);
  if (!video.renderer) {
    // Some drivers refuse vsync; the main loop paces itself then.
    video.renderer = SDL_CreateRenderer(window, -1, 0);
    if (!video.renderer) return fail("creating a renderer for the window");
  }
  SDL_RendererInfo info;
  video.vsync = SDL_GetRendererInfo(video.renderer, &info) == 0 &&
                (info.flags & SDL_RENDERER_PRESENTVSYNC) != 0;
  return createFrameTexture(video) && placeVideo(video);
}

bool placeVideo(VideoOutput& video) {
  int width = 0, height = 0;
  if (SDL_GetRendererOutputSize(video.renderer, &width, &height) != 0)
    return fail("reading the window's size");
  video.placement = placePicture(width, height);
  return true;
}

bool drawFrame(VideoOutput& video, const uint32_t* pixels) {
  void* texels = nullptr;
  int pitch = 0;
  if (SDL_LockTexture(video.texture, nullptr, &texels, &pitch) != 0)
    return fail("writing the picture's texture");
  auto* destination = static_cast<uint8_t*>(texels);
  if (pitch == kRowBytes) {
    std::memcpy(destination, pixels, kPixelCount * 4);
  } else {
    for (int32_t y = 0; y < kScreenHeight; y++)
      std::memcpy(destination + y * pitch, pixels + y * kScreenWidth, kRowBytes);
  }
  SDL_UnlockTexture(video.texture);

  if (SDL_SetRenderDrawColor(video.renderer, 0, 0, 0, 255) != 0 ||
      SDL_RenderClear(video.renderer) != 0)
    return fail("clearing the window");
  const Placement& place = video.placement;
  if (place.width <= 0 || place.height <= 0) return true;  // nothing of the window shows
  SDL_Rect rectangle = copyRectangle(place);
  // A quarter turn counter-clockwise is -90 degrees in SDL's clockwise angles.
  double angle = place.turned ? -90.0 : 0.0;
  if (SDL_RenderCopyEx(video.renderer, video.texture, nullptr, &rectangle, angle, nullptr,
                       SDL_FLIP_NONE) != 0)
    return fail("drawing the picture");
  return true;
}

bool presentFrame(VideoOutput& video, const uint32_t* pixels) {
  if (!drawFrame(video, pixels)) return false;
  SDL_RenderPresent(video.renderer);
  return true;
}

void closeVideo(VideoOutput& video) {
  if (video.texture) SDL_DestroyTexture(video.texture);
  if (video.renderer) SDL_DestroyRenderer(video.renderer);
  video = VideoOutput{};
}

}  // namespace corvexa
