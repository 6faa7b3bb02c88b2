// The binary itself: options, exit status, dump, screenshot, data, window failure, signals.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>

#include "e2e/harness.h"

namespace {

TEST(HeadlessRun, StopsAtTheFrameLimitOrEscapeAndShowsTheLastPicture) {
  const struct {
    const char* script;
    int frames;
    int64_t width, height, frame;
  } cases[] = {
      {"", 3, 640, 480, 3},
      {"1 key F5 down\n2 key F5 up\n5 tap ESCAPE\n", 100, 320, 240, 6},  // Escape ends pass 5
  };
  for (const auto& k : cases) {
    ScratchDir dir;
    const GameRun r = run_script(k.script, k.frames, dir, {"--screenshot", dir / "s.png"});
    ASSERT_EQ(r.status, 0) << r.err;
    const Json& d = r.dump;
    for (const char* key : {"zoom", "SX", "SY", "SZ", "selected_unit", "screensaver",
                            "tick_divisor", "minimap", "paused_ms", "status", "bitmaps_loaded",
                            "map_loaded", "object_count", "planning", "units", "console", "camera",
                            "probes", "startup_ms", "peak_rss_kb"})
      EXPECT_EQ(d.fields.count(key), 1u) << key;
    EXPECT_EQ(std::tuple(d["frame"].i(), d["quit"].i(), d["width"].i(), d["height"].i()),
              std::tuple(k.frame, 1, k.width, k.height));
    EXPECT_EQ(std::tuple(d["zoom"].i(), d["status"].items.size()), std::tuple(2, 3u));
    EXPECT_TRUE(picture_shows(dir / "s.png", "size=" + std::to_string(k.width) + "x" +
                                                 std::to_string(k.height)));
  }
}

TEST(CommandLineOptions, BadOptionsAndScriptsExitTwoWithOneLineNamingTheProblem) {
  ScratchDir dir;
  write_file(dir / "bad.txt", "0 tap A\n1 tap NOPE\n");
  const std::pair<std::vector<std::string>, const char*> cases[] = {
      {{"--frames", "0"}, "--frames"},       {{"--frames", "x"}, "'x'"},
      {{"--frames"}, "--frames"},            {{"--seed", "-1"}, "--seed"},
      {{"--probe", "1,2"}, "1,2"},           {{"--bogus"}, "--bogus"},
      {{"--script", dir / "none.txt"}, "none.txt"}, {{"--script", dir / "bad.txt"}, "NOPE"},
  };
  for (const auto& [args, named] : cases) {
    std::vector<std::string> a = {"--headless"};
    a.insert(a.end(), args.begin(), args.end());
    const GameRun r = run_game(a, dir);
    EXPECT_EQ(r.status, 2) << args[0];
    EXPECT_FALSE(r.has_dump) << args[0];
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << "one line: " << r.err;
    EXPECT_NE(r.err.find(named), std::string::npos) << r.err;
  }
}

TEST(CommandLineOptions, HelpAndVersionPrintAndExitZero) {
  ScratchDir dir;
  for (auto [option, says] : {std::pair{"--help", "--headless"}, {"--version", "kelvarot "}}) {
    ASSERT_EQ(std::system((kelvarot() + " " + option + " > " + dir / "out.txt").c_str()), 0);
    EXPECT_NE(read_file(dir / "out.txt").find(says), std::string::npos) << option;
  }
}

// That the readers create nothing in folders that exist is checked in-process.
TEST(GameData, MissingDataIsReportedAndNothingIsCreated) {
  ScratchDir dir;
  const std::filesystem::path data = dir.path / "data";
  std::filesystem::create_directory(data);
  const GameRun r = run_game({"--headless", "--frames", "3", "--data", data.string()}, dir);
  ASSERT_EQ(r.status, 0) << r.err;
  const Json& d = r.dump;
  // no map opened, so no pause after it
  EXPECT_EQ(std::tuple(d["frame"].i(), d["bitmaps_loaded"].i(), d["map_loaded"].i(),
                       d["paused_ms"].i()),
            std::tuple(3, 0, 0, 0));
  for (const char* said :
       {"217 of 217 pictures failed", "bmp_cross/cross4.bmp", "map/8.overworld is missing"})
    EXPECT_NE(r.err.find(said), std::string::npos) << r.err;
  EXPECT_TRUE(std::filesystem::is_empty(data));
}

TEST(GameData, ShortMapFillsTheGridFromItsStartAndIsOnlyRead) {
  ScratchDir dir;
  const std::filesystem::path data = dir.path / "data";
  std::filesystem::create_directories(data / "map");
  // Up to and including x 0, y 1 of level 1; level 2 never arrives.
  std::string map(1049601, char(10));
  map[1049600] = char(61);
  map[0] = char(14);
  const std::string path = (data / "map/8.overworld").string();
  write_file(path, map);
  // Population works in columns 1..1022, so column 0 keeps what the map said. A
  // cell off the grid reads as empty, not as (1023, 1023, 0) its index wraps to.
  const GameRun r = run_game({"--headless", "--frames", "3", "--data", data.string(), "--probe",
                              "0,0,0", "--probe", "0,1,1", "--probe", "0,5,2", "--probe", "-1,0,1"},
                             dir);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.dump["map_loaded"].i(), 1049601);
  EXPECT_EQ(r.dump["paused_ms"].i(), 1000);  // counted, not slept
  EXPECT_NE(r.err.find("is short (1049601 of 3145728 bytes)"), std::string::npos) << r.err;
  std::vector<int64_t> codes;  // in the order asked
  for (const Json& probe : r.dump["probes"].items) codes.push_back(probe["code"].i());
  EXPECT_EQ(codes, (std::vector<int64_t>{14, 61, 0, 0}));
  EXPECT_EQ(read_file(path), map);
}

