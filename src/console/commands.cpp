// The entered line: tokenizer, command table and the commands themselves.
#include <algorithm>
#include <climits>
#include <cstring>
#include <iterator>
#include <string>

#include "console/commandline.h"
#include "core/platform.h"
#include "core/runstate.h"
#include "render/framebuffer.h"
#include "units/units.h"
#include "world/world.h"

namespace {

constexpr const char* kDelimiters = " -,\t\n";
constexpr int32_t kScreensaverPauseMs = 400;
constexpr int32_t kTeleportWords = 4;  // the command word and column, row, level

// What a command may touch.
struct CommandContext {
  CommandLine& line;
  Platform& platform;
  RunState& run;
  World& world;
  UnitTable& units;
  Framebuffer& fb;
};

char* slot(CommandLine& c, int32_t i) { return &c.tokens[size_t(i) * kLineBufferSize]; }

bool is_delimiter(char ch) { return ch != '\0' && std::strchr(kDelimiters, ch) != nullptr; }

char lower(char ch) { return ch >= 'A' && ch <= 'Z' ? char(ch - 'A' + 'a') : ch; }

bool same_word_ignoring_case(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b)
    if (lower(*a) != lower(*b)) return false;
  return *a == *b;
}

const UnitRecord& unit1(const CommandContext& ctx) { return unit(ctx.units, 1); }

// The edit is refused (and said) when the cell lies outside the world.
void edit_cell(CommandContext& ctx, int32_t x, int32_t y, int32_t z, uint8_t code) {
  if (!cell_inside(ctx.world, x, y, z)) {
    ctx.line.said = "Not done: that cell is outside the world";
    return;
  }
  set_cell(ctx.world, x, y, z, code);
}

void corner1(CommandContext& ctx) {
  const UnitRecord& u = unit1(ctx);
  // Both cells or neither: a corner is two levels tall.
  if (!cell_inside(ctx.world, u.x, u.y, u.level + 1)) {
    ctx.line.said = "Not done: the corner would reach outside the world";
    return;
  }
  set_cell(ctx.world, u.x, u.y, u.level, kTileCorner);
  set_cell(ctx.world, u.x, u.y, u.level + 1, kTileCorner);
}

void env4block(CommandContext& ctx) {
  const UnitRecord& u = unit1(ctx);
  edit_cell(ctx, u.x, u.y, u.level, kTileBlock);
}

void env4grass(CommandContext& ctx) {
  const UnitRecord& u = unit1(ctx);
  edit_cell(ctx, u.x, u.y, u.level, kTileGrass);
}

void env4dirt(CommandContext& ctx) {
  const UnitRecord& u = unit1(ctx);
  edit_cell(ctx, u.x, u.y, u.level, kTileDirt);
}

void env4emptyx1(CommandContext& ctx) {
  const UnitRecord& u = unit1(ctx);
  edit_cell(ctx, u.x + 1, u.y, u.level, kTileEmpty);
}

void env4emptyy1(CommandContext& ctx) {
  const UnitRecord& u = unit1(ctx);
  edit_cell(ctx, u.x, u.y + 1, u.level, kTileEmpty);
}

void screensavertoggle(CommandContext& ctx) {
  ctx.run.screensaver = ctx.run.screensaver == 0 ? 1 : 0;
  // Until its first noise the screensaver shows the secondary buffer as it
  // stands, which may hold the block view's packed read-back: start it black.
  if (ctx.run.screensaver == 1) std::fill(ctx.fb.secondary.begin(), ctx.fb.secondary.end(), 0);
  pause_ms(ctx.platform, kScreensaverPauseMs);
}

