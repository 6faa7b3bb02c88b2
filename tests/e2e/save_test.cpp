// Saved games: a loaded save plays on exactly as the uninterrupted game, damaged saves are
// refused, and the timed demo replays a recording.
#include <gtest/gtest.h>
#include <zlib.h>

#include <random>

#include "e2e/harness.h"

namespace fs = std::filesystem;

namespace {

// A random session: orders, edits beside unit 1, teleports, views, the screensaver, the block
// view; and where it is saved: anywhere, at a movement tick, or while a key is held.
struct SessionPlan {
  uint32_t seed = 0;
  std::string script;
  int save_at = 0, total = 0;
};

SessionPlan plan_session(int n) {
  std::mt19937 r(uint32_t(n) * 7919u + 17u);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(r); };
  SessionPlan s;
  s.seed = uint32_t(pick(1, 1 << 30));
  std::vector<std::pair<int, int>> held;  // passes with a key down throughout
  std::string& out = s.script;
  auto at = [&](int f, const std::string& what) { out += std::to_string(f) + " " + what + "\n"; };
  const std::string commands[] = {"env4block",   "env4grass",         "corner1",
                                  "env4emptyx1", "screensavertoggle", "env4teleport"};
  int f = pick(0, 5), saver_on = -1;
  for (int step = 0; step < 9; ++step, f += pick(4, 20)) {
    switch (n % 3 == 1 && step == 0 ? 6 : pick(0, 7)) {
      case 0:
        at(f, "pointer " + std::to_string(pick(0, 639)) + " " + std::to_string(pick(0, 479)));
        at(f + 1, "click right"), f += 2;
        break;
      case 1: at(f, pick(0, 1) ? "tap A" : pick(0, 1) ? "tap RBRACKET" : "tap LBRACKET"); break;
      case 2: {
        const std::string key = pick(0, 1) ? "RIGHT" : "UP";
        const int len = pick(3, 15);
        at(f, "key " + key + " down"), at(f + len, "key " + key + " up"), f += len;
        at(f + 1, pick(0, 1) ? "tap ADD" : "tap SUBTRACT");
        break;
      }
      case 3:
      case 4: {  // a command: the line is cleared, typed, run, and the prompt closed
        // every fourth session switches the screensaver on early and leaves it on
        const bool saver = n % 4 == 0 && step == 1;
        const int choice = saver ? 4 : pick(0, 5);
        std::string cmd = commands[size_t(choice == 4 && !saver && n % 4 == 0 ? 5 : choice)];
        char where[32];
        std::snprintf(where, sizeof where, " %d %d 2", pick(1, 1022), pick(1, 1022));
        if (cmd == "env4teleport") cmd += where;
        at(f, "tap TAB"), at(f + 1, "key BACKSPACE down"), at(f + 32, "key BACKSPACE up");
        held.emplace_back(f + 2, f + 31);
        at(f + 33, "type " + cmd);
        f += 35 + 2 * int(cmd.size());
        at(f, "tap ENTER"), at(f + 2, "tap TAB"), f += 3;
        if (saver) saver_on = f;
        break;
      }
      case 5: {  // the block view, walking with the left button held
        at(f, "tap F5"), at(f + 2, "pointer " + std::to_string(pick(0, 319)) + " 120");
        const int len = pick(10, 40);
        at(f + 3, "button left down"), at(f + 3 + len, "button left up");
        held.emplace_back(f + 4, f + 2 + len);
        f += 4 + len;
        if (pick(0, 2)) at(++f, "tap F6");
        break;
      }
      case 6: at(f, pick(0, 1) ? "tap 1" : "tap 3"); break;
      default: at(f, "tap N"); break;
    }
  }
  s.total = f + pick(20, 80);
  const int kind = n % 3;
  if (kind == 1) {  // a tick pass: every divisor divides 60
    s.save_at = 60 * pick(1, std::max(1, (s.total - 2) / 60)) + pick(0, 1);
  } else if (kind == 2 && !held.empty()) {
    const auto [lo, hi] = held[size_t(pick(0, int(held.size()) - 1))];
    s.save_at = pick(lo, hi);
  } else {
    s.save_at = pick(1, s.total - 1);
  }
  if (saver_on >= 0) {  // saved and ended between two renewals of the screensaver's picture
    s.save_at = (saver_on / 50 + 1) * 50 + pick(1, 20);
    s.total = s.save_at + pick(5, 25);
  }
  return s;
}

