// The entered line: splitting into words, matching the command words, and what each command does.
#include <gtest/gtest.h>

#include <climits>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "console/console_rig.h"

namespace {

struct CellCode {
  int32_t x, y, z;
  uint8_t code;
};

// Fills the 3 x 3 x 3 cells around (x, y, z) with plain ground so writes of 0 show.
void fill_box(ConsoleRig& r, int32_t x, int32_t y, int32_t z) {
  for (int32_t dz = -1; dz <= 1; ++dz)
    for (int32_t dy = -1; dy <= 1; ++dy)
      for (int32_t dx = -1; dx <= 1; ++dx) r.cell(x + dx, y + dy, z + dz) = kTilePlain;
}

// Every cell of the box holds plain ground except the listed ones.
void expect_box(ConsoleRig& r, int32_t x, int32_t y, int32_t z, const std::vector<CellCode>& changed,
                const std::string& what) {
  for (int32_t dz = -1; dz <= 1; ++dz)
    for (int32_t dy = -1; dy <= 1; ++dy)
      for (int32_t dx = -1; dx <= 1; ++dx) {
        const int32_t cx = x + dx, cy = y + dy, cz = z + dz;
        uint8_t want = kTilePlain;
        for (const CellCode& c : changed)
          if (c.x == cx && c.y == cy && c.z == cz) want = c.code;
        EXPECT_EQ(r.cell(cx, cy, cz), want) << what << " at " << cx << "," << cy << "," << cz;
      }
}

// The words of a line, as many as the slots hold.
std::vector<std::string> words_of(ConsoleRig& r, const std::string& line, int32_t* count) {
  std::snprintf(r.console.line, sizeof r.console.line, "%s", line.c_str());
  *count = tokenize_line(r.console);
  std::vector<std::string> out;
  for (int32_t i = 0; i < kTokenSlots; ++i) out.push_back(token(r.console, i));
  return out;
}

TEST(CommandLineWords, SplitAtDelimiterRunsIntoTheSlotsWithNoEmptyWords) {
  std::string sixty;
  std::vector<std::string> first_twenty(kTokenSlots);
  for (int i = 0; i < 60; ++i) {
    std::string w = std::to_string(i);
    w.insert(w.begin(), 'w');
    sixty += w + ' ';
    if (i < kTokenSlots) first_twenty[size_t(i)] = w;
  }
  const struct {
    std::string line;
    int32_t count;
    std::vector<std::string> words;  // the first slots; the rest are empty
  } cases[] = {
      {"  env4teleport--5,,6\t7 -\n", 4, {"env4teleport", "5", "6", "7"}},
      {"corner1", 1, {"corner1"}},  // a shorter line clears the words of the one before
      {"   , - ", 0, {}},
      {sixty, 60, first_twenty},    // more words than slots: the first twenty, all counted
      {std::string(255, 'q'), 1, {std::string(255, 'q')}},  // as long as the buffer allows
  };
  ConsoleRig r;
  for (const auto& k : cases) {
    ASSERT_LT(k.line.size(), size_t(kLineBufferSize));
    std::vector<std::string> want = k.words;
    want.resize(kTokenSlots);
    int32_t count = 0;
    EXPECT_EQ(words_of(r, k.line, &count), want) << k.line;
    EXPECT_EQ(count, k.count) << k.line;
  }
}

TEST(CommandLineWords, NumbersAreTheLeadingDigitsAndSaturate) {
  const std::pair<const char*, int32_t> cases[] = {
      {"500", 500}, {"0042", 42}, {"12abc", 12}, {"abc", 0}, {"x12", 0}, {"", 0},
      {"2147483647", INT32_MAX}, {"2147483648", INT32_MAX},
      {"99999999999999999999999999", INT32_MAX}};
  for (auto [text, value] : cases) EXPECT_EQ(read_leading_decimal(text), value) << text;
}

TEST(CommandLineCommands, EachWorldEditWritesItsCellsAndNothingElse) {
  struct Case {
    const char* line;
    std::vector<CellCode> changed;
  };
  const int32_t x = 100, y = 200, l = 1;
  const std::vector<CellCode> block{{x, y, l, 1}};
  const Case cases[] = {
      {"corner1", {{x, y, l, 4}, {x, y, l + 1, 4}}},
      {"env4block", block},
      {"env4grass", {{x, y, l, 2}}},
      {"env4dirt", {{x, y, l, 3}}},
      {"env4emptyx1", {{x + 1, y, l, 0}}},
      {"env4emptyy1", {{x, y + 1, l, 0}}},
      // words match ignoring case, delimiters and extra words
      {"ENV4BLOCK", block}, {"Env4Block", block}, {"eNv4bLoCk", block},
      {"env4block 1 2 3", block}, {"-env4block,", block},
      // lines naming no command
      {"", {}}, {"   ", {}}, {"env4blocks", {}}, {"env4", {}}, {"block", {}},
      {"teleport 5 5 5", {}}, {"x corner1", {}},
  };
  ConsoleRig r;
  r.place_unit1(x, y, l);
  r.run.SX = 7;
  for (const Case& c : cases) {
    fill_box(r, x, y, l);
    r.run_line(c.line);
    expect_box(r, x, y, l, c.changed, c.line);
    const UnitRecord& u = unit(r.units, 1);
    EXPECT_EQ(std::tuple(u.x, u.y, u.level), std::tuple(x, y, l)) << c.line;
    EXPECT_EQ(r.run.SX, 7) << c.line;
    EXPECT_EQ(r.run.screensaver, 0) << c.line;
    EXPECT_STREQ(r.console.line, c.line);  // running keeps the text
  }
  EXPECT_EQ(r.paused(), 0);
}

TEST(CommandLineCommands, ScreensaverToggleFlipsThenRestoresWithAPause) {
  ConsoleRig r;
  r.run_line("screensavertoggle");
  EXPECT_EQ(r.run.screensaver, 1);
  EXPECT_EQ(r.paused(), 400);
  r.run_line("SCREENSAVERTOGGLE");
  EXPECT_EQ(r.run.screensaver, 0);
  EXPECT_EQ(r.paused(), 800);
  r.run.screensaver = 5;  // anything but 0 counts as on
  r.run_line("screensavertoggle");
  EXPECT_EQ(r.run.screensaver, 0);
}

struct Where {
  int32_t x, y, z;
  bool operator==(const Where&) const = default;
};
std::ostream& operator<<(std::ostream& o, const Where& w) {
  return o << "(" << w.x << ", " << w.y << ", " << w.z << ")";
}

Where unit1_at(ConsoleRig& r) {
  const UnitRecord& u = unit(r.units, 1);
  return {u.x, u.y, u.level};
}
Where view_at(ConsoleRig& r) { return {r.run.SX, r.run.SY, r.run.SZ}; }

TEST(CommandLineTeleport, MovesUnitOneAndTheViewToTheClampedCellGivenThreeNumbers) {
  // In order; a line that must not act expects where the line before left them.
  const struct {
    const char* line;
    Where to;
  } steps[] = {
      {"env4teleport 500 600 7", {500, 600, 7}},  // a wall beside the target does not matter
      {"Env4Teleport,12-34,,56", {12, 34, 56}},
      {"env4teleport", {12, 34, 56}},              // any other number of arguments: nothing
      {"env4teleport 500", {12, 34, 56}},
      {"env4teleport 500 600", {12, 34, 56}},
      {"env4teleport 500 600 7 8", {12, 34, 56}},
      {"env4teleport 500 600 7 8 9", {12, 34, 56}},
      {"env4teleport 0 2000 999", {1, 1022, 178}},  // out of range and non-numeric: clamped
      {"env4teleport 5 5 0", {5, 5, 2}},
      {"env4teleport abc 9 3", {1, 9, 3}},
      {"env4teleport 12abc 7x 3", {12, 7, 3}},
      {"env4teleport 99999999999999999999 4294967297 2147483648", {1022, 1022, 178}},
      {"env4teleport 1022 1 178", {1022, 1, 178}},
  };
  ConsoleRig r;
  r.place_unit1(10, 20, 1);
  unit(r.units, 1).target_x = 33;
  r.cell(501, 600, 7) = kTileWall;
  for (const auto& k : steps) {
    r.run_line(k.line);
    EXPECT_EQ(unit1_at(r), k.to) << k.line;
    EXPECT_EQ(view_at(r), k.to) << k.line;
  }
  EXPECT_EQ(unit(r.units, 1).target_x, 33);
  EXPECT_EQ(r.paused(), 0);
}

TEST(CommandLineTeleport, AWallAtTheClampedTargetRefusesIt) {
  ConsoleRig r;
  r.place_unit1(10, 20, 1);
  r.run.SX = 3, r.run.SY = 4, r.run.SZ = 1;
  r.cell(1, 1022, 178) = kTileWall;
  r.run_line("env4teleport 0 2000 999");
  EXPECT_EQ(unit1_at(r), (Where{10, 20, 1}));
  EXPECT_EQ(view_at(r), (Where{3, 4, 1}));
  r.cell(1, 1022, 178) = kTileFloor;
  r.run_line("env4teleport 0 2000 999");
  EXPECT_EQ(unit1_at(r), (Where{1, 1022, 178}));
}

// Unit 1 on the grid's edges: the flat index of a cell past an edge lands on
// another row, another level or past the end. None of those may change.
TEST(CommandLineEdges, EditsReachingOutsideTheGridDoNothing) {
  ConsoleRig r;
  const int32_t last = kWorldSide - 1, top = kLevelCount - 1;

  r.place_unit1(last, 5, 1);
  r.cell(0, 6, 1) = kTilePlain;  // where (1024, 5, 1) would land
  r.cell(last, 5, 1) = kTilePlain;
  r.run_line("env4emptyx1");
  EXPECT_EQ(r.cell(0, 6, 1), kTilePlain);
  EXPECT_EQ(r.cell(last, 5, 1), kTilePlain);

  r.place_unit1(5, last, 1);
  r.cell(5, 0, 2) = kTilePlain;  // where (5, 1024, 1) would land
  r.run_line("env4emptyy1");
  EXPECT_EQ(r.cell(5, 0, 2), kTilePlain);

  r.place_unit1(7, 7, top);
  r.cell(7, 7, top) = kTilePlain;
  r.run_line("corner1");  // the upper half would be past the last level: neither is built
  EXPECT_EQ(r.cell(7, 7, top), kTilePlain);

  r.place_unit1(last, last, top);  // both neighbours lie past the grid's end (sanitizer build)
  r.run_line("env4emptyx1");
  r.run_line("env4emptyy1");

  r.place_unit1(2000, 5, 1);  // off the grid altogether
  r.cell(2000 - kWorldSide, 6, 1) = kTilePlain;  // where (2000, 5, 1) would land
  r.run_line("env4block");
  r.run_line("env4dirt");
  EXPECT_EQ(r.cell(2000 - kWorldSide, 6, 1), kTilePlain);
}

TEST(CommandLineEdges, EditsOnTheEdgeItselfStillWork) {
  ConsoleRig r;
  const int32_t last = kWorldSide - 1, top = kLevelCount - 1;
  r.place_unit1(last, last, top - 1);
  r.run_line("corner1");
  EXPECT_EQ(r.cell(last, last, top - 1), kTileCorner);
  EXPECT_EQ(r.cell(last, last, top), kTileCorner);
  r.place_unit1(last - 1, 0, 0);
  r.cell(last, 0, 0) = kTilePlain;
  r.cell(last - 1, 1, 0) = kTilePlain;
  r.run_line("env4emptyx1");
  r.run_line("env4emptyy1");
  EXPECT_EQ(r.cell(last, 0, 0), 0);
  EXPECT_EQ(r.cell(last - 1, 1, 0), 0);
  r.place_unit1(0, 0, top);
  r.run_line("env4grass");
  EXPECT_EQ(r.cell(0, 0, top), kTileGrass);
}

}  // namespace
