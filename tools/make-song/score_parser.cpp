#include "tools/make-song/score_parser.h"

#include <map>
#include <sstream>
#include <vector>

#include "music/commands.h"
#include "music/module.h"
#include "tools/make-song/score_line.h"

namespace corvexa::make_song {

void ScoreLine::fail(const std::string& message) const {
  failAt(number, message);
}

void ScoreLine::failAt(int32_t line, const std::string& message) const {
  throw ScoreError(fileName + ":" + std::to_string(line) + ": " + message);
}

int32_t parseNumber(const ScoreLine& line, const std::string& word, int32_t low, int32_t high,
                    const std::string& what) {
  bool digits = !word.empty() && word.size() <= 9;
  size_t start = (!word.empty() && word[0] == '-') ? 1 : 0;
  if (start == word.size()) digits = false;
  for (size_t i = start; i < word.size() && digits; i++) digits = word[i] >= '0' && word[i] <= '9';
  int32_t value = digits ? std::stoi(word) : 0;
  if (!digits || value < low || value > high) {
    line.fail(what + " must be a whole number from " + std::to_string(low) + " to " +
              std::to_string(high) + ", not \"" + word + "\"");
  }
  return value;
}

uint8_t parseKey(const ScoreLine& line, const std::string& word) {
  static const std::string letters = "C-C#D-D#E-F-F#G-G#A-A#B-";
  size_t at = word.size() == 3 ? letters.find(word.substr(0, 2)) : std::string::npos;
  if (at == std::string::npos || at % 2 != 0 || word[2] < '0' || word[2] > '7') {
    line.fail("bad note \"" + word + "\" (C-0 to B-7, C#4 for sharps, === key-off, ...)");
  }
  return static_cast<uint8_t>(1 + (word[2] - '0') * 12 + static_cast<int32_t>(at / 2));
}

namespace {

// A run of single-channel rows, placed into patterns by "play".
struct Phrase {
  int32_t rows = 0;
  std::vector<Cell> cells;
};

// Where each part of the song was written, for messages about the whole song.
struct Origins {
  std::map<int32_t, int32_t> instrumentLine;
  std::vector<std::vector<int32_t>> waveLines;  // by instrument, then sample
  int32_t orderLine = 0;
  std::vector<std::pair<int32_t, int32_t>> cellInstruments;  // (instrument, line)
};

struct Parser {
  ScoreLine line;
  Song song;
  Origins origins;
  std::map<std::string, Phrase> phrases;
  ScoreInstrument* instrument = nullptr;  // the instrument being described
  Pattern* pattern = nullptr;             // the pattern whose rows follow...
  Phrase* phrase = nullptr;               // ... or the phrase
  int32_t lastRow = -1;
  std::vector<bool> written;  // the pattern's cells that hold something

  [[noreturn]] void fail(const std::string& message) const { line.fail(message); }
  [[noreturn]] void failAt(int32_t at, const std::string& message) const {
    line.failAt(at, message);
  }
};

// Splits a line into words; a double-quoted text is one word (quotes kept).
std::vector<std::string> splitWords(const Parser& parser, const std::string& text) {
  std::vector<std::string> words;
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] == ' ' || text[i] == '\t' || text[i] == '\r') {
      i++;
    } else if (text[i] == '"') {
      size_t close = text.find('"', i + 1);
      if (close == std::string::npos) parser.fail("a text without its closing '\"'");
      words.push_back(text.substr(i, close - i + 1));
      i = close + 1;
    } else {
      size_t end = text.find_first_of(" \t\r\"", i);
      if (end == std::string::npos) end = text.size();
      words.push_back(text.substr(i, end - i));
      i = end;
    }
  }
  return words;
}

int32_t parseNumber(const Parser& parser, const std::string& word, int32_t low, int32_t high,
                    const std::string& what) {
  return parseNumber(parser.line, word, low, high, what);
}

std::string parseText(const Parser& parser, const std::string& word, size_t maxLength,
                      const std::string& what) {
  if (word.size() < 2 || word.front() != '"' || word.back() != '"') {
    parser.fail(what + " must be a text in double quotes");
  }
  std::string text = word.substr(1, word.size() - 2);
  if (text.size() > maxLength) {
    parser.fail(what + " is longer than " + std::to_string(maxLength) + " characters");
  }
  return text;
}

