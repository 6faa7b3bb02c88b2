#pragma once
// Saved games: everything the next pass depends on, so that a loaded game plays on exactly as
// the saved one would have. The format is in the README ("Saved games").
#include <cstdint>
#include <string>
#include <vector>

#include "core/runstate.h"
#include "units/units.h"
#include "units/walk.h"
#include "world/changes.h"
#include "world/rng.h"

struct Game;
struct Session;

constexpr uint32_t kSaveVersion = 1;
constexpr size_t kMaxSaveBytes = size_t(64) << 20;  // far above any save the game can make

// A unit record with its stored route.
struct SavedUnit {
  int32_t index = 0;
  UnitRecord record;
  int32_t path_target_x = 0, path_target_y = 0;
  int32_t path_length = 0, path_cursor = 0;
  size_t path_at = 0;  // first of its path_length cells in SaveData::path
};

// A save as read, checked value by value before anything of the game is touched.
struct SaveData {
  int64_t map_bytes = 0;  // what start-up read of the map file
  uint32_t map_checksum = 0;
  uint32_t seed = 0;
  RunState run;  // quit and the pointer are not kept: the next pass sets them
  int32_t width = 0, height = 0;
  int64_t paused_ms = 0;
  Rng rng;
  bool f12_was_down = false, f9_was_down = false;
  std::string notice;
  int64_t notice_until = 0;
  bool help_shown = false, help_held = false;
  int32_t console_open = 0, console_max_chars = 0, console_length = 0;
  std::string console_line;
  float yaw = 0, pitch = 0;
  GroundOrigin ground;
  bool saver_renewed = false;  // the screensaver's layer was last renewed from saver_rng
  Rng saver_rng;
  std::vector<SavedUnit> units;   // rising index
  std::vector<uint16_t> path;     // x, y of every unit's route cells
  std::vector<CellChange> cells;  // rising index
};

// The save of the game between two passes.
std::string save_bytes(const Game& g, const Session& s);
// Parses and checks a whole save; false with one line naming the problem in *error.
bool parse_save(const std::string& bytes, SaveData* d, std::string* error);
// Reads a regular file (never written) and parses it.
bool read_save_file(const std::string& path, SaveData* d, std::string* error);
// Puts a parsed save in place of the started game's state, once it is known to come from the
// same map. False with one line in *error, the game untouched (or, when the window for the
// save's view cannot be made, shut down as any failed window is).
bool apply_save(Game& g, Session& s, const SaveData& d, const std::string& from,
                std::string* error);
// Writes the save through a temporary renamed into place; false with a reason in *why.
bool write_save(const std::string& path, const Game& g, const Session& s, std::string* why);
// F9 pressed (not held): the game saved to --save, or to a new file in the saves folder, the
// notice line and stderr naming it. A replay saves only with --save.
void save_key_step(Game& g, Session& s);
