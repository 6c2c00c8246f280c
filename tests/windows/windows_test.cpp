// The Windows programs, x86-64 and 32-bit x86, as tools/build-windows.sh
// --tests made them: their engine tests and the demo itself under Wine, in a
// private Xvfb display, and what their zips and import tables hold. Every test
// runs for both targets; all share one Wine prefix, made afresh by the
// windows_wine_prefix step before them, whose display is set to 144 DPI
// (150 %).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "core/demo_state.h"
#include "demo_window.h"
#include "effects/framebuffer.h"
#include "show_checks.h"

using namespace corvexa;

namespace {

// Wine starts slower than a Linux program; start-up then renders the song.
constexpr int32_t kStartMs = 60000;
// Wine takes its time to end a process and report its status.
constexpr int32_t kExitMs = 15000;

const std::string kWindowsDir = CORVEXA_WINDOWS_DIR;

std::string program(const std::string& arch) {
  return kWindowsDir + "/" + arch + "/corvexa.exe";
}

std::string engineTests(const std::string& arch, const std::string& name) {
  return kWindowsDir + "/cmake-" + arch + "/tests/" + name + ".exe";
}

// The environment every Wine run gets; WINEDEBUG=+debugstr shows what the
// program sends to the debugger output, on Wine's stderr.
DemoRun::Environment wineEnvironment(DemoRun::Environment extra) {
  extra.insert(extra.begin(),
               {{"WINEPREFIX", CORVEXA_WINE_PREFIX}, {"WINEDEBUG", "-all,+debugstr"}});
  return extra;
}

// A command's standard output (and its exit status).
std::string commandOutput(const std::string& command, int* status = nullptr) {
  FILE* pipe = popen(command.c_str(), "r");
  std::string out;
  if (!pipe) return out;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  int result = pclose(pipe);
  if (status) *status = WIFEXITED(result) ? WEXITSTATUS(result) : -1;
  return out;
}

std::vector<std::string> linesStartingWith(const std::string& text, const std::string& start) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind(start, 0) == 0) lines.push_back(line);
  }
  return lines;
}

std::string fileText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

// text as the UTF-16LE that Windows resources hold.
std::string utf16(const std::string& text) {
  std::string wide;
  for (char c : text) wide += std::string{c, '\0'};
  return wide;
}

class Windows : public ::testing::TestWithParam<std::string> {};

