#include <gtest/gtest.h>

#include "e2e/harness.h"
#include "e2e/png_read.h"

namespace {

TEST(HeadlessRun, ThreeFramesLeaveADumpAndA640x480Screenshot) {
  ScratchDir dir;
  const GameRun r = run_game({"--headless", "--frames", "3", "--screenshot", dir / "s.png"}, dir);
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_TRUE(r.has_dump);
  const Json& d = r.dump;
  EXPECT_EQ(d["frame"].i(), 3);
  EXPECT_EQ(d["width"].i(), 640);
  EXPECT_EQ(d["height"].i(), 480);
  EXPECT_EQ(d["zoom"].i(), 2);
  EXPECT_EQ(d["selected_unit"].i(), 1);
  EXPECT_EQ(d["screensaver"].i(), 0);
  EXPECT_EQ(d["tick_divisor"].d(), 30.0);
  EXPECT_EQ(d["minimap"]["shown"].i(), 1);
  EXPECT_EQ(d["minimap"]["x"].i(), 518);
  EXPECT_EQ(d["minimap"]["y"].i(), 338);
  EXPECT_EQ(d["status"].size(), 3u);
  for (const char* key : {"SX", "SY", "SZ", "paused_ms", "bitmaps_loaded", "map_loaded",
                          "object_count", "planning", "units", "console", "camera", "probes"})
    EXPECT_TRUE(d.has(key)) << key;
  Picture pic;
  ASSERT_TRUE(read_png(dir / "s.png", &pic));
  EXPECT_EQ(pic.width, 640);
  EXPECT_EQ(pic.height, 480);
}

TEST(HeadlessRun, F5HeldInPassOneGivesTheBlockViewResolution) {
  ScratchDir dir;
  const GameRun r = run_script("1 key F5 down\n2 key F5 up\n5 tap ESCAPE\n", 100, dir,
                               {"--screenshot", dir / "b.png"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.dump["width"].i(), 320);
  EXPECT_EQ(r.dump["height"].i(), 240);
  EXPECT_EQ(r.dump["zoom"].i(), 2);
  EXPECT_EQ(r.dump["frame"].i(), 6);  // Escape ends the run after pass 5
  EXPECT_EQ(r.dump["quit"].i(), 1);
  Picture pic;
  ASSERT_TRUE(read_png(dir / "b.png", &pic));
  EXPECT_EQ(pic.width, 320);
  EXPECT_EQ(pic.height, 240);
}

TEST(HeadlessRun, PausesAreCountedNotSlept) {
  ScratchDir dir;
  // three level changes at 380 ms each, and the selection key's 60 ms
  const GameRun r = run_script("0 tap ADD\n2 tap ADD\n4 tap SUBTRACT\n6 tap RBRACKET\n", 8, dir,
                               {"--data", dir.path.string()});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.dump["paused_ms"].i(), 3 * 380 + 60);
}

TEST(HeadlessRun, ProbesReportTileCodes) {
  ScratchDir dir;
  const GameRun r = run_game({"--headless", "--frames", "1", "--probe", "0,0,0", "--probe",
                              "5,6,179", "--probe", "-1,2,3"},
                             dir);
  ASSERT_EQ(r.status, 0) << r.err;
  const Json& p = r.dump["probes"];
  ASSERT_EQ(p.size(), 3u);
  EXPECT_EQ(p[1]["x"].i(), 5);
  EXPECT_EQ(p[1]["y"].i(), 6);
  EXPECT_EQ(p[1]["z"].i(), 179);
  EXPECT_EQ(p[1]["code"].i(), 0);
  EXPECT_EQ(p[2]["code"].i(), 0);  // outside the grid reads as empty
}

TEST(CommandLineOptions, BadOptionsAndScriptsExitWithStatusTwoAndStartNothing) {
  ScratchDir dir;
  const std::vector<std::vector<std::string>> bad = {
      {"--frames", "0"},        {"--frames", "x"},     {"--frames"},
      {"--seed", "-1"},         {"--probe", "1,2"},    {"--bogus"},
      {"--script", dir / "none.txt"},
  };
  for (const auto& args : bad) {
    std::vector<std::string> a = {"--headless"};
    a.insert(a.end(), args.begin(), args.end());
    const GameRun r = run_game(a, dir);
    EXPECT_EQ(r.status, 2) << args[0];
    EXPECT_FALSE(r.has_dump) << args[0];
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << "one line: " << r.err;
  }
  write_file(dir / "bad.txt", "0 tap A\n1 tap NOPE\n");
  const GameRun r = run_game({"--headless", "--script", dir / "bad.txt"}, dir);
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("line 2"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("NOPE"), std::string::npos) << r.err;
}

TEST(CommandLineOptions, HelpListsEveryOptionAndVersionPrints) {
  ScratchDir dir;
  const std::string out = dir / "out.txt";
  const std::string exe = build_dir() + "/kelvarot";
  ASSERT_EQ(std::system((exe + " --help > " + out).c_str()), 0);
  const std::string help = read_file(out);
  for (const char* opt : {"--headless", "--frames", "--seed", "--script", "--screenshot",
                          "--dump-state", "--probe", "--data", "--no-vsync", "--version"})
    EXPECT_NE(help.find(opt), std::string::npos) << opt;
  for (const char* key : {"Escape", "F5", "F6", "Tab", "keypad"})
    EXPECT_NE(help.find(key), std::string::npos) << key;
  ASSERT_EQ(std::system((exe + " --version > " + out).c_str()), 0);
  EXPECT_EQ(read_file(out).rfind("kelvarot ", 0), 0u);
}

TEST(WindowFailure, NoDisplayWithoutHeadlessSaysWhyAndExitsOne) {
  ScratchDir dir;
  const GameRun r = run_game({"--frames", "5"}, dir, true,
                             {"DISPLAY=", "WAYLAND_DISPLAY=", "SDL_VIDEODRIVER="});
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_NE(r.err.find("Failed To Register The Window Class."), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("--headless"), std::string::npos) << r.err;
}

TEST(Signals, SigtermEndsTheRunCleanly) {
  ScratchDir dir;
  const std::string exe = build_dir() + "/kelvarot";
  const std::string dump = dir / "d.json";
  const pid_t pid = fork();
  if (pid == 0) {
    execl(exe.c_str(), exe.c_str(), "--headless", "--dump-state", dump.c_str(), "--data",
          dir.path.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  usleep(1500 * 1000);
  kill(pid, SIGTERM);
  int ws = 0;
  waitpid(pid, &ws, 0);
  ASSERT_TRUE(WIFEXITED(ws));
  EXPECT_EQ(WEXITSTATUS(ws), 0);
  const Json d = parse_json(read_file(dump));
  EXPECT_EQ(d["quit"].i(), 1);
  EXPECT_GT(d["frame"].i(), 0);
}

}  // namespace
