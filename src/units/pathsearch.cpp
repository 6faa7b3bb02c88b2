#include "units/pathsearch.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstring>
#include <iterator>
#include <limits>
#include <type_traits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

void empty_lane(PathSearch& ps, int32_t lane) {
  const int32_t before = ps.node_capacity + lane;
  ps.lanes[lane] = {before, before, -1.0f, -1};
  ps.open_nodes[before] = {~uint64_t(0), ~uint64_t(0), -1, lane, 0};
}

// Empties the lanes for a new search; only lanes in use need it.
void clear_open(PathSearch& ps) {
  for (int32_t k = 0; k < ps.busy_count; ++k) {
    empty_lane(ps, ps.busy_lanes[k]);
    ps.busy_keys[k] = ~uint64_t(0);
  }
  ps.busy_count = 0;
  ps.open_count = 1;  // the start
  ps.queued = 0;
  ps.over_limit = 0;
  ps.scan_only = 0;
}

// Gives every distinct terrain price two lanes, one per step length, when the cost
// table is new. A search that already used the old numbering goes on by scanning.
void number_lanes(PathSearch& ps, const World& w) {
  if (ps.lanes_numbered && std::memcmp(w.cost, ps.lane_prices, sizeof w.cost) == 0) return;
  if (ps.queued) ps.scan_only = 1;
  std::copy(std::begin(w.cost), std::end(w.cost), ps.lane_prices);
  int32_t prices = 0;
  ps.prices_fall = 0;
  for (int32_t code = 0; code < 256; ++code) {
    const float price = w.cost[code];
    if (!(price >= 0.0f)) ps.prices_fall = 1;  // NaN too
    int32_t k = 0;
    while (k < code && !(w.cost[k] == price)) ++k;
    ps.lane_of_code[code] = k < code ? ps.lane_of_code[k] : uint16_t(2 * prices++);
  }
  ps.lanes_numbered = 1;
}

// What a search may touch: a level of the grid and a window whose square fits the node store.
bool search_fits(const PathSearch& ps, const World& w, int32_t level, int32_t window) {
  return level >= 0 && level < kLevelCount && window >= 3 && window <= w.side &&
         int64_t(window) * window <= ps.node_capacity && ps.lanes != nullptr &&
         ps.open_nodes != nullptr && ps.window_class != nullptr;
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

  // The node arrays hold nothing beyond what searches wrote, so only that needs clearing.
  const size_t used = size_t(n) * size_t(n);
  const size_t dirty = std::min(used, size_t(ps.node_dirty));
  std::fill_n(ps.node_x.get(), dirty, int16_t(0));
  std::fill_n(ps.node_y.get(), dirty, int16_t(0));
  std::fill_n(ps.node_parent.get(), dirty, 0);
  std::fill_n(ps.node_state.get(), dirty, uint8_t(0));
  std::fill_n(ps.node_cost.get(), dirty, 0.0f);
  if (size_t(ps.node_dirty) <= used) ps.node_dirty = 1;
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


// The set-up steps before the window is placed: start and target clamped into the grid.
// False, with the search refused, when it would not fit.
bool begin_setup(PathSearch& ps, const World& w, int32_t level, int32_t window, int32_t& sx,
                 int32_t& sy, int32_t& tx, int32_t& ty) {
  if (!search_fits(ps, w, level, window)) {
    refuse_search(ps, level);
    return false;
  }
  ps.level = level;
  ps.window_size = window;
  const int32_t edge = w.side - 1;
  sx = clamp_to(sx, 0, edge);
  sy = clamp_to(sy, 0, edge);
  tx = clamp_to(tx, 0, edge);
  ty = clamp_to(ty, 0, edge);
  return true;
}

// The tile tests written for 16 cells at a time. They are used only when they agree
// with the world's own tests on every code (checked once, at creation).
constexpr uint8_t kFirstEnterable = 6;  // codes 0 to 5 are never entered
bool rules_enterable(uint8_t code) { return code >= kFirstEnterable && code != kTileWall; }
bool rules_open_ground(uint8_t code) {
  return code == kTilePlain || code == kTileForest || code == kTileHills || code == kTileFloor;
}

bool rules_match_world() {
  for (int32_t c = 0; c < 256; ++c)
    if (rules_enterable(uint8_t(c)) != tile_enterable(uint8_t(c)) ||
        rules_open_ground(uint8_t(c)) != tile_open_ground(uint8_t(c)))
      return false;
  return true;
}

// Classifies up to 64 cells of a window row: bit x of `free` when cell x is enterable
// and unseen, of `open` when it holds open ground.
void classify_row(bool simd, const uint8_t* codes, const uint8_t* map, int32_t count,
                  uint64_t& free, uint64_t& open) {
  free = open = 0;
  int32_t x = 0;
#if defined(__SSE2__)
  if (simd) {
    const __m128i lowest_enterable = _mm_set1_epi8(char(kFirstEnterable));
    const __m128i wall = _mm_set1_epi8(char(kTileWall)), zero = _mm_setzero_si128();
    const __m128i plain = _mm_set1_epi8(char(kTilePlain));
    const __m128i forest = _mm_set1_epi8(char(kTileForest));
    const __m128i hills = _mm_set1_epi8(char(kTileHills));
    const __m128i floor = _mm_set1_epi8(char(kTileFloor));
    for (; x + 16 <= count; x += 16) {
      const __m128i code = _mm_loadu_si128(reinterpret_cast<const __m128i*>(codes + x));
      const __m128i seen = _mm_loadu_si128(reinterpret_cast<const __m128i*>(map + x));
      const __m128i high = _mm_cmpeq_epi8(_mm_max_epu8(code, lowest_enterable), code);
      const __m128i enterable = _mm_andnot_si128(_mm_cmpeq_epi8(code, wall), high);
      const __m128i unseen = _mm_cmpeq_epi8(seen, zero);
      const __m128i ground =
          _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(code, plain), _mm_cmpeq_epi8(code, forest)),
                       _mm_or_si128(_mm_cmpeq_epi8(code, hills), _mm_cmpeq_epi8(code, floor)));
      free |= uint64_t(uint32_t(_mm_movemask_epi8(_mm_and_si128(enterable, unseen)))) << x;
      open |= uint64_t(uint32_t(_mm_movemask_epi8(ground))) << x;
    }
  }
