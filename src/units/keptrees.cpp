// Kept search trees. The order in which a search expands its nodes does not depend on its
// target, which only decides when it stops, and a node's parent never changes once found.
// So a search from a start that ran until nothing was open answers every later search from
// that start in the same window exactly (found or not, and the route), for as long as the
// window's tile codes and the terrain prices stay as they were. Only 64-wide windows are
// kept: their budget outlasts their interior, so such a search always runs out of nodes.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <unordered_map>

#include "core/geometry.h"
#include "units/pathsearch_internal.h"
#include "world/world.h"

namespace {

constexpr int32_t kSide = 64;  // the only window width kept
constexpr int32_t kCells = kSide * kSide;
constexpr int8_t kUnreached = 0;         // back step of a cell the search never found
constexpr int8_t kFromStart = INT8_MAX;  // back step of a cell found from the start
constexpr int32_t kKeyBits = 12;         // per field of a key; wider worlds keep no trees

struct KeptTree {
  SearchPlace place;
  uint64_t used = 0;    // when it last answered or was made; 0: unused
  uint64_t writes = 0;  // the grid's writes in and around the window when it was grown
  // Slot of each cell's parent less the cell's slot, by window slot: a byte, so that a
  // tree's steps fill few cache lines.
  alignas(64) int8_t back[kCells];
};

// A tree answers for one level, window and start.
uint64_t key_of(const SearchPlace& p) {
  uint64_t key = 0;
  for (int32_t v : {p.level, p.origin_x, p.origin_y, p.start_x, p.start_y})
    key = key << kKeyBits | uint32_t(v);
  return key;
}

// Only 64-wide windows are kept, in worlds whose cells fit a key.
bool keeps(const World& w, const SearchPlace& p) {
  return p.window == kSide && w.side <= 1 << kKeyBits;
}

int32_t slot_of(const SearchPlace& p, int32_t x, int32_t y) {
  return (y - p.origin_y) * kSide + (x - p.origin_x);
}

}  // namespace

struct KeptTrees {
  std::unique_ptr<KeptTree[]> pool;
  int32_t count = 0;
  std::unordered_map<uint64_t, int32_t> index;  // tree by key
  float prices[256] = {};                       // the terrain prices the trees were grown with
  uint64_t clock = 0;
  int32_t answered = -1;    // the tree that answered the last search
  int32_t answer_slot = 0;  // and where its target sits in the window
};

void SearchDeleter::operator()(KeptTrees* trees) const { delete trees; }

namespace {

int32_t find_tree(const KeptTrees& k, const SearchPlace& p) {
  const auto at = k.index.find(key_of(p));
  return at == k.index.end() ? -1 : at->second;
}

void drop_tree(KeptTrees& k, int32_t t) {
  k.index.erase(key_of(k.pool[t].place));
  k.pool[t].used = 0;
}

// A route's walk reads each step only once the last is in, a cache miss apiece on a tree
// not used lately: all of them are fetched at once first.
void prefetch_steps(const KeptTree& t) {
  for (int32_t i = 0; i < kCells; i += 64) __builtin_prefetch(t.back + i);
}

uint64_t writes_in_window(const World& w, const SearchPlace& p) {
  return writes_in(w, p.origin_x, p.origin_y, p.level, kSide);
}

// New terrain prices reorder every search: no tree survives them.
void check_prices(KeptTrees& k, const World& w) {
  if (std::memcmp(k.prices, w.cost, sizeof k.prices) == 0) return;
  std::copy(std::begin(w.cost), std::end(w.cost), k.prices);
  for (int32_t t = 0; t < k.count; ++t) k.pool[t].used = 0;
  k.index.clear();
}

// Copies the search that just ran out of nodes into the least recently used tree.
void keep_tree(PathSearch& ps, const World& w, const SearchPlace& p) {
  KeptTrees& k = *ps.kept;
  check_prices(k, w);
  int32_t t = find_tree(k, p);
  if (t < 0) {
    t = 0;
    for (int32_t u = 1; u < k.count; ++u)
      if (k.pool[u].used < k.pool[t].used) t = u;
    if (k.pool[t].used > 0) drop_tree(k, t);
    k.pool[t].place = p;
    k.index.emplace(key_of(p), t);
  }
  KeptTree& tree = k.pool[t];
  tree.used = ++k.clock;
  tree.writes = writes_in_window(w, p);
  std::fill(std::begin(tree.back), std::end(tree.back), kUnreached);
  const PathSearchWork& s = *ps.work;
  for (int32_t n = 1; n <= s.last; ++n) {
    const int32_t up = s.node_parent[n], slot = slot_of(p, s.node_x[n], s.node_y[n]);
    tree.back[slot] = up == 0 ? kFromStart : int8_t(slot_of(p, s.node_x[up], s.node_y[up]) - slot);
  }
}

}  // namespace

