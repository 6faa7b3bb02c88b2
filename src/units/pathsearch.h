#pragma once
// The path search: a uniform-cost search inside a square window, plus the stored
// route of every unit index. Its working state (node store, open lanes, window rows)
// is in units/pathsearch_internal.h.
#include <cstdint>
#include <memory>

#include "units/units.h"
#include "world/world.h"

constexpr int32_t kSearchWindow = 64;        // cells a side of the game's searches (blocks, coarse)
constexpr int32_t kUnitPathCapacity = 1000;  // cells stored per unit index
constexpr int32_t kNoPath = -9;              // path cursor: search again at the next step

enum SearchResult : uint8_t { kNotFound = 0, kFound = 1, kStartIsTarget = 3 };

// One search, from a start toward a target on one level, inside a square window centred on
// the start or with its corner at an origin. Start and target are clamped into the window's
// interior; a found route becomes the unit index's path.
struct PathRequest {
  int32_t unit = 0;
  int32_t start_x = 0, start_y = 0, level = 0;
  int32_t target_x = 0, target_y = 0;
  int32_t window = kSearchWindow;
  bool centred = true;
  int32_t origin_x = 0, origin_y = 0;  // when not centred
};
struct PathResult {
  SearchResult result = kNotFound;
  int32_t step_x = 0, step_y = 0;  // the route's first cell, when found
  int32_t length = 0;              // its cells; a unit path keeps kUnitPathCapacity at most
};

// What next_path_step hands out: a cell to step onto; the last cell of the route, the unit
// then landing on the target it was sent to; or nothing (no route, or none to follow).
struct PathStep {
  enum Kind : uint8_t { kNone, kStep, kLastStep } kind = kNone;
  int32_t x = 0, y = 0;
  int32_t land_x = 0, land_y = 0;  // kLastStep
};

struct PathSearchWork;  // see units/pathsearch_internal.h
struct KeptTrees;       // kept search trees, see units/keptrees.cpp
struct SearchDeleter {  // each defined beside its type
  void operator()(PathSearchWork* work) const;
  void operator()(KeptTrees* trees) const;
};
// calloc'd: pages nobody writes (most unit indexes never get a route) stay unbacked
template <class T>
using ZeroedArray = std::unique_ptr<T[], FreeDeleter>;

// Created once at start-up (after the unit table); arrays are reused by every search.
struct PathSearch {
  std::unique_ptr<PathSearchWork, SearchDeleter> work;
  uint64_t rounds = 0;                             // expansions made by every search so far
  std::unique_ptr<KeptTrees, SearchDeleter> kept;  // none: every search runs afresh

  // per unit index
  ZeroedArray<int32_t> path_target_x, path_target_y;  // as asked for, before clamping
  ZeroedArray<int32_t> path_x, path_y;  // kUnitPathCapacity cells per index, goal first
  ZeroedArray<int32_t> path_length;
  ZeroedArray<int32_t> path_cursor;  // next cell to hand out; -9 none, -1 used up
};

void create_path_search(PathSearch& ps, int32_t world_side);
void release_path_search(PathSearch& ps);

inline int32_t path_cell_x(const PathSearch& ps, int32_t unit, int32_t i) {
  return ps.path_x[size_t(unit) * kUnitPathCapacity + size_t(i)];
}
inline int32_t path_cell_y(const PathSearch& ps, int32_t unit, int32_t i) {
  return ps.path_y[size_t(unit) * kUnitPathCapacity + size_t(i)];
}

// A search that would read outside the grid or the node store, or store outside the unit
// table, finds nothing.
PathResult find_path(PathSearch& ps, const World& w, const PathRequest& rq);
// The next cell of the path of the leg's unit, made by searching for the leg when the unit
// has none.
PathStep next_path_step(PathSearch& ps, const World& w, const PathRequest& leg);

// Gives the path search one fixed pool of `count` kept search trees; none is made later.
void create_kept_trees(PathSearch& ps, int32_t count);
// Grows the trees the next movement tick will ask for, a `frames_left`-th of the work left
// (this frame included) and never more than `budget` rounds. Nothing the game shows
// changes. Returns the rounds spent.
int64_t search_ahead(PathSearch& ps, const World& w, const UnitTable& units, int64_t budget,
                     int32_t frames_left);
