#pragma once
// The path search: a uniform-cost search inside a square window, plus the stored
// route of every unit index. Its working state (node store, open lanes, window rows)
// is in units/pathsearch_internal.h.
#include <cstdint>
#include <memory>

#include "units/units.h"
#include "world/world.h"

constexpr int32_t kUnitPathCapacity = 1000;  // cells stored per unit index
constexpr int32_t kNoPath = -9;              // path cursor: search again at the next step

enum SearchResult : uint8_t { kNotFound = 0, kFound = 1, kStartIsTarget = 3 };

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
  uint8_t result = kNotFound;                      // of the last search
  int32_t first_step_x = 0, first_step_y = 0;      // the first cell of the last stored route
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

// What the movement tick calls. Both return 1 or 0.
int32_t next_path_step(PathSearch& ps, const World& w, UnitTable& units, int32_t u, int32_t tx,
                       int32_t ty, int32_t window, int32_t advance);
int32_t coarse_route_step(PathSearch& ps, const World& w, UnitTable& units, int32_t r, int32_t tx,
                          int32_t ty, int32_t window, int32_t ox, int32_t oy);

// Gives the path search one fixed pool of `count` kept search trees; none is made later.
void create_kept_trees(PathSearch& ps, int32_t count);
// Grows the trees the next movement tick will ask for, a `frames_left`-th of the work left
// (this frame included) and never more than `budget` rounds. Nothing the game shows
// changes. Returns the rounds spent.
int64_t search_ahead(PathSearch& ps, const World& w, const UnitTable& units, int64_t budget,
                     int32_t frames_left);