#endif
  for (; x < count; ++x) {
    free |= uint64_t(tile_enterable(codes[x]) && map[x] == kMapUnseen) << x;
    open |= uint64_t(tile_open_ground(codes[x])) << x;
  }
}

// The neighbour tests on window rows of up to 64 cells, a bit per cell.
struct RowCells {
  uint64_t* free;
  const uint64_t* open;

  explicit RowCells(PathSearch& ps) : free(ps.free_rows), open(ps.open_rows) {}

  static void classify(PathSearch& ps, const World& w, const uint8_t* cells) {
    const int32_t n = ps.window_size;
    for (int32_t r = 0; r < n; ++r) {
      const uint8_t* row = cells + size_t(ps.origin_y + r) * size_t(w.side) + size_t(ps.origin_x);
      classify_row(ps.rules_simd != 0, row, ps.window_map.get() + size_t(r) * size_t(n), n,
                   ps.free_rows[r], ps.open_rows[r]);
      std::memcpy(ps.window_codes + size_t(r) * PathSearch::kRowBits, row, size_t(n));
    }
  }

  // Index: the free bits of the 3 x 3 cells around, bottom row in bits 6..8.
  static constexpr std::array<uint8_t, 512> kFreeToDirections = [] {
    std::array<uint8_t, 512> t{};
    for (int32_t i = 0; i < 512; ++i)
      for (int32_t d = 0; d < 8; ++d) {
        const int32_t bit = (1 - kDirections[d].dy) * 3 + (kDirections[d].dx + 1);
        if (i >> bit & 1) t[size_t(i)] |= uint8_t(1 << d);
      }
    return t;
  }();
  // Index: open ground left (bit 0), above (1), right (2), below (3). Diagonal steps pass
  // only between two cells of open ground.
  static constexpr std::array<uint8_t, 16> kOpenToDirections = [] {
    std::array<uint8_t, 16> t{};
    for (int32_t i = 0; i < 16; ++i)
      for (int32_t d = 0; d < 8; ++d) {
        const int32_t dx = kDirections[d].dx, dy = kDirections[d].dy;
        const bool side_x = dx == 0 || (i >> (dx < 0 ? 0 : 2) & 1);
        const bool side_y = dy == 0 || (i >> (dy > 0 ? 1 : 3) & 1);
        if (dx == 0 || dy == 0 || (side_x && side_y)) t[size_t(i)] |= uint8_t(1 << d);
      }
    return t;
  }();

