#include "assets/byte_stream.h"

#include <gtest/gtest.h>

using namespace corvexa;

namespace {

template <int32_t N>
ByteStream streamOver(const uint8_t (&bytes)[N]) {
  ByteStream stream;
  stream.pointAt(Array<const uint8_t>{N, bytes});
  return stream;
}

}  // namespace

TEST(ByteStream, LittleEndianReadsAndTheirSigns) {
  const uint8_t bytes[] = {0xFF, 0x7F, 0x00, 0x80, 0x01, 0x02, 0xFF, 0x78, 0x56, 0x34, 0x92};
  ByteStream stream = streamOver(bytes);
  EXPECT_EQ(stream.readInt16(), 32767);
  EXPECT_EQ(stream.readInt16(), -32768);
  EXPECT_EQ(stream.readInt24(), 0xFF0201);  // top 8 bits zero even with byte 2 at 0xFF
  EXPECT_EQ(stream.readInt32(), static_cast<int32_t>(0x92345678u));
  EXPECT_EQ(stream.position, 11);
  EXPECT_FALSE(stream.failed());
}

TEST(ByteStream, AShortReadConsumesNothingAndFailsForGood) {
  const uint8_t bytes[] = {7, 9};
  ByteStream stream = streamOver(bytes);
  EXPECT_EQ(stream.readByte(), 7);
  EXPECT_EQ(stream.readInt16(), 0);  // one byte left: not even it is taken
  EXPECT_EQ(stream.position, -1);
  EXPECT_EQ(stream.readByte(), 0);
  EXPECT_EQ(stream.position, -1);
  stream.skip(0);
  EXPECT_TRUE(stream.failed());

  uint8_t destination[2] = {5, 5};
  ByteStream again = streamOver(bytes);
  again.readBytes(3, Array<uint8_t>{2, destination});
  EXPECT_TRUE(again.failed());
  EXPECT_EQ(destination[0], 5);                   // left as it was
  again.pointAt(Array<const uint8_t>{2, bytes});  // re-pointing revives the stream
  again.readBytes(2, Array<uint8_t>{2, destination});
  EXPECT_EQ(destination[1], 9);
  EXPECT_EQ(again.position, 2);
}

TEST(ByteStream, EndOfDataEmptyDataAndNegativeCounts) {
  const uint8_t bytes[] = {1};
  ByteStream stream = streamOver(bytes);
  stream.skip(1);
  stream.skip(0);  // at the end, taking nothing still succeeds
  EXPECT_EQ(stream.position, 1);

  ByteStream empty;
  empty.pointAt(Array<const uint8_t>{0, nullptr});
  EXPECT_EQ(empty.readInt32(), 0);
  EXPECT_TRUE(empty.failed());

  // A negative count would move a read backwards: it fails instead.
  ByteStream back = streamOver(bytes);
  back.skip(1);
  back.skip(-1);
  EXPECT_TRUE(back.failed());

  // advance moves without any test, also out of a failed state.
  back.advance(1);
  EXPECT_EQ(back.position, 0);
  EXPECT_EQ(back.readByte(), 1);
}