Argv run_args(const ScratchDir& dir, const std::string& tag, const Argv& extra) {
  Argv a = {"kelvarot",     "--headless",          "--script",     dir / "input.txt",
            "--dump-state", dir / (tag + ".json"), "--screenshot", dir / (tag + ".png")};
  a.insert(a.end(), extra.begin(), extra.end());
  return a;
}

TEST(SavedGames, PlayingOnFromASaveEqualsTheUninterruptedGame) {
  for (int n = 0; n < 20; ++n) {
    const SessionPlan s = plan_session(n);
    ScratchDir dir;
    write_file(dir / "input.txt", s.script);
    const std::string seed = std::to_string(s.seed), total = std::to_string(s.total);
    const std::string save = dir / "game.sav", rec = dir / "after.rec";
    const GameRun whole =
        finish(spawn(run_args(dir, "whole", {"--seed", seed, "--frames", total}), dir), dir);
    const GameRun first = finish(
        spawn(run_args(dir, "first",
                       {"--seed", seed, "--frames", std::to_string(s.save_at), "--save", save}),
              dir),
        dir);
    const GameRun rest = finish(
        spawn(run_args(dir, "rest", {"--load", save, "--frames", total, "--record", rec}), dir),
        dir);
    const std::string what = "session " + std::to_string(n) + " saved after " +
                             std::to_string(s.save_at) + " of " + total + " passes:\n" + s.script;
    ASSERT_EQ(whole.status, 0) << whole.err << what;
    ASSERT_EQ(first.status, 0) << first.err << what;
    ASSERT_EQ(rest.status, 0) << rest.err << what;
    const Json a = read_dump(dir / "whole.json", true), b = read_dump(dir / "rest.json", true);
    for (const auto& [key, value] : a.items()) EXPECT_EQ(value, b[key]) << key << " in " << what;
    EXPECT_TRUE(read_file(dir / "whole.png") == read_file(dir / "rest.png")) << what;
    // the recording names its save, and replays from it with nothing else said
    if (n % 5 != 0) continue;
    EXPECT_NE(read_file(rec).find("# save " + fs::absolute(save).string() + "\n"),
              std::string::npos);
    const GameRun replay = finish(
        spawn({"kelvarot", "--headless", "--script", rec, "--dump-state", dir / "replay.json"},
              dir),
        dir);
    EXPECT_EQ(replay.status, 0) << replay.err;
    EXPECT_EQ(read_dump(dir / "replay.json", true), a) << what;
  }
}

// The sections of a save: where each begins and its tag.
std::vector<std::pair<size_t, std::string>> sections_of(const std::string& save) {
  std::vector<std::pair<size_t, std::string>> out;
  for (size_t at = 16; at + 8 <= save.size();) {
    uint32_t size = 0;
    std::memcpy(&size, save.data() + at + 4, 4);
    out.emplace_back(at, save.substr(at, 4));
    at += 12 + size;
  }
  return out;
}

// Puts a little-endian word at `at` of the section beginning at `section`, sealing it again.
std::string patched(std::string save, size_t section, size_t at, uint32_t value) {
  std::memcpy(save.data() + section + 8 + at, &value, 4);
  uint32_t size = 0;
  std::memcpy(&size, save.data() + section + 4, 4);
  const uint32_t crc =
      uint32_t(crc32(0, reinterpret_cast<const Bytef*>(save.data() + section), 8 + size));
  std::memcpy(save.data() + section + 8 + size, &crc, 4);
  return save;
}