  // The neighbours of window cell (x, y) that become nodes, a bit per direction. A node
  // is never on the border, so its neighbours are all window cells.
  static uint32_t fresh_at(const uint64_t* free, const uint64_t* open, int32_t x, int32_t y) {
    const int32_t s = x - 1;
    const uint32_t f = uint32_t((free[y + 1] >> s) & 7) | uint32_t((free[y] >> s) & 5) << 3 |
                       uint32_t((free[y - 1] >> s) & 7) << 6;
    const uint32_t o = uint32_t((open[y] >> s) & 5) | uint32_t((open[y + 1] >> x) & 1) << 1 |
                       uint32_t((open[y - 1] >> x) & 1) << 3;
    return kFreeToDirections[f] & kOpenToDirections[o];
  }
  uint32_t fresh(int32_t x, int32_t y, int32_t /*slot*/) const { return fresh_at(free, open, x, y); }
  void take(int32_t x, int32_t y, int32_t /*slot*/) const { free[y] &= ~(uint64_t(1) << x); }
};

// The same tests for any window, a byte per cell.
struct ByteCells {
  uint8_t* cls;
  int32_t n;

  explicit ByteCells(PathSearch& ps) : cls(ps.window_class.get()), n(ps.window_size) {}

  static void classify(PathSearch& ps, const World& w, const uint8_t* cells) {
    const int32_t n = ps.window_size;
    for (int32_t r = 0; r < n; ++r) {
      const uint8_t* row = cells + size_t(ps.origin_y + r) * size_t(w.side) + size_t(ps.origin_x);
      const uint8_t* map = ps.window_map.get() + size_t(r) * size_t(n);
      uint8_t* out = ps.window_class.get() + size_t(r) * size_t(n);
      for (int32_t x = 0; x < n; ++x)
        out[x] = uint8_t(((tile_enterable(row[x]) && map[x] == kMapUnseen) ? kClassFree : 0) |
                         (tile_open_ground(row[x]) ? kClassOpenGround : 0));
    }
  }

  uint32_t fresh(int32_t /*x*/, int32_t /*y*/, int32_t slot) const {
    const uint8_t* c = cls + slot;
    uint32_t fresh = 0;
    for (int d = 0; d < 8; ++d) {
      const Direction& dir = kDirections[d];
      uint32_t ok = c[dir.dy * n + dir.dx] & kClassFree;
      if (dir.dx != 0 && dir.dy != 0) ok &= (c[dir.dx] & c[dir.dy * n]) >> 1;
      fresh |= ok << d;
    }
    return fresh;
  }
  void take(int32_t /*x*/, int32_t /*y*/, int32_t slot) const {
    cls[slot] &= uint8_t(~kClassFree);
  }
};

// The node store and window of a run, for the plain scan.
template <class Cells>
struct Search {
  Cells cells;
  int16_t* node_x;
  int16_t* node_y;
  int32_t* parent;
  uint8_t* state;
  float* cost;
  uint8_t* map;
  const uint8_t* grid;   // the search level
  const float* terrain;  // by tile code
  int32_t n, origin_x, origin_y, side;

  Search(PathSearch& ps, const World& w, const uint8_t* level_cells)
      : cells(ps),
        node_x(ps.node_x.get()),
        node_y(ps.node_y.get()),
        parent(ps.node_parent.get()),
        state(ps.node_state.get()),
        cost(ps.node_cost.get()),
        map(ps.window_map.get()),
        grid(level_cells),
        terrain(w.cost),
        n(ps.window_size),
        origin_x(ps.origin_x),
        origin_y(ps.origin_y),
        side(w.side) {}

