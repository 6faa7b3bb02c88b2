#pragma once
// The steps of one search and a read-only look at what it leaves behind: for the tests
// and benchmarks that hold the search against the linear-scan reference. The game
// calls only what pathsearch.h declares.
#include <cstdint>

#include "units/pathsearch.h"

// Where a search sits: the window, and start and target clamped into its interior.
struct SearchPlace {
  int32_t level = 0, window = 0, origin_x = 0, origin_y = 0;
  int32_t start_x = 0, start_y = 0, target_x = 0, target_y = 0;
};
// How the set-ups below place a search; false when it would read outside the grid or the
// node store (the set-up then refuses it).
bool place_centred(const PathSearch& ps, const World& w, int32_t sx, int32_t sy, int32_t tx,
                   int32_t ty, int32_t level, int32_t window, SearchPlace& p);
bool place_at_origin(const PathSearch& ps, const World& w, int32_t ox, int32_t oy, int32_t sx,
                     int32_t sy, int32_t tx, int32_t ty, int32_t level, int32_t window,
                     SearchPlace& p);

// Steps in calling order within one search.
void setup_centred_search(PathSearch& ps, const World& w, int32_t sx, int32_t sy, int32_t tx,
                          int32_t ty, int32_t level, int32_t window);
void setup_search_at_origin(PathSearch& ps, const World& w, int32_t ox, int32_t oy, int32_t sx,
                            int32_t sy, int32_t tx, int32_t ty, int32_t level, int32_t window);
void run_search(PathSearch& ps, const World& w, int32_t budget);
void store_unit_path(PathSearch& ps, int32_t unit);
// Stores a route as the unit's path, walking it from the goal: up(k) is the step before k,
// -1 before the first step; cell(k, x, y) gives its cell.
template <class Up, class Cell>
void store_route(PathSearch& ps, int32_t unit, int32_t goal, Up up, Cell cell) {
  int32_t cells = 1;
  for (int32_t k = goal; up(k) >= 0; k = up(k)) ++cells;
  // A route longer than a unit path keeps the part nearest the start and ends there.
  int32_t k = goal;
  for (int32_t skip = cells - kUnitPathCapacity; skip > 0; --skip) k = up(k);
  const size_t row = size_t(unit) * kUnitPathCapacity;
  int32_t len = 0;
  for (; k >= 0; k = up(k), ++len)
    cell(k, ps.path_x[row + size_t(len)], ps.path_y[row + size_t(len)]);
  ps.path_length[unit] = len;
  ps.path_cursor[unit] = len - 1;
  ps.first_step_x = ps.path_x[row + size_t(len) - 1];
  ps.first_step_y = ps.path_y[row + size_t(len) - 1];
  if (cells > kUnitPathCapacity) {
    ps.path_target_x[unit] = ps.path_x[row];
    ps.path_target_y[unit] = ps.path_y[row];
  }
}

// Searches from the place's start toward no target, until nothing is open. True when it
// got there: the node store then holds every cell a search from there can reach.
bool search_whole_window(PathSearch& ps, const World& w, const SearchPlace& p);
// The last search ended with nothing open, in the ordinary order of picks.
bool ran_out_of_nodes(const PathSearch& ps);

// The node store (node_capacity entries each) and the search's position in it.
struct PathSearchState {
  const int16_t* node_x;
  const int16_t* node_y;
  const int32_t* node_parent;
  const uint8_t* node_state;  // 0 open, 9 expanded
  const float* node_cost;
  const uint8_t* window_map;  // 0 undiscovered, 1 border/discovered, 9 expanded
  int32_t node_capacity;
  int32_t start_x, start_y, target_x, target_y;  // clamped into the window
  int32_t origin_x, origin_y;
  int32_t current, last, first_open;
  float best_cost;    // cost of the last node picked (2 x side squared when none was open)
  int32_t best_node;  // the last node picked
  int32_t goal;
  uint8_t ready;
};
// Valid until the next search step or the release of the search.
PathSearchState path_search_state(const PathSearch& ps);
