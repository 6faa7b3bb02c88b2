#include "units/keptrees.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <iterator>

#include "core/geometry.h"
#include "units/pathsearch_internal.h"
#include "world/world.h"

namespace {

constexpr int32_t kSide = 64;  // the only window width kept
constexpr int32_t kCells = kSide * kSide;
constexpr uint16_t kUnreached = 0xffff;  // parent of a cell the search never found
constexpr uint16_t kFromStart = 0xfffe;  // parent of a cell found from the start
constexpr uint32_t kBuckets = 1024;

struct TreeKey {
  int32_t level = -1, origin_x = 0, origin_y = 0, start_x = 0, start_y = 0;
  bool operator==(const TreeKey&) const = default;
};

struct KeptTree {
  TreeKey key;        // level -1: unused
  uint64_t used = 0;  // when it last answered or was made
  int16_t next = -1;  // the next tree in its bucket
  uint8_t codes[kCells];
  uint16_t parent[kCells];  // window slot of each cell's parent, by window slot
};

TreeKey key_of(const SearchPlace& p) {
  return {p.level, p.origin_x, p.origin_y, p.start_x, p.start_y};
}

uint32_t hash_of(const TreeKey& k) {
  uint64_t h = uint64_t(uint32_t(k.level)) * 0x9e3779b97f4a7c15u;
  for (int32_t v : {k.origin_x, k.origin_y, k.start_x, k.start_y})
    h = (h ^ uint32_t(v)) * 0xff51afd7ed558ccdu;
  return uint32_t(h >> 40) & (kBuckets - 1);
}

int32_t slot_of(const TreeKey& k, int32_t x, int32_t y) {
  return (y - k.origin_y) * kSide + (x - k.origin_x);
}

}  // namespace

struct KeptTrees {
  std::unique_ptr<KeptTree[]> pool;
  int32_t count = 0;
  std::array<int16_t, kBuckets> first;  // the first tree of each bucket, by key
  float prices[256] = {};               // the terrain prices the trees were grown with
  uint64_t clock = 0;
  int32_t answered = -1;    // the tree that answered the last search
  int32_t answer_slot = 0;  // and where its target sits in the window
};

void KeptTreesDeleter::operator()(KeptTrees* trees) const { delete trees; }

namespace {

int32_t find_tree(const KeptTrees& k, const TreeKey& key) {
  int32_t t = k.first[hash_of(key)];
  while (t >= 0 && !(k.pool[t].key == key)) t = k.pool[t].next;
  return t;
}

void drop_tree(KeptTrees& k, int32_t t) {
  int16_t* at = &k.first[hash_of(k.pool[t].key)];
  while (*at != t) at = &k.pool[*at].next;
  *at = k.pool[t].next;
  k.pool[t].key = TreeKey{};
}

const uint8_t* window_row(const World& w, const TreeKey& key, int32_t r) {
  return w.grid.get() + cell_index(w, key.origin_x, key.origin_y + r, key.level);
}

// Every row read without stopping at the first difference: the rows lie a grid row apart,
// and a check that waits for each row's cache miss before the next costs microseconds.
bool codes_unchanged(const World& w, const KeptTree& t) {
  uint64_t diff = 0;
  for (int32_t r = 0; r < kSide; ++r) {
    const uint8_t* row = window_row(w, t.key, r);
    for (int32_t i = 0; i < kSide; i += 8) {
      uint64_t a, b;
      std::memcpy(&a, t.codes + r * kSide + i, 8);
      std::memcpy(&b, row + i, 8);
      diff |= a ^ b;
    }
  }
  return diff == 0;
}

// New terrain prices reorder every search: no tree survives them.
void check_prices(KeptTrees& k, const World& w) {
  if (std::memcmp(k.prices, w.cost, sizeof k.prices) == 0) return;
  std::copy(std::begin(w.cost), std::end(w.cost), k.prices);
  for (int32_t t = 0; t < k.count; ++t) k.pool[t].key = TreeKey{};
  k.first.fill(-1);
}

// Copies the search that just ran out of nodes into the least recently used tree.
void keep_tree(PathSearch& ps, const World& w, const SearchPlace& p) {
  KeptTrees& k = *ps.kept;
  check_prices(k, w);
  int32_t t = find_tree(k, key_of(p));
  if (t < 0) {
    t = 0;
    for (int32_t u = 1; u < k.count && k.pool[t].key.level >= 0; ++u)
      if (k.pool[u].key.level < 0 || k.pool[u].used < k.pool[t].used) t = u;
    if (k.pool[t].key.level >= 0) drop_tree(k, t);
    const uint32_t h = hash_of(key_of(p));
    k.pool[t].key = key_of(p);
    k.pool[t].next = k.first[h];
    k.first[h] = int16_t(t);
  }
  KeptTree& tree = k.pool[t];
  tree.used = ++k.clock;
  for (int32_t r = 0; r < kSide; ++r)
    std::memcpy(tree.codes + r * kSide, window_row(w, tree.key, r), kSide);
  std::fill(std::begin(tree.parent), std::end(tree.parent), kUnreached);
  const PathSearchState s = path_search_state(ps);
  for (int32_t n = 1; n <= s.last; ++n) {
    const int32_t up = s.node_parent[n];
    tree.parent[slot_of(tree.key, s.node_x[n], s.node_y[n])] =
        up == 0 ? kFromStart : uint16_t(slot_of(tree.key, s.node_x[up], s.node_y[up]));
  }
}

}  // namespace