void create_kept_trees(PathSearch& ps, int32_t count) {
  ps.kept.reset(new KeptTrees());
  KeptTrees& k = *ps.kept;
  k.count = std::max(count, 1);
  k.pool = std::make_unique<KeptTree[]>(size_t(k.count));
  k.index.reserve(size_t(k.count));
}

bool kept_tree_answers(PathSearch& ps, const World& w, const SearchPlace& p) {
  if (!ps.kept) return false;
  KeptTrees& k = *ps.kept;
  k.answered = -1;
  if (!keeps(w, p)) return false;
  if (p.start_x == p.target_x && p.start_y == p.target_y) {
    ps.result = kStartIsTarget;
    return true;
  }
  check_prices(k, w);
  const int32_t t = find_tree(k, p);
  if (t < 0) return false;
  KeptTree& tree = k.pool[t];
  if (tree.writes != writes_in_window(w, tree.place)) {  // the window may have changed
    drop_tree(k, t);
    return false;
  }
  tree.used = ++k.clock;
  k.answered = t;
  k.answer_slot = slot_of(p, p.target_x, p.target_y);
  ps.result = tree.back[k.answer_slot] == kUnreached ? kNotFound : kFound;
  return true;
}

bool store_kept_route(PathSearch& ps, int32_t unit) {
  if (!ps.kept || ps.kept->answered < 0) return false;
  const KeptTrees& k = *ps.kept;
  const KeptTree& tree = k.pool[k.answered];
  prefetch_steps(tree);
  store_route(
      ps, unit, k.answer_slot,
      [&](int32_t s) { return tree.back[s] == kFromStart ? -1 : s + tree.back[s]; },
      [&](int32_t s, int32_t& x, int32_t& y) {
        x = tree.place.origin_x + s % kSide, y = tree.place.origin_y + s / kSide;
      });
  return true;
}

void keep_search(PathSearch& ps, const World& w, const SearchPlace& p) {
  if (ps.kept && keeps(w, p) && ran_out_of_nodes(ps)) keep_tree(ps, w, p);
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
        place_search(ps, w, false, 0, 0, u.x / kBlockCells, u.y / kBlockCells,
                     u.target_x / kBlockCells, u.target_y / kBlockCells, coarse, kSide, p) &&
        !visit(p))
      return;
    // a unit on its target arrives instead of walking a leg
    const bool leg = plans ? u.x != u.target_x || u.y != u.target_y
                           : u.order_state == kWalkingLeg && ps.path_cursor[i] == kNoPath;
    if (leg && place_search(ps, w, true, 0, 0, u.x, u.y, u.x, u.y, u.level, kSide, p) && !visit(p))
      return;
  }
}

}  // namespace

int64_t search_ahead(PathSearch& ps, const World& w, const UnitTable& units, int64_t budget,
                     int32_t frames_left) {
  if (!ps.kept) return 0;
  KeptTrees& k = *ps.kept;
  check_prices(k, w);
  // Whether a kept tree is still valid is checked when it answers; here only its key.
  auto missing = [&](const SearchPlace& p) { return keeps(w, p) && find_tree(k, p) < 0; };
  int64_t trees = 0;
  next_tick_searches(ps, w, units, [&](const SearchPlace& p) {
    const int32_t t = keeps(w, p) ? find_tree(k, p) : 0;
    trees += t < 0;
    // In the frame before the tick the trees it will read are fetched into the cache.
    if (t >= 0 && frames_left == 1) prefetch_steps(k.pool[t]);
    return true;
  });
  if (trees == 0) return 0;
  // The work spread evenly over the frames left before the tick, as far as the budget goes.
  const int64_t share = (trees * kCells + frames_left - 1) / std::max(frames_left, 1);
  const uint64_t rounds_before = ps.rounds;
  next_tick_searches(ps, w, units, [&](const SearchPlace& p) {
    const int64_t spent = int64_t(ps.rounds - rounds_before);
    if (!missing(p)) return true;
    if (spent >= share || spent + kCells > budget) return false;
    if (search_whole_window(ps, w, p)) keep_tree(ps, w, p);
    return true;
  });
  return int64_t(ps.rounds - rounds_before);
}
