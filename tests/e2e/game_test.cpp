// The binary itself: options, data, dump, screenshot, memory, and the units on the map.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <tuple>

#include "e2e/harness.h"
#include "tools/picture.h"
#include "units/units.h"

namespace fs = std::filesystem;

namespace {

// Refused in one line naming the problem, writing nothing; of two outputs on one file, the later.
TEST(CommandLineOptions, BadValuesScriptsAndCollidingOutputsExitTwoWritingNothing) {
  ScratchDir dir;
  const std::string script = dir / "input.txt", out = dir / "out.json";
  write_file(script, "0 tap 2\n");
  write_file(dir / "bad.txt", "0 tap A\n1 tap NOPE\n");
  fs::create_symlink(script, dir / "link.txt");
  fs::create_hard_link(script, dir / "hard.txt");
  fs::create_directory(dir / "sub");
  // links that point at nothing yet: a write would create out.json
  fs::create_symlink("out.json", dir / "dangling");
  fs::create_symlink(dir / "dangling", dir / "chain");
  fs::create_symlink("sub/../none/x.json", dir / "lost");
  fs::create_symlink("loop_b", dir / "loop_a");
  fs::create_symlink("loop_a", dir / "loop_b");
  const std::string head = "# kelvarot input, recorded pass by pass; replay with --script\n";
  write_file(dir / "seed.txt", head + "# seed 4294967296\n");
  write_file(dir / "passes.txt", head + "# seed 1\r\n# passes 12x\r\n");
  const std::pair<Argv, std::string> cases[] = {
      // clang-format off
      {{"--frames", "0"}, "--frames"}, {{"--frames", "x"}, "'x'"}, {{"--frames"}, "--frames"},
      {{"--seed", "-1"}, "--seed"}, {{"--probe", "1,2"}, "1,2"}, {{"--bogus"}, "--bogus"},
      {{"--script", dir / "none.txt"}, "none.txt"}, {{"--script", dir / "bad.txt"}, "NOPE"},
      {{"--probe", "4294967297,0,0"}, "4294967297"},  // would wrap to 1
      {{"--probe", "1024,0,0"}, "1024,0,0"}, {{"--probe", "0,0,180"}, "0,0,180"},
      {{"--probe", "-1,0,0"}, "-1,0,0"}, {{"--probe", "1,2,3,4"}, "1,2,3,4"},
      {{"--script", ""}, "--script"}, {{"--dump-state", ""}, "--dump-state"},
      {{"--screenshot="}, "--screenshot"}, {{"--record", ""}, "--record"},
      {{"--headless=yes"}, "--headless"}, {{"--screenshot", dir / "none/s.png"}, "none"},
      {{"--dump-state", dir / "none/s.json"}, "none"}, {{"--dump-state", dir.path}, "folder"},
      {{"--dump-state", out, "--screenshot", out}, "--screenshot"},
      {{"--dump-state", out, "--record", dir / "sub/../out.json"}, "--record"},
      {{"--screenshot", out, "--dump-state", dir / "./out.json"}, "--dump-state"},
      {{"--script", script, "--record", script}, "--record"},
      {{"--script", script, "--dump-state", dir / "link.txt"}, "--dump-state"},
      {{"--script", dir / "hard.txt", "--screenshot", script}, "--screenshot"},
      {{"--dump-state", out, "--record", dir / "dangling"}, "--record"},
      {{"--screenshot", dir / "chain", "--record", out}, "--record"},
      {{"--dump-state", dir / "chain", "--screenshot", dir / "dangling"}, "--screenshot"},
      {{"--record", dir / "lost"}, "none"}, {{"--screenshot", dir / "loop_a"}, "loop_a"},
      {{"--script", dir / "seed.txt"}, "seed '4294967296'"},
      {{"--script", dir / "passes.txt"}, "passes '12x'"},
      {{"--dump-state", out, "--save", out}, "--save"}, {{"--script", script, "--save", script}, "--save"},
      {{"--load", dir / "none.sav"}, "none.sav"}, {{"--timedemo", script, "--script", script}, "--script"},
      // clang-format on
  };
  const std::set<std::string> before = names_in(dir.path);
  for (auto [args, named] : cases) {
    args.insert(args.begin(),
                {"kelvarot", "--headless", "--frames", "3", "--dump-state", dir / "state.json"});
    const GameRun r = finish(spawn(args, dir), dir);
    const std::string what = args[5] + " " + (args.size() > 6 ? args[6] : "");
    EXPECT_EQ(r.status, 2) << what;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << "one line: " << r.err;
    EXPECT_NE(r.err.find(named), std::string::npos) << r.err;
    EXPECT_EQ(read_file(script), "0 tap 2\n");
    fs::remove(dir / "stderr.txt");
    EXPECT_EQ(names_in(dir.path), before) << what;
  }
  // What the user cannot write: as root may write anything, a plain user tries.
  Argv args = {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
  if (getuid() != 0) args.clear();
  else if (!fs::exists(args[0])) return (void)std::puts("skipped: unwritable outputs (root)");
  fs::permissions(dir.path, fs::perms::all);
  fs::create_directory(dir / "shut");
  write_file(dir / "locked.json", "{}");
  for (const char* name : {"shut", "locked.json"}) chmod((dir / name).c_str(), 0555);
  fs::create_symlink(dir / "shut/new.json", dir / "into_shut");
  args.insert(args.end(), {kelvarot(), "--headless", "--frames", "3", "--dump-state", ""});
  for (const char* name : {"locked.json", "into_shut"}) {
    args.back() = dir / name;
    const GameRun r = finish(spawn(args, dir), dir);
    EXPECT_EQ(r.status, 2) << name << ": " << r.err;
    EXPECT_NE(r.err.find(name), std::string::npos) << r.err;
    EXPECT_EQ(read_file(dir / "locked.json"), "{}");
  }
}

TEST(GameData, ShortOrUnreadableDataIsNamedAsSuchAndNothingIsWritten) {
  static std::string short_map(1049601, char(10));  // ends after x 0, y 1 of level 1
  short_map[0] = char(14), short_map[1049600] = char(61);
  const std::tuple<void (*)(const fs::path& file), std::string, bool> cases[] = {
      {[](const fs::path& f) {
         if (f.extension() != ".bmp") write_file(f, short_map);
       },
       "is short (1049601 of 3145728 bytes)", false},
      {[](const fs::path& f) { mkfifo(f.c_str(), 0644); }, "is not a regular file", true},
      {[](const fs::path& f) { fs::create_directories(f); }, "is a directory", true},
      {[](const fs::path& f) {
         fs::create_symlink(f.filename().string() + ".2", f);
         fs::create_symlink(f.filename(), f.string() + ".2");
       },
       "Too many levels of symbolic links", true},
  };
  for (const auto& [make, said, unreadable] : cases) {
    ScratchDir dir;
    const fs::path data = dir.path / "data", map = data / "map/8.overworld";
    fs::create_directory(data);
    for (const fs::path& f : {map, data / "bmp_cross/cross4.bmp"})
      fs::create_directories(f.parent_path()), make(f);
    auto listing = [&] { return std::set<fs::path>(fs::recursive_directory_iterator(data), {}); };
    const auto before = listing();
    GameRun r = run_game(
        "", 3, dir,
        {"--data", data.string(), "--probe", "0,0,0", "--probe", "0,1,1", "--probe", "0,5,2"});
    ASSERT_EQ(r.status, 0) << r.err;
    for (const std::string s : {"217 of 217 pictures failed", "bmp_cross/cross4.bmp"})
      EXPECT_NE(r.err.find(s), std::string::npos) << r.err;
    EXPECT_NE(r.err.substr(r.err.find("map file")).find(said), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("cross4.bmp': " + said) != r.err.npos, unreadable) << r.err;
    // population works in columns 1..1022: column 0 keeps what a short map said
    const bool loaded = said.starts_with("is short");
    std::vector<int64_t> codes;  // in the order asked
    for (const Json& probe : r.dump["probes"]) codes.push_back(probe["code"]);
    EXPECT_EQ(codes, (loaded ? std::vector<int64_t>{14, 61, 0} : std::vector<int64_t>(3)));
    // only a loaded map pauses, a second counted, not slept
    EXPECT_EQ(std::tuple(r.dump["map_loaded"], r.dump["paused_ms"]),
              loaded ? std::tuple(1049601, 1000) : std::tuple(0, 0));
    EXPECT_EQ(listing(), before);
    EXPECT_TRUE(!loaded || read_file(map) == short_map);
  }
}

// An F12 every other pass keeps half the pictures; none may leave its GL work queued.
TEST(HeadlessRun, MemoryDoesNotGrowWithTheFrameCount) {
  // a sanitizer build holds freed memory in quarantine: keep that small, so only real growth shows
  const char* now = std::getenv("ASAN_OPTIONS");
  const std::string asan = "ASAN_OPTIONS=" + std::string(now ? now : "") + ":quarantine_size_mb=1";
  std::string f12;
  for (int pass = 0; pass < 1200; pass += 2) f12 += std::to_string(pass) + " tap F12\n";
  int64_t peak_kb[2] = {};
  for (int k = 0; k < 2; ++k) {
    ScratchDir dir;
    const GameRun r = run_game(f12, k == 0 ? 150 : 1200, dir, {}, {{asan}});
    ASSERT_EQ(r.status, 0) << r.err;
    peak_kb[k] = r.dump["peak_rss_kb"];
  }
  // a queued frame holds at least its 1.2 MB picture: 500 of them would show
  EXPECT_LT(peak_kb[1] - peak_kb[0], 40 * 1024) << peak_kb[0] << " -> " << peak_kb[1] << " KB";
}

std::pair<int64_t, int64_t> cell_of(const Json& u) { return {u["x"], u["y"]}; }

TEST(UnitsOnMap, StartLoadsAllSameSeedReplaysExactlyAnotherPlacesElsewhereWanderersMove) {
  const std::string script = "3 tap A\n40 pointer 200 300\n41 click right\n";
  ScratchDir a, b, c, o;
  GameRun start = run_game("", 1, a, {"--seed", "11"});
  GameRun later = run_game(script, 300, b, {"--seed", "11"});
  GameRun again = run_game(script, 300, c, {"--seed", "11"});
  GameRun other = run_game("", 1, o, {"--seed", "12"});
  for (const GameRun* r : {&start, &later, &again, &other}) ASSERT_EQ(r->status, 0) << r->err;

  Json& d = start.dump;
  EXPECT_EQ(start.err, "");  // nothing failed to load
  EXPECT_EQ(std::tuple(d["bitmaps_loaded"], d["map_loaded"], d["object_count"]),
            std::tuple(217, 3145728, 1 + 3 * 256));  // 256 objects on each map level
  EXPECT_GE(d["units"].size(), 250u);                // where each may stand is checked in-process
  // Unit 1 waits for an order on the surface; the view starts on it, clamped inward.
  const Json& u1 = unit_in(d, 1);
  EXPECT_EQ(std::tuple(u1["level"], u1["order_flag"]), std::tuple(1, 0));
  EXPECT_EQ(std::tuple(d["SX"], d["SY"], d["SZ"]),
            std::tuple(std::clamp<int64_t>(u1["x"], 1, 1023 - 640 / 16),
                       std::clamp<int64_t>(u1["y"], 1, 1023 - 480 / 16), 1));

  EXPECT_EQ(read_dump(b / "state.json", true), read_dump(c / "state.json", true));
  int same = 0;
  for (const Json& u : other.dump["units"]) same += cell_of(u) == cell_of(unit_in(d, u["index"]));
  EXPECT_LT(same, 10);

  int wanderers = 0, moved = 0, ordered = 0;
  for (const Json& u : d["units"]) {
    if (u["index"] < 2) continue;
    const Json& v = unit_in(later.dump, u["index"]);
    ++wanderers;
    moved += cell_of(v) != cell_of(u);
    ordered += v["order_flag"] == 1;  // once ordered, the flag stays up
  }
  EXPECT_GE(2 * moved, wanderers) << moved << " of " << wanderers;
  EXPECT_EQ(ordered, wanderers);
  EXPECT_EQ(later.dump["planning"]["in_use"], 0);
}

// The first 40 x 30 cells a player sees should show some land, not open sea, on most seeds.
TEST(UnitsOnMap, FirstViewShowsLandOnMostSeeds) {
  const std::string map = read_file(build_dir() + "/map/8.overworld");
  ASSERT_EQ(map.size(), 3u << 20);
  const char* surface = map.data() + (1 << 20);
  int landward = 0;
  for (int seed = 1; seed <= 10; ++seed) {
    ScratchDir dir;
    const GameRun r = run_game("", 1, dir, {"--seed", std::to_string(seed)});
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(r.dump["SZ"], 1);
    const int64_t sx = r.dump["SX"], sy = r.dump["SY"];
    int land = 0;
    for (int64_t y = sy; y < sy + 30; ++y)
      for (int64_t x = sx; x < sx + 40; ++x)
        land += surface[y * 1024 + x] != 14 && surface[y * 1024 + x] != 15;
    landward += 4 * land >= 40 * 30;
  }
  EXPECT_GE(landward, 8) << "first views at least a quarter land, of 10 seeds";
}

// Unit 1, ordered in pass 1, and the wanderers, in pass 0 after its tick, wait for frame 10.
TEST(UnitsOnMap, FirstTickAfterAnOrderComesAtTheDivisor) {
  const std::string script = "0 tap 1\n1 pointer 400 300\n1 click right\n";
  ScratchDir a, b;
  const GameRun before = run_game(script, 10, a);  // passes 0 .. 9
  const GameRun after = run_game(script, 11, b);
  for (const GameRun* r : {&before, &after}) ASSERT_EQ(r->status, 0) << r->err;
  const Json& u1 = unit_in(before.dump, 1);  // sent to the cell under the pointer
  EXPECT_EQ(
      std::tuple(u1["target_x"], u1["target_y"]),
      std::tuple(before.dump["SX"].get<int>() + 400 / 16, before.dump["SY"].get<int>() + 300 / 16));
  for (const Json& u : after.dump["units"]) {
    const Json& v = unit_in(before.dump, u["index"]);
    EXPECT_EQ(std::tuple(v["order_flag"], v["order_state"]), std::tuple(1, int(kNewOrder)))
        << u["index"];
    EXPECT_NE(u["order_state"], kNewOrder) << u["index"];
  }
  // the wanderers' search trees grew in the map pause: only unit 1's are left to the frames
  EXPECT_LE(before.dump["ticks"]["ahead_rounds_total"], 2 * 64 * 64);
}

// Drawing only the passes whose picture is kept, the exit screenshot (also of the screensaver's
// first read-back) is the one a fully drawn run makes: an F12 there forces the reference.
TEST(HeadlessRun, EndsAtTheLimitOrEscapeKeepingThePictureAFullyDrawnPassMakes) {
  const struct {
    const char* script;
    int frames, f12_pass;
    int64_t frame, width;
  } cases[] = {
      {"", 3, 2, 3, 640},
      {"1 tap F5\n5 pointer 200 60\n6 button left down\n", 30, 29, 30, 320},
      {"1 tap F5\n5 pointer 160 90\n6 click right\n20 tap ESCAPE\n", 100, 20, 21, 320},
      {"1 tap F5\n3 tap TAB\n5 type screensavertoggle\n52 tap ENTER\n", 56, 52, 56, 320},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.script);
    std::string pictures[2];
    for (int forced = 0; forced < 2; ++forced) {
      ScratchDir dir;
      // a script's pointer starts at 0, 0: the reference of a run without one needs it centred
      const std::string f12 = !forced ? ""
                                      : (*k.script ? "" : "0 pointer 320 240\n") +
                                            std::to_string(k.f12_pass - 2) + " tap F12\n" +
                                            std::to_string(k.f12_pass) + " tap F12\n";
      GameRun r =
          run_game(k.script + f12, k.frames, dir, {"--seed", "3", "--screenshot", dir / "s.png"},
                   {{"XDG_PICTURES_DIR=" + dir / "f12"}});
      ASSERT_EQ(r.status, 0) << r.err;
      // the screenshot is named; a replayed F12 writes nothing, saying so once
      EXPECT_EQ(std::tuple(std::ranges::count(r.err, '\n'), r.err.find("F12") != r.err.npos,
                           fs::exists(dir / "f12")),
                std::tuple(1 + forced, bool(forced), false));
      pictures[forced] = read_file(dir / "s.png");
      Json& d = r.dump;
      for (const char* key : {"selected_unit", "screensaver", "tick_divisor", "minimap", "console",
                              "camera", "startup_ms"})
        EXPECT_TRUE(d.contains(key)) << key;
      const int64_t height = k.width * 3 / 4;
      EXPECT_EQ(std::tuple(d["frame"], d["quit"], d["width"], d["height"], d["zoom"]),
                std::tuple(k.frame, 1, k.width, height, 2));
      const Picture shot = read_png(dir / "s.png");
      EXPECT_EQ(std::tuple(shot.width, shot.height), std::tuple(k.width, height));
      // nothing moves the pointer of a headless run without a script: it rests at the centre
      ASSERT_EQ(d["status"].size(), 3u);
      const std::string top = d["status"][0];
      EXPECT_TRUE(*k.script || top.find(" mx=320 my=240 ") != top.npos) << top;
    }
    EXPECT_FALSE(pictures[0].empty());
    EXPECT_TRUE(pictures[0] == pictures[1]);
  }
}

}  // namespace
