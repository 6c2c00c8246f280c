#include <gtest/gtest.h>

#include "music/tables.h"

using namespace corvexa;

TEST(MusicTables, QuotedValues) {
  ASSERT_EQ(frequencyTable.count, 768);
  EXPECT_EQ(frequencyTable[0], 2140928);  // 8363 x 256
  EXPECT_EQ(frequencyTable[384], 1513864);
  EXPECT_EQ(frequencyTable[767], 1071428);
  for (int32_t i = 1; i < 768; i++) ASSERT_LT(frequencyTable[i], frequencyTable[i - 1]) << i;

  ASSERT_EQ(vibratoTable.count, 32);
  const int32_t vibrato[] = {0,   24,  49,  74,  97,  120, 141, 161, 180, 197,
                             212, 224, 235, 244, 250, 253, 255, 253, 250};
  for (int32_t i = 0; i < 19; i++) EXPECT_EQ(vibratoTable[i], vibrato[i]) << i;
  EXPECT_EQ(vibratoTable[31], 24);

  ASSERT_EQ(autoVibratoTable.count, 128);
  const int32_t autoVibrato[] = {0, 1, 3, 4, 6, 7, 9, 10, 12, 14};
  for (int32_t i = 0; i < 10; i++) EXPECT_EQ(autoVibratoTable[i], autoVibrato[i]) << i;
  EXPECT_EQ(autoVibratoTable[64], 64);
  EXPECT_EQ(autoVibratoTable[127], 1);
  for (int32_t i = 1; i < 64; i++) EXPECT_EQ(autoVibratoTable[64 + i], autoVibratoTable[64 - i]);
}
