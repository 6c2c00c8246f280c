// Picture files: PNG through libpng, and raw pixels, each written as an
// OutputFile (tools/common/output_file.h): whole or not at all.
#pragma once

#include <cstdint>
#include <string>

namespace corvexa::tools {

// Writes width x height pixels (red | green << 8 | blue << 16 | fourth << 24)
// as 8-bit RGB, or RGBA with the fourth byte as alpha when withAlpha is set.
// Throws ToolFailure naming the file when it cannot be written.
void writePng(const std::string& path, const uint32_t* pixels, int32_t width, int32_t height,
              bool withAlpha);

// Writes count pixels as little-endian 32-bit values, fourth byte included.
// Throws ToolFailure naming the file when it cannot be written.
void writeRawPixels(const std::string& path, const uint32_t* pixels, int64_t count);

}  // namespace corvexa::tools