  // Expands node `cur`: adds its fresh neighbours as nodes `last` + 1 and up. Returns
  // the number of nodes it opened less 1 when `cur` itself was open.
  int32_t expand(int32_t cur, int32_t& last) const {
    const int32_t cx = node_x[cur], cy = node_y[cur];
    const int32_t x = cx - origin_x, y = cy - origin_y;
    const int32_t slot = y * n + x;
    int32_t opened = 0;
    for (uint32_t fresh = cells.fresh(x, y, slot); fresh != 0; fresh &= fresh - 1) {
      const Direction& dir = kDirections[std::countr_zero(fresh)];
      const int32_t node = ++last;
      node_x[node] = int16_t(cx + dir.dx);
      node_y[node] = int16_t(cy + dir.dy);
      parent[node] = cur;
      state[node] = kOpen;
      cost[node] = cost[cur] + dir.step +
                   terrain[grid[ptrdiff_t(cy + dir.dy) * side + (cx + dir.dx)]];
      map[slot + dir.dy * n + dir.dx] = kMapSeen;
      cells.take(x + dir.dx, y + dir.dy, slot + dir.dy * n + dir.dx);
      ++opened;
    }
    if (state[cur] == kOpen) --opened;
    state[cur] = kExpanded;
    map[slot] = kExpanded;
    cells.take(x, y, slot);
    return opened;
  }
};

// Sorts picks: cheaper first, then the later node. Costs here are never negative, so
// their bits order like their values.
uint64_t pick_key(float cost, int32_t node) {
  return uint64_t(std::bit_cast<uint32_t>(cost)) << 32 | uint32_t(~uint32_t(node));
}

// Direction tables for the rounds.
constexpr std::array<int32_t, 8> kDx = {0, 1, 1, 1, 0, -1, -1, -1};
constexpr std::array<int32_t, 8> kDy = {1, 1, 0, -1, -1, -1, 0, 1};
constexpr std::array<float, 8> kStep = {1.0f, 1.4142f, 1.0f, 1.4142f,
                                        1.0f, 1.4142f, 1.0f, 1.4142f};
static_assert([] {
  for (int d = 0; d < 8; ++d)
    if (kDx[size_t(d)] != kDirections[d].dx || kDy[size_t(d)] != kDirections[d].dy ||
        kStep[size_t(d)] != kDirections[d].step)
      return false;
  return true;
}());

// The open nodes' lanes during a run, their busy count in a local.
struct OpenLanes {
  PathSearch::Lane* lanes;
  PathSearch::OpenNode* rec;
  int32_t* busy_lanes;
  uint64_t* busy_keys;
  int32_t capacity;
  int32_t busy;

  explicit OpenLanes(PathSearch& ps)
      : lanes(ps.lanes.get()),
        rec(ps.open_nodes.get()),
        busy_lanes(ps.busy_lanes),
        busy_keys(ps.busy_keys),
        capacity(ps.node_capacity),
        busy(ps.busy_count) {}

  // Into its lane: at the end, or ahead of the tail's run when it costs the same. An
  // empty lane's tail cost matches nothing, and its tail is the entry before it.
  void join(int32_t lane, int32_t node, float c, uint64_t key, int32_t parent) {
    PathSearch::Lane& l = lanes[lane];
    const int32_t t = l.tail, r = l.run;
    const int32_t tie = -int32_t(c == l.tail_cost);  // all ones on a tie
    const int32_t after = t ^ ((t ^ r) & tie);
    PathSearch::OpenNode& a = rec[after];
    rec[node] = {key, a.next_key, a.next, lane, parent};
    a.next = node;
    a.next_key = key;
    l.run = after;
    l.tail = node ^ ((node ^ t) & tie);
    l.tail_cost = c;
    if (after == capacity + lane) {  // a new head
      if (l.busy < 0) {
        l.busy = busy;
        busy_lanes[busy++] = lane;
      }
      busy_keys[l.busy] = key;
    }
  }

  // The cheapest lane head, the latest of equally cheap ones; all ones when none is open.
  uint64_t cheapest() const {
    uint64_t key = ~uint64_t(0);
    for (int32_t k = 0; k < busy; k += 4)
      key = std::min(key, std::min(std::min(busy_keys[k], busy_keys[k + 1]),
                                   std::min(busy_keys[k + 2], busy_keys[k + 3])));
    return key;
  }