void expectCount(const Parser& parser, const std::vector<std::string>& words, size_t count,
                 const std::string& form) {
  if (words.size() != count) parser.fail("expected \"" + form + "\"");
}

ScoreInstrument& currentInstrument(Parser& parser, const std::string& keyword) {
  if (parser.instrument == nullptr) parser.fail("\"" + keyword + "\" outside an instrument");
  return *parser.instrument;
}

// "envelope T:V T:V ... [sustain P] [loop P P]"
void parseEnvelope(Parser& parser, const std::vector<std::string>& words) {
  ScoreInstrument& inst = currentInstrument(parser, "envelope");
  inst.envelope.clear();
  size_t i = 1;
  for (; i < words.size() && words[i].find(':') != std::string::npos; i++) {
    size_t colon = words[i].find(':');
    ScoreEnvelopePoint point;
    point.tick = parseNumber(parser, words[i].substr(0, colon), 0, 32767, "an envelope tick");
    point.value = parseNumber(parser, words[i].substr(colon + 1), 0, 64, "an envelope value");
    if (!inst.envelope.empty() && point.tick <= inst.envelope.back().tick) {
      parser.fail("envelope ticks must rise from point to point");
    }
    inst.envelope.push_back(point);
  }
  if (inst.envelope.size() < 2 || inst.envelope.size() > 12) {
    parser.fail("an envelope has 2 to 12 points");
  }
  if (inst.envelope[0].tick != 0) parser.fail("an envelope starts at tick 0");
  const int32_t last = static_cast<int32_t>(inst.envelope.size()) - 1;
  while (i < words.size()) {
    if (words[i] == "sustain" && i + 1 < words.size()) {
      inst.sustainPoint = parseNumber(parser, words[i + 1], 0, last, "the sustain point");
      i += 2;
    } else if (words[i] == "loop" && i + 2 < words.size()) {
      inst.loopStartPoint = parseNumber(parser, words[i + 1], 0, last, "the loop start point");
      inst.loopEndPoint =
          parseNumber(parser, words[i + 2], inst.loopStartPoint, last, "the loop end point");
      i += 3;
    } else {
      parser.fail("expected \"sustain POINT\" or \"loop FIRST LAST\" after the points");
    }
  }
}

void parseAutoVibrato(Parser& parser, const std::vector<std::string>& words) {
  ScoreInstrument& inst = currentInstrument(parser, "autovibrato");
  static const std::map<std::string, int32_t> types = {
      {"sine", 0}, {"square", 1}, {"rampdown", 2}, {"rampup", 3}};
  expectCount(parser, words, 8, "autovibrato TYPE sweep N depth N rate N");
  if (types.count(words[1]) == 0) {
    parser.fail("unknown vibrato type \"" + words[1] + "\" (sine, square, rampdown, rampup)");
  }
  if (words[2] != "sweep" || words[4] != "depth" || words[6] != "rate") {
    parser.fail("expected \"autovibrato TYPE sweep N depth N rate N\"");
  }
  inst.vibratoType = types.at(words[1]);
  inst.vibratoSweep = parseNumber(parser, words[3], 0, 255, "the sweep");
  inst.vibratoDepth = parseNumber(parser, words[5], 0, 15, "the depth");
  inst.vibratoRate = parseNumber(parser, words[7], 0, 63, "the rate");
}

void parseWaveLine(Parser& parser, const std::vector<std::string>& words) {
  ScoreInstrument& inst = currentInstrument(parser, "wave");
  if (static_cast<int32_t>(inst.samples.size()) == kMaxSamplesPerInstrument) {
    parser.fail("an instrument has at most " + std::to_string(kMaxSamplesPerInstrument) + " waves");
  }
  ScoreSample sample;
  sample.synthesis = parseWave(parser.line, words);
  inst.samples.push_back(sample);
  parser.origins.waveLines.back().push_back(parser.line.number);
}

// "loop forward|pingpong START LENGTH", for the wave before it.
void parseLoop(Parser& parser, const std::vector<std::string>& words) {
  ScoreInstrument& inst = currentInstrument(parser, "loop");
  if (words.size() != 4 || (words[1] != "forward" && words[1] != "pingpong")) {
    parser.fail("expected \"loop forward START LENGTH\" or \"loop pingpong START LENGTH\"");
  }
  if (inst.samples.empty()) parser.fail("\"loop\" before the instrument's wave");
  ScoreSample& sample = inst.samples.back();
  const Waveform kind = sample.synthesis.waveform;
  if (kind == Waveform::Voice || kind == Waveform::Bell) {
    parser.fail("a voice or bell loops its last cycles by itself: give it \"cycles\"");
  }
  sample.loopType = words[1] == "forward" ? 1 : 2;
  sample.loopStart = parseNumber(parser, words[2], 0, 262143, "the loop start");
  sample.loopLength = parseNumber(parser, words[3], 1, 262144, "the loop length");
}