std::string archName(const ::testing::TestParamInfo<std::string>& info) {
  return info.param == "x86-64" ? "x86_64" : "x86";
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(Target, Windows, ::testing::Values("x86-64", "x86"), archName);

TEST_P(Windows, EngineTestsPassUnderWineWithTheLinuxDigests) {
  ScratchDirectory scratch("wine-engine-" + GetParam());
  std::string windows;  // the engine tests' output
  for (const char* name : {"allocation_tests", "engine_tests"}) {
    std::string log = scratch.path + "/" + name + ".log";
    int status = -1;
    commandOutput("WINEPREFIX=" CORVEXA_WINE_PREFIX " WINEDEBUG=-all wine " +
                      engineTests(GetParam(), name) + " >" + log + " 2>&1",
                  &status);
    windows = fileText(log);
    EXPECT_EQ(status, 0) << name << ":\n"
                         << windows.substr(windows.size() > 4000 ? windows.size() - 4000 : 0);
    EXPECT_NE(windows.find("[  PASSED  ]"), std::string::npos) << name;
    EXPECT_EQ(windows.find("[  FAILED  ]"), std::string::npos) << name;
  }

  std::string linux =
      commandOutput(std::string(CORVEXA_ENGINE_TESTS) + " --gtest_filter='ShowDigest.*' 2>&1");
  std::vector<std::string> expected = linesStartingWith(linux, "digest ");
  ASSERT_EQ(expected.size(), 2u) << linux;  // the show's and the song's
  EXPECT_EQ(linesStartingWith(windows, "digest "), expected);
}

TEST_P(Windows, ShowsTheHeldFrameInPhysicalPixelsAndAClickEndsIt) {
  std::vector<uint32_t> frame = showFrame(CORVEXA_TOOL, 90);
  ASSERT_EQ(frame.size(), static_cast<size_t>(kPixelCount));
  VirtualDisplay display(1366, 768);
  ASSERT_TRUE(display.ready()) << "Xvfb did not start";
  DemoRun demo(&display,
               wineEnvironment({{"SDL_AUDIODRIVER", "dummy"}, {"CORVEXA_HOLD_TICK", "90"}}),
               {"wine", program(GetParam())});
  auto held = demo.waitForTick(90, kStartMs);
  ASSERT_TRUE(held) << demo.errors();
  EXPECT_EQ(held->tick, 90);
  // Direct3D 11 (Wine's, on Mesa) is the renderer, not a fallback.
  const std::vector<std::string>& said = demo.otherLines();
  EXPECT_NE(std::find(said.begin(), said.end(), "renderer direct3d11"), said.end())
      << (said.empty() ? "no renderer named" : said.front());
  // Fullscreen on 1366 x 768 at 150 %: still scale 4 in physical pixels,
  // 1280 x 720 with 43 black columns and 24 black rows around.
  if (wrongOnScreen(display, demo, frame, 43, 24, 4, false) != 0) {
    std::string shot = std::string(CORVEXA_ARTEFACTS) + "/wine-" + GetParam() + "-tick-90.png";
    display.run("import -window root " + shot);
    ADD_FAILURE() << "the screen differs from the frame; it is in " << shot;
  }

  display.run("xdotool mousemove 700 400");
  demo.readFor(300);
  display.run("xdotool click 1");
  EXPECT_EQ(demo.waitForExit(kExitMs), 0) << demo.errors();
}

TEST_P(Windows, PlaysSilenceThenTheSongHalvedAndEscapeEndsIt) {
  auto state = std::make_unique<DemoState>();
  startUp(*state);
  ScratchDirectory scratch("wine-audio-" + GetParam());
  VirtualDisplay display(640, 360);
  ASSERT_TRUE(display.ready()) << "Xvfb did not start";
  // SDL's disk driver under Wine takes a Windows path: Z: is the Unix root.
  // (SDL_DISKAUDIODELAY cannot slow it down here: SDL's getenv on Windows
  // answers every name in one buffer, so reading the delay overwrites the
  // file's name. It takes 1,024 samples every 23 ms, as a device would.)
  DemoRun demo(&display,
               wineEnvironment({{"SDL_AUDIODRIVER", "disk"},
                                {"SDL_DISKAUDIOFILE", "Z:" + scratch.path + "/sound.raw"}}),
               {"wine", program(GetParam())});
  ASSERT_TRUE(demo.waitForTick(1, kStartMs)) << demo.errors();
  demo.readFor(2000);
  // Without a window manager, keys go where the X focus is: on the window.
  unsigned long window = display.demoWindow();
  ASSERT_NE(window, 0u);
  display.run("xdotool windowfocus --sync " + std::to_string(window) + " key Escape");
  ASSERT_EQ(demo.waitForExit(kExitMs), 0) << demo.errors();

  expectQueuedSound(scratch.path + "/sound.raw", state->pcmBuffer.items, state->renderedSampleCount,
                    "\n" + demo.errors());
}

TEST_P(Windows, WithoutSoundItSaysSoToTheDebuggerAndClosingTheWindowEndsIt) {
  VirtualDisplay display(640, 360);
  ASSERT_TRUE(display.ready()) << "Xvfb did not start";
  DemoRun demo(&display, wineEnvironment({{"SDL_AUDIODRIVER", "bogus"}}),
               {"wine", program(GetParam())});
  ASSERT_TRUE(demo.waitForTick(10, kStartMs)) << demo.errors();
  std::vector<std::string> notes = linesStartingWith(demo.errors(), "");
  auto debugged = std::count_if(notes.begin(), notes.end(), [](const std::string& line) {
    return line.find("OutputDebugString") != std::string::npos &&
           line.find("corvexa: no audio driver") != std::string::npos &&
           line.find("the show runs without sound") != std::string::npos;
  });
  EXPECT_EQ(debugged, 1) << demo.errors();

  unsigned long window = display.demoWindow();
  ASSERT_NE(window, 0u);
  display.requestClose(window);
  EXPECT_EQ(demo.waitForExit(kExitMs), 0) << demo.errors();
}

TEST_P(Windows, AFatalProblemIsShownInOneMessageBoxAndEndsWithStatusOne) {
  VirtualDisplay display(640, 360);
  ASSERT_TRUE(display.ready()) << "Xvfb did not start";
  // No video driver of that name: no window can be made.
  DemoRun demo(&display, wineEnvironment({{"SDL_VIDEODRIVER", "bogus"}}),
               {"wine", program(GetParam())});
  unsigned long box = 0;
  for (int32_t waited = 0; box == 0 && waited < kStartMs; waited += 200) {
    demo.readFor(200);
    box = display.demoWindow();  // the box is titled "Corvexa"
  }
  ASSERT_NE(box, 0u) << "no message box\n" << demo.errors();
  EXPECT_FALSE(demo.waitForExit(500)) << "the program did not wait for the message box";
  EXPECT_NE(demo.errors().find("no display to show the demo on"), std::string::npos)
      << demo.errors();
  display.run("xdotool windowfocus --sync " + std::to_string(box) + " key Return");
  EXPECT_EQ(demo.waitForExit(kExitMs), 1) << demo.errors();
}

TEST_P(Windows, TheZipHoldsTheProgramItsReadmeAndTheLicences) {
  std::string zip = kWindowsDir + "/corvexa-windows-" + GetParam() + ".zip";
  std::string folder = "corvexa-windows-" + GetParam() + "/";
  int status = -1;
  std::string names = commandOutput("unzip -Z1 " + zip, &status);
  ASSERT_EQ(status, 0) << "cannot list " << zip;
  std::set<std::string> listed;
  for (const std::string& name : linesStartingWith(names, "")) listed.insert(name);
  std::set<std::string> expected;
  for (const char* name :
       {"", "corvexa.exe", "README.txt", "licences/", "licences/SDL2.txt",
        "licences/GCC-runtime.txt", "licences/GPL-3.txt", "licences/mingw-w64.txt"})
    expected.insert(folder + name);
  EXPECT_EQ(listed, expected);

  EXPECT_TRUE(commandOutput("unzip -p " + zip + " " + folder + "corvexa.exe") ==
              fileText(program(GetParam())))
      << "the zip's corvexa.exe is not the one built";
  std::string readme = commandOutput("unzip -p " + zip + " " + folder + "README.txt");
  EXPECT_NE(readme.find("Corvexa " CORVEXA_VERSION " for Windows\r\n"), std::string::npos)
      << readme.substr(0, 200);
  EXPECT_NE(readme.find("Windows 10"), std::string::npos);
  EXPECT_NE(readme.find("PHOTOSENSITIVITY WARNING"), std::string::npos);
  std::string sdl = commandOutput("unzip -p " + zip + " " + folder + "licences/SDL2.txt");
  EXPECT_NE(sdl.find("Sam Lantinga"), std::string::npos) << sdl.substr(0, 200);
}

TEST_P(Windows, TheProgramIsAGuiProgramWithItsIconThatNeedsOnlyWindowsOwnDlls) {
  std::string exe = program(GetParam());
  int status = -1;
  std::string headers = commandOutput("x86_64-w64-mingw32-objdump -p " + exe, &status);
  ASSERT_EQ(status, 0) << "objdump cannot read " << exe;
  EXPECT_NE(headers.find(GetParam() == "x86-64" ? "(PE32+)" : "(PE32)"), std::string::npos);
  EXPECT_NE(headers.find("(Windows GUI)"), std::string::npos) << "a console program";

  // Every DLL it imports comes with every Windows: no SDL2.dll, no
  // libstdc++-6.dll, no libgcc_s_*.dll, no libwinpthread-1.dll.
  const std::set<std::string> windowsOwn = {
      "advapi32.dll", "gdi32.dll",    "imm32.dll",   "kernel32.dll", "msvcrt.dll",  "ole32.dll",
      "oleaut32.dll", "setupapi.dll", "shell32.dll", "user32.dll",   "version.dll", "winmm.dll"};
  std::vector<std::string> imports;
  for (std::string line : linesStartingWith(headers, "\tDLL Name: ")) {
    std::string name = line.substr(line.find(": ") + 2);
    std::transform(name.begin(), name.end(), name.begin(), ::tolower);
    imports.push_back(name);
    EXPECT_TRUE(windowsOwn.count(name)) << exe << " imports " << name;
  }
  EXPECT_GE(imports.size(), 3u) << "no import table read";

  // Its resources: version information with the project's version, and the
  // manifest that declares per-monitor DPI awareness.
  std::string version = commandOutput("wrestool -x --raw --type=16 " + exe);
  EXPECT_NE(version.find(utf16("ProductVersion") + std::string(2, '\0') + utf16(CORVEXA_VERSION)),
            std::string::npos);
  std::string manifest = commandOutput("wrestool -x --raw --type=24 " + exe);
  EXPECT_NE(manifest.find(">PerMonitorV2"), std::string::npos) << manifest;

  // Its icon: every committed size of platform/icons, pixel for pixel.
  ScratchDirectory scratch("wine-icon-" + GetParam());
  std::string icon = scratch.path + "/corvexa.ico";
  ASSERT_EQ(std::system(("wrestool -x --type=group_icon " + exe + " >" + icon).c_str()), 0);
  for (int32_t size : {16, 32, 48, 64, 128, 256}) {
    std::string name = "corvexa-" + std::to_string(size) + ".png";
    std::string out = scratch.path + "/" + name;
    commandOutput("icotool -x -w " + std::to_string(size) + " -o " + out + " " + icon);
    std::string committed = std::string(CORVEXA_SOURCE_DIR) + "/platform/icons/" + name;
    // ImageMagick's count of differing pixels, on stderr.
    std::string differing =
        commandOutput("compare -metric AE " + out + " " + committed + " null: 2>&1", &status);
    EXPECT_EQ(differing, "0") << name << " in the program's icon";
  }
}
