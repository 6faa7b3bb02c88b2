#pragma once
// Reference path search for tests and the benchmark: the plain version that finds the
// next node to expand by scanning the whole node store. Slow and obviously right; the
// real search must agree with it on every result, every node and every stored path.
#include <cstdint>
#include <vector>

struct World;
struct UnitTable;
struct Rng;

struct OracleSearch {
  int32_t side = 0;  // world side the store was made for
  std::vector<int16_t> node_x, node_y;
  std::vector<int32_t> node_parent;
  std::vector<uint8_t> node_state;  // 0 open, 9 expanded
  std::vector<float> node_cost;
  std::vector<uint8_t> window_map;  // 0 unseen, 1 border or seen, 9 expanded

  std::vector<int32_t> path_target_x, path_target_y;
  std::vector<int32_t> path_x, path_y;  // 1000 cells per unit index, goal first
  std::vector<int32_t> path_length, path_cursor;

  int32_t start_x = 0, start_y = 0, target_x = 0, target_y = 0;
  int32_t origin_x = 0, origin_y = 0, window = 0;
  int32_t level = 0;
  int32_t current = 0, last = 0, first_open = 0;
  float best_cost = 0;
  int32_t best_node = 0;
  uint8_t result = 0;  // 0 not found, 1 found, 3 start is target
  int32_t goal = 0;
  uint8_t ready = 0;
  int32_t first_step_x = 0, first_step_y = 0;
  int32_t route_cells = 0;  // of the last route stored, before it was cut to a unit path
};

void oracle_create(OracleSearch& o, int32_t world_side);
// Callers keep the level inside the grid and the window between 3 and the world side.
void oracle_setup_centred(OracleSearch& o, int32_t sx, int32_t sy, int32_t tx, int32_t ty,
                          int32_t level, int32_t window);
void oracle_setup_at_origin(OracleSearch& o, int32_t ox, int32_t oy, int32_t sx, int32_t sy,
                            int32_t tx, int32_t ty, int32_t level, int32_t window);
void oracle_run(OracleSearch& o, const World& w, int32_t budget);
void oracle_store(OracleSearch& o, int32_t unit);
int32_t oracle_next_path_step(OracleSearch& o, const World& w, UnitTable& units, int32_t u,
                              int32_t tx, int32_t ty, int32_t window);
int32_t oracle_coarse_route_step(OracleSearch& o, const World& w, UnitTable& units, int32_t r,
                                 int32_t tx, int32_t ty, int32_t window, int32_t ox, int32_t oy);

// The game's orders and movement tick, taking every route from the reference.
void oracle_give_order(OracleSearch& o, UnitTable& units, int32_t u, int32_t x, int32_t y);
void oracle_order_unit1_random(OracleSearch& o, const World& w, UnitTable& units, Rng& rng);
void oracle_wander_orders(OracleSearch& o, const World& w, UnitTable& units, Rng& rng);
void oracle_movement_tick(OracleSearch& o, const World& w, UnitTable& units, Rng& rng);
