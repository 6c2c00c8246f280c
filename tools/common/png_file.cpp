#include "tools/common/png_file.h"

#include <png.h>

#include <vector>

#include "tools/common/output_file.h"
#include "tools/common/tool_failure.h"

namespace corvexa::tools {

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
  // Encoded in memory (at most libpng's bound for the image), then written
  // as any output is.
  std::vector<uint8_t> encoded(PNG_IMAGE_PNG_SIZE_MAX(image));
  png_alloc_size_t size = encoded.size();
  if (!png_image_write_to_memory(&image, encoded.data(), &size, 0, bytes.data(), 0, nullptr))
    throw ToolFailure(path + ": cannot write (libpng: " + image.message + ")", kSystemFailed);
  writeOutputFile(path, encoded.data(), size);
}

void writeRawPixels(const std::string& path, const uint32_t* pixels, int64_t count) {
  constexpr int64_t kBlockPixels = 16384;
  OutputFile file(path);
  std::vector<char> block(4 * kBlockPixels);
  for (int64_t first = 0; first < count; first += kBlockPixels) {
    const int64_t n = count - first < kBlockPixels ? count - first : kBlockPixels;
    for (int64_t i = 0; i < n; i++) {
      const uint32_t pixel = pixels[first + i];
      for (int32_t b = 0; b < 4; b++) block[4 * i + b] = static_cast<char>(pixel >> (8 * b));
    }
    file.write(block.data(), static_cast<size_t>(4 * n));
  }
  file.commit();
}

}  // namespace corvexa::tools