void parseInstrumentLine(Parser& parser, const std::vector<std::string>& words) {
  const std::string& key = words[0];
  if (key == "wave") return parseWaveLine(parser, words);
  if (key == "loop") return parseLoop(parser, words);
  if (key == "envelope") return parseEnvelope(parser, words);
  if (key == "autovibrato") return parseAutoVibrato(parser, words);
  ScoreInstrument& inst = currentInstrument(parser, key);
  expectCount(parser, words, 2, key + " VALUE");
  if (key == "volume") {
    inst.volume = parseNumber(parser, words[1], 0, 64, "the volume");
  } else if (key == "relative") {
    inst.relativeNote = parseNumber(parser, words[1], -96, 95, "the relative note");
  } else if (key == "finetune") {
    inst.fineTune = parseNumber(parser, words[1], -128, 127, "the fine-tune");
  } else if (key == "fadeout") {
    inst.fadeOut = parseNumber(parser, words[1], 0, 4095, "the fade-out");
  }
}

int32_t hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "C-4", "C#4", "===" or "..."
uint8_t parseNote(const Parser& parser, const std::string& word) {
  if (word == "...") return 0;
  if (word == "===") return kScoreKeyOff;
  return parseKey(parser.line, word);
}

uint8_t parseVolumeColumn(const Parser& parser, const std::string& word) {
  if (word == "...") return 0;
  static const std::string commands = "dcbauhg";  // 0x6.. to 0xB.. then 0xF..
  bool digits =
      word.size() == 3 && word[1] >= '0' && word[1] <= '9' && word[2] >= '0' && word[2] <= '9';
  int32_t value = digits ? (word[1] - '0') * 10 + (word[2] - '0') : -1;
  if (digits && word[0] == 'v' && value <= 64) return static_cast<uint8_t>(0x10 + value);
  size_t command = digits ? commands.find(word[0]) : std::string::npos;
  if (command == std::string::npos || value > 15) {
    parser.fail("bad volume column \"" + word +
                "\" (v00-v64, or d c b a u h g with 00-15, or ...)");
  }
  uint8_t high = command == 6 ? 0xF0 : static_cast<uint8_t>((0x6 + command) << 4);
  return static_cast<uint8_t>(high | value);
}

// Only the effects that Corvexa's player plays are taken (music/commands.h).
void parseEffect(const Parser& parser, const std::string& word, Cell& cell) {
  if (word == "...") return;
  int32_t e = word.size() == 3 ? hexDigit(word[0]) : -1;
  int32_t high = word.size() == 3 ? hexDigit(word[1]) : -1;
  int32_t low = word.size() == 3 ? hexDigit(word[2]) : -1;
  if (e < 0 || high < 0 || low < 0) {
    parser.fail("bad effect \"" + word + "\" (three hex digits, or ...)");
  }
  const uint8_t stored = static_cast<uint8_t>(e == 0xE ? 0xE0 | high : e);
  if (!playsEffect(stored)) {
    parser.fail("effect \"" + word + "\" is not one the player plays (0-6, A, C, D, F, EC)");
  }
  if (e == 0xC && high * 16 + low > 64) parser.fail("effect C sets a volume of at most 40 (64)");
  if (e == kPatternBreak && high * 16 + low != 0) {
    parser.fail("effect \"" + word + "\": the player breaks to row 0 whatever the row, so D00");
  }
  cell.effect = static_cast<uint8_t>(e);
  cell.parameter = static_cast<uint8_t>(high * 16 + low);
}

Cell parseCell(Parser& parser, const std::string& text) {
  std::vector<std::string> words = splitWords(parser, text);
  if (words.size() != 4) {
    parser.fail("a cell has four parts (note instrument volume effect), not \"" + text + "\"");
  }
  Cell cell;
  cell.key = parseNote(parser, words[0]);
  if (words[1] != "..") {
    cell.instrument = static_cast<uint8_t>(parseNumber(parser, words[1], 1, 32, "an instrument"));
    parser.origins.cellInstruments.push_back({cell.instrument, parser.line.number});
  }
  cell.volume = parseVolumeColumn(parser, words[2]);
  parseEffect(parser, words[3], cell);
  return cell;
}

