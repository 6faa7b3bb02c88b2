// The path search. A uniform-cost search from a start cell inside a square window: every
// round expands the cheapest open node (the latest of equally cheap ones), its enterable
// neighbours not yet seen becoming nodes that cost its cost plus a step and the terrain
// price; diagonal steps pass only between two cells of open ground. It stops when it picks
// the target, when nothing is open, or when the window's budget is spent. The result is
// exactly that of the plain version that scans the node store for every pick (the tests
// keep it as their reference); this one finds the pick in lanes of open nodes instead, in
// windows up to kSearchWindow wide, all the game asks for. A found route becomes a unit's
// path; keptrees.cpp answers repeated searches from a start without searching again.
#include "units/pathsearch.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <new>

#include "units/pathsearch_internal.h"
#include "world/tiletable.h"
#include "world/world.h"

namespace {

struct Direction {
  int32_t dx, dy;
  float step;  // 1.0 orthogonal, 1.4142f diagonal
};

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

}  // namespace

void SearchDeleter::operator()(PathSearchWork* work) const { delete work; }

namespace {

using Lane = PathSearchWork::Lane;
using OpenNode = PathSearchWork::OpenNode;

void empty_lane(PathSearchWork& s, int32_t lane) {
  const int32_t before = kFastNodes + lane;
  s.lanes[lane] = {before, before, -1.0f, -1};
  s.open_nodes[before] = {~uint64_t(0), ~uint64_t(0), -1, lane, 0};
}

// Empties the lanes for a new search; only lanes in use need it.
void clear_open(PathSearchWork& s) {
  for (int32_t k = 0; k < s.busy_count; ++k) {
    empty_lane(s, s.busy_lanes[k]);
    s.busy_keys[k] = ~uint64_t(0);
  }
  s.busy_count = 0;
  s.open_count = 1;  // the start
  s.over_limit = 0;
}

// Every distinct terrain price gets two lanes, one per step length. A node costs its
// parent's cost plus a step and a price, and parents are picked cheapest first, so nodes
// that paid the same join their lane in rising cost, as long as no price is negative.
constexpr std::array<uint16_t, 256> kLaneOfCode = [] {
  std::array<uint16_t, 256> t{};
  int32_t prices = 0;
  for (size_t code = 0; code < 256; ++code) {
    size_t k = 0;
    while (k < code && kTerrainCost[k] != kTerrainCost[code]) ++k;
    t[code] = k < code ? t[k] : uint16_t(2 * prices++);
  }
  return t;
}();
static_assert(std::ranges::all_of(kTerrainCost, [](float price) { return price >= 0.0f; }));
static_assert(std::ranges::max(kLaneOfCode) < kLanes);

template <class T>
ZeroedArray<T> zeroed(size_t n) {
  T* p = static_cast<T*>(std::calloc(n, sizeof(T)));
  if (p == nullptr) throw std::bad_alloc();
  return ZeroedArray<T>(p);
}

// The set-up steps once the search is placed.
void prepare_window(PathSearch& ps, const SearchPlace& p) {
  PathSearchWork& s = *ps.work;
  const int32_t n = p.window;
  s.at = p;

  // The node arrays hold nothing beyond what searches wrote, so only that needs clearing.
  const size_t used = size_t(n) * size_t(n);
  const size_t dirty = std::min(used, size_t(s.node_dirty));
  std::fill_n(s.node_x.get(), dirty, int16_t(0));
  std::fill_n(s.node_y.get(), dirty, int16_t(0));
  std::fill_n(s.node_parent.get(), dirty, 0);
  std::fill_n(s.node_state.get(), dirty, uint8_t(0));
  std::fill_n(s.node_cost.get(), dirty, 0.0f);
  if (size_t(s.node_dirty) <= used) s.node_dirty = 1;
  for (int32_t r = 0; r < n; ++r) {  // the border is seen from the start
    uint8_t* row = s.window_map.get() + size_t(r) * size_t(n);
    std::fill_n(row, n, r == 0 || r == n - 1 ? kMapSeen : kMapUnseen);
    row[0] = row[n - 1] = kMapSeen;
  }

  s.node_x[0] = int16_t(s.at.start_x);
  s.node_y[0] = int16_t(s.at.start_y);
  s.node_parent[0] = 0;
  s.node_state[0] = kOpen;
  s.node_cost[0] = 1.0f;
  s.current = s.last = s.first_open = 0;
  s.best_cost = 0.0f;
  s.result = kNotFound;
  s.ready = 1;
  clear_open(s);
}

// Bit 0: the code may be entered; bit 1: it is open ground.
constexpr std::array<uint8_t, 256> kCodeBits = [] {
  std::array<uint8_t, 256> t{};
  for (int32_t c = 0; c < 256; ++c)
    t[size_t(c)] = uint8_t(tile_enterable(uint8_t(c)) | tile_open_ground(uint8_t(c)) << 1);
  return t;
}();

// Classifies the window's rows for the fast loop: bit x of a free row when cell x is
// enterable and undiscovered, of an open row when it holds open ground. Copies the
// window's codes beside.
void classify_rows(PathSearchWork& s, const World& w, const uint8_t* level_cells) {
  const int32_t n = s.at.window;
  for (int32_t r = 0; r < n; ++r) {
    const uint8_t* codes =
        level_cells + size_t(s.at.origin_y + r) * size_t(w.side) + size_t(s.at.origin_x);
    const uint8_t* map = s.window_map.get() + size_t(r) * size_t(n);
    uint64_t free = 0, open = 0;
    for (int32_t x = 0; x < n; ++x) {
      const uint64_t bits = kCodeBits[codes[x]];
      free |= (bits & uint64_t(map[x] == kMapUnseen)) << x;
      open |= (bits >> 1) << x;
    }
    s.free_rows[r] = free;
    s.open_rows[r] = open;
    std::memcpy(s.window_codes + (size_t(r) << kRowShift), codes, size_t(n));
  }
}

// The neighbours of a cell that become nodes, a bit per direction. Index: the free bits
// of the 3 x 3 cells around (bottom row in bits 6..8), then open ground left, above,
// right and below in bits 9..12. Diagonal steps pass only between two cells of open ground.
constexpr std::array<uint8_t, 8192> kFreshAround = [] {
  std::array<uint8_t, 8192> t{};
  for (size_t i = 0; i < t.size(); ++i)
    for (int32_t d = 0; d < 8; ++d) {
      const int32_t dx = kDirections[d].dx, dy = kDirections[d].dy;
      const bool free = i >> ((1 - dy) * 3 + (dx + 1)) & 1;
      const size_t open = i >> 9;
      const bool passes =
          dx == 0 || dy == 0 || ((open >> (dx < 0 ? 0 : 2) & 1) && (open >> (dy > 0 ? 1 : 3) & 1));
      if (free && passes) t[i] |= uint8_t(1 << d);
    }
  return t;
}();

// At the fast loop's fixed row stride a neighbour is a fixed offset away, and a cell's slot
// fits the low bits of its key.
constexpr std::array<int32_t, 8> kSlotOffset = [] {
  std::array<int32_t, 8> t{};
  for (size_t d = 0; d < 8; ++d) t[d] = kDirections[d].dy * kSearchWindow + kDirections[d].dx;
  return t;
}();
constexpr int32_t kSlotBits = 2 * kRowShift;
constexpr uint32_t kLastSlot = kFastNodes - 1;  // also the last node a fast window holds

// The open nodes' lanes during a run, their busy count in a local.
struct OpenLanes {
  Lane* lanes;
  OpenNode* rec;
  int32_t* busy_lanes;
  uint64_t* busy_keys;
  int32_t busy;

