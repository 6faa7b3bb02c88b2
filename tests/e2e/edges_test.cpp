// The binary at the edges: picture data past the budget, names that could break a line, no
// data at all, a unit sent past the grid's edge.
#include <gtest/gtest.h>

#include <algorithm>

#include "e2e/harness.h"

namespace fs = std::filesystem;

namespace {

// A 24-bit BMP header for w x h pixels; the pixels are what the file holds after it.
std::string bmp_header(uint32_t w, uint32_t h) {
  std::string b(54, '\0');
  auto put = [&](size_t at, uint32_t v) {
    for (size_t k = 0; k < 4; ++k) b[at + k] = char(v >> 8 * k);
  };
  b[0] = 'B', b[1] = 'M', b[26] = 1, b[28] = 24;
  put(10, 54), put(14, 40), put(18, w), put(22, h);
  return b;
}

TEST(PictureBudget, PicturesPastTheTotalAreRefusedInOneLineAndTheRestLoad) {
  const char* land[] = {"plain", "forest", "forest_fruit", "forest_gray", "water", "water_deep"};
  for (const auto& [big, refused] : {std::pair{5, 0}, {6, 1}}) {
    ScratchDir dir;  // 48 MiB of pixels each, sparse on disk, and a short map
    fs::create_directories(dir / "data/map"), fs::create_directories(dir / "data/bmp_land");
    write_file(dir / "data/map/8.overworld", "x");
    for (int i = 0; i < big; ++i) {
      const std::string f = dir / ("data/bmp_land/" + std::string(land[i]) + ".bmp");
      write_file(f, bmp_header(4096, 4096));
      fs::resize_file(f, 54 + 4096 * 4096 * 3);
    }
    const GameRun r = run_game("", 2, dir, {"--data", dir / "data"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.dump.at("bitmaps_loaded"), big - refused);
    const size_t said = r.err.find("1 pictures refused");
    EXPECT_EQ(said != r.err.npos && r.err.find("water_deep", said) != r.err.npos, refused > 0)
        << r.err;
  }
}

TEST(Messages, NamesAreQuotedAndNoDataAtAllEndsTheRun) {
  ScratchDir dir;
  const std::string odd = dir / "a\nb\x1b[2J", empty = dir / "empty", one = dir / "one";
  fs::create_directories(empty), fs::create_directories(one + "/bmp_cross");
  write_file(one + "/bmp_cross/cross4.bmp", bmp_header(1, 1) + "abc");
  const struct {
    Argv args;
    int status, lines;
    std::string says;
  } cases[] = {
      {{"--script", odd}, 2, 1, "cannot read script '" + dir / "a\\x0ab\\x1b[2J'"},
      {{"--dump-state", odd + "/x"}, 2, 1, "is not there"},
      {{"--data", odd}, 1, 1, "no game data: "},
      {{"--data", empty}, 1, 1, "looked in '" + empty + "'"},
      {{"--data", one}, 0, 2, "216 of 217 pictures failed"},  // one picture is enough
      {{"--record", odd}, 0, 1, "input recorded to '"},
  };
  for (const auto& k : cases) {
    Argv args = {"kelvarot", "--headless", "--frames", "2"};
    args.insert(args.end(), k.args.begin(), k.args.end());
    const GameRun r = finish(spawn(args, dir), dir);
    EXPECT_EQ(r.status, k.status) << r.err;
    EXPECT_NE(r.err.find(k.says), r.err.npos) << r.err;
    EXPECT_EQ(std::ranges::count(r.err, '\n'), k.lines) << r.err;
    EXPECT_TRUE(std::ranges::all_of(r.err, [](char c) {
      return c == '\n' || (c >= ' ' && c < 127);
    })) << r.err;
  }
}

// In the pass of a teleport the view origin lies past the grid: a right click there sends the
// selected unit past the edge.
TEST(Orders, AUnitSentPastTheGridsEdgeArrivesOnTheEdgeCellNearestItsTarget) {
  const struct {
    const char* teleport;
    int pointer_x, pointer_y, x, y;
  } cases[] = {
      {"1020 640 2", 639, 8, 1023, 640},
      {"640 1020 2", 8, 479, 640, 1023},
      {"1020 1020 2", 639, 479, 1023, 1023},
  };
  for (const auto& k : cases) {
    ScratchDir dir;
    const GameRun r =
        run_game("0 pointer 320 470\n2 tap TAB\n4 type env4teleport " + std::string(k.teleport) +
                     "\n60 pointer " + std::to_string(k.pointer_x) + " " +
                     std::to_string(k.pointer_y) + "\n60 tap ENTER\n60 click right\n",
                 2000, dir, {"--seed", "4242"});
    ASSERT_EQ(r.status, 0) << r.err;
    const Json& u = unit_in(r.dump, 1);
    EXPECT_EQ(std::tuple(u.at("x"), u.at("y"), u.at("order_state")), std::tuple(k.x, k.y, 3))
        << k.teleport;
  }
}

}  // namespace
