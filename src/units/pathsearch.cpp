#include "units/pathsearch.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <iterator>
#include <limits>

#include "world/world.h"

namespace {

// Neighbours in the order they are tried. The diagonal price is the float nearest
// 1.4142, not sqrt(2): costs must come out bit for bit the same on every machine.
constexpr Direction kDirections[] = {
    {0, +1, 1.0f},      // up
    {+1, +1, 1.4142f},  // up-right
    {+1, 0, 1.0f},      // right
    {+1, -1, 1.4142f},  // down-right
    {0, -1, 1.0f},      // down
    {-1, -1, 1.4142f},  // down-left
    {-1, 0, 1.0f},      // left
    {-1, +1, 1.4142f},  // up-left
};
static_assert(std::size(kDirections) == 8);

constexpr uint8_t kOpen = 0;
constexpr uint8_t kExpanded = 9;
constexpr uint8_t kMapUnseen = 0;
constexpr uint8_t kMapSeen = 1;  // also every border cell, so no node is placed there
constexpr uint8_t kClassFree = 1;        // enterable and not yet in the window map
constexpr uint8_t kClassOpenGround = 2;  // a diagonal step may pass beside it

void fill_directions(PathSearch& ps) {
  std::copy(std::begin(kDirections), std::end(kDirections), ps.dirs);
}

// Orders floats like their values (no NaN here), so costs compare as integers.
uint32_t ordered_bits(float f) {
  const uint32_t b = std::bit_cast<uint32_t>(f);
  return (b & 0x80000000u) ? ~b : (b | 0x80000000u);
}

void clear_open(PathSearch& ps) {
  std::fill(std::begin(ps.open_head), std::end(ps.open_head), -1);
  std::fill(std::begin(ps.open_tail), std::end(ps.open_tail), -1);
  ps.open_mask = 0;
  ps.open_floor = ordered_bits(ps.node_cost[0]);
  ps.open_top = 0;
  ps.open_count = 1;  // the start
  ps.over_limit = 0;
  ps.scan_only = 0;
}

// The queue order holds only while no step makes a node cheaper than its parent.
bool costs_never_fall(const World& w) {
  bool ok = true;
  for (float c : w.cost) ok &= c >= 0.0f;  // false for NaN too
  return ok;
}

// What a search may touch: a level of the grid and a window whose square fits the node store.
bool search_fits(const PathSearch& ps, const World& w, int32_t level, int32_t window) {
  return level >= 0 && level < kLevelCount && window >= 3 && window <= w.side &&
         int64_t(window) * window <= ps.node_capacity && ps.open_link != nullptr &&
         ps.open_stack != nullptr &&
         ps.window_class != nullptr;
}

int32_t clamp_to(int32_t v, int32_t lo, int32_t hi) { return v < lo ? lo : (v > hi ? hi : v); }

// The callers give a search window size squared expansions.
int32_t window_budget(int32_t window) {
  const int64_t b = int64_t(window) * window;
  return b > std::numeric_limits<int32_t>::max() ? std::numeric_limits<int32_t>::max() : int32_t(b);
}

// Set-up steps after the window origin is known.
void prepare_window(PathSearch& ps, int32_t sx, int32_t sy, int32_t tx, int32_t ty) {
  const int32_t n = ps.window_size;
  const int32_t lo_x = ps.origin_x + 1, hi_x = ps.origin_x + n - 2;
  const int32_t lo_y = ps.origin_y + 1, hi_y = ps.origin_y + n - 2;
  ps.start_x = clamp_to(sx, lo_x, hi_x);
  ps.start_y = clamp_to(sy, lo_y, hi_y);
  ps.target_x = clamp_to(tx, lo_x, hi_x);
  ps.target_y = clamp_to(ty, lo_y, hi_y);

  const size_t used = size_t(n) * size_t(n);
  std::fill_n(ps.node_x.get(), used, int16_t(0));
  std::fill_n(ps.node_y.get(), used, int16_t(0));
  std::fill_n(ps.node_parent.get(), used, 0);
  std::fill_n(ps.node_state.get(), used, uint8_t(0));
  std::fill_n(ps.node_cost.get(), used, 0.0f);
  std::fill_n(ps.window_map.get(), used, kMapUnseen);
  uint8_t* map = ps.window_map.get();
  std::fill_n(map, n, kMapSeen);                        // first row
  std::fill_n(map + size_t(n) * size_t(n - 1), n, kMapSeen);  // last row
  for (int32_t r = 1; r < n - 1; ++r) {
    map[size_t(r) * n] = kMapSeen;
    map[size_t(r) * n + n - 1] = kMapSeen;
  }

  ps.node_x[0] = int16_t(ps.start_x);
  ps.node_y[0] = int16_t(ps.start_y);
  ps.node_parent[0] = 0;
  ps.node_state[0] = kOpen;
  ps.node_cost[0] = 1.0f;
  ps.current = ps.last = ps.first_open = 0;
  ps.best_cost = 0.0f;
  ps.result = kNotFound;
  ps.ready = 1;
  clear_open(ps);
  fill_directions(ps);
}

// A set-up that would read outside the grid or the node store: nothing to run.
void refuse_search(PathSearch& ps, int32_t level) {
  ps.level = level;
  ps.result = kNotFound;
  ps.ready = 0;
  fill_directions(ps);
}

// The grid's part in the neighbour tests, for the whole window at once, so the inner
// loop reads one small array. The grid does not change during a run.
void classify_window(PathSearch& ps, const World& w, const uint8_t* cells) {
  const int32_t n = ps.window_size;
  for (int32_t r = 0; r < n; ++r) {
    const uint8_t* row = cells + size_t(ps.origin_y + r) * size_t(w.side) + size_t(ps.origin_x);
    const uint8_t* map = ps.window_map.get() + size_t(r) * size_t(n);
    uint8_t* out = ps.window_class.get() + size_t(r) * size_t(n);
    for (int32_t x = 0; x < n; ++x)
      out[x] = ps.code_class[row[x]] & uint8_t(kClassOpenGround | (map[x] == kMapUnseen));
  }
}

// One run of the search. The working values live in locals (the compiler cannot keep
// them in registers through stores into the node arrays otherwise) and go back at the end.
struct Run {
  int16_t* node_x;
  int16_t* node_y;
  int32_t* parent;
  uint8_t* state;
  float* cost;
  uint8_t* map;
  uint8_t* cls;
  int32_t* link;
  int32_t* stack;
  const uint8_t* cells;  // the search level of the grid
  const float* terrain;  // by tile code
  int32_t n, origin_x, origin_y, side;
  int32_t map_step[8], grid_step[8];  // offsets of each direction's neighbour
  float none_cheaper;
  int32_t current, last, first_open, open_count, top;
  uint32_t floor;
  uint64_t mask;
  int32_t head[33], tail[33];
  float best_cost;
  int32_t best_node;
  bool over_limit, scan_only;