// Writes a cell into the open pattern, which must not hold one there yet.
void writeCell(Parser& parser, int32_t row, int32_t channel, const Cell& cell) {
  if (cell.empty()) return;
  const size_t at = static_cast<size_t>(row * parser.song.channels + channel);
  if (parser.written[at]) {
    parser.fail("row " + std::to_string(row) + " of channel " + std::to_string(channel + 1) +
                " is written twice");
  }
  parser.written[at] = true;
  parser.pattern->cells[at] = cell;
}

void parseRow(Parser& parser, const std::string& text) {
  if (parser.pattern == nullptr && parser.phrase == nullptr) parser.fail("a row outside a pattern");
  std::vector<std::string> parts;
  std::stringstream stream(text);
  for (std::string part; std::getline(stream, part, '|');) parts.push_back(part);
  std::vector<std::string> rowWords = splitWords(parser, parts[0]);
  if (rowWords.size() != 1) parser.fail("a row starts with its number and '|'");
  const int32_t rows = parser.phrase != nullptr ? parser.phrase->rows : parser.pattern->rows;
  const int32_t channels = parser.phrase != nullptr ? 1 : parser.song.channels;
  int32_t row = parseNumber(parser, rowWords[0], 0, rows - 1, "the row number");
  if (row <= parser.lastRow) parser.fail("row " + rowWords[0] + " does not follow the row before");
  if (static_cast<int32_t>(parts.size()) != channels + 1) {
    parser.fail("row " + rowWords[0] + " has " + std::to_string(parts.size() - 1) +
                " cells, not one per channel (" + std::to_string(channels) + ")");
  }
  parser.lastRow = row;
  for (int32_t c = 0; c < channels; c++) {
    const Cell cell = parseCell(parser, parts[c + 1]);
    if (parser.phrase != nullptr) {
      parser.phrase->cells[row] = cell;
    } else {
      writeCell(parser, row, c, cell);
    }
  }
}

// A phrase's cell as played: transposed, its volume scaled, its instrument
// replaced.
Cell playedCell(const Parser& parser, Cell cell, int32_t transpose, int32_t percent,
                int32_t instrument) {
  if (cell.key >= kLowestKey && cell.key <= kHighestKey && transpose != 0) {
    const int32_t key = cell.key + transpose;
    if (key < kLowestKey || key > kHighestKey)
      parser.fail("the transposed phrase leaves C-0 to B-7");
    cell.key = static_cast<uint8_t>(key);
  }
  const bool strikes = cell.instrument != 0 || (cell.key >= kLowestKey && cell.key <= kHighestKey);
  if (instrument != 0 && cell.instrument != 0) cell.instrument = static_cast<uint8_t>(instrument);
  if (percent != 100) {
    if (cell.volume >= 0x10 && cell.volume <= 0x50) {
      cell.volume = static_cast<uint8_t>(0x10 + (cell.volume - 0x10) * percent / 100);
    } else if (cell.volume == 0 && strikes) {
      const int32_t number = cell.instrument != 0 ? cell.instrument : instrument;
      const int32_t own =
          number >= 1 && number <= static_cast<int32_t>(parser.song.instruments.size())
              ? parser.song.instruments[number - 1].volume
              : 64;
      cell.volume = static_cast<uint8_t>(0x10 + own * percent / 100);
    }
    if (cell.effect == 0xC) cell.parameter = static_cast<uint8_t>(cell.parameter * percent / 100);
  }
  return cell;
}

