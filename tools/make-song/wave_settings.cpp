// "wave KIND name value ...": which settings each kind takes, their ranges,
// and what a wave needs once its instrument is read.
#include <algorithm>
#include <map>

#include "tools/make-song/score_line.h"
#include "tools/make-song/score_parser.h"

namespace corvexa::make_song {

namespace {

struct Kind {
  const char* name;
  Waveform waveform;
  std::vector<std::string> settings;
};

const std::vector<Kind>& kinds() {
  static const std::vector<Kind> list = {
      {"square", Waveform::Square, {"length", "amplitude", "from", "to"}},
      {"pulse", Waveform::Pulse, {"length", "amplitude", "duty", "from", "to"}},
      {"saw", Waveform::Saw, {"length", "amplitude", "from", "to"}},
      {"triangle", Waveform::Triangle, {"length", "amplitude", "from", "to"}},
      {"sine", Waveform::Sine, {"length", "amplitude", "from", "to"}},
      {"kick",
       Waveform::Kick,
       {"length", "amplitude", "start", "end", "fall", "decay", "from", "to"}},
      {"noise", Waveform::Noise, {"length", "amplitude", "seed", "decay", "from", "to"}},
      {"voice", Waveform::Voice, {"pitch",  "cycle",     "cycles",    "attack",   "shape",  "width",
                                  "pwm",    "pwmcycles", "detune",    "sub",      "spread", "chord",
                                  "cutoff", "cutoffend", "resonance", "halflife", "drive",  "level",
                                  "bits",   "from",      "to"}},
      {"bell",
       Waveform::Bell,
       {"pitch", "cycle", "cycles", "attack", "ratio", "index", "indexend", "halflife", "drive",
        "level", "bits", "from", "to"}},
      {"bassdrum",
       Waveform::BassDrum,
       {"pitch", "rate", "length", "start", "end", "sweep", "halflife", "click", "drive", "top",
        "seed", "level", "bits", "from", "to"}},
      {"snare",
       Waveform::Snare,
       {"pitch", "rate", "length", "tone", "tonehalflife", "noise", "bright", "halflife", "drive",
        "top", "seed", "level", "bits", "from", "to"}},
      {"clap",
       Waveform::Clap,
       {"pitch", "rate", "length", "bursts", "spacing", "bright", "halflife", "drive", "top",
        "seed", "level", "bits", "from", "to"}},
      {"metal",
       Waveform::Metal,
       {"pitch", "rate", "length", "tone", "noise", "bright", "halflife", "drive", "top", "seed",
        "level", "bits", "from", "to"}},
  };
  return list;
}

bool plain(Waveform waveform) {
  return waveform < Waveform::Voice;
}

std::string kindList() {
  std::string text;
  const std::vector<Kind>& list = kinds();
  for (size_t i = 0; i < list.size(); i++) {
    text += (i == 0 ? "" : i + 1 == list.size() ? " or " : ", ") + std::string(list[i].name);
  }
  return text;
}

// A whole-number setting: the field it fills and its range.
struct NumberSetting {
  int32_t Synthesis::*field;
  int32_t low, high;
  const char* what;
};

// The settings whose meaning is the same in every kind that takes them.
const std::map<std::string, NumberSetting>& numberSettings() {
  static const std::map<std::string, NumberSetting> table = {
      {"duty", {&Synthesis::duty, 1, 99, "the duty"}},
      {"fall", {&Synthesis::fall, 0, 65536, "the fall"}},
      {"bits", {&Synthesis::bits, 8, 16, "the bits"}},
      {"level", {&Synthesis::level, 1, 100, "the level"}},
      {"rate", {&Synthesis::rate, 1000, 96000, "the rate"}},
      {"cycle", {&Synthesis::cycle, 2, 32768, "the cycle"}},
      {"cycles", {&Synthesis::cycles, 0, 4096, "the cycles"}},
      {"attack", {&Synthesis::attack, 0, 262144, "the attack"}},
      {"halflife", {&Synthesis::halfLife, 0, 60000, "the half-life"}},
      {"width", {&Synthesis::width, 1, 99, "the width"}},
      {"pwm", {&Synthesis::pwm, 0, 49, "the pulse-width swing"}},
      {"pwmcycles", {&Synthesis::pwmCycles, 1, 64, "the pulse-width cycles"}},
      {"detune", {&Synthesis::detune, 0, 64, "the detune"}},
      {"sub", {&Synthesis::sub, 0, 200, "the sub-octave level"}},
      {"spread", {&Synthesis::spread, 0, 1, "the spread"}},
      {"cutoff", {&Synthesis::cutoff, 0, 20000, "the cutoff"}},
      {"cutoffend", {&Synthesis::cutoffEnd, 0, 20000, "the cutoff's end"}},
      {"resonance", {&Synthesis::resonance, 1, 100, "the resonance"}},
      {"index", {&Synthesis::index, 0, 2000, "the index"}},
      {"indexend", {&Synthesis::indexEnd, 0, 2000, "the index's end"}},
      {"sweep", {&Synthesis::sweep, 1, 1000, "the sweep"}},
      {"click", {&Synthesis::click, 0, 400, "the click"}},
      {"drive", {&Synthesis::drive, 0, 400, "the drive"}},
      {"tone", {&Synthesis::tone, 20, 20000, "the tone"}},
      {"tonehalflife", {&Synthesis::toneHalfLife, 0, 60000, "the tone's half-life"}},
      {"noise", {&Synthesis::noise, 0, 100, "the noise"}},
      {"bright", {&Synthesis::bright, 20, 20000, "the brightness"}},
      {"top", {&Synthesis::top, 0, 20000, "the top"}},
      {"bursts", {&Synthesis::bursts, 1, 8, "the bursts"}},
      {"spacing", {&Synthesis::spacing, 1, 100, "the spacing"}},
  };
  return table;
}

void parseSetting(const ScoreLine& line, Synthesis& s, const std::string& name,
                  const std::string& value) {
  const bool plainKind = plain(s.waveform);
  if (name == "length") {
    s.length = plainKind ? parseNumber(line, value, 4, 32768, "the wave's length")
                         : parseNumber(line, value, 16, 262144, "the wave's length");
  } else if (name == "amplitude") {
    s.amplitude = parseNumber(line, value, 1, 127, "the amplitude");
  } else if (name == "start" || name == "end") {
    int32_t& field = s.waveform == Waveform::Kick ? (name == "start" ? s.startStep : s.endStep)
                                                  : (name == "start" ? s.startHz : s.endHz);
    field = s.waveform == Waveform::Kick
                ? parseNumber(line, value, 1, 32768, "the " + name + " step")
                : parseNumber(line, value, 1, 20000, "the " + name + " frequency");
  } else if (name == "decay") {
    s.decay = parseNumber(line, value, 0, 65536, "the decay");
  } else if (name == "seed") {
    s.seed = static_cast<uint32_t>(parseNumber(line, value, 1, 999999999, "the seed"));
  } else if (name == "pitch") {
    s.pitch = parseKey(line, value);
  } else if (name == "from") {
    s.keyLow = parseKey(line, value);
  } else if (name == "to") {
    s.keyHigh = parseKey(line, value);
  } else if (name == "shape") {
    static const std::map<std::string, Shape> shapes = {{"saw", Shape::Saw},
                                                        {"square", Shape::Square},
                                                        {"pulse", Shape::Pulse},
                                                        {"triangle", Shape::Triangle},
                                                        {"sine", Shape::Sine}};
    if (shapes.count(value) == 0) {
      line.fail("unknown shape \"" + value + "\" (saw, square, pulse, triangle or sine)");
    }
    s.shape = shapes.at(value);
  } else if (name == "chord") {
    static const std::map<std::string, Chord> chords = {{"major", Chord::Major},
                                                        {"minor", Chord::Minor},
                                                        {"sus2", Chord::Sus2},
                                                        {"sus4", Chord::Sus4},
                                                        {"fifth", Chord::Fifth}};
    if (chords.count(value) == 0) {
      line.fail("unknown chord \"" + value + "\" (major, minor, sus2, sus4 or fifth)");
    }
    s.chord = chords.at(value);
  } else if (name == "ratio") {
    const size_t slash = value.find('/');
    if (slash == std::string::npos) line.fail("a ratio is TOP/BOTTOM, not \"" + value + "\"");
    s.ratioTop = parseNumber(line, value.substr(0, slash), 1, 64, "the ratio's top");
    s.ratioBottom = parseNumber(line, value.substr(slash + 1), 1, 64, "the ratio's bottom");
  } else {
    const NumberSetting& setting = numberSettings().at(name);
    s.*setting.field = parseNumber(line, value, setting.low, setting.high, setting.what);
    if (name == "bits" && s.bits != 8 && s.bits != 16) line.fail("the bits are 8 or 16");
  }
}

int32_t greatestCommonDivisor(int32_t a, int32_t b) {
  while (b != 0) a %= b, std::swap(a, b);
  return a;
}

}  // namespace

Synthesis parseWave(const ScoreLine& line, const std::vector<std::string>& words) {
  const std::vector<Kind>& list = kinds();
  const std::string kindName = words.size() < 2 ? std::string() : words[1];
  auto kind =
      std::find_if(list.begin(), list.end(), [&](const Kind& k) { return kindName == k.name; });
  if (kind == list.end()) line.fail("unknown wave \"" + kindName + "\" (" + kindList() + ")");
  Synthesis s;
  s.waveform = kind->waveform;
  if (plain(s.waveform)) s.bits = 8;
  if (words.size() % 2 != 0) line.fail("a wave setting without its value");
  for (size_t i = 2; i < words.size(); i += 2) {
    const std::string& name = words[i];
    if (std::find(kind->settings.begin(), kind->settings.end(), name) == kind->settings.end()) {
      line.fail("unknown wave setting \"" + name + "\"");
    }
    parseSetting(line, s, name, words[i + 1]);
  }
  if (s.keyLow > s.keyHigh) line.fail("the wave's keys run from \"from\" up to \"to\"");
  if (plain(s.waveform)) {
    if (s.length == 0) line.fail("the wave needs a length");
    if (s.amplitude == 0) line.fail("the wave needs an amplitude");
  } else if (s.waveform == Waveform::Voice || s.waveform == Waveform::Bell) {
    if (s.cycle == 0) line.fail("the wave needs a cycle");
    if (s.cycles == 0 && s.attack == 0) line.fail("the wave needs cycles to loop or an attack");
  } else {
    if (s.rate == 0) line.fail("the wave needs a rate");
    if (s.length == 0) line.fail("the wave needs a length");
  }
  return s;
}

void checkWave(const ScoreLine& line, int32_t at, const ScoreSample& sample,
               const std::string& name) {
  const Synthesis& s = sample.synthesis;
  const auto fail = [&](const std::string& message) {
    line.failAt(at, "instrument " + name + " " + message);
  };
  if (sample.loopType != 0 && sample.loopStart + sample.loopLength > s.length) {
    fail("loops past the end of its wave");
  }
  if (s.waveform == Waveform::Voice) {
    static const std::map<Chord, int32_t> bottoms = {{Chord::Single, 1}, {Chord::Major, 4},
                                                     {Chord::Minor, 10}, {Chord::Sus2, 8},
                                                     {Chord::Sus4, 6},   {Chord::Fifth, 2}};
    const int32_t bottom = bottoms.at(s.chord);
    if (s.cycles % bottom != 0) {
      fail("needs cycles divisible by " + std::to_string(bottom) + " for its chord's tones");
    }
    if (s.sub != 0 && s.cycles % 2 != 0) fail("needs an even number of cycles for its sub-octave");
    if (s.detune != 0 && (s.cycles == 0 || 2 * s.detune >= s.cycles)) {
      fail("detunes by less than half its cycles, and only a loop");
    }
  }
  if (s.waveform == Waveform::Bell) {
    const int32_t bottom = s.ratioBottom / greatestCommonDivisor(s.ratioTop, s.ratioBottom);
    if (s.cycles % bottom != 0) {
      fail("needs cycles divisible by " + std::to_string(bottom) + " for its modulator");
    }
  }
}

}  // namespace corvexa::make_song