  Run(PathSearch& ps, const World& w, const uint8_t* level_cells)
      : node_x(ps.node_x.get()),
        node_y(ps.node_y.get()),
        parent(ps.node_parent.get()),
        state(ps.node_state.get()),
        cost(ps.node_cost.get()),
        map(ps.window_map.get()),
        cls(ps.window_class.get()),
        link(ps.open_link.get()),
        stack(ps.open_stack.get()),
        cells(level_cells),
        terrain(w.cost),
        n(ps.window_size),
        origin_x(ps.origin_x),
        origin_y(ps.origin_y),
        side(w.side),
        none_cheaper(float(2 * int64_t(w.side) * w.side)),
        current(ps.current),
        last(ps.last),
        first_open(ps.first_open),
        open_count(ps.open_count),
        top(ps.open_top),
        floor(ps.open_floor),
        mask(ps.open_mask),
        best_cost(ps.best_cost),
        best_node(ps.best_node),
        over_limit(ps.over_limit != 0),
        scan_only(ps.scan_only != 0) {
    for (int d = 0; d < 8; ++d) {
      map_step[d] = kDirections[d].dy * n + kDirections[d].dx;
      grid_step[d] = kDirections[d].dy * w.side + kDirections[d].dx;
    }
    std::copy(std::begin(ps.open_head), std::end(ps.open_head), head);
    std::copy(std::begin(ps.open_tail), std::end(ps.open_tail), tail);
  }

  void store(PathSearch& ps) const {
    ps.current = current;
    ps.last = last;
    ps.first_open = first_open;
    ps.open_count = open_count;
    ps.open_top = top;
    ps.open_floor = floor;
    ps.open_mask = mask;
    ps.best_cost = best_cost;
    ps.best_node = best_node;
    ps.over_limit = over_limit;
    ps.scan_only = scan_only;
    std::copy(std::begin(head), std::end(head), ps.open_head);
    std::copy(std::begin(tail), std::end(tail), ps.open_tail);
  }

