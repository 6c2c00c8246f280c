#include "tools/make-song/score_parser.h"

#include <map>
#include <sstream>
#include <vector>

namespace corvexa::make_song {

namespace {

// Where each part of the song was written, for messages about the whole song.
struct Origins {
  std::map<int32_t, int32_t> patternLine;
  std::map<int32_t, int32_t> instrumentLine;
  int32_t orderLine = 0;
  std::vector<std::pair<int32_t, int32_t>> cellInstruments;  // (instrument, line)
};

struct Parser {
  std::string fileName;
  int32_t line = 0;
  Song song;
  Origins origins;
  Instrument* instrument = nullptr;  // the instrument being described
  Pattern* pattern = nullptr;        // the pattern whose rows follow
  int32_t lastRow = -1;

  [[noreturn]] void fail(const std::string& message) const { failAt(line, message); }
  [[noreturn]] void failAt(int32_t at, const std::string& message) const {
    throw ScoreError(fileName + ":" + std::to_string(at) + ": " + message);
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
  bool digits = !word.empty() && word.size() <= 9;
  size_t start = (!word.empty() && word[0] == '-') ? 1 : 0;
  if (start == word.size()) digits = false;
  for (size_t i = start; i < word.size() && digits; i++) digits = word[i] >= '0' && word[i] <= '9';
  int32_t value = digits ? std::stoi(word) : 0;
  if (!digits || value < low || value > high) {
    parser.fail(what + " must be a whole number from " + std::to_string(low) + " to " +
                std::to_string(high) + ", not \"" + word + "\"");
  }
  return value;
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

Instrument& currentInstrument(Parser& parser, const std::string& keyword) {
  if (parser.instrument == nullptr) parser.fail("\"" + keyword + "\" outside an instrument");
  return *parser.instrument;
}

// "wave KIND name value name value ..."
void parseWave(Parser& parser, const std::vector<std::string>& words) {
  Synthesis& s = currentInstrument(parser, "wave").synthesis;
  static const std::map<std::string, Waveform> kinds = {
      {"square", Waveform::Square},     {"pulse", Waveform::Pulse}, {"saw", Waveform::Saw},
      {"triangle", Waveform::Triangle}, {"sine", Waveform::Sine},   {"kick", Waveform::Kick},
      {"noise", Waveform::Noise}};
  if (words.size() < 2 || kinds.count(words[1]) == 0) {
    parser.fail("unknown wave \"" + (words.size() < 2 ? std::string() : words[1]) +
                "\" (square, pulse, saw, triangle, sine, kick or noise)");
  }
  s.waveform = kinds.at(words[1]);
  if (words.size() % 2 != 0) parser.fail("a wave setting without its value");
  for (size_t i = 2; i < words.size(); i += 2) {
    const std::string& name = words[i];
    const std::string& value = words[i + 1];
    if (name == "length") {
      s.length = parseNumber(parser, value, 4, 32768, "the wave's length");
    } else if (name == "amplitude") {
      s.amplitude = parseNumber(parser, value, 1, 127, "the amplitude");
    } else if (name == "duty") {
      s.duty = parseNumber(parser, value, 1, 99, "the duty");
    } else if (name == "start") {
      s.startStep = parseNumber(parser, value, 1, 32768, "the start step");
    } else if (name == "end") {
      s.endStep = parseNumber(parser, value, 1, 32768, "the end step");
    } else if (name == "fall") {
      s.fall = parseNumber(parser, value, 0, 65536, "the fall");
    } else if (name == "decay") {
      s.decay = parseNumber(parser, value, 0, 65536, "the decay");
    } else if (name == "seed") {
      s.seed = static_cast<uint32_t>(parseNumber(parser, value, 1, 999999999, "the seed"));
    } else {
      parser.fail("unknown wave setting \"" + name + "\"");
    }
  }
  if (s.length == 0) parser.fail("the wave needs a length");
  if (s.amplitude == 0) parser.fail("the wave needs an amplitude");
}

// "envelope T:V T:V ... [sustain P] [loop P P]"
void parseEnvelope(Parser& parser, const std::vector<std::string>& words) {
  Instrument& inst = currentInstrument(parser, "envelope");
  inst.envelope.clear();
  size_t i = 1;
  for (; i < words.size() && words[i].find(':') != std::string::npos; i++) {
    size_t colon = words[i].find(':');
    EnvelopePoint point;
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
  Instrument& inst = currentInstrument(parser, "autovibrato");
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

void parseInstrumentLine(Parser& parser, const std::vector<std::string>& words) {
  const std::string& key = words[0];
  if (key == "wave") return parseWave(parser, words);
  if (key == "envelope") return parseEnvelope(parser, words);
  if (key == "autovibrato") return parseAutoVibrato(parser, words);
  Instrument& inst = currentInstrument(parser, key);
  if (key == "loop") {
    if (words.size() != 4 || (words[1] != "forward" && words[1] != "pingpong")) {
      parser.fail("expected \"loop forward START LENGTH\" or \"loop pingpong START LENGTH\"");
    }
    inst.loopType = words[1] == "forward" ? 1 : 2;
    inst.loopStart = parseNumber(parser, words[2], 0, 32767, "the loop start");
    inst.loopLength = parseNumber(parser, words[3], 1, 32768, "the loop length");
    return;
  }
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
  if (word == "===") return kKeyOff;
  static const std::string letters = "C-C#D-D#E-F-F#G-G#A-A#B-";
  size_t at = word.size() == 3 ? letters.find(word.substr(0, 2)) : std::string::npos;
  if (at == std::string::npos || at % 2 != 0 || word[2] < '0' || word[2] > '7') {
    parser.fail("bad note \"" + word + "\" (C-0 to B-7, C#4 for sharps, === key-off, ...)");
  }
  return static_cast<uint8_t>(1 + (word[2] - '0') * 12 + static_cast<int32_t>(at / 2));
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

// Only the effects that Corvexa's player plays are taken.
void parseEffect(const Parser& parser, const std::string& word, Cell& cell) {
  if (word == "...") return;
  int32_t e = word.size() == 3 ? hexDigit(word[0]) : -1;
  int32_t high = word.size() == 3 ? hexDigit(word[1]) : -1;
  int32_t low = word.size() == 3 ? hexDigit(word[2]) : -1;
  if (e < 0 || high < 0 || low < 0) {
    parser.fail("bad effect \"" + word + "\" (three hex digits, or ...)");
  }
  bool played = e <= 6 || e == 0xA || e == 0xC || (e == 0xE && high == 0xC);
  if (!played) {
    parser.fail("effect \"" + word + "\" is not one the player plays (0-6, A, C, EC)");
  }
  if (e == 0xC && high * 16 + low > 64) parser.fail("effect C sets a volume of at most 40 (64)");
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
    parser.origins.cellInstruments.push_back({cell.instrument, parser.line});
  }
  cell.volume = parseVolumeColumn(parser, words[2]);
  parseEffect(parser, words[3], cell);
  return cell;
}

void parseRow(Parser& parser, const std::string& text) {
  if (parser.pattern == nullptr) parser.fail("a row outside a pattern");
  std::vector<std::string> parts;
  std::stringstream stream(text);
  for (std::string part; std::getline(stream, part, '|');) parts.push_back(part);
  std::vector<std::string> rowWords = splitWords(parser, parts[0]);
  if (rowWords.size() != 1) parser.fail("a row starts with its number and '|'");
  int32_t row = parseNumber(parser, rowWords[0], 0, parser.song.rows - 1, "the row number");
  if (row <= parser.lastRow) parser.fail("row " + rowWords[0] + " does not follow the row before");
  if (static_cast<int32_t>(parts.size()) != parser.song.channels + 1) {
    parser.fail("row " + rowWords[0] + " has " + std::to_string(parts.size() - 1) +
                " cells, not one per channel (" + std::to_string(parser.song.channels) + ")");
  }
  parser.lastRow = row;
  for (int32_t c = 0; c < parser.song.channels; c++) {
    parser.pattern->cells[row * parser.song.channels + c] = parseCell(parser, parts[c + 1]);
  }
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
    if (!song.patterns.empty()) parser.fail("\"" + key + "\" after the first pattern");
    int32_t& value = key == "channels" ? song.channels : song.rows;
    value = key == "channels" ? parseNumber(parser, words[1], 1, 8, "the channel count")
                              : parseNumber(parser, words[1], 1, 256, "the row count");
  } else if (key == "speed") {
    expectCount(parser, words, 2, "speed TICKS");
    song.speed = parseNumber(parser, words[1], 1, 31, "the speed");
  } else if (key == "tempo") {
    expectCount(parser, words, 2, "tempo BPM");
    song.tempo = parseNumber(parser, words[1], 110, 255, "the tempo");
  } else if (key == "order") {
    if (words.size() < 2) parser.fail("expected \"order PATTERN ...\"");
    if (parser.origins.orderLine == 0) parser.origins.orderLine = parser.line;
    for (size_t i = 1; i < words.size(); i++) {
      song.order.push_back(
          static_cast<uint8_t>(parseNumber(parser, words[i], 0, 255, "a pattern")));
    }
    if (song.order.size() > 256) parser.fail("more than 256 order entries");
  } else if (key == "instrument") {
    expectCount(parser, words, 3, "instrument NUMBER \"NAME\"");
    int32_t number = static_cast<int32_t>(song.instruments.size()) + 1;
    if (parseNumber(parser, words[1], 1, 32, "the instrument number") != number) {
      parser.fail("instruments are numbered 1, 2, 3, ... in order: expected " +
                  std::to_string(number));
    }
    song.instruments.emplace_back();
    parser.instrument = &song.instruments.back();
    parser.instrument->number = number;
    parser.instrument->name = parseText(parser, words[2], 22, "the instrument's name");
    parser.origins.instrumentLine[number] = parser.line;
    parser.pattern = nullptr;
  } else if (key == "pattern") {
    expectCount(parser, words, 2, "pattern NUMBER");
    int32_t number = static_cast<int32_t>(song.patterns.size());
    if (parseNumber(parser, words[1], 0, 63, "the pattern number") != number) {
      parser.fail("patterns are numbered 0, 1, 2, ... in order: expected " +
                  std::to_string(number));
    }
    song.patterns.emplace_back();
    parser.pattern = &song.patterns.back();
    parser.pattern->number = number;
    parser.pattern->cells.assign(static_cast<size_t>(song.rows * song.channels), Cell{});
    parser.origins.patternLine[number] = parser.line;
    parser.lastRow = -1;
    parser.instrument = nullptr;
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
  if (song.order.empty()) parser.failAt(parser.line, "the score has no order list");
  if (song.patterns.empty()) parser.failAt(parser.line, "the score has no patterns");
  if (song.patterns.size() * static_cast<size_t>(song.rows * song.channels) > 32768) {
    parser.failAt(parser.line, "the patterns hold more than 32768 notes");
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
  for (const Instrument& inst : song.instruments) {
    int32_t at = parser.origins.instrumentLine.at(inst.number);
    if (inst.synthesis.length == 0) parser.failAt(at, "instrument " + inst.name + " has no wave");
    if (inst.loopType != 0 && inst.loopStart + inst.loopLength > inst.synthesis.length) {
      parser.failAt(at, "instrument " + inst.name + " loops past the end of its wave");
    }
  }
}

}  // namespace

Song parseScore(const std::string& text, const std::string& fileName) {
  Parser parser;
  parser.fileName = fileName;
  parser.song.patterns.reserve(64);  // pointers into these stay valid
  parser.song.instruments.reserve(32);
  std::stringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    parser.line++;
    size_t comment = line.find(';');
    if (comment != std::string::npos) line.resize(comment);
    parseLine(parser, line);
  }
  checkSong(parser);
  return parser.song;
}

}  // namespace corvexa::make_song
