// make-song: builds Corvexa's XM song from its score.
//
//   make-song SCORE --out SONG.xm.gz [--xm] [--wav] [--levels]
//
// Reads the score (see score_parser.h), synthesises every instrument's sample,
// lays the song out as an XM file and writes it as one gzip member. --xm also
// writes the plain XM file beside it, as SONG.xm; --wav renders a preview the
// way Corvexa's player mixes and writes it as 16-bit mono WAV, SONG.wav;
// --levels prints that preview's peak, RMS level, clipped samples and DC
// offset.
//
// Its command line is every tool's (tools/common/command_line.h), with --help
// and --version; the old spellings --xm PATH and --wav PATH still work for
// this release, with a note.
//
// Exit status as every tool's (tools/common/tool_failure.h): 0 done, 2 bad
// arguments or a bad score (one line on stderr naming the file and line), 1 a
// file that cannot be written.
#include <cstdio>

#include "music/module.h"
#include "music/song.h"
#include "tools/common/command_line.h"
#include "tools/common/input_file.h"
#include "tools/common/output_file.h"
#include "tools/common/run_tool.h"
#include "tools/common/tool_failure.h"
#include "tools/common/wav_file.h"
#include "tools/make-song/gzip_file.h"
#include "tools/make-song/levels.h"
#include "tools/make-song/score_parser.h"
#include "tools/make-song/song_to_xm.h"
#include "tools/make-song/synthesiser.h"

using namespace corvexa::make_song;
namespace tools = corvexa::tools;
using tools::ToolFailure;

namespace {

// Far more than any score: the song's is some 70 KB.
constexpr int64_t kMaxScoreBytes = 16 << 20;

int run(const std::string& scorePath, const std::string& outPath, const std::string& xmPath,
        const std::string& wavPath, bool levels) {
  Song song;
  try {
    song = parseScore(tools::readInputText(scorePath, kMaxScoreBytes), scorePath);
  } catch (const ScoreError& error) {
    throw ToolFailure(error.what());
  }
  size_t frames = 0;
  for (ScoreInstrument& instrument : song.instruments) {
    synthesise(instrument);
    for (const ScoreSample& sample : instrument.samples) frames += sample.frames.size();
  }
  if (frames > static_cast<size_t>(corvexa::kMaxSampleFrames)) {
    throw ToolFailure(scorePath + ": the samples hold " + std::to_string(frames) +
                      " frames, more than the player's " +
                      std::to_string(corvexa::kMaxSampleFrames));
  }
  const std::vector<uint8_t> xm = writeXm(toXm(song));
  if (xm.size() > static_cast<size_t>(corvexa::kSongBufferBytes)) {
    throw ToolFailure(scorePath + ": the XM file takes " + std::to_string(xm.size()) +
                      " bytes, more than start-up's " + std::to_string(corvexa::kSongBufferBytes));
  }
  writeGzip(outPath, xm);
  if (!xmPath.empty()) tools::writeOutputFile(xmPath, xm);
  if (wavPath.empty() && !levels) return 0;
  const Preview preview = renderPreview(xm);
  if (!preview.refusal.empty()) {
    throw ToolFailure(scorePath + ": the player refuses the song: " + preview.refusal);
  }
  const int64_t count = static_cast<int64_t>(preview.samples.size());
  if (!wavPath.empty()) tools::writeWav(wavPath, preview.samples.data(), count);
  if (levels) {
    const Levels l = measureLevels(preview.samples.data(), count);
    std::printf("samples %lld  frames %zu  xm bytes %zu\n", static_cast<long long>(count), frames,
                xm.size());
    std::printf("peak %d  clipped %lld  rms %.2f dBFS  dc %.2f\n", l.peak,
                static_cast<long long>(l.clipped), l.rmsDecibels, l.meanDc);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  tools::CommandLine line{"make-song", "make-song: builds Corvexa's XM song from its score"};
  const tools::Arguments arguments = line.arguments();
  std::string scorePath, outPath, xmPath, wavPath;
  bool xm = false, wav = false, levels = false;
  arguments.addInput("SCORE", scorePath, "the score (assets/song/corvexa.score)");
  arguments.addOutput(outPath, "the gzip member to write (assets/data/corvexa.xm.gz)");
  arguments.addFlag("--xm", xm, "also write the plain XM file beside it, as SONG.xm");
  arguments.addFlag("--wav", wav, "also write a preview as the player mixes it, as SONG.wav");
  arguments.addFlag("--levels", levels, "print the preview's peak, RMS, clipping and DC");
  arguments.addHiddenOption("--old-xm-path", xmPath);
  arguments.addHiddenOption("--old-wav-path", wavPath);
  tools::CommandWords words = tools::commandWords(argc, argv);
  // The old spellings: --xm PATH and --wav PATH.
  for (const char* flag : {"--xm", "--wav"}) {
    const std::string name = flag;
    if (tools::renameOldFlagValue(words, 0, name, "--old-" + name.substr(2) + "-path", {"--out"})) {
      tools::noteOldSpelling("make-song", name + " PATH", name,
                             "which writes SONG." + name.substr(2) + " beside --out SONG.xm.gz");
    }
  }
  const int status = tools::parseCommandLine(line, words);
  if (status >= 0) return status;
  if (xm && xmPath.empty()) xmPath = tools::besideOutput(outPath, ".xm.gz", ".xm");
  if (wav && wavPath.empty()) wavPath = tools::besideOutput(outPath, ".xm.gz", ".wav");
  return tools::runTool("make-song",
                        [&] { return run(scorePath, outPath, xmPath, wavPath, levels); });
}
