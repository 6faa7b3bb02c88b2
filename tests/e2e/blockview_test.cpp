// The block view in the real binary, headless: unit 1 walking under the left
// button over map 8's rock, and what F5 shows of it.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <tuple>

#include "e2e/harness.h"

namespace {

constexpr size_t kLevel = 1024 * 1024;  // bytes per level of the map file

// The first seed that puts unit 1 on dry land of level 1 with rock (61) under
// its cell and under the view origin, and no wall on level 1 within two cells.
TEST(BlockViewRun, LeftButtonLooksAndWalksUnitOneAcrossTheRockShownTextured) {
  const std::string map = read_file(build_dir() + "/map/8.overworld");
  ASSERT_EQ(map.size(), 3 * kLevel) << build_dir() << "/map/8.overworld";
  auto code = [&](int64_t x, int64_t y, int64_t z) {
    return uint8_t(map[size_t(z) * kLevel + size_t(y) * 1024 + size_t(x)]);
  };
  ScratchDir dir;
  int seed = 0;
  int64_t x = 0, y = 0;
  for (bool found = false; !found;) {
    ASSERT_LE(++seed, 60) << "no seed in 1..60 puts unit 1 on land over rock";
    const GameRun r = run_script("", 1, dir, {"--seed", std::to_string(seed)});
    ASSERT_EQ(r.status, 0) << r.err;
    const Json& u = unit_in(r.dump, 1);
    x = u["x"].i(), y = u["y"].i();
    found = x >= 3 && y >= 3 && x <= 1020 && y <= 1020 && u["level"].i() == 1 &&
            code(x, y, 1) != 14 && code(x, y, 1) != 15 && code(x, y, 2) == 61 &&
            code(r.dump["SX"].i(), r.dump["SY"].i(), 2) == 61;
    for (int64_t dy = -2; dy <= 2 && found; ++dy)
      for (int64_t dx = -2; dx <= 2; ++dx) found &= code(x + dx, y + dy, 1) != 61;
  }
  // The button goes down once the view is up (at 640 wide it would select).
  // Pointer y 60: pitch -60, looking 30 degrees below level.
  const GameRun r = run_script("0 tap F5\n2 pointer 160 60\n2 button left down\n", 40, dir,
                               {"--seed", std::to_string(seed), "--screenshot", dir / "b.png"});
  ASSERT_EQ(r.status, 0) << r.err;
  const Json& u = unit_in(r.dump, 1);
  EXPECT_EQ(std::tuple(r.dump["width"].i(), r.dump["camera"]["pitch"].number,
                       r.dump["camera"]["yaw"].number),
            std::tuple(320, -60.0, 20.0 - 320.0));
  // Steps on frames divisible by 3 (divisor 30) from frame 3, the first with
  // the new look: frames 3, 6, ..., 39.
  EXPECT_EQ(u["walk_phase"].number, 13.0);
  // Each step is a tenth of a cell times sin 60 toward yaw -300: +sin 60
  // columns, -cos 60 rows.
  const double step = 0.1 * std::sin(M_PI / 3);
  EXPECT_NEAR(u["x"].i() + 1.0 - u["fx"].number, x + 0.5 + 13 * step * std::sin(M_PI / 3), 0.01);
  EXPECT_NEAR(u["y"].i() + u["fy"].number, y + 0.5 - 13 * step * std::cos(M_PI / 3), 0.01);
  EXPECT_NEAR(u["fz"].number, 0.54, 0.024 + 1e-6);  // the bob keeps its band
  EXPECT_EQ(std::tuple(u["level"].i(), r.dump["SZ"].i()), std::tuple(1, 1));
  // The top edge of the view looks 7.5 degrees below level, so textured rock
  // fills the picture: only text could leave black behind. Banner and status
  // lines in yellow, the white cursor at the pointer.
  EXPECT_TRUE(picture_shows(dir / "b.png", "size=320x240 filled banner yellow_text cross=160,60"));
}

}  // namespace
