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
  // Open nodes in a radix queue, so picking the cheapest does not scan the node store.
  // Costs never fall below the last one picked (open_floor, as order-preserving bits).
  // Nodes costing exactly the floor wait on a stack in index order, so the latest of
  // equally cheap ones is on top; bucket b (1..32) lists, in index order, the nodes
  // whose cost bits first differ from the floor at bit b - 1.
  std::unique_ptr<int32_t[]> open_link;       // node_capacity entries: next node in its bucket
  std::unique_ptr<int32_t[]> open_stack;      // node_capacity entries
  int32_t open_head[33] = {}, open_tail[33] = {};  // ends of each bucket, -1 when empty
  uint64_t open_mask = 0;                     // bit b set: bucket b (1..32) holds nodes
  uint32_t open_floor = 0;
  int32_t open_top = 0;                       // nodes on the stack
  int32_t open_count = 0;                     // nodes of state 0, picked or not
  uint8_t over_limit = 0;  // an open node cost more than any pick may: the last node from now on
  uint8_t scan_only = 0;   // a terrain cost below 0 (or NaN) broke the order: scan instead
  // Per window cell, like the window map, rebuilt from the grid at the start of each run:
  // bit 0 while the cell can still become a node, bit 1 when it holds open ground.
  std::unique_ptr<uint8_t[]> window_class;    // node_capacity entries
  uint8_t code_class[256] = {};               // by tile code: bit 0 enterable, bit 1 open ground

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