// "play PHRASE on CHANNEL [at ROW] [transpose N] [volume PERCENT] [as INSTRUMENT] [times N]"
void parsePlay(Parser& parser, const std::vector<std::string>& words) {
  if (parser.pattern == nullptr) parser.fail("\"play\" outside a pattern");
  if (words.size() < 4 || words.size() % 2 != 0 || words[2] != "on") {
    parser.fail(
        "expected \"play PHRASE on CHANNEL [at ROW] [transpose N] [volume PERCENT] "
        "[as INSTRUMENT] [times N]\"");
  }
  auto found = parser.phrases.find(words[1]);
  if (found == parser.phrases.end()) parser.fail("no phrase \"" + words[1] + "\" before this line");
  const Phrase& phrase = found->second;
  const int32_t channel = parseNumber(parser, words[3], 1, parser.song.channels, "the channel") - 1;
  int32_t at = 0, transpose = 0, percent = 100, instrument = 0, times = 1;
  for (size_t i = 4; i < words.size(); i += 2) {
    const std::string& name = words[i];
    const std::string& value = words[i + 1];
    if (name == "at") {
      at = parseNumber(parser, value, -255, parser.pattern->rows - 1, "the row");
    } else if (name == "transpose") {
      transpose = parseNumber(parser, value, -48, 48, "the transposition");
    } else if (name == "volume") {
      percent = parseNumber(parser, value, 0, 200, "the volume");
    } else if (name == "as") {
      instrument = parseNumber(parser, value, 1, 32, "an instrument");
      parser.origins.cellInstruments.push_back({instrument, parser.line.number});
    } else if (name == "times") {
      times = parseNumber(parser, value, 1, 256, "the times");
    } else {
      parser.fail("unknown play setting \"" + name + "\" (at, transpose, volume, as, times)");
    }
  }
  for (int32_t time = 0; time < times; time++) {
    for (int32_t r = 0; r < phrase.rows; r++) {
      const int32_t row = at + time * phrase.rows + r;
      if (row < 0) continue;
      if (row >= parser.pattern->rows) break;
      writeCell(parser, row, channel,
                playedCell(parser, phrase.cells[r], transpose, percent, instrument));
    }
  }
}

// "NAME NUMBER [rows R]" of a pattern or phrase: the rows it holds.
int32_t parseRows(const Parser& parser, const std::vector<std::string>& words,
                  const std::string& form) {
  if (words.size() == 2) return parser.song.rows;
  if (words.size() != 4 || words[2] != "rows") parser.fail("expected \"" + form + "\"");
  return parseNumber(parser, words[3], 1, 256, "the row count");
}

void parseLine(Parser& parser, const std::string& text) {
  std::vector<std::string> words = splitWords(parser, text);
  if (words.empty()) return;
  const std::string& key = words[0];
  if (key[0] >= '0' && key[0] <= '9') return parseRow(parser, text);
  Song& song = parser.song;
  if (key == "song") {
    expectCount(parser, words, 2, "song \"NAME\"");
    song.name = parseText(parser, words[1], 20, "the song's name");
  } else if (key == "channels" || key == "rows") {
    expectCount(parser, words, 2, key + " COUNT");
    if (!song.patterns.empty() || !parser.phrases.empty()) {
      parser.fail("\"" + key + "\" after the first pattern");
    }
    int32_t& value = key == "channels" ? song.channels : song.rows;
    value = key == "channels" ? parseNumber(parser, words[1], 1, 8, "the channel count")
                              : parseNumber(parser, words[1], 1, 256, "the row count");
  } else if (key == "speed") {
    expectCount(parser, words, 2, "speed TICKS");
    song.speed = parseNumber(parser, words[1], 1, 31, "the speed");
  } else if (key == "tempo") {
    expectCount(parser, words, 2, "tempo BPM");
    song.tempo = parseNumber(parser, words[1], 32, 255, "the tempo");
  } else if (key == "order") {
    if (words.size() < 2) parser.fail("expected \"order PATTERN ...\"");
    if (parser.origins.orderLine == 0) parser.origins.orderLine = parser.line.number;
    for (size_t i = 1; i < words.size(); i++) {
      song.order.push_back(
          static_cast<uint8_t>(parseNumber(parser, words[i], 0, 255, "a pattern")));
    }
    if (song.order.size() > kOrderTableCount) parser.fail("more than 256 order entries");
  } else if (key == "instrument") {
    expectCount(parser, words, 3, "instrument NUMBER \"NAME\"");
    int32_t number = static_cast<int32_t>(song.instruments.size()) + 1;
    if (parseNumber(parser, words[1], 1, kMaxInstruments, "the instrument number") != number) {
      parser.fail("instruments are numbered 1, 2, 3, ... in order: expected " +
                  std::to_string(number));
    }
    song.instruments.emplace_back();
    parser.instrument = &song.instruments.back();
    parser.instrument->number = number;
    parser.instrument->name = parseText(parser, words[2], 22, "the instrument's name");
    parser.origins.instrumentLine[number] = parser.line.number;
    parser.origins.waveLines.emplace_back();
    parser.pattern = nullptr;
    parser.phrase = nullptr;
  } else if (key == "pattern") {
    int32_t number = static_cast<int32_t>(song.patterns.size());
    if (words.size() < 2 ||
        parseNumber(parser, words[1], 0, kMaxPatterns - 1, "the pattern number") != number) {
      parser.fail("patterns are numbered 0, 1, 2, ... in order: expected " +
                  std::to_string(number));
    }
    const int32_t rows = parseRows(parser, words, "pattern NUMBER [rows COUNT]");
    song.patterns.emplace_back();
    parser.pattern = &song.patterns.back();
    parser.pattern->number = number;
    parser.pattern->rows = rows;
    parser.pattern->cells.assign(static_cast<size_t>(rows * song.channels), Cell{});
    parser.written.assign(parser.pattern->cells.size(), false);
    parser.lastRow = -1;
    parser.instrument = nullptr;
    parser.phrase = nullptr;
  } else if (key == "phrase") {
    if (words.size() < 2) parser.fail("expected \"phrase NAME [rows COUNT]\"");
    if (parser.phrases.count(words[1]) != 0) parser.fail("a second phrase \"" + words[1] + "\"");
    Phrase& phrase = parser.phrases[words[1]];
    phrase.rows = parseRows(parser, words, "phrase NAME [rows COUNT]");
    phrase.cells.assign(static_cast<size_t>(phrase.rows), Cell{});
    parser.phrase = &phrase;
    parser.pattern = nullptr;
    parser.instrument = nullptr;
    parser.lastRow = -1;
  } else if (key == "play") {
    parsePlay(parser, words);
  } else if (key == "wave" || key == "loop" || key == "volume" || key == "relative" ||
             key == "finetune" || key == "envelope" || key == "fadeout" || key == "autovibrato") {
    parseInstrumentLine(parser, words);
  } else {
    parser.fail("unknown keyword \"" + key + "\"");
  }
}

