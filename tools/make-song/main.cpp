// make-song: builds Corvexa's XM song from its score.
//
//   make-song SCORE --out SONG.xm.gz [--xm SONG.xm] [--wav PREVIEW.wav] [--levels]
//
// Reads the score (see score_parser.h), synthesises every instrument's sample,
// lays the song out as an XM file and writes it as one gzip member. --xm also
// writes the plain XM file; --wav renders a preview the way Corvexa's player
// mixes and writes it as 16-bit mono WAV; --levels prints that preview's peak,
// RMS level, clipped samples and DC offset.
//
// Exit status: 0 done, 2 bad arguments or a bad score (one line on stderr
// naming the file and line), 1 a file that cannot be written or no gzip.
#include <CLI/CLI.hpp>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "music/module.h"
#include "tools/corvexa-tool/command.h"
#include "tools/corvexa-tool/wav_file.h"
#include "tools/make-song/gzip_file.h"
#include "tools/make-song/levels.h"
#include "tools/make-song/score_parser.h"
#include "tools/make-song/synthesiser.h"
#include "tools/make-song/xm_writer.h"

using namespace corvexa::make_song;
using corvexa::tool::CommandFailure;
using corvexa::tool::writeWav;

namespace {

std::string readScore(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  if (!file) throw CommandFailure(path + ": cannot read the score");
  return text.str();
}

void writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  file.close();
  if (!file) throw CommandFailure(path + ": cannot write", 1);
}

int run(const std::string& scorePath, const std::string& outPath, const std::string& xmPath,
        const std::string& wavPath, bool levels) {
  Song song;
  try {
    song = parseScore(readScore(scorePath), scorePath);
  } catch (const ScoreError& error) {
    throw CommandFailure(error.what());
  }
  size_t frames = 0;
  for (Instrument& instrument : song.instruments) {
    synthesise(instrument);
    frames += instrument.frames.size();
  }
  if (frames > static_cast<size_t>(corvexa::kMaxSampleFrames)) {
    throw CommandFailure(scorePath + ": the samples hold " + std::to_string(frames) +
                         " frames, more than the player's " +
                         std::to_string(corvexa::kMaxSampleFrames));
  }
  const std::vector<uint8_t> xm = writeXm(song);
  try {
    writeGzip(outPath, xm);
  } catch (const std::runtime_error& error) {
    throw CommandFailure(error.what(), 1);
  }
  if (!xmPath.empty()) writeFile(xmPath, xm);
  if (wavPath.empty() && !levels) return 0;
  const Preview preview = renderPreview(xm);
  if (!preview.refusal.empty()) {
    throw CommandFailure(scorePath + ": the player refuses the song: " + preview.refusal);
  }
  const int64_t count = static_cast<int64_t>(preview.samples.size());
  if (!wavPath.empty()) writeWav(wavPath, preview.samples.data(), count);
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
  std::signal(SIGPIPE, SIG_IGN);  // a gzip that dies is reported, not fatal
  CLI::App app{"make-song: builds Corvexa's XM song from its score", "make-song"};
  std::string scorePath, outPath, xmPath, wavPath;
  bool levels = false;
  app.add_option("score", scorePath, "the score (assets/song/corvexa.score)")->required();
  app.add_option("--out", outPath, "the gzip member to write (assets/data/corvexa.xm.gz)")
      ->required();
  app.add_option("--xm", xmPath, "also write the plain XM file");
  app.add_option("--wav", wavPath, "also write a preview as the player mixes it");
  app.add_flag("--levels", levels, "print the preview's peak, RMS, clipping and DC");
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    std::fprintf(stderr, "make-song: %s\n", e.what());
    return 2;
  }
  try {
    return run(scorePath, outPath, xmPath, wavPath, levels);
  } catch (const CommandFailure& failure) {
    std::fprintf(stderr, "make-song: %s\n", failure.what());
    return failure.status;
  }
}