// Clamped, never refused for range; refused only onto a wall.
void env4teleport(CommandContext& ctx) {
  if (ctx.line.words != kTeleportWords) {
    ctx.line.said = "Not understood: env4teleport takes X Y Z";
    return;
  }
  World& w = ctx.world;
  const int32_t x = std::clamp(read_leading_decimal(token(ctx.line, 1)), 1, w.side - 2);
  const int32_t y = std::clamp(read_leading_decimal(token(ctx.line, 2)), 1, w.side - 2);
  const int32_t z = std::clamp(read_leading_decimal(token(ctx.line, 3)), 2, kLevelCount - 2);
  if (cell_at(w, x, y, z) == kTileWall) {
    ctx.line.said = "Not done: " + std::to_string(x) + "," + std::to_string(y) + " on level " +
                    std::to_string(z) + " is a wall";
    return;
  }
  UnitRecord& u = unit(ctx.units, 1);
  u.x = uint16_t(x);
  u.y = uint16_t(y);
  u.level = uint16_t(z);
  ctx.run.SX = std::clamp<int32_t>(u.x, 1, w.side - 2);
  ctx.run.SY = std::clamp<int32_t>(u.y, 1, w.side - 2);
  ctx.run.SZ = std::clamp<int32_t>(u.level, 2, kLevelCount - 2);
}

struct Command {
  const char* word;  // matched ignoring letter case
  void (*run)(CommandContext&);
};

// Matched in this order; the words differ, so at most one runs.
constexpr Command kCommands[] = {
    {"corner1", corner1},                      // unit 1's cell and the one above: corner (4)
    {"env4block", env4block},                  // unit 1's cell: block (1)
    {"env4grass", env4grass},                  // unit 1's cell: grass (2)
    {"env4dirt", env4dirt},                    // unit 1's cell: dirt (3)
    {"env4emptyx1", env4emptyx1},              // the cell east of unit 1: empty (0)
    {"env4emptyy1", env4emptyy1},              // the cell north of unit 1: empty (0)
    {"screensavertoggle", screensavertoggle},  // flip the screensaver view
    {"env4teleport", env4teleport},            // column row level: move unit 1 and the view
};

}  // namespace

int32_t read_leading_decimal(const char* s) {
  int64_t v = 0;
  for (; *s >= '0' && *s <= '9'; ++s) {
    v = v * 10 + (*s - '0');
    if (v >= INT32_MAX) return INT32_MAX;
  }
  return int32_t(v);
}

const char* token(const CommandLine& c, int32_t i) {
  if (!c.tokens || i < 0 || i >= kTokenSlots) return "";
  return &c.tokens[size_t(i) * kLineBufferSize];
}

namespace {

// Splits the line into the token slots and counts its words.
void tokenize_line(CommandLine& c) {
  c.words = 0;
  if (!c.tokens) return;
  for (int32_t i = 0; i < kTokenSlots; ++i) slot(c, i)[0] = '\0';
  char work[kLineBufferSize];
  std::memcpy(work, c.line, sizeof work);
  work[kLineBufferSize - 1] = '\0';
  int32_t words = 0;
  for (const char* p = work; *p;) {
    while (is_delimiter(*p)) ++p;
    if (!*p) break;
    const char* start = p;
    while (*p && !is_delimiter(*p)) ++p;
    // Past the slots a word is only counted: a long line cannot spill over them.
    if (words < kTokenSlots) {
      char* dst = slot(c, words);
      const size_t n = size_t(p - start);  // below kLineBufferSize: it came from work
      std::memcpy(dst, start, n);
      dst[n] = '\0';
    }
    ++words;
  }
  c.words = words;
}

}  // namespace

void run_entered_line(CommandLine& c, Platform& p, RunState& run, World& w, UnitTable& units,
                      Framebuffer& fb) {
  tokenize_line(c);
  const char* first = token(c, 0);
  if (!*first) return;
  CommandContext ctx{c, p, run, w, units, fb};
  for (const Command& cmd : kCommands) {
    if (same_word_ignoring_case(first, cmd.word)) {
      cmd.run(ctx);
      return;
    }
  }
  c.said = "Not understood: \"" + std::string(first).substr(0, 24) + "\" (F10 lists the commands)";
}
