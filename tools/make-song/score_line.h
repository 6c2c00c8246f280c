// What the score's readers share: the line being read, for messages that
// name it, and the readers of its small parts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/make-song/song.h"

namespace corvexa::make_song {

struct ScoreLine {
  std::string fileName;
  int32_t number = 0;

  // Throws ScoreError "FILE:LINE: message".
  [[noreturn]] void fail(const std::string& message) const;
  [[noreturn]] void failAt(int32_t line, const std::string& message) const;
};

// A whole number from low to high, or a refusal naming `what`.
int32_t parseNumber(const ScoreLine& line, const std::string& word, int32_t low, int32_t high,
                    const std::string& what);

// "C-4", "C#4": a key 1..96.
uint8_t parseKey(const ScoreLine& line, const std::string& word);

// "wave KIND name value ...": a new sample's Synthesis.
Synthesis parseWave(const ScoreLine& line, const std::vector<std::string>& words);

// What a wave needs that its settings alone cannot show (a loop that fits
// its frames, cycles that divide evenly, ...); `at` is the wave's line.
void checkWave(const ScoreLine& line, int32_t at, const ScoreSample& sample,
               const std::string& name);

}  // namespace corvexa::make_song
