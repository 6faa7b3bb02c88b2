// The binary itself: options, exit status, dump, screenshot, data, window failure, signals,
// and the units on the generated map: start, replay, wandering, orders, ticks.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <utility>

#include "e2e/harness.h"
#include "units/units.h"

namespace {

TEST(HeadlessRun, StopsAtTheFrameLimitOrEscapeAndWritesTheLastPicture) {
  auto be32 = [](int64_t v) {  // a PNG header's width or height
    return std::string{char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
  };
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
    for (const char* key : {"SX", "SY", "SZ", "selected_unit", "screensaver", "tick_divisor",
                            "minimap", "paused_ms", "bitmaps_loaded", "map_loaded", "object_count",
                            "planning", "units", "console", "camera", "probes", "startup_ms"})
      EXPECT_EQ(d.fields.count(key), 1u) << key;
    EXPECT_EQ(std::tuple(d["frame"].i(), d["quit"].i(), d["width"].i(), d["height"].i()),
              std::tuple(k.frame, 1, k.width, k.height));
    EXPECT_EQ(std::tuple(d["zoom"].i(), d["status"].items.size()), std::tuple(2, 3u));
    EXPECT_EQ(read_file(dir / "s.png").substr(12, 12), "IHDR" + be32(k.width) + be32(k.height));
  }
}

// Without a script nothing moves the pointer of a headless run: the cross
// stays in the middle of the picture, not in a corner.
TEST(HeadlessRun, WithoutAScriptThePointerRestsAtThePicturesCentre) {
  ScratchDir dir;
  const GameRun r = run_game({"--headless", "--frames", "3", "--seed", "7"}, dir);
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string top = r.dump["status"].items.at(0).text;
  EXPECT_NE(top.find(" mx=320 my=240 "), std::string::npos) << top;
}

TEST(CommandLineOptions, BadOptionsAndScriptsExitTwoWithOneLineNamingTheProblem) {
  ScratchDir dir;
  write_file(dir / "bad.txt", "0 tap A\n1 tap NOPE\n");
  const std::pair<std::vector<std::string>, const char*> cases[] = {
      {{"--frames", "0"}, "--frames"},
      {{"--frames", "x"}, "'x'"},
      {{"--frames"}, "--frames"},
      {{"--seed", "-1"}, "--seed"},
      {{"--probe", "1,2"}, "1,2"},
      {{"--bogus"}, "--bogus"},
      {{"--script", dir / "none.txt"}, "none.txt"},
      {{"--script", dir / "bad.txt"}, "NOPE"},
  };
  for (const auto& [args, named] : cases) {  // refused before any window is opened
    const GameRun r = run_game(args, dir);
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

// An empty data folder, and one whose map ends after x 0, y 1 of level 1: level 2
// never arrives. Population works in columns 1..1022, so column 0 keeps what the
// map said.
TEST(GameData, MissingOrShortDataIsReportedAndNothingIsWritten) {
  std::string map(1049601, char(10));
  map[0] = char(14), map[1049600] = char(61);
  for (bool with_map : {false, true}) {
    ScratchDir dir;
    const std::filesystem::path data = dir.path / "data";
    std::filesystem::create_directories(data / (with_map ? "map" : ""));
    if (with_map) write_file((data / "map/8.overworld").string(), map);
    const GameRun r = run_game({"--headless", "--frames", "3", "--data", data.string(), "--probe",
                                "0,0,0", "--probe", "0,1,1", "--probe", "0,5,2"},
                               dir);
    ASSERT_EQ(r.status, 0) << r.err;
    for (const char* said : {"217 of 217 pictures failed", "bmp_cross/cross4.bmp",
                             with_map ? "is short (1049601 of 3145728 bytes)" : "is missing"})
      EXPECT_NE(r.err.find(said), std::string::npos) << r.err;
    std::vector<int64_t> codes;  // in the order asked
    for (const Json& probe : r.dump["probes"].items) codes.push_back(probe["code"].i());
    EXPECT_EQ(codes, (with_map ? std::vector<int64_t>{14, 61, 0} : std::vector<int64_t>(3)));
    // only a loaded map pauses, a second counted, not slept
    EXPECT_EQ(std::tuple(r.dump["map_loaded"].i(), r.dump["paused_ms"].i()),
              with_map ? std::tuple(1049601, 1000) : std::tuple(0, 0));
    EXPECT_EQ(std::distance(std::filesystem::recursive_directory_iterator(data), {}),
              with_map ? 2 : 0);
    EXPECT_EQ(read_file((data / "map/8.overworld").string()), with_map ? map : "");
  }
}

TEST(WindowFailure, NoDisplayWithoutHeadlessSaysWhyAndExitsOne) {
  ScratchDir dir;
  const GameRun r =
      run_game({"--frames", "5"}, dir, {"DISPLAY=", "WAYLAND_DISPLAY=", "SDL_VIDEODRIVER="});
  EXPECT_EQ(std::pair(r.status, r.has_dump), std::pair(1, false)) << r.err;  // start-up stopped
  EXPECT_NE(r.err.find("Failed To Register The Window Class."), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("--headless"), std::string::npos) << r.err;
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
  const char* now = std::getenv("ASAN_OPTIONS");
  const std::string asan = "ASAN_OPTIONS=" + std::string(now ? now : "") + ":quarantine_size_mb=1";
  int64_t peak_kb[2] = {};
  for (int k = 0; k < 2; ++k) {
    ScratchDir dir;
    const std::string frames = k == 0 ? "150" : "900";
    const GameRun r = run_game({"--headless", "--seed", "7", "--frames", frames}, dir, {asan});
    ASSERT_EQ(r.status, 0) << r.err;
    peak_kb[k] = r.dump["peak_rss_kb"].i();
  }
  // a queued frame holds at least its 1.2 MB picture: 750 of them would show
  EXPECT_LT(peak_kb[1] - peak_kb[0], 40 * 1024) << peak_kb[0] << " -> " << peak_kb[1] << " KB";
}

std::pair<int64_t, int64_t> cell_of(const Json& u) { return {u["x"].i(), u["y"].i()}; }

// The dump without what depends on the machine.
std::string stable_dump(const ScratchDir& dir) {
  std::string s = read_file(dir / "state.json");
  for (const char* key : {"\"startup_ms\"", "\"peak_rss_kb\""}) {
    const size_t at = s.find(key);
    s.erase(at, s.find('\n', at) - at);
  }
  return s;
}

TEST(UnitsOnMap, StartLoadsAllSameSeedReplaysExactlyAnotherPlacesElsewhereWanderersMove) {
  const std::string script = "3 tap A\n40 pointer 200 300\n41 click right\n";
  ScratchDir a, b, c, o;
  const GameRun start = run_script("", 1, a, {"--seed", "11"});
  const GameRun later = run_script(script, 300, b, {"--seed", "11"});
  const GameRun again = run_script(script, 300, c, {"--seed", "11"});
  const GameRun other = run_script("", 1, o, {"--seed", "12"});
  for (const GameRun* r : {&start, &later, &again, &other}) ASSERT_EQ(r->status, 0) << r->err;

  const Json& d = start.dump;
  EXPECT_EQ(start.err, "");  // nothing failed to load
  EXPECT_EQ(std::tuple(d["bitmaps_loaded"].i(), d["map_loaded"].i(), d["object_count"].i()),
            std::tuple(217, 3145728, 1 + 3 * 256));  // 256 objects on each map level
  EXPECT_GE(d["units"].items.size(), 250u);          // where each may stand is checked in-process
  // Unit 1 waits for an order on the surface; the view starts on it, clamped inward.
  const Json& u1 = unit_in(d, 1);
  EXPECT_EQ(std::tuple(u1["level"].i(), u1["order_flag"].i()), std::tuple(1, 0));
  EXPECT_EQ(std::tuple(d["SX"].i(), d["SY"].i(), d["SZ"].i()),
            std::tuple(std::clamp<int64_t>(u1["x"].i(), 1, 1023 - 640 / 16),
                       std::clamp<int64_t>(u1["y"].i(), 1, 1023 - 480 / 16), 1));

  EXPECT_EQ(stable_dump(b), stable_dump(c));
  int same = 0;
  for (const Json& u : other.dump["units"].items)
    same += cell_of(u) == cell_of(unit_in(d, u["index"].i()));
  EXPECT_LT(same, 10);

  int wanderers = 0, moved = 0, ordered = 0;
  for (const Json& u : d["units"].items) {
    if (u["index"].i() < 2) continue;
    const Json& v = unit_in(later.dump, u["index"].i());
    ++wanderers;
    moved += cell_of(v) != cell_of(u);
    ordered += v["order_flag"].i() == 1;  // once ordered, the flag stays up
  }
  EXPECT_GE(2 * moved, wanderers) << moved << " of " << wanderers;
  EXPECT_EQ(ordered, wanderers);
  EXPECT_EQ(later.dump["planning"]["in_use"].i(), 0);
}

// The first picture a player sees is the 40 x 30 cells from the view origin:
// on most seeds it should show some land, not open sea.
TEST(UnitsOnMap, FirstViewShowsLandOnMostSeeds) {
  const char* build = std::getenv("KV_BUILD_DIR");
  const std::string map = read_file(std::string(build ? build : ".") + "/map/8.overworld");
  ASSERT_EQ(map.size(), 3u << 20);
  const char* surface = map.data() + (1 << 20);
  int landward = 0;
  for (int seed = 1; seed <= 10; ++seed) {
    ScratchDir dir;
    const GameRun r = run_script("", 1, dir, {"--seed", std::to_string(seed)});
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(r.dump["SZ"].i(), 1);
    int land = 0;
    for (int64_t y = r.dump["SY"].i(); y < r.dump["SY"].i() + 30; ++y)
      for (int64_t x = r.dump["SX"].i(); x < r.dump["SX"].i() + 40; ++x)
        land += surface[y * 1024 + x] != 14 && surface[y * 1024 + x] != 15;
    landward += 4 * land >= 40 * 30;
  }
  EXPECT_GE(landward, 8) << "first views at least a quarter land, of 10 seeds";
}

// Unit 1, right-clicked in pass 1, is planned at the first tick frame after
// it: frame 10 at speed 1. The wanderers, ordered in frame 0 after that
// frame's tick, wait for frame 10 too.
TEST(UnitsOnMap, FirstTickAfterAnOrderComesAtTheDivisor) {
  const std::string script = "0 tap 1\n1 pointer 400 300\n1 click right\n";
  ScratchDir a, b;
  const GameRun before = run_script(script, 10, a);  // passes 0 .. 9
  const GameRun after = run_script(script, 11, b);
  ASSERT_EQ(before.status, 0) << before.err;
  ASSERT_EQ(after.status, 0) << after.err;
  const Json& u1 = unit_in(before.dump, 1);  // sent to the cell under the pointer
  EXPECT_EQ(std::tuple(u1["target_x"].i(), u1["target_y"].i()),
            std::tuple(before.dump["SX"].i() + 400 / 16, before.dump["SY"].i() + 300 / 16));
  for (const Json& u : after.dump["units"].items) {
    const Json& v = unit_in(before.dump, u["index"].i());
    EXPECT_EQ(std::tuple(v["order_flag"].i(), v["order_state"].i()), std::tuple(1, int(kNewOrder)))
        << u["index"].i();
    EXPECT_NE(u["order_state"].i(), kNewOrder) << u["index"].i();
  }
}

}  // namespace

// Headless runs draw GL pictures only where one is kept, yet every kept
// picture is the one a fully drawn run makes: the exit screenshot after
// Escape or the frame limit in the block view, and the screensaver showing
// the block view's read-back before its first renewal. An F12 in the pass
// that matters forces that pass to be drawn, giving the reference picture.
TEST(HeadlessRun, KeptPicturesMatchAFullyDrawnPass) {
  const struct {
    const char* what;
    const char* script;
    int frames;
    int f12_pass;
  } cases[] = {
      {"frame limit in the block view", "1 tap F5\n5 pointer 200 60\n6 button left down\n", 30, 29},
      {"escape in the block view", "1 tap F5\n5 pointer 160 90\n6 click right\n20 tap ESCAPE\n",
       100, 20},
      {"screensaver on from the block view",
       "1 tap F5\n3 tap TAB\n5 type screensavertoggle\n52 tap ENTER\n", 56, 52},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::string pictures[2];
    for (int forced = 0; forced < 2; ++forced) {
      ScratchDir dir;
      std::string script = c.script;
      if (forced) script += std::to_string(c.f12_pass) + " tap F12\n";
      write_file(dir / "input.txt", script);
      const GameRun r = run_game({"--headless", "--frames", std::to_string(c.frames), "--seed", "3",
                                  "--script", dir / "input.txt", "--screenshot", dir / "s.png"},
                                 dir, {"XDG_PICTURES_DIR=" + dir / "f12"});
      ASSERT_EQ(r.status, 0) << r.err;
      pictures[forced] = read_file(dir / "s.png");
    }
    EXPECT_FALSE(pictures[0].empty());
    EXPECT_TRUE(pictures[0] == pictures[1]);
  }
}
