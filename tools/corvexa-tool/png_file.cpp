#include "tools/corvexa-tool/png_file.h"

#include <png.h>

#include <cstdio>
#include <fstream>
#include <vector>

#include "tools/corvexa-tool/command.h"

namespace corvexa::tool {

void writePng(const std::string& path, const uint32_t* pixels, int32_t width, int32_t height,
              bool withAlpha) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = withAlpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
  int32_t channels = withAlpha ? 4 : 3;
  std::vector<uint8_t> bytes(static_cast<size_t>(width) * height * channels);
  for (int64_t i = 0; i < static_cast<int64_t>(width) * height; i++) {
    for (int32_t c = 0; c < channels; c++) bytes[i * channels + c] = (pixels[i] >> (8 * c)) & 0xFF;
  }
  if (!png_image_write_to_file(&image, path.c_str(), 0, bytes.data(), 0, nullptr)) {
    throw CommandFailure(path + ": cannot write PNG (" + image.message + ")", 1);
  }
}

void writeRawPixels(const std::string& path, const uint32_t* pixels, int64_t count) {
  std::ofstream file(path, std::ios::binary);
  for (int64_t i = 0; i < count; i++) {
    const uint32_t pixel = pixels[i];
    const char bytes[4] = {static_cast<char>(pixel), static_cast<char>(pixel >> 8),
                           static_cast<char>(pixel >> 16), static_cast<char>(pixel >> 24)};
    file.write(bytes, 4);
  }
  if (!file.flush()) throw CommandFailure(path + ": cannot write", 1);
}

}  // namespace corvexa::tool