  // Nodes join the queue in index order, so every bucket stays in index order.
  void push(int32_t node, float c) {
    const int b = std::bit_width(ordered_bits(c) ^ floor);
    if (b == 0) {
      stack[top++] = node;
      return;
    }
    link[node] = -1;
    if (tail[b] < 0)
      head[b] = node;
    else
      link[tail[b]] = node;
    tail[b] = node;
    mask |= uint64_t(1) << b;
  }

  // The cheapest open node, the latest of equally cheap ones; -1 when none is queued.
  int32_t pop() {
    for (;;) {
      if (top > 0) return stack[--top];
      if (mask == 0) return -1;
      // Raise the floor to the cheapest node of the lowest bucket and spread that bucket
      // out; all lower buckets are empty, so the order within each stays intact.
      const int b = std::countr_zero(mask);
      const int32_t list = head[b];
      head[b] = tail[b] = -1;
      mask &= ~(uint64_t(1) << b);
      uint32_t lowest = std::numeric_limits<uint32_t>::max();
      for (int32_t k = list; k >= 0; k = link[k]) lowest = std::min(lowest, ordered_bits(cost[k]));
      floor = lowest;
      for (int32_t k = list; k >= 0;) {
        const int32_t next = link[k];
        push(k, cost[k]);
        k = next;
      }
    }
  }

  void expand() {
    const int32_t cur = current;
    const int32_t cx = node_x[cur], cy = node_y[cur];
    const int32_t slot = (cy - origin_y) * n + (cx - origin_x);
    const uint8_t* c = cls + slot;
    // All eight tests first, then the additions in table order: fewer unpredictable
    // branches. A node is never on the border, so its neighbours are all window cells.
    uint32_t fresh = 0;
#pragma GCC unroll 8
    for (int d = 0; d < 8; ++d) {
      const Direction& dir = kDirections[d];
      uint32_t ok = c[dir.dy * n + dir.dx] & kClassFree;
      if (dir.dx != 0 && dir.dy != 0) ok &= (c[dir.dx] & c[dir.dy * n]) >> 1;
      fresh |= ok << d;
    }
    if (fresh != 0) {
      const float base_cost = cost[cur];
      const uint8_t* here = cells + ptrdiff_t(cy) * side + cx;
      open_count += std::popcount(fresh);
      do {
        const int d = std::countr_zero(fresh);
        const int32_t node = ++last;
        const int32_t at = slot + map_step[d];
        node_x[node] = int16_t(cx + kDirections[d].dx);
        node_y[node] = int16_t(cy + kDirections[d].dy);
        parent[node] = cur;
        state[node] = kOpen;
        // the order of the additions is part of the result: keep it
        const float c_new = base_cost + kDirections[d].step + terrain[here[grid_step[d]]];
        cost[node] = c_new;
        map[at] = kMapSeen;
        cls[at] &= uint8_t(~kClassFree);
        if (!over_limit && !scan_only) push(node, c_new);
        fresh &= fresh - 1;
      } while (fresh != 0);
    }
    if (state[cur] == kOpen) --open_count;
    state[cur] = kExpanded;
    map[slot] = kExpanded;
    cls[slot] &= uint8_t(~kClassFree);
  }

  // Picks the node the full scan would: the cheapest open one, the later on ties, none
  // dearer than 2 x side squared; with nothing to pick, the last node again.
  void select_next() {
    if (scan_only) return scan_next();
    int32_t pick = over_limit ? -1 : pop();
    // Nodes only get dearer from here on: once the cheapest is over the limit, all are.
    if (pick >= 0 && !(cost[pick] <= none_cheaper)) {
      over_limit = true;
      pick = -1;
    }
    if (pick >= 0) {
      best_cost = cost[pick];
      best_node = pick;
    } else {
      best_cost = none_cheaper;
      best_node = last;
    }
    current = best_node;
    // Every node below first_open is expanded, so an open one lies ahead when any is left.
    if (open_count > 0)
      while (state[first_open] == kExpanded) ++first_open;
  }

  // The plain scan, for cost tables that would break the queue's order.
  void scan_next() {
    best_cost = none_cheaper;
    best_node = last;
    for (int32_t i = first_open; i <= last; ++i)
      if (state[i] != kExpanded && cost[i] <= best_cost) {
        best_cost = cost[i];
        best_node = i;
      }
    current = best_node;
    for (int32_t i = first_open; i <= last; ++i)
      if (state[i] != kExpanded) {
        first_open = i;
        break;
      }
  }
};

}  // namespace