void create_kept_trees(PathSearch& ps, int32_t count) {
  ps.kept.reset(new KeptTrees());
  KeptTrees& k = *ps.kept;
  k.count = std::clamp(count, 1, int32_t(INT16_MAX));
  k.pool = std::make_unique<KeptTree[]>(size_t(k.count));
  k.first.fill(-1);
}

bool kept_tree_answers(PathSearch& ps, const World& w, const SearchPlace& p) {
  if (!ps.kept || p.window != kSide) return false;
  KeptTrees& k = *ps.kept;
  k.answered = -1;
  if (p.start_x == p.target_x && p.start_y == p.target_y) {
    ps.result = kStartIsTarget;
    return true;
  }
  check_prices(k, w);
  const int32_t t = find_tree(k, key_of(p));
  if (t < 0) return false;
  KeptTree& tree = k.pool[t];
  if (!codes_unchanged(w, tree)) {
    drop_tree(k, t);
    return false;
  }
  tree.used = ++k.clock;
  k.answered = t;
  k.answer_slot = slot_of(tree.key, p.target_x, p.target_y);
  ps.result = tree.parent[k.answer_slot] == kUnreached ? kNotFound : kFound;
  return true;
}

void store_kept_route(PathSearch& ps, int32_t unit) {
  const KeptTrees& k = *ps.kept;
  const KeptTree& tree = k.pool[k.answered];
  store_route(
      ps, unit, k.answer_slot,
      [&](int32_t s) { return tree.parent[s] == kFromStart ? -1 : int32_t(tree.parent[s]); },
      [&](int32_t s, int32_t& x, int32_t& y) {
        x = tree.key.origin_x + s % kSide, y = tree.key.origin_y + s / kSide;
      });
}

void keep_search(PathSearch& ps, const World& w, const SearchPlace& p) {
  if (ps.kept && p.window == kSide && ran_out_of_nodes(ps)) keep_tree(ps, w, p);
}

namespace {

// Calls `visit` with the placed searches the next movement tick will start, in its order,
// while `visit` returns true: for units about to plan, the planning record's coarse route
// and the leg from the unit's cell; for units about to search for a leg, that leg.
template <class Visit>
void next_tick_searches(const PathSearch& ps, const World& w, const UnitTable& units, Visit visit) {
  for (int32_t i = 0; i < kUnitTableSize; ++i) {
    const UnitRecord& u = unit(units, i);
    if (u.in_use != 1 || u.inactive != 0 || u.order_flag != 1) continue;
    const bool plans = u.order_state == kNewOrder || u.order_state == kPlanAgain;
    SearchPlace p;
    const int32_t coarse = u.level + kCoarseLevelBase;
    if (plans && coarse < kLevelCount &&
        place_at_origin(ps, w, 0, 0, u.x / kBlockCells, u.y / kBlockCells, u.target_x / kBlockCells,
                        u.target_y / kBlockCells, coarse, kSide, p) &&
        !visit(p))
      return;
    // a unit on its target arrives instead of walking a leg
    const bool leg = plans ? u.x != u.target_x || u.y != u.target_y
                           : u.order_state == kWalkingLeg && ps.path_cursor[i] == kNoPath;
    if (leg && place_centred(ps, w, u.x, u.y, u.x, u.y, u.level, kSide, p) && !visit(p)) return;
  }
}

}  // namespace

int64_t search_ahead(PathSearch& ps, const World& w, const UnitTable& units, int64_t budget,
                     int32_t frames_left) {
  if (!ps.kept) return 0;
  KeptTrees& k = *ps.kept;
  check_prices(k, w);
  // Whether a kept tree is still valid is checked when it answers; here only its key.
  auto missing = [&](const SearchPlace& p) {
    return p.window == kSide && find_tree(k, key_of(p)) < 0;
  };
  int64_t trees = 0;
  next_tick_searches(ps, w, units, [&](const SearchPlace& p) { return trees += missing(p), true; });
  // The work spread evenly over the frames left before the tick, as far as the budget goes.
  const int64_t share = (trees * kCells + frames_left - 1) / std::max(frames_left, 1);
  const uint64_t rounds_before = ps.rounds;
  const uint8_t result = ps.result;
  const int32_t step_x = ps.first_step_x, step_y = ps.first_step_y;
  next_tick_searches(ps, w, units, [&](const SearchPlace& p) {
    const int64_t spent = int64_t(ps.rounds - rounds_before);
    if (!missing(p)) return true;
    if (spent >= share || spent + kCells > budget) return false;
    if (search_whole_window(ps, w, p)) keep_tree(ps, w, p);
    return true;
  });
  ps.result = result;
  ps.first_step_x = step_x;
  ps.first_step_y = step_y;
  return int64_t(ps.rounds - rounds_before);
}
