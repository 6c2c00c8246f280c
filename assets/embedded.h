// The files of assets/data, compiled into the program by the build
// (cmake/embed.cmake). Nothing is read from disk at run time.
#pragma once

#include <cstdint>

namespace corvexa {

extern const uint8_t kGoldbarGif[];
extern const int32_t kGoldbarGifSize;
extern const uint8_t kSimple16x28Gif[];
extern const int32_t kSimple16x28GifSize;
extern const uint8_t kCorvexaXmGz[];
extern const int32_t kCorvexaXmGzSize;
// The scroller's message, one UTF-16 code unit per character.
extern const char16_t kScrollTxt[];
extern const int32_t kScrollTxtSize;

}  // namespace corvexa
