#pragma once
// The one path search state: a uniform-cost search inside a square window,
// plus the stored route of every unit index.
#include <cstdint>
#include <memory>

#include "units/units.h"

struct World;

constexpr int32_t kUnitPathCapacity = 1000;  // cells stored per unit index
constexpr int32_t kNoPath = -9;              // path cursor: search again at the next step

enum SearchResult : uint8_t { kNotFound = 0, kFound = 1, kStartIsTarget = 3 };

struct Direction {
  int32_t dx, dy;
  float step;  // 1.0 orthogonal, 1.4142f diagonal
};

// Created once at start-up (after the unit table); arrays are reused by every search.
struct PathSearch {
  // node store, world side squared entries
  std::unique_ptr<int16_t[]> node_x, node_y;  // cells
  std::unique_ptr<int32_t[]> node_parent;
  std::unique_ptr<uint8_t[]> node_state;      // 0 open, 9 expanded
  std::unique_ptr<float[]> node_cost;
  std::unique_ptr<uint8_t[]> window_map;      // 0 undiscovered, 1 border/discovered, 9 expanded
  int32_t node_capacity = 0;
  int32_t node_dirty = 0;  // leading entries of the node arrays a search may have written
  // Open nodes in lanes, so picking the cheapest does not scan the node store. A node
  // costs its parent's cost plus a step-and-terrain price, and parents are picked cheapest
  // first, so the nodes that paid one price join its lane in rising cost. Within a run of
  // equal cost a lane keeps the latest node first, so the pick is the cheapest lane head,
  // the later one when heads cost the same.
  static constexpr int32_t kLanes = 512;      // 2 step lengths x 256 terrain prices at most
  struct Lane {
    int32_t tail;       // node_capacity + lane when empty
    int32_t run;        // the entry before the tail's run of equal cost
    float tail_cost;    // -1 when empty
    int32_t busy;       // place in busy_lanes, -1 when empty
  };
  std::unique_ptr<Lane[]> lanes;              // kLanes entries
  // The order of picks: cost bits, then the index inverted; windows up to 64 wide
  // pack the index and the window cell into the low half instead.
  struct OpenNode {
    uint64_t key;
    uint64_t next_key;  // the key of `next`
    int32_t next;       // next node in its lane, -1 after the tail
    int32_t lane;
    int32_t parent;     // for the node store, written when the run ends
  };
  // node_capacity + kLanes entries; the entry at node_capacity + lane stands before the
  // lane's head.
  std::unique_ptr<OpenNode[]> open_nodes;
  int32_t busy_lanes[kLanes] = {};            // the lanes holding nodes
  // The key of each one's head; all ones after the last, so they can be read 4 at a time.
  uint64_t busy_keys[kLanes + 4] = {};
  int32_t busy_count = 0;
  int32_t open_count = 0;                     // nodes of state 0, picked or not
  uint16_t lane_of_code[256] = {};            // first lane of the code's terrain price
  float lane_prices[256] = {};                // the cost table the lanes were numbered from
  uint8_t lanes_numbered = 0;
  uint8_t prices_fall = 0;  // a negative or NaN price: lanes would not stay in order
  uint8_t queued = 0;       // the present search has used the lanes
  uint8_t over_limit = 0;   // an open node cost more than any pick may: the last node from now on
  uint8_t scan_only = 0;    // the lanes cannot be trusted in this search: scan instead
  // The grid's part in the neighbour tests, rebuilt at the start of each run. Windows up
  // to 64 wide keep a bit per cell, a word per row; wider ones a byte per cell.
  static constexpr int32_t kRowBits = 64;
  uint64_t free_rows[kRowBits] = {};  // bit x: cell x of the row may still become a node
  uint64_t open_rows[kRowBits] = {};  // bit x: cell x holds open ground
  uint8_t window_codes[kRowBits * kRowBits] = {};  // the window's tile codes, rows 64 apart
  std::unique_ptr<uint8_t[]> window_class;    // node_capacity entries: bit 0 free, bit 1 open
  uint8_t rules_simd = 0;  // the tile tests may run 16 cells at a time

  // per unit index
  std::unique_ptr<int32_t[]> path_target_x, path_target_y;  // as asked for, before clamping
  std::unique_ptr<int32_t[]> path_x, path_y;  // kUnitPathCapacity cells per index, goal first
  std::unique_ptr<int32_t[]> path_length;
  std::unique_ptr<int32_t[]> path_cursor;     // next cell to hand out; -9 none, -1 used up

  int32_t start_x = 0, start_y = 0, target_x = 0, target_y = 0;  // clamped into the window
  int32_t origin_x = 0, origin_y = 0, window_size = 0;
  Direction dirs[8] = {};
  int32_t level = 0;  // search level of the world grid
  int32_t current = 0, last = 0, first_open = 0;
  float best_cost = 0;   // cost of the last node picked (2 x side squared when none was open)
  int32_t best_node = 0; // the last node picked
  uint8_t result = kNotFound;
  int32_t goal = 0;
  uint8_t ready = 0;
  int32_t first_step_x = 0, first_step_y = 0;
};

void create_path_search(PathSearch& ps, int32_t world_side);
void release_path_search(PathSearch& ps);

inline int32_t path_cell_x(const PathSearch& ps, int32_t unit, int32_t i) {
  return ps.path_x[size_t(unit) * kUnitPathCapacity + size_t(i)];
}
inline int32_t path_cell_y(const PathSearch& ps, int32_t unit, int32_t i) {
  return ps.path_y[size_t(unit) * kUnitPathCapacity + size_t(i)];
}

// Internal operations, in calling order within one search.
void setup_centred_search(PathSearch& ps, const World& w, int32_t sx, int32_t sy, int32_t tx,
                          int32_t ty, int32_t level, int32_t window);
void setup_search_at_origin(PathSearch& ps, const World& w, int32_t ox, int32_t oy, int32_t sx,
                            int32_t sy, int32_t tx, int32_t ty, int32_t level, int32_t window);
void run_search(PathSearch& ps, const World& w, int32_t budget);
void store_unit_path(PathSearch& ps, int32_t unit);

// What the movement tick calls. Both return 1 or 0.
int32_t next_path_step(PathSearch& ps, const World& w, UnitTable& units, int32_t u, int32_t tx,
                       int32_t ty, int32_t window, int32_t advance);
int32_t coarse_route_step(PathSearch& ps, const World& w, UnitTable& units, int32_t r,
                          int32_t tx, int32_t ty, int32_t window, int32_t ox, int32_t oy);