TEST(WindowFailure, NoDisplayWithoutHeadlessSaysWhyAndExitsOne) {
  ScratchDir dir;
  const GameRun r =
      run_game({"--frames", "5"}, dir, {"DISPLAY=", "WAYLAND_DISPLAY=", "SDL_VIDEODRIVER="});
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_NE(r.err.find("Failed To Register The Window Class."), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("--headless"), std::string::npos) << r.err;
}

// Whether pid has a handler for sig yet, from its caught-signal mask.
bool catches(pid_t pid, int sig) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(in, line);)
    if (line.rfind("SigCgt:", 0) == 0)
      return std::stoull(line.substr(7), nullptr, 16) >> (sig - 1) & 1;
  return false;
}

// The frame limit only stops a run the signal failed to end.
TEST(Signals, SigintAndSigtermEndTheRunCleanly) {
  for (int sig : {SIGINT, SIGTERM}) {
    ScratchDir dir;
    const pid_t pid = spawn_game({"--headless", "--frames", "2000", "--data", dir / "none"}, dir);
    for (int i = 0; i < 2000 && !catches(pid, sig); ++i) usleep(5000);
    kill(pid, sig);
    const GameRun r = finish_game(pid, dir);
    EXPECT_EQ(r.status, 0) << strsignal(sig) << ": " << r.err;
    ASSERT_TRUE(r.has_dump) << strsignal(sig);
    EXPECT_EQ(r.dump["quit"].i(), 1);
    EXPECT_LT(r.dump["frame"].i(), 2000) << strsignal(sig);
  }
}

// Headless frames are drawn offscreen; none may leave work queued behind it.
TEST(HeadlessRun, MemoryDoesNotGrowWithTheFrameCount) {
  // a sanitizer build holds freed memory in quarantine: keep that small, so only real growth shows
  const char* asan = std::getenv("ASAN_OPTIONS");
  const std::string quarantine =
      "ASAN_OPTIONS=" + std::string(asan ? asan : "") + ":quarantine_size_mb=1";
  int64_t peak_kb[2] = {};
  for (int k = 0; k < 2; ++k) {
    ScratchDir dir;
    const std::string frames = k == 0 ? "150" : "900";
    const GameRun r = run_game({"--headless", "--frames", frames, "--seed", "7"}, dir, {quarantine});
    ASSERT_EQ(r.status, 0) << r.err;
    peak_kb[k] = r.dump["peak_rss_kb"].i();
  }
  // a queued frame holds at least its 1.2 MB picture: 750 of them would show
  EXPECT_LT(peak_kb[1] - peak_kb[0], 40 * 1024) << peak_kb[0] << " -> " << peak_kb[1] << " KB";
}

}  // namespace
