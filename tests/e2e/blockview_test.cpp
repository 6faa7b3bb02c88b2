// The block view in the real binary, headless: what F5 shows over map 8's
// rock, and unit 1 walking under the left button.
#include <gtest/gtest.h>

#include <cmath>
#include <tuple>
#include <string>

#include "e2e/harness.h"

namespace {

constexpr size_t kLevel = 1024 * 1024;  // bytes per level of the map file

// Runs with a seed that puts unit 1 on dry land of level 1 with rock (61) over
// its cell and over the view origin, and no wall on level 1 within two cells.
class BlockViewRun : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string map = read_file(build_dir() + "/map/8.overworld");
    ASSERT_EQ(map.size(), 3 * kLevel) << build_dir() << "/map/8.overworld";
    auto code = [&](int64_t x, int64_t y, int64_t z) {
      return uint8_t(map[size_t(z) * kLevel + size_t(y) * 1024 + size_t(x)]);
    };
    for (seed = 1; seed <= 60; ++seed) {
      const GameRun r = run_script("", 1, dir, {"--seed", std::to_string(seed)});
      ASSERT_EQ(r.status, 0) << r.err;
      const Json& u = unit_in(r.dump, 1);
      x = u["x"].i(), y = u["y"].i();
      if (x < 3 || y < 3 || x > 1020 || y > 1020 || u["level"].i() != 1) continue;
      if (code(x, y, 1) == 14 || code(x, y, 1) == 15 || code(x, y, 2) != 61) continue;
      if (code(r.dump["SX"].i(), r.dump["SY"].i(), 2) != 61) continue;
      bool walls = false;
      for (int64_t dy = -2; dy <= 2; ++dy)
        for (int64_t dx = -2; dx <= 2; ++dx) walls |= code(x + dx, y + dy, 1) == 61;
      if (!walls) return;
    }
    FAIL() << "no seed in 1..60 puts unit 1 on land under rock";
  }
  GameRun run(const std::string& script, int frames, std::vector<std::string> extra = {}) {
    extra.insert(extra.begin(), {"--seed", std::to_string(seed)});
    return run_script(script, frames, dir, extra);
  }
  ScratchDir dir;
  int seed = 0;
  int64_t x = 0, y = 0;  // unit 1's cell on level 1
};

TEST_F(BlockViewRun, F5ShowsTexturedRockUnderTextAndCursor) {
  // pointer y 60 with the right button: pitch -60, looking 30 degrees below level
  const GameRun r = run("0 tap F5\n2 pointer 160 60\n2 button right down\n3 button right up\n", 6,
                        {"--screenshot", dir / "block.png"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(std::tuple(r.dump["width"].i(), r.dump["camera"]["pitch"].d(),
                       r.dump["camera"]["yaw"].d()),
            std::tuple(320, -60.0, 20.0 - 320.0));
  // The top edge of the view looks 7.5 degrees below level, so textured rock
  // fills the picture: only text could leave black behind. Banner and status
  // lines in yellow, the white cursor at the pointer.
  EXPECT_TRUE(
      picture_shows(dir / "block.png", "size=320x240 filled banner yellow_text cross=160,60"));
}

TEST_F(BlockViewRun, LeftButtonWalksUnitOneLevelAcrossTheRock) {
  // the button goes down once the view is up (at 640 wide it would select)
  const GameRun r = run("0 tap F5\n2 pointer 160 90\n2 button left down\n", 40);
  ASSERT_EQ(r.status, 0) << r.err;
  const Json& u = unit_in(r.dump, 1);
  EXPECT_EQ(std::tuple(r.dump["camera"]["pitch"].d(), r.dump["camera"]["yaw"].d()),
            std::tuple(-90.0, -300.0));
  // Steps on frames divisible by 3 (divisor 30) from frame 3, the first with
  // the level look: frames 3, 6, ..., 39.
  EXPECT_EQ(u["walk_phase"].d(), 13.0);
  // Each step is a tenth of a cell toward yaw -300: +sin 60 columns, -cos 60 rows.
  const double col = double(u["x"].i()) + 1.0 - u["fx"].d();
  const double row = double(u["y"].i()) + u["fy"].d();
  EXPECT_NEAR(col, double(x) + 0.5 + 1.3 * std::sin(M_PI / 3), 0.01);
  EXPECT_NEAR(row, double(y) + 0.5 - 1.3 * std::cos(M_PI / 3), 0.01);
  EXPECT_NEAR(u["fz"].d(), 0.54, 0.024 + 1e-6);  // the bob keeps its band
  EXPECT_EQ(std::tuple(u["level"].i(), r.dump["SZ"].i()), std::tuple(1, 1));
}

}  // namespace