  // Takes the head of its lane out.
  void leave(int32_t node) {
    const PathSearch::OpenNode& b = rec[node];
    const int32_t lane = b.lane, before = capacity + lane;
    PathSearch::Lane& l = lanes[lane];
    rec[before].next = b.next;
    rec[before].next_key = b.next_key;
    busy_keys[l.busy] = b.next_key;
    if (l.run == node) l.run = before;
    if (b.next < 0) {  // the lane is empty; the last busy one takes its place
      const int32_t moved = busy_lanes[--busy];
      busy_lanes[l.busy] = moved;
      busy_keys[l.busy] = busy_keys[busy];
      busy_keys[busy] = ~uint64_t(0);
      lanes[moved].busy = l.busy;
      l = {before, before, -1.0f, -1};
    }
  }
};

// The search with the lanes on windows wider than 64, while the cheapest open node may
// still be picked. Returns the rounds left to run when the lanes had to give up.
int32_t run_lanes(PathSearch& ps, const World& w, const uint8_t* level_cells, int32_t budget) {
  const ByteCells cells(ps);
  int16_t* const node_x = ps.node_x.get();
  int16_t* const node_y = ps.node_y.get();
  int32_t* const parent = ps.node_parent.get();
  uint8_t* const state = ps.node_state.get();
  float* const cost = ps.node_cost.get();
  uint8_t* const map = ps.window_map.get();
  OpenLanes queue(ps);
  const float* const terrain = w.cost;
  const uint16_t* const lane_of_code = ps.lane_of_code;
  const int32_t n = ps.window_size, ox = ps.origin_x, oy = ps.origin_y;
  const int32_t side = w.side;
  const float none_cheaper = float(2 * int64_t(side) * side);
  const uint8_t* const corner = level_cells + ptrdiff_t(oy) * side + ox;
  std::array<int32_t, 8> grid_step{}, map_step{};
  for (size_t d = 0; d < 8; ++d) {
    grid_step[d] = kDy[d] * side + kDx[d];
    map_step[d] = kDy[d] * n + kDx[d];
  }
  const int32_t tx = ps.target_x - ox, ty = ps.target_y - oy;
  int32_t last = ps.last, open_count = ps.open_count;
  const bool open_at_start = open_count > 0;
  int32_t emptied_by = -1;  // the node whose expansion left nothing open
  bool picked = false;      // the last round took an open node
  int32_t cur = ps.current;
  int32_t x = node_x[cur] - ox, y = node_y[cur] - oy;
  float cur_cost = cost[cur];
  int32_t i = 0;
  bool done = false;
  for (; i < budget; ++i) {
    const int32_t expanded = cur;
    const int32_t slot = y * n + x;
    uint32_t fresh = cells.fresh(x, y, slot);
    if (fresh != 0) {
      const uint8_t* here = corner + ptrdiff_t(y) * side + x;
      do {
        const size_t d = size_t(std::countr_zero(fresh));
        const int32_t node = ++last;
        const int32_t nx = x + kDx[d], ny = y + kDy[d];
        const uint8_t code = here[grid_step[d]];
        // the order of the additions is part of the result: keep it
        const float c = cur_cost + kStep[d] + terrain[code];
        node_x[node] = int16_t(ox + nx);
        node_y[node] = int16_t(oy + ny);
        parent[node] = cur;
        cost[node] = c;
        map[slot + map_step[d]] = kMapSeen;
        cells.take(nx, ny, slot + map_step[d]);
        queue.join(lane_of_code[code] + int32_t(d & 1), node, c, pick_key(c, node), cur);
        ++open_count;
        fresh &= fresh - 1;
      } while (fresh != 0);
    }
    open_count -= state[cur] == kOpen;
    state[cur] = kExpanded;
    map[slot] = kExpanded;
    cells.take(x, y, slot);

    const uint64_t key = queue.cheapest();
    picked = queue.busy > 0;
    if (picked) {
      cur_cost = std::bit_cast<float>(uint32_t(key >> 32));
      // Nodes only get dearer from here on: once the cheapest is over the limit, all
      // are, and the plain rules take over from this pick on.
      if (!(cur_cost <= none_cheaper)) {
        ps.over_limit = 1;
        break;
      }
      const uint32_t low = uint32_t(key);
      cur = int32_t(~low);
      x = node_x[cur] - ox;
      y = node_y[cur] - oy;
      queue.leave(cur);
    } else {
      cur = last;
      x = node_x[last] - ox;
      y = node_y[last] - oy;
      cur_cost = cost[last];
    }
    if (x == tx && y == ty) {
      ps.result = kFound;
      ps.goal = cur;
      done = true;
    }
    // Nothing open: the last node is expanded, and every later round repeats this one.
    if (open_count == 0) {
      emptied_by = expanded;
      done = true;
    }
    if (done) {
      ++i;
      break;
    }
  }
  ps.busy_count = queue.busy;
  ps.current = cur;
  ps.last = last;
  ps.open_count = open_count;
  if (ps.over_limit) return budget - i;  // the pick of round i is still to make
  ps.best_node = cur;
  ps.best_cost = picked ? cur_cost : none_cheaper;
  // Every node below first_open is expanded. The scan moves it to the lowest open node
  // after each pick, and stops moving it once none is open: it then rests on the node
  // that was open last.
  if (open_count > 0)
    while (state[ps.first_open] == kExpanded) ++ps.first_open;
  else if (open_at_start && emptied_by >= 0)
    ps.first_open = emptied_by;
  return 0;
}