void create_path_search(PathSearch& ps, int32_t world_side) {
  const size_t n = size_t(world_side) * size_t(world_side);
  ps.node_capacity = int32_t(n);
  ps.node_x = std::make_unique<int16_t[]>(n);
  ps.node_y = std::make_unique<int16_t[]>(n);
  ps.node_parent = std::make_unique<int32_t[]>(n);
  ps.node_state = std::make_unique<uint8_t[]>(n);
  ps.node_cost = std::make_unique<float[]>(n);
  ps.window_map = std::make_unique<uint8_t[]>(n);
  // Only ever written before it is read; untouched pages cost no memory.
  ps.open_link = std::make_unique_for_overwrite<int32_t[]>(n);
  ps.open_stack = std::make_unique_for_overwrite<int32_t[]>(n);
  ps.window_class = std::make_unique_for_overwrite<uint8_t[]>(n);
  for (int c = 0; c < 256; ++c)
    ps.code_class[c] = uint8_t((tile_enterable(uint8_t(c)) ? kClassFree : 0) |
                               (tile_open_ground(uint8_t(c)) ? kClassOpenGround : 0));
  std::fill(std::begin(ps.open_head), std::end(ps.open_head), -1);
  std::fill(std::begin(ps.open_tail), std::end(ps.open_tail), -1);
  ps.path_target_x = std::make_unique<int32_t[]>(kUnitTableSize);
  ps.path_target_y = std::make_unique<int32_t[]>(kUnitTableSize);
  ps.path_x = std::make_unique<int32_t[]>(size_t(kUnitTableSize) * kUnitPathCapacity);
  ps.path_y = std::make_unique<int32_t[]>(size_t(kUnitTableSize) * kUnitPathCapacity);
  ps.path_length = std::make_unique<int32_t[]>(kUnitTableSize);
  ps.path_cursor = std::make_unique<int32_t[]>(kUnitTableSize);
  for (int32_t i = 0; i < kUnitTableSize; ++i) ps.path_cursor[i] = kNoPath;
  fill_directions(ps);
  ps.ready = 0;
}

void release_path_search(PathSearch& ps) { ps = PathSearch{}; }

void setup_centred_search(PathSearch& ps, const World& w, int32_t sx, int32_t sy, int32_t tx,
                          int32_t ty, int32_t level, int32_t window) {
  if (!search_fits(ps, w, level, window)) return refuse_search(ps, level);
  ps.level = level;
  ps.window_size = window;
  const int32_t edge = w.side - 1;
  sx = clamp_to(sx, 0, edge);
  sy = clamp_to(sy, 0, edge);
  tx = clamp_to(tx, 0, edge);
  ty = clamp_to(ty, 0, edge);
  ps.origin_x = std::min(std::max(sx - window / 2, 0), w.side - window);
  ps.origin_y = std::min(std::max(sy - window / 2, 0), w.side - window);
  prepare_window(ps, sx, sy, tx, ty);
}

void setup_search_at_origin(PathSearch& ps, const World& w, int32_t ox, int32_t oy, int32_t sx,
                            int32_t sy, int32_t tx, int32_t ty, int32_t level, int32_t window) {
  if (!search_fits(ps, w, level, window)) return refuse_search(ps, level);
  ps.level = level;
  ps.window_size = window;
  const int32_t edge = w.side - 1;
  sx = clamp_to(sx, 0, edge);
  sy = clamp_to(sy, 0, edge);
  tx = clamp_to(tx, 0, edge);
  ty = clamp_to(ty, 0, edge);
  // The window never reaches the last row or column unless it is as wide as the grid.
  auto place = [&](int32_t o) {
    o = std::min(std::max(o, 0), w.side - 1 - window);
    return std::min(std::max(o, 0), w.side - window);
  };
  ps.origin_x = place(ox);
  ps.origin_y = place(oy);
  prepare_window(ps, sx, sy, tx, ty);
}