TEST(SavedGames, DamagedOrForeignSavesAreRefusedInOneLineWithoutStarting) {
  ScratchDir dir;
  const std::string good = dir / "good.sav";
  const GameRun made =
      run_game("0 tap TAB\n2 type env4block\n30 tap ENTER\n", 60, dir, {"--save", good});
  ASSERT_EQ(made.status, 0) << made.err;
  const std::string save = read_file(good);
  const auto sections = sections_of(save);
  ASSERT_EQ(sections.size(), 5u);
  std::vector<std::pair<std::string, std::string>> cases;  // the file, a word its line names
  auto version = [&](uint32_t v) {
    std::string s = save;
    std::memcpy(s.data() + 8, &v, 4);
    return s;
  };
  cases.push_back({version(0), "version 0"});
  cases.push_back({version(999), "version 999"});
  cases.push_back({save.substr(0, 5), "not a kelvarot save"});
  for (size_t k = 0; k < sections.size(); ++k) {
    const auto& [at, raw] = sections[k];
    const std::string tag = raw.substr(0, raw.find_last_not_of(' ') + 1);
    const size_t end = k + 1 < sections.size() ? sections[k + 1].first : save.size();
    cases.push_back({save.substr(0, at), tag});
    cases.push_back({save.substr(0, (at + end) / 2), tag});
    std::string flipped = save;
    flipped[(at + 8 + end - 4) / 2] ^= 0x20;
    cases.push_back({flipped, tag});
  }
  cases.push_back({save + "x", "follow"});
  cases.push_back({patched(save, sections[1].first, 12, 9), "zoom 9"});  // seed, frame (8), zoom
  cases.push_back({patched(save, sections[3].first, 0, 3001), "unit count 3001"});
  cases.push_back({patched(save, sections[4].first, 0, 0xffffffffu), "cell count"});
  // another map: the same pictures beside a map with one cell changed
  fs::create_directories(dir / "other/map");
  for (const fs::directory_entry& e : fs::directory_iterator(build_dir()))
    if (e.path().filename().string().rfind("bmp_", 0) == 0)
      fs::create_directory_symlink(fs::absolute(e.path()), dir / "other" / e.path().filename());
  std::string map = read_file(build_dir() + "/map/8.overworld");
  map[5000] = char(map[5000] ^ 1);
  write_file(dir / "other/map/8.overworld", map);
  cases.push_back({save, "another map"});
  for (size_t i = 0; i < cases.size(); ++i) {
    const bool foreign = i + 1 == cases.size();
    write_file(dir / "bad.sav", cases[i].first);
    Argv extra = {"--load", dir / "bad.sav"};
    if (foreign) extra.insert(extra.end(), {"--data", dir / "other"});
    const GameRun r = run_game("", 80, dir, extra);
    EXPECT_EQ(r.status, 2) << cases[i].second << ": " << r.err;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << "one line: " << r.err;
    EXPECT_NE(r.err.find(cases[i].second), std::string::npos) << r.err;
    EXPECT_TRUE(r.dump.is_null()) << "the game ran: " << cases[i].second;
  }
  EXPECT_EQ(read_file(good), save) << "loading never writes";
}

TEST(TimedDemo, ReplaysTheRecordingWithItsSeedAndLengthAndReportsItsFigures) {
  ScratchDir dir;
  const std::string rec = dir / "game.rec";
  const GameRun played = run_game("0 tap 1\n5 pointer 300 200\n6 click right\n40 tap F5\n", 90, dir,
                                  {"--seed", "12", "--record", rec});
  ASSERT_EQ(played.status, 0) << played.err;
  const std::string out = dir / "stdout.txt";
  const std::string cmd = kelvarot() + " --timedemo " + rec + " --dump-state " +
                          (dir / "demo.json") + " >" + out + " 2>/dev/null";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  const std::string line = read_file(out);
  EXPECT_EQ(line.rfind("timedemo: 90 passes in ", 0), 0u) << line;
  EXPECT_EQ(line.find('\n'), line.size() - 1) << line;
  Json demo = read_dump(dir / "demo.json", true);
  ASSERT_TRUE(demo.contains("timedemo"));
  const Json figures = demo["timedemo"];
  EXPECT_EQ(figures["passes"], 90);
  EXPECT_GT(figures["passes_per_s"].get<double>(), 0);
  EXPECT_GE(figures["frame_work_worst_cpu_ms"].get<double>(),
            figures["frame_work_p99_cpu_ms"].get<double>() - 0.01);
  EXPECT_GT(figures["peak_rss_kb"].get<int64_t>(), 0);
  demo.erase("timedemo");
  EXPECT_EQ(demo, read_dump(dir / "state.json", true));
}

}  // namespace
