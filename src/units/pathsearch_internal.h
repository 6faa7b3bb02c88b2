#pragma once
// The steps of one search and its working state: for the kept trees, and for the tests
// and benchmarks that hold the node store against the linear-scan reference. The rest of the
// game calls only what pathsearch.h declares.
#include <bit>
#include <cstdint>

#include "units/pathsearch.h"

// Where a search sits: the window, and start and target clamped into its interior.
struct SearchPlace {
  int32_t level = 0, window = 0, origin_x = 0, origin_y = 0;
  int32_t start_x = 0, start_y = 0, target_x = 0, target_y = 0;
};
// Places a request: start and target are clamped into the grid, then into the window's
// interior. False when the search would read outside the grid or the node store.
bool place_search(const PathSearch& ps, const World& w, const PathRequest& rq, SearchPlace& p);

// Stores a route as the unit's path, walking it from the goal: up(k) is the step before k,
// -1 before the first step; cell(k, x, y) gives its cell. Returns the route's cells, all
// stored or not.
template <class Up, class Cell>
int32_t store_route(PathSearch& ps, int32_t unit, int32_t goal, Up up, Cell cell) {
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
  if (cells > kUnitPathCapacity) {
    ps.path_target_x[unit] = ps.path_x[row];
    ps.path_target_y[unit] = ps.path_y[row];
  }
  return cells;
}

// Searches from the place's start toward no target, until nothing is open. True when it
// got there: the node store then holds every cell a search from there can reach.
bool search_whole_window(PathSearch& ps, const World& w, const SearchPlace& p);
// The last search ended with nothing open, in the ordinary order of picks.
bool ran_out_of_nodes(const PathSearch& ps);

// Kept search trees, for the path search. Answers a placed search from a kept tree, setting
// the result; false when no valid tree is kept for it.
bool kept_tree_answers(PathSearch& ps, const World& w, const SearchPlace& p);
// Stores the route of the search just answered as the unit's path and returns its cells;
// 0 when no tree answered it.
int32_t store_kept_route(PathSearch& ps, int32_t unit);
// Keeps the search just run, if it explored its whole window.
void keep_search(PathSearch& ps, const World& w, const SearchPlace& p);

// The search's working state: the node store and where the search stands in it.
constexpr uint8_t kOpen = 0;
constexpr uint8_t kExpanded = 9;
constexpr uint8_t kMapUnseen = 0;
constexpr uint8_t kMapSeen = 1;  // also every border cell, so no node is placed there

// Windows up to kSearchWindow wide, all the game asks for, get the fast loop: a bit per
// cell and a word per window row, and open nodes kept in lanes. Its cells sit at a row
// stride of kSearchWindow whatever the width, so a slot is (y << kRowShift) + x.
constexpr int32_t kRowShift = std::countr_zero(uint32_t(kSearchWindow));
static_assert(kSearchWindow == 1 << kRowShift && kSearchWindow <= 64, "a row is one word");
constexpr int32_t kFastNodes = kSearchWindow * kSearchWindow;  // nodes such a window can hold
constexpr int32_t kLanes = 512;  // 2 step lengths x 256 terrain prices at most

struct PathSearchWork {
  // node store, world side squared entries; only the first window's worth is ever touched
  ZeroedArray<int16_t> node_x, node_y;  // cells
  ZeroedArray<int32_t> node_parent;
  ZeroedArray<uint8_t> node_state;  // 0 open, 9 expanded
  ZeroedArray<float> node_cost;
  ZeroedArray<uint8_t> window_map;  // 0 undiscovered, 1 border/discovered, 9 expanded
  int32_t node_capacity = 0;
  int32_t node_dirty = 0;  // leading entries of the node arrays a search may have written

  SearchPlace at;  // the level, the window, and start and target clamped into it
  int32_t current = 0, last = 0, first_open = 0;
  float best_cost = 0;    // cost of the last node picked (2 x side squared when none was open)
  int32_t best_node = 0;  // the last node picked
  int32_t goal = 0;
  uint8_t ready = 0;
  SearchResult result = kNotFound;  // of the last search

  // Open nodes in lanes, so picking the cheapest does not scan the node store. A node
  // costs its parent's cost plus a step-and-terrain price, and parents are picked cheapest
  // first, so the nodes that paid one price join its lane in rising cost. Within a run of
  // equal cost a lane keeps the latest node first, so the pick is the cheapest lane head,
  // the later one when heads cost the same.
  struct Lane {
    int32_t tail;     // kFastNodes + lane when empty
    int32_t run;      // the entry before the tail's run of equal cost
    float tail_cost;  // -1 when empty
    int32_t busy;     // place in busy_lanes, -1 when empty
  };
  // The order of picks: cost bits, then the node index inverted, then the window cell.
  struct OpenNode {
    uint64_t key;
    uint64_t next_key;  // the key of `next`
    int32_t next;       // next node in its lane, -1 after the tail
    int32_t lane;
    int32_t parent;  // for the node store, written when the run ends
  };
  Lane lanes[kLanes];
  // The entry at kFastNodes + lane stands before the lane's head.
  OpenNode open_nodes[kFastNodes + kLanes];
  int32_t busy_lanes[kLanes];  // the lanes holding nodes
  // The key of each one's head; all ones after the last, so they can be read 4 at a time.
  uint64_t busy_keys[kLanes + 4];
  int32_t busy_count = 0;
  int32_t open_count = 0;  // nodes of state 0, picked or not
  uint8_t over_limit = 0;  // an open node cost more than any pick may: the last node from now on

  // The grid's part in the neighbour tests, rebuilt at the start of each fast run.
  uint64_t free_rows[kSearchWindow];  // bit x: cell x of the row may still become a node
  uint64_t open_rows[kSearchWindow];  // bit x: cell x holds open ground
  uint8_t window_codes[kFastNodes];   // the window's tile codes, rows kSearchWindow apart
};
