// ByteStream: the one reader over a byte Array that every decoder reads through
// (the gzip inflater, the GIF decoder and the XM loader).
//
// A stream is valid (0 <= position <= count) or failed (position -1). Every
// read first tests that its n bytes are there; if not, the stream fails for
// good, the read yields 0 and nothing is consumed, not even part of the n
// bytes. Only advance() (which adds to the position without any test) or
// pointing the stream at new data changes a failed position.
//
// A decoder that finds its stream failed reports the one truncation of every
// decoder, worded as kDataEndsEarly.
#pragma once

#include <cstdint>

#include "base/array.h"

namespace corvexa {

// The one wording of every decoder for data cut short (its stream failed).
inline constexpr char kDataEndsEarly[] = "the data ends early";

struct ByteStream {
  Array<const uint8_t> data;
  int32_t position = 0;

  void pointAt(Array<const uint8_t> bytes) {
    data = bytes;
    position = 0;
  }

  bool failed() const { return position < 0; }

  // True when n more bytes can be read; otherwise fails the stream. A
  // negative n is refused too: reads never move the position backwards.
  bool take(int32_t n) {
    if (n < 0 || position < 0 || data.count - position < n) {
      position = -1;
      return false;
    }
    return true;
  }

  uint8_t readByte() {
    if (!take(1)) return 0;
    return data[position++];
  }

  int16_t readInt16() {
    if (!take(2)) return 0;
    uint32_t value = data[position] | data[position + 1] << 8;
    position += 2;
    return static_cast<int16_t>(value);
  }

  // Three bytes little-endian in the low 24 bits; the top 8 bits are zero.
  int32_t readInt24() {
    if (!take(3)) return 0;
    int32_t value = data[position] | data[position + 1] << 8 | data[position + 2] << 16;
    position += 3;
    return value;
  }

  int32_t readInt32() {
    if (!take(4)) return 0;
    uint32_t value = static_cast<uint32_t>(data[position]) |
                     static_cast<uint32_t>(data[position + 1]) << 8 |
                     static_cast<uint32_t>(data[position + 2]) << 16 |
                     static_cast<uint32_t>(data[position + 3]) << 24;
    position += 4;
    return static_cast<int32_t>(value);
  }

  // Copies n bytes into destination[0 .. n-1]; on failure copies nothing.
  void readBytes(int32_t n, Array<uint8_t> destination) {
    if (!take(n)) return;
    for (int32_t i = 0; i < n; i++) destination[i] = data[position + i];
    position += n;
  }

  void skip(int32_t n) {
    if (take(n)) position += n;
  }

  // Moves the position with no test at all (the XM loader applies header sizes
  // with it). The sum wraps rather than overflows.
  void advance(int32_t n) {
    position = static_cast<int32_t>(static_cast<uint32_t>(position) + static_cast<uint32_t>(n));
  }
};

}  // namespace corvexa
