// The block view in the real binary, headless: what F5 shows over map 8's
// rock, and unit 1 walking under the left button.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <set>
#include <string>

#include "e2e/harness.h"
#include "e2e/png_read.h"

namespace {

constexpr size_t kLevel = 1024 * 1024;  // bytes per level of the map file

const Json& unit_record(const Json& dump, int64_t index) {
  for (const Json& u : dump["units"].items)
    if (u["index"].i() == index) return u;
  throw std::runtime_error("no unit record " + std::to_string(index));
}

struct SurfaceStart {
  int seed = 0;
  int64_t x = 0, y = 0;  // unit 1's cell on level 1
};

// A seed that puts unit 1 on dry land of level 1 with rock (61) under its
// cell and under the view origin, and no wall on level 1 within two cells.
std::optional<SurfaceStart> find_surface_start(const ScratchDir& dir, std::string* why) {
  const std::string map = read_file(build_dir() + "/map/8.overworld");
  if (map.size() != 3 * kLevel) {
    *why = "map/8.overworld holds " + std::to_string(map.size()) + " bytes";
    return std::nullopt;
  }
  auto code = [&](int64_t x, int64_t y, int64_t z) {
    return uint8_t(map[size_t(z) * kLevel + size_t(y) * 1024 + size_t(x)]);
  };
  for (int seed = 1; seed <= 60; ++seed) {
    const GameRun r =
        run_game({"--headless", "--frames", "1", "--seed", std::to_string(seed)}, dir);
    if (r.status != 0 || !r.has_dump) {
      *why = "seed " + std::to_string(seed) + ": status " + std::to_string(r.status) + " " + r.err;
      continue;
    }
    const Json& u = unit_record(r.dump, 1);
    const int64_t x = u["x"].i(), y = u["y"].i();
    if (x < 3 || y < 3 || x > 1020 || y > 1020 || u["level"].i() != 1) continue;
    const uint8_t ground = code(x, y, 1);
    if (ground == 14 || ground == 15 || code(x, y, 2) != 61) continue;
    if (code(r.dump["SX"].i(), r.dump["SY"].i(), 2) != 61) continue;
    bool walls = false;
    for (int64_t dy = -2; dy <= 2; ++dy)
      for (int64_t dx = -2; dx <= 2; ++dx) walls |= code(x + dx, y + dy, 1) == 61;
    if (!walls) return SurfaceStart{seed, x, y};
  }
  return std::nullopt;
}

class BlockViewRun : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    start = find_surface_start(dir, &why);
    ASSERT_TRUE(start) << "no seed in 1..60 puts unit 1 on land over rock in " << build_dir()
                       << "/map/8.overworld; last problem: " << why;
  }
  GameRun run(const std::string& script, int frames, std::vector<std::string> extra = {}) {
    write_file(dir / "input.txt", script);
    std::vector<std::string> args = {"--headless", "--frames", std::to_string(frames), "--script",
                                     dir / "input.txt", "--seed", std::to_string(start->seed)};
    args.insert(args.end(), extra.begin(), extra.end());
    return run_game(args, dir);
  }
  ScratchDir dir;
  std::optional<SurfaceStart> start;
};

TEST_F(BlockViewRun, F5ShowsTexturedRockUnderTextAndCursor) {
  // pointer y 60 with the right button: pitch -60, looking 30 degrees below level
  const GameRun r = run("0 tap F5\n2 pointer 160 60\n2 button right down\n3 button right up\n", 6,
                        {"--screenshot", dir / "block.png"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.dump["width"].i(), 320);
  EXPECT_EQ(r.dump["camera"]["pitch"].d(), -60.0);
  EXPECT_EQ(r.dump["camera"]["yaw"].d(), 20.0 - 320.0);
  Picture pic;
  ASSERT_TRUE(read_png(dir / "block.png", &pic));
  ASSERT_EQ(pic.width, 320);
  ASSERT_EQ(pic.height, 240);

  // The top edge of the view looks 7.5 degrees below level, so the rock
  // fills the whole picture: only text could leave black behind.
  int lit = 0;
  std::set<int> colours;
  for (int y = 0; y < 240; ++y)
    for (int x = 0; x < 320; ++x) {
      const unsigned char* p = pic.at(x, y);
      if (p[0] || p[1] || p[2]) ++lit;
      const int c = p[0] << 16 | p[1] << 8 | p[2];
      if (c != 0xffff00 && c != 0xffffff) colours.insert(c);  // not text or cursor
    }
  EXPECT_GT(lit, 320 * 240 * 9 / 10);
  EXPECT_GE(colours.size(), 5u);  // a texture's shades, not a flat fill

  auto yellow_in_rows = [&](int top, int bottom) {
    int n = 0;
    for (int y = top; y <= bottom; ++y)
      for (int x = 0; x < 320; ++x) {
        const unsigned char* p = pic.at(x, y);
        n += p[0] == 255 && p[1] == 255 && p[2] == 0;
      }
    return n;
  };
  EXPECT_GT(yellow_in_rows(0, 30), 50);     // banner lines at the top
  EXPECT_GT(yellow_in_rows(170, 210), 200);  // status lines, y 32..70 from the bottom
  // the white cross at the pointer (160, 60), rows counted from the top here
  for (auto [dx, dy] : {std::pair{0, 0}, {5, 0}, {-5, 0}, {0, 5}, {0, -5}}) {
    const unsigned char* p = pic.at(160 + dx, 239 - (60 + dy));
    EXPECT_EQ(p[0] + p[1] + p[2], 3 * 255) << dx << "," << dy;
  }
}

TEST_F(BlockViewRun, LeftButtonWalksUnitOneLevelAcrossTheRock) {
  // the button goes down once the view is up (at 640 wide it would select)
  const GameRun r = run("0 tap F5\n2 pointer 160 90\n2 button left down\n", 40);
  ASSERT_EQ(r.status, 0) << r.err;
  const Json& u = unit_record(r.dump, 1);
  EXPECT_EQ(r.dump["camera"]["pitch"].d(), -90.0);
  EXPECT_EQ(r.dump["camera"]["yaw"].d(), -300.0);
  // Steps on frames divisible by 3 (divisor 30) from frame 3, the first with
  // the level look: frames 3, 6, ..., 39.
  EXPECT_EQ(u["walk_phase"].d(), 13.0);
  // Each step is a tenth of a cell toward yaw -300: +sin 60 columns, -cos 60 rows.
  const double col = double(u["x"].i()) + 1.0 - u["fx"].d();
  const double row = double(u["y"].i()) + u["fy"].d();
  EXPECT_NEAR(col, double(start->x) + 0.5 + 1.3 * std::sin(M_PI / 3), 0.01);
  EXPECT_NEAR(row, double(start->y) + 0.5 - 1.3 * std::cos(M_PI / 3), 0.01);
  EXPECT_EQ(u["level"].i(), 1);
  // the bob keeps the height fraction in its band
  EXPECT_GE(u["fz"].d(), 0.516 - 1e-6);
  EXPECT_LE(u["fz"].d(), 0.564 + 1e-6);
  // walking leaves the view origin where it was
  EXPECT_EQ(r.dump["SZ"].i(), 1);
}

}  // namespace
