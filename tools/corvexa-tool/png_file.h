// PNG files through libpng.
#pragma once

#include <cstdint>
#include <string>

// Writes width x height pixels (red | green << 8 | blue << 16 | fourth << 24)
// as 8-bit RGB, or RGBA with the fourth byte as alpha when withAlpha is set.
// Throws CommandFailure naming the file when it cannot be written.
void writePng(const std::string& path, const uint32_t* pixels, int32_t width, int32_t height,
              bool withAlpha);