// What can only be checked once the whole score is read.
void checkSong(const Parser& parser) {
  const Song& song = parser.song;
  const int32_t end = parser.line.number;
  if (song.order.empty()) parser.failAt(end, "the score has no order list");
  if (song.patterns.empty()) parser.failAt(end, "the score has no patterns");
  size_t notes = 0;
  for (const Pattern& pattern : song.patterns) notes += pattern.cells.size();
  if (notes > static_cast<size_t>(kMaxNotes)) {
    parser.failAt(end, "the patterns hold more than " + std::to_string(kMaxNotes) + " notes");
  }
  for (uint8_t p : song.order) {
    if (p >= song.patterns.size()) {
      parser.failAt(parser.origins.orderLine,
                    "the order list names pattern " + std::to_string(p) + ", which is not written");
    }
  }
  for (const auto& [number, at] : parser.origins.cellInstruments) {
    if (number > static_cast<int32_t>(song.instruments.size())) {
      parser.failAt(at, "instrument " + std::to_string(number) + " is not described");
    }
  }
  for (const ScoreInstrument& inst : song.instruments) {
    const int32_t at = parser.origins.instrumentLine.at(inst.number);
    if (inst.samples.empty()) parser.failAt(at, "instrument " + inst.name + " has no wave");
    const std::vector<int32_t>& lines = parser.origins.waveLines[inst.number - 1];
    for (size_t i = 0; i < inst.samples.size(); i++) {
      const bool plain = inst.samples[i].synthesis.waveform < Waveform::Voice;
      if (!plain && (inst.relativeNote != 0 || inst.fineTune != 0)) {
        parser.failAt(lines[i], "instrument " + inst.name +
                                    " tunes its produced waves itself: no relative or finetune");
      }
      checkWave(parser.line, plain ? at : lines[i], inst.samples[i], inst.name);
    }
  }
}

}  // namespace

Song parseScore(const std::string& text, const std::string& fileName) {
  Parser parser;
  parser.line.fileName = fileName;
  parser.song.patterns.reserve(kMaxPatterns);  // pointers into these stay valid
  parser.song.instruments.reserve(kMaxInstruments);
  std::stringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    parser.line.number++;
    size_t comment = line.find(';');
    if (comment != std::string::npos) line.resize(comment);
    parseLine(parser, line);
  }
  checkSong(parser);
  return parser.song;
}

}  // namespace corvexa::make_song
