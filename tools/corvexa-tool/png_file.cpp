#include "tools/corvexa-tool/png_file.h"

#include <png.h>

#include <cstdio>
#include <vector>

#include "tools/corvexa-tool/command.h"

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