  // Into its lane: at the end, or ahead of the tail's run when it costs the same. An
  // empty lane's tail cost matches nothing, and its tail is the entry before it.
  void join(int32_t lane, int32_t node, float c, uint64_t key, int32_t parent) {
    Lane& l = lanes[lane];
    const int32_t t = l.tail, r = l.run;
    const int32_t tie = -int32_t(c == l.tail_cost);  // all ones on a tie
    const int32_t after = t ^ ((t ^ r) & tie);
    OpenNode& a = rec[after];
    rec[node] = {key, a.next_key, a.next, lane, parent};
    a.next = node;
    a.next_key = key;
    l.run = after;
    l.tail = node ^ ((node ^ t) & tie);
    l.tail_cost = c;
    if (after == kFastNodes + lane) {  // a new head
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
    const OpenNode& b = rec[node];
    const int32_t lane = b.lane, before = kFastNodes + lane;
    Lane& l = lanes[lane];
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

// The fast loop, on a window up to kSearchWindow wide, while the cheapest open node may still be
// picked: all a round needs of a node is in its key, and the grid's codes are copied
// beside the window. Returns the rounds left to run when the lanes had to give up.
int32_t run_window(PathSearch& ps, const World& w, int32_t budget) {
  PathSearchWork& s = *ps.work;
  uint64_t* const free = s.free_rows;
  const uint64_t* const open = s.open_rows;
  const uint8_t* const codes = s.window_codes;
  uint8_t* const state = s.node_state.get();
  uint8_t* const map = s.window_map.get();
  OpenLanes queue{s.lanes, s.open_nodes, s.busy_lanes, s.busy_keys, s.busy_count};
  const OpenNode* const rec = queue.rec;
  const int32_t n = s.at.window, ox = s.at.origin_x, oy = s.at.origin_y;
  const float none_cheaper = float(2 * int64_t(w.side) * w.side);
  std::array<int32_t, 8> map_off{};  // the neighbours' offsets in the window map
  for (size_t d = 0; d < 8; ++d) map_off[d] = kDirections[d].dy * n + kDirections[d].dx;
  const int32_t target = ((s.at.target_y - oy) << kRowShift) + (s.at.target_x - ox);
  const int32_t last_at_start = s.last;
  const bool open_at_start = s.open_count > 0;
  int32_t last = s.last;
  int32_t cur = s.current;
  int32_t slot = ((s.node_y[cur] - oy) << kRowShift) + (s.node_x[cur] - ox);
  float cur_cost = s.node_cost[cur];
  const bool first_open_node = state[cur] == kOpen;
  // Every node but the start had its cell taken when it was found.
  free[slot >> kRowShift] &= ~(uint64_t(1) << (slot & (kSearchWindow - 1)));
  int32_t emptied_by = -1;  // the node whose expansion left nothing open
  bool over = false;        // the cheapest open node costs more than any pick may
  int32_t i = 0;            // rounds expanded
  while (i < budget) {
    const int32_t expanded = cur;
    const int32_t y = slot >> kRowShift, x = slot & (kSearchWindow - 1), sh = x - 1;
    const uint32_t f = uint32_t(free[y + 1] >> sh & 7) | uint32_t(free[y] >> sh & 5) << 3 |
                       uint32_t(free[y - 1] >> sh & 7) << 6;
    const uint32_t o = uint32_t(open[y] >> sh & 5) | uint32_t(open[y + 1] >> sh & 2) |
                       uint32_t(open[y - 1] >> sh & 2) << 2;
    uint32_t fresh = kFreshAround[f | o << 9];
    const int32_t ms = y * n + x;
    if (fresh != 0) {
      do {
        const size_t d = size_t(std::countr_zero(fresh));
        const int32_t ns = slot + kSlotOffset[d];
        const uint8_t code = codes[ns];
        // the order of the additions is part of the result: keep it
        const float c = cur_cost + kDirections[d].step + kTerrainCost[code];
        const int32_t node = ++last;
        map[ms + map_off[d]] = kMapSeen;
        free[ns >> kRowShift] &= ~(uint64_t(1) << (ns & (kSearchWindow - 1)));
        const uint64_t key = uint64_t(std::bit_cast<uint32_t>(c)) << 32 |
                             (kLastSlot - uint32_t(node)) << kSlotBits | uint32_t(ns);
        queue.join(kLaneOfCode[code] + int32_t(d & 1), node, c, key, cur);
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
    cur = int32_t(kLastSlot - (low >> kSlotBits));
    slot = int32_t(low & kLastSlot);
    queue.leave(cur);
    if (slot == target) {
      s.result = kFound;
      s.goal = cur;
      break;
    }
  }
  ps.rounds += uint64_t(i);
  // The node store learns the new nodes from their keys.
  for (int32_t k = last_at_start + 1; k <= last; ++k) {
    const uint64_t key = rec[k].key;
    s.node_x[k] = int16_t(ox + int32_t(key & (kSearchWindow - 1)));
    s.node_y[k] = int16_t(oy + int32_t(key >> kRowShift & (kSearchWindow - 1)));
    s.node_parent[k] = rec[k].parent;
    s.node_cost[k] = std::bit_cast<float>(uint32_t(key >> 32));
  }
  if (emptied_by >= 0) {
    // The last node is expanded again, and every later round repeats this one.
    cur = last;
    cur_cost = s.node_cost[last];
    if (s.node_x[last] == s.at.target_x && s.node_y[last] == s.at.target_y) {
      s.result = kFound;
      s.goal = cur;
    }
  }
  // Every round expanded an open node, except a first one that repeated a node.
  const int32_t expanded_open = i - (i > 0 && !first_open_node ? 1 : 0);
  const int32_t open_count = s.open_count + (last - last_at_start) - expanded_open;
  s.busy_count = queue.busy;
  s.current = cur;
  s.last = last;
  s.open_count = open_count;
  if (over) {
    s.over_limit = 1;
    return budget - (i - 1);  // the pick of the last round is still to make
  }
  s.best_node = cur;
  s.best_cost = emptied_by < 0 ? cur_cost : none_cheaper;
  // Every node below first_open is expanded. The scan moves it to the lowest open node
  // after each pick, and stops moving it once none is open: it then rests on the node
  // that was open last.
  if (open_count > 0)
    while (state[s.first_open] == kExpanded) ++s.first_open;
  else if (open_at_start && emptied_by >= 0) s.first_open = emptied_by;
  return 0;
}

// The literal rounds: every pick scans the node store. For windows wider than
// kSearchWindow, and for searches whose open nodes all cost too much. With `pick_first`, the first
// round's expansion has already been made.
void run_scan(PathSearch& ps, const World& w, const uint8_t* level_cells, int32_t budget,
              bool pick_first) {
  PathSearchWork& s = *ps.work;
  const int32_t n = s.at.window, side = w.side;
  auto code_at = [&](int32_t x, int32_t y) { return level_cells[ptrdiff_t(y) * side + x]; };
  const float none_cheaper = float(2 * int64_t(side) * side);
  for (int32_t i = 0; i < budget; ++i) {
    ++ps.rounds;
    if (!pick_first || i > 0) {
      // Expands the current node: its fresh neighbours become nodes last + 1 and up.
      const int32_t cur = s.current;
      const int32_t cx = s.node_x[cur], cy = s.node_y[cur];
      const int32_t slot = (cy - s.at.origin_y) * n + (cx - s.at.origin_x);
      for (const Direction& d : kDirections) {
        const int32_t nx = cx + d.dx, ny = cy + d.dy, m = slot + d.dy * n + d.dx;
        if (d.dx != 0 && d.dy != 0 &&
            !(tile_open_ground(code_at(nx, cy)) && tile_open_ground(code_at(cx, ny))))
          continue;
        const uint8_t code = code_at(nx, ny);
        if (s.window_map[m] != kMapUnseen || !tile_enterable(code)) continue;
        const int32_t node = ++s.last;
        s.node_x[node] = int16_t(nx);
        s.node_y[node] = int16_t(ny);
        s.node_parent[node] = cur;
        s.node_state[node] = kOpen;
        s.node_cost[node] = s.node_cost[cur] + d.step + kTerrainCost[code];
        s.window_map[m] = kMapSeen;
        ++s.open_count;
      }
      if (s.node_state[cur] == kOpen) --s.open_count;
      s.node_state[cur] = kExpanded;
      s.window_map[slot] = kExpanded;
    }
    s.best_cost = none_cheaper;
    s.best_node = s.last;
    if (!s.over_limit)
      for (int32_t k = s.first_open; k <= s.last; ++k)
        if (s.node_state[k] != kExpanded && s.node_cost[k] <= s.best_cost) {
          s.best_cost = s.node_cost[k];
          s.best_node = k;
        }
    s.current = s.best_node;
    for (int32_t k = s.first_open; k <= s.last; ++k)
      if (s.node_state[k] != kExpanded) {
        s.first_open = k;
        break;
      }
    if (s.node_x[s.current] == s.at.target_x && s.node_y[s.current] == s.at.target_y) {
      s.result = kFound;
      s.goal = s.current;
      return;
    }
    if (s.open_count == 0) return;  // every later round would repeat this one
  }
}

// Runs a prepared search with the budget of the game's searches: rounds up to the
// window's area, less a margin that keeps the node store inside the window.
void run_search(PathSearch& ps, const World& w) {
  PathSearchWork& s = *ps.work;
  if (s.at.start_x == s.at.target_x && s.at.start_y == s.at.target_y) {
    s.result = kStartIsTarget;
    return;
  }
  const int32_t budget = s.at.window * s.at.window - 9;
  if (budget <= 0) return;
  const uint8_t* cells = grid_cells(w) + cell_index(w, 0, 0, s.at.level);
  if (s.at.window > kSearchWindow) {
    run_scan(ps, w, cells, budget, false);
  } else {
    classify_rows(s, w, cells);
    const int32_t left = run_window(ps, w, budget);
    if (left > 0) run_scan(ps, w, cells, left, true);
  }
  s.node_dirty = std::max(s.node_dirty, s.last + 1);
}

// A placed search: from a kept tree when one answers, otherwise afresh; a fresh search that
// found nothing explored its whole window and is kept for the next time.
void placed_search(PathSearch& ps, const World& w, const SearchPlace& p) {
  if (kept_tree_answers(ps, w, p)) return;
  prepare_window(ps, p);
  run_search(ps, w);
  if (ps.work->result == kNotFound) keep_search(ps, w, p);
}

// Stores the route of the search just run as the unit's path; returns its cells.
int32_t store_search_route(PathSearch& ps, int32_t unit) {
  const PathSearchWork& s = *ps.work;
  // Parents always have lower indexes, so the walk ends at the start.
  return store_route(
      ps, unit, s.goal, [&](int32_t k) { return s.node_parent[k] == 0 ? -1 : s.node_parent[k]; },
      [&](int32_t k, int32_t& x, int32_t& y) { x = s.node_x[k], y = s.node_y[k]; });
}

}  // namespace

void create_path_search(PathSearch& ps, int32_t world_side) {
  const size_t n = size_t(world_side) * size_t(world_side);
  ps.work.reset(new PathSearchWork());
  PathSearchWork& s = *ps.work;
  s.node_capacity = int32_t(n);
  s.node_x = zeroed<int16_t>(n);
  s.node_y = zeroed<int16_t>(n);
  s.node_parent = zeroed<int32_t>(n);
  s.node_state = zeroed<uint8_t>(n);
  s.node_cost = zeroed<float>(n);
  s.window_map = zeroed<uint8_t>(n);
  std::fill(std::begin(s.busy_keys), std::end(s.busy_keys), ~uint64_t(0));
  for (int32_t lane = 0; lane < kLanes; ++lane) empty_lane(s, lane);
  ps.path_target_x = zeroed<int32_t>(kUnitTableSize);
  ps.path_target_y = zeroed<int32_t>(kUnitTableSize);
  ps.path_x = zeroed<int32_t>(size_t(kUnitTableSize) * kUnitPathCapacity);
  ps.path_y = zeroed<int32_t>(size_t(kUnitTableSize) * kUnitPathCapacity);
  ps.path_length = zeroed<int32_t>(kUnitTableSize);
  ps.path_cursor = zeroed<int32_t>(kUnitTableSize);
  // The rows of the units that can search are backed now: the first planning would
  // otherwise pay a page fault for each.
  auto back_rows = [&](int32_t first, int32_t last) {
    const size_t from = size_t(first) * kUnitPathCapacity;
    const size_t bytes = size_t(last + 1 - first) * kUnitPathCapacity * sizeof(int32_t);
    std::memset(&ps.path_x[from], 0, bytes);
    std::memset(&ps.path_y[from], 0, bytes);
  };
  back_rows(0, kLastPlacedUnit);
  back_rows(kPlanningRecord, kPlanningRecord);
  for (int32_t i = 0; i < kUnitTableSize; ++i) ps.path_cursor[i] = kNoPath;
}

void release_path_search(PathSearch& ps) { ps = PathSearch{}; }

bool place_search(const PathSearch& ps, const World& w, const PathRequest& rq, SearchPlace& p) {
  const int32_t window = rq.window;
  p.level = rq.level;
  p.window = window;
  // It may touch a level of the grid and a window whose square fits the node store.
  if (!ps.work || rq.level < 0 || rq.level >= kLevelCount || window < 3 || window > w.side ||
      int64_t(window) * window > ps.work->node_capacity)
    return false;
  const int32_t edge = w.side - 1;
  const int32_t sx = std::clamp(rq.start_x, 0, edge), sy = std::clamp(rq.start_y, 0, edge);
  const int32_t tx = std::clamp(rq.target_x, 0, edge), ty = std::clamp(rq.target_y, 0, edge);
  // Placed at an origin, the window never reaches the last row or column unless it is as
  // wide as the grid.
  auto origin = [&](int32_t start, int32_t o) {
    o = rq.centred ? start - window / 2 : std::min(std::max(o, 0), w.side - 1 - window);
    return std::min(std::max(o, 0), w.side - window);
  };
  p.origin_x = origin(sx, rq.origin_x);
  p.origin_y = origin(sy, rq.origin_y);
  const int32_t lo_x = p.origin_x + 1, hi_x = p.origin_x + window - 2;
  const int32_t lo_y = p.origin_y + 1, hi_y = p.origin_y + window - 2;
  p.start_x = std::clamp(sx, lo_x, hi_x);
  p.start_y = std::clamp(sy, lo_y, hi_y);
  p.target_x = std::clamp(tx, lo_x, hi_x);
  p.target_y = std::clamp(ty, lo_y, hi_y);
  return true;
}

bool search_whole_window(PathSearch& ps, const World& w, const SearchPlace& p) {
  prepare_window(ps, p);
  PathSearchWork& s = *ps.work;
  s.at.target_x = s.at.target_y = -1;  // no cell: the search runs until nothing is open
  run_search(ps, w);
  s.at.target_x = p.target_x;
  s.at.target_y = p.target_y;
  return ran_out_of_nodes(ps);
}

bool ran_out_of_nodes(const PathSearch& ps) {
  return ps.work->ready && ps.work->open_count == 0 && !ps.work->over_limit;
}

PathResult find_path(PathSearch& ps, const World& w, const PathRequest& rq) {
  SearchPlace p;
  if (rq.unit < 0 || rq.unit >= kUnitTableSize || !place_search(ps, w, rq, p)) return {};
  placed_search(ps, w, p);
  PathResult r;
  r.result = ps.work->result;
  if (r.result != kFound) return r;
  r.length = store_kept_route(ps, rq.unit);
  if (r.length == 0) r.length = store_search_route(ps, rq.unit);
  r.step_x = path_cell_x(ps, rq.unit, ps.path_cursor[rq.unit]);
  r.step_y = path_cell_y(ps, rq.unit, ps.path_cursor[rq.unit]);
  return r;
}

PathStep next_path_step(PathSearch& ps, const World& w, const PathRequest& leg) {
  const int32_t u = leg.unit;
  if (u < 0 || u >= kUnitTableSize) return {};
  int32_t& cursor = ps.path_cursor[u];
  if (cursor == kNoPath) {
    const PathResult route = find_path(ps, w, leg);
    if (route.result != kFound) {
      ps.path_length[u] = 0;
      return {};
    }
    if (route.length <= kUnitPathCapacity) {  // a longer one ends where its stored part does
      ps.path_target_x[u] = leg.target_x;
      ps.path_target_y[u] = leg.target_y;
    }
    --cursor;
    return {.kind = PathStep::kStep, .x = route.step_x, .y = route.step_y};
  }
  // Used up (-1), or a cursor no stored path could have left: nothing to hand out.
  if (cursor < 0 || cursor >= kUnitPathCapacity) return {};
  PathStep step{
      .kind = PathStep::kStep, .x = path_cell_x(ps, u, cursor), .y = path_cell_y(ps, u, cursor)};
  if (--cursor != -1) return step;
  cursor = kNoPath;
  step.kind = PathStep::kLastStep;
  // The unit lands on the target it was sent to, but never off the grid.
  step.land_x = std::clamp(ps.path_target_x[u], 0, w.side - 1);
  step.land_y = std::clamp(ps.path_target_y[u], 0, w.side - 1);
  return step;
}