// Windows up to 64 wide keep their cells at a row stride of 64 whatever the width: a
// neighbour is then a fixed offset away, and a cell's slot is the low 12 bits of its key.
struct Step64 {
  int32_t off;  // dy * 64 + dx
  int32_t dx, dy;
  float step;
};
constexpr std::array<Step64, 8> kSteps64 = [] {
  std::array<Step64, 8> t{};
  for (size_t d = 0; d < 8; ++d)
    t[d] = {kDirections[d].dy * 64 + kDirections[d].dx, kDirections[d].dx, kDirections[d].dy,
            kDirections[d].step};
  return t;
}();

// Both neighbour tables in one. Index: the free bits of the 3 x 3 cells around (bottom
// row in bits 6..8), then open ground left, above, right and below in bits 9..12.
constexpr std::array<uint8_t, 8192> kFreshAround = [] {
  std::array<uint8_t, 8192> t{};
  for (size_t i = 0; i < t.size(); ++i)
    t[i] = RowCells::kFreeToDirections[i & 511] & RowCells::kOpenToDirections[i >> 9];
  return t;
}();

// The search with the lanes on a window up to 64 wide, while the cheapest open node may
// still be picked: the same rounds as run_lanes, with all a round needs of a node in its
// key and the grid's codes copied beside the window. kFull: the window is 64 wide, so
// window map entries sit at the cell's slot.
// Returns the rounds left to run when the lanes had to give up.
template <bool kFull>
int32_t run_window(PathSearch& ps, const World& w, int32_t budget) {
  uint64_t* const free = ps.free_rows;
  const uint64_t* const open = ps.open_rows;
  const uint8_t* const codes = ps.window_codes;
  int16_t* const node_x = ps.node_x.get();
  int16_t* const node_y = ps.node_y.get();
  int32_t* const parent = ps.node_parent.get();
  uint8_t* const state = ps.node_state.get();
  float* const cost = ps.node_cost.get();
  uint8_t* const map = ps.window_map.get();
  OpenLanes queue(ps);
  const PathSearch::OpenNode* const rec = queue.rec;
  const float* const price = ps.lane_prices;  // the world's table, as the lanes were numbered
  const uint16_t* const lane_of_code = ps.lane_of_code;
  const int32_t n = ps.window_size, ox = ps.origin_x, oy = ps.origin_y;
  const float none_cheaper = float(2 * int64_t(w.side) * w.side);
  std::array<int32_t, 8> map_off{};
  for (size_t d = 0; d < 8; ++d) map_off[d] = kDy[d] * n + kDx[d];
  const int32_t target = (ps.target_y - oy) * 64 + (ps.target_x - ox);
  const int32_t last_at_start = ps.last;
  const bool open_at_start = ps.open_count > 0;
  int32_t last = ps.last;
  int32_t cur = ps.current;
  int32_t s = (node_y[cur] - oy) * 64 + (node_x[cur] - ox);
  float cur_cost = cost[cur];
  const bool first_open_node = state[cur] == kOpen;
  // Every node but the start had its cell taken when it was found.
  free[s >> 6] &= ~(uint64_t(1) << (s & 63));
  int32_t emptied_by = -1;  // the node whose expansion left nothing open
  bool over = false;        // the cheapest open node costs more than any pick may
  int32_t i = 0;            // rounds expanded
  while (i < budget) {
    const int32_t expanded = cur;
    const int32_t y = s >> 6, x = s & 63, sh = x - 1;
    const uint32_t f = uint32_t(free[y + 1] >> sh & 7) | uint32_t(free[y] >> sh & 5) << 3 |
                       uint32_t(free[y - 1] >> sh & 7) << 6;
    const uint32_t o = uint32_t(open[y] >> sh & 5) | uint32_t(open[y + 1] >> sh & 2) |
                       uint32_t(open[y - 1] >> sh & 2) << 2;
    uint32_t fresh = kFreshAround[f | o << 9];
    const int32_t ms = kFull ? s : y * n + x;
    if (fresh != 0) {
      do {
        const size_t d = size_t(std::countr_zero(fresh));
        const Step64& st = kSteps64[d];
        const int32_t ns = s + st.off;
        const uint8_t code = codes[ns];
        // the order of the additions is part of the result: keep it
        const float c = cur_cost + st.step + price[code];
        const int32_t node = ++last;
        map[kFull ? ns : ms + map_off[d]] = kMapSeen;
        free[ns >> 6] &= ~(uint64_t(1) << (ns & 63));
        const uint64_t key = uint64_t(std::bit_cast<uint32_t>(c)) << 32 |
                             uint32_t(4095 - node) << 12 | uint32_t(ns);
        queue.join(lane_of_code[code] + int32_t(d & 1), node, c, key, cur);
        fresh &= fresh - 1;
      } while (fresh != 0);
    }
    state[cur] = kExpanded;
    map[ms] = kExpanded;
    ++i;
    if (queue.busy == 0) {  // nothing open
      emptied_by = expanded;
      break;
    }
    const uint64_t key = queue.cheapest();
    const float pick_cost = std::bit_cast<float>(uint32_t(key >> 32));
    // Nodes only get dearer from here on: once the cheapest is over the limit, all are,
    // and the plain rules take over from this pick on.
    if (!(pick_cost <= none_cheaper)) {
      over = true;
      break;
    }
    cur_cost = pick_cost;
    const uint32_t low = uint32_t(key);
    cur = 4095 - int32_t(low >> 12);
    s = int32_t(low & 4095);
    queue.leave(cur);
    if (s == target) {
      ps.result = kFound;
      ps.goal = cur;
      break;
    }
  }
  // The node store learns the new nodes from their keys.
  for (int32_t k = last_at_start + 1; k <= last; ++k) {
    const uint64_t key = rec[k].key;
    node_x[k] = int16_t(ox + int32_t(key & 63));
    node_y[k] = int16_t(oy + int32_t(key >> 6 & 63));
    parent[k] = rec[k].parent;
    cost[k] = std::bit_cast<float>(uint32_t(key >> 32));
  }
  if (emptied_by >= 0) {
    // The last node is expanded again, and every later round repeats this one.
    cur = last;
    cur_cost = cost[last];
    if (node_x[last] == ps.target_x && node_y[last] == ps.target_y) {
      ps.result = kFound;
      ps.goal = cur;
    }
  }
  // Every round expanded an open node, except a first one that repeated a node.
  const int32_t expanded_open = i - (i > 0 && !first_open_node ? 1 : 0);
  const int32_t open_count = ps.open_count + (last - last_at_start) - expanded_open;
  ps.busy_count = queue.busy;
  ps.current = cur;
  ps.last = last;
  ps.open_count = open_count;
  if (over) {
    ps.over_limit = 1;
    return budget - (i - 1);  // the pick of the last round is still to make
  }
  ps.best_node = cur;
  ps.best_cost = emptied_by < 0 ? cur_cost : none_cheaper;
  // Every node below first_open is expanded. The scan moves it to the lowest open node
  // after each pick, and stops moving it once none is open: it then rests on the node
  // that was open last.
  if (open_count > 0)
    while (state[ps.first_open] == kExpanded) ++ps.first_open;
  else if (open_at_start && emptied_by >= 0)
    ps.first_open = emptied_by;
  return 0;
}