void run_search(PathSearch& ps, const World& w, int32_t budget) {
  if (!ps.ready) return;
  if (ps.start_x == ps.target_x && ps.start_y == ps.target_y) {
    ps.result = kStartIsTarget;
    return;
  }
  const int32_t limit = ps.window_size * ps.window_size - 9;
  if (int64_t(ps.last) + budget >= limit) budget = limit - ps.last;
  if (budget <= 0) return;
  const uint8_t* cells = w.grid.get() + cell_index(w, 0, 0, ps.level);
  classify_window(ps, w, cells);
  if (!ps.scan_only && !costs_never_fall(w)) ps.scan_only = 1;
  Run run(ps, w, cells);
  for (int32_t i = 0; i < budget; ++i) {
    run.expand();
    run.select_next();
    if (run.node_x[run.current] == ps.target_x && run.node_y[run.current] == ps.target_y) {
      ps.result = kFound;
      ps.goal = run.current;
      break;
    }
    // Nothing open: the last node is expanded, and every later round repeats this one.
    if (run.open_count == 0) break;
  }
  run.store(ps);
}

void store_unit_path(PathSearch& ps, int32_t unit) {
  if (unit < 0 || unit >= kUnitTableSize) return;
  // Parents always have lower indexes, so the walk ends at the start.
  int32_t cells = 1;
  for (int32_t k = ps.goal; ps.node_parent[k] != 0; k = ps.node_parent[k]) ++cells;
  // A route longer than a unit path keeps the part nearest the start and ends there.
  int32_t k = ps.goal;
  for (int32_t skip = cells - kUnitPathCapacity; skip > 0; --skip) k = ps.node_parent[k];
  const size_t row = size_t(unit) * kUnitPathCapacity;
  int32_t len = 0;
  for (;;) {
    ps.path_x[row + len] = ps.node_x[k];
    ps.path_y[row + len] = ps.node_y[k];
    ++len;
    if (ps.node_parent[k] == 0) break;
    k = ps.node_parent[k];
  }
  ps.path_length[unit] = len;
  ps.path_cursor[unit] = len - 1;
  ps.first_step_x = ps.path_x[row + len - 1];
  ps.first_step_y = ps.path_y[row + len - 1];
  if (cells > kUnitPathCapacity) {
    ps.path_target_x[unit] = ps.path_x[row];
    ps.path_target_y[unit] = ps.path_y[row];
  }
}

int32_t next_path_step(PathSearch& ps, const World& w, UnitTable& units, int32_t u, int32_t tx,
                       int32_t ty, int32_t window, int32_t advance) {
  if (u < 0 || u >= kUnitTableSize) return 0;
  UnitRecord& r = unit(units, u);
  int32_t& cursor = ps.path_cursor[u];
  if (cursor == kNoPath) {
    setup_centred_search(ps, w, r.x, r.y, tx, ty, r.level, window);
    run_search(ps, w, window_budget(window));
    if (ps.result != kFound) {
      ps.path_length[u] = 0;
      r.order_flag = 0;
      return 0;
    }
    ps.path_target_x[u] = tx;
    ps.path_target_y[u] = ty;
    store_unit_path(ps, u);
    r.next_x = uint16_t(path_cell_x(ps, u, cursor));
    r.next_y = uint16_t(path_cell_y(ps, u, cursor));
    if (advance) --cursor;
    return 1;
  }
  // Used up (-1), or a cursor no stored path could have left: nothing to hand out.
  if (cursor < 0 || cursor >= kUnitPathCapacity) return 0;
  r.next_x = uint16_t(path_cell_x(ps, u, cursor));
  r.next_y = uint16_t(path_cell_y(ps, u, cursor));
  --cursor;
  if (cursor != -1) return 1;
  cursor = kNoPath;
  r.order_flag = 0;
  // The unit lands on the target it was sent to, but never off the grid.
  r.x = uint16_t(clamp_to(ps.path_target_x[u], 0, w.side - 1));
  r.y = uint16_t(clamp_to(ps.path_target_y[u], 0, w.side - 1));
  return 0;
}

int32_t coarse_route_step(PathSearch& ps, const World& w, UnitTable& units, int32_t r,
                          int32_t tx, int32_t ty, int32_t window, int32_t ox, int32_t oy) {
  if (r < 0 || r >= kUnitTableSize) return 0;
  UnitRecord& rec = unit(units, r);
  setup_search_at_origin(ps, w, ox, oy, rec.x, rec.y, tx, ty, rec.level, window);
  run_search(ps, w, window_budget(window));
  if (ps.result != kFound) {
    rec.order_flag = 0;
    return 0;
  }
  store_unit_path(ps, r);
  rec.next_x = uint16_t(ps.first_step_x);
  rec.next_y = uint16_t(ps.first_step_y);
  return 1;
}
