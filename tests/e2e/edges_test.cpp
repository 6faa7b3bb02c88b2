// The binary at the edges: pictures past the budget, names that could break a line, no data.
#include <gtest/gtest.h>

#include <algorithm>

#include "e2e/harness.h"

namespace fs = std::filesystem;

namespace {

// A picture of w x h pixels; the pixels are the n bytes after the header (zeros, sparse).
void write_bmp(const std::string& path, uint32_t w, uint32_t h, uint32_t n) {
  std::string b(54, '\0');
  for (auto [at, v] : {std::pair{10u, 54u}, {14u, 40u}, {18u, w}, {22u, h}})
    for (size_t k = 0; k < 4; ++k) b[at + k] = char(v >> 8 * k);
  b[0] = 'B', b[1] = 'M', b[26] = 1, b[28] = 24;
  write_file(path, b);
  fs::resize_file(path, 54 + n);
}

TEST(Messages, NamesAreQuotedPicturesPastTheBudgetRefusedAndNoDataAtAllEndsTheRun) {
  ScratchDir dir;
  const std::string odd = dir / "a\nb\x1b[2J", empty = dir / "empty", one = dir / "one";
  fs::create_directories(empty), fs::create_directories(one + "/bmp_cross");
  write_bmp(one + "/bmp_cross/cross4.bmp", 1, 1, 4);
  const char* land[] = {"plain", "forest", "forest_fruit", "forest_gray", "water", "water_deep"};
  for (const int big : {5, 6}) {  // 48 MiB of pixels each, and a short map
    const std::string data = dir / ("big" + std::to_string(big));
    fs::create_directories(data + "/map"), fs::create_directories(data + "/bmp_land");
    write_file(data + "/map/8.overworld", "x");
    for (int i = 0; i < big; ++i)
      write_bmp(data + "/bmp_land/" + land[i] + ".bmp", 4096, 4096, 48 << 20);
  }
  const std::tuple<Argv, int, int, std::string> cases[] = {
      {{"--script", odd}, 2, 1, "cannot read script '" + dir / "a\\x0ab\\x1b[2J'"},
      {{"--dump-state", odd + "/x"}, 2, 1, "is not there"},
      {{"--data", odd}, 1, 1, "no game data: "},
      {{"--data", empty}, 1, 1, "map/8.overworld' is missing; looked in '" + empty + "'"},
      {{"--data", one}, 0, 2, "216 of 217 pictures failed"},  // one picture is enough
      {{"--record", odd}, 0, 1, "input recorded to '"},
      {{"--data", dir / "big5"}, 0, 2, "212 of 217 pictures failed"},
      {{"--data", dir / "big6"}, 0, 3, "pixels ('" + dir / "big6/bmp_land/water_deep.bmp')"},
  };
  for (const auto& [extra, status, lines, says] : cases) {
    Argv args = {"kelvarot", "--headless", "--frames", "2"};
    args.insert(args.end(), extra.begin(), extra.end());
    const GameRun r = finish(spawn(args, dir), dir);
    // the only bytes not printed as they are: the lines' ends
    const auto unprintable = [](unsigned char c) { return c < ' ' || c > '~'; };
    EXPECT_EQ(std::tuple(r.status, std::ranges::count_if(r.err, unprintable)),
              std::tuple(status, lines));
    EXPECT_NE(r.err.find(says), r.err.npos) << r.err;
  }
}

// In a teleport's pass the view origin lies past the grid: a right click there goes past it.
TEST(Orders, AUnitSentPastTheGridsEdgeArrivesOnTheEdgeCellNearestItsTarget) {
  for (const auto& [to, at, x, y] : {std::tuple{"1020 640", "639 8", 1023, 640},
                                     {"640 1020", "8 479", 640, 1023},
                                     {"1020 1020", "639 479", 1023, 1023}}) {
    ScratchDir dir;
    const GameRun r =
        run_game("0 pointer 320 470\n2 tap TAB\n4 type env4teleport " + std::string(to) +
                     " 2\n60 pointer " + at + "\n60 tap ENTER\n60 click right\n",
                 2000, dir, {"--seed", "4242"});
    const Json& u = unit_in(r.dump, 1);
    EXPECT_EQ(std::tuple(u.at("x"), u.at("y"), u.at("order_state")), std::tuple(x, y, 3)) << to;
  }
}

}  // namespace