// The designed rounds to the letter: every pick scans the node store. For cost tables
// the lanes cannot order, and for searches whose open nodes all cost too much.
// With `pick_first`, the first round's expansion has already been made.
template <class Cells>
void run_scan(PathSearch& ps, const Search<Cells>& s, int32_t budget, bool pick_first) {
  const float none_cheaper = float(2 * int64_t(s.side) * s.side);
  for (int32_t i = 0; i < budget; ++i) {
    if (!pick_first || i > 0) ps.open_count += s.expand(ps.current, ps.last);
    ps.best_cost = none_cheaper;
    ps.best_node = ps.last;
    if (!ps.over_limit)
      for (int32_t k = ps.first_open; k <= ps.last; ++k)
        if (s.state[k] != kExpanded && s.cost[k] <= ps.best_cost) {
          ps.best_cost = s.cost[k];
          ps.best_node = k;
        }
    ps.current = ps.best_node;
    for (int32_t k = ps.first_open; k <= ps.last; ++k)
      if (s.state[k] != kExpanded) {
        ps.first_open = k;
        break;
      }
    if (s.node_x[ps.current] == ps.target_x && s.node_y[ps.current] == ps.target_y) {
      ps.result = kFound;
      ps.goal = ps.current;
      return;
    }
    if (ps.open_count == 0) return;  // every later round would repeat this one
  }
}

