#include "tools/common/wav_file.h"

#include <vector>

#include "tools/common/output_file.h"
#include "tools/common/tool_failure.h"

namespace corvexa::tools {

namespace {

void putLittleEndian(std::vector<char>& bytes, uint32_t value, int32_t size) {
  for (int32_t i = 0; i < size; i++) bytes.push_back(static_cast<char>(value >> (8 * i)));
}

constexpr int64_t kWavBlockSamples = 32768;

}  // namespace

void writeWav(const std::string& path, const int16_t* samples, int64_t count) {
  const uint64_t dataBytes = static_cast<uint64_t>(count) * 2;
  if (dataBytes > 0xFFFFFFFFull - 36) throw ToolFailure(path + ": too long for a WAV file");
  std::vector<char> header;
  header.insert(header.end(), {'R', 'I', 'F', 'F'});
  putLittleEndian(header, static_cast<uint32_t>(36 + dataBytes), 4);
  header.insert(header.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  putLittleEndian(header, 16, 4);               // format chunk size
  putLittleEndian(header, 1, 2);                // PCM
  putLittleEndian(header, kAudioChannels, 2);   // mono
  putLittleEndian(header, kSampleRate, 4);      // samples per second
  putLittleEndian(header, kSampleRate * 2, 4);  // bytes per second
  putLittleEndian(header, 2, 2);                // bytes per frame
  putLittleEndian(header, 16, 2);               // bits per sample
  header.insert(header.end(), {'d', 'a', 't', 'a'});
  putLittleEndian(header, static_cast<uint32_t>(dataBytes), 4);

  // The samples go out in little-endian blocks through one small buffer, not
  // as a second copy of the whole song.
  OutputFile file(path);
  file.write(header.data(), header.size());
  std::vector<char> block(2 * kWavBlockSamples);
  for (int64_t first = 0; first < count; first += kWavBlockSamples) {
    const int64_t n = count - first < kWavBlockSamples ? count - first : kWavBlockSamples;
    for (int64_t i = 0; i < n; i++) {
      const uint16_t sample = static_cast<uint16_t>(samples[first + i]);
      block[2 * i] = static_cast<char>(sample & 0xFF);
      block[2 * i + 1] = static_cast<char>(sample >> 8);
    }
    file.write(block.data(), static_cast<size_t>(2 * n));
  }
  file.commit();
}

}  // namespace corvexa::tools