// The rounds of a run, on the window classified into Cells.
template <class Cells>
void run_rounds(PathSearch& ps, const World& w, const uint8_t* cells, int32_t budget) {
  const Search<Cells> s(ps, w, cells);
  if (ps.scan_only || ps.over_limit) return run_scan(ps, s, budget, false);
  ps.queued = 1;
  int32_t left = 0;
  if constexpr (std::is_same_v<Cells, RowCells>)
    left = ps.window_size == PathSearch::kRowBits ? run_window<true>(ps, w, budget)
                                                  : run_window<false>(ps, w, budget);
  else
    left = run_lanes(ps, w, cells, budget);
  if (left > 0) run_scan(ps, s, left, true);
}

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
  ps.open_nodes = std::make_unique_for_overwrite<PathSearch::OpenNode[]>(n + PathSearch::kLanes);
  ps.busy_count = 0;
  std::fill(std::begin(ps.busy_keys), std::end(ps.busy_keys), ~uint64_t(0));
  ps.lanes = std::make_unique_for_overwrite<PathSearch::Lane[]>(PathSearch::kLanes);
  for (int32_t lane = 0; lane < PathSearch::kLanes; ++lane) empty_lane(ps, lane);
  ps.window_class = std::make_unique_for_overwrite<uint8_t[]>(n);
  ps.rules_simd = rules_match_world();
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
  if (!begin_setup(ps, w, level, window, sx, sy, tx, ty)) return;
  ps.origin_x = std::min(std::max(sx - window / 2, 0), w.side - window);
  ps.origin_y = std::min(std::max(sy - window / 2, 0), w.side - window);
  prepare_window(ps, sx, sy, tx, ty);
}

void setup_search_at_origin(PathSearch& ps, const World& w, int32_t ox, int32_t oy, int32_t sx,
                            int32_t sy, int32_t tx, int32_t ty, int32_t level, int32_t window) {
  if (!begin_setup(ps, w, level, window, sx, sy, tx, ty)) return;
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
  number_lanes(ps, w);
  if (ps.prices_fall) ps.scan_only = 1;
  const uint8_t* cells = w.grid.get() + cell_index(w, 0, 0, ps.level);
  if (ps.window_size > PathSearch::kRowBits) {
    ByteCells::classify(ps, w, cells);
    run_rounds<ByteCells>(ps, w, cells, budget);
  } else {
    RowCells::classify(ps, w, cells);
    run_rounds<RowCells>(ps, w, cells, budget);
  }
  ps.node_dirty = std::max(ps.node_dirty, ps.last + 1);
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
