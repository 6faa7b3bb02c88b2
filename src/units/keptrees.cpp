// Kept search trees. The order in which a search expands its nodes does not depend on its
// target, which only decides when it stops, and a node's parent never changes once found.
// So a search from a start that ran until nothing was open answers every later search from
// that start in the same window exactly (found or not, and the route), for as long as the
// window's tile codes stay as they were (the terrain prices never change). Only windows of
// the game's width are kept: their budget outlasts their interior, so such a search always
// runs out of nodes.
#include <algorithm>
#include <cstdint>
#include <iterator>
#include <unordered_map>

#include "units/orders.h"
#include "units/pathsearch_internal.h"
#include "world/world.h"

namespace {

constexpr int32_t kCells = kSearchWindow * kSearchWindow;
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

// Only windows of the game's width are kept, in worlds whose cells fit a key.
bool keeps(const World& w, const SearchPlace& p) {
  return p.window == kSearchWindow && w.side <= 1 << kKeyBits;
}

int32_t slot_of(const SearchPlace& p, int32_t x, int32_t y) {
  return (y - p.origin_y) * kSearchWindow + (x - p.origin_x);
}

}  // namespace

struct KeptTrees {
  std::unique_ptr<KeptTree[]> pool;
  int32_t count = 0;
  std::unordered_map<uint64_t, int32_t> index;  // tree by key
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
  return writes_in(w, p.origin_x, p.origin_y, p.level, kSearchWindow);
}

// Copies the search that just ran out of nodes into the least recently used tree.
void keep_tree(PathSearch& ps, const World& w, const SearchPlace& p) {
  KeptTrees& k = *ps.kept;
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
    ps.work->result = kStartIsTarget;
    return true;
  }
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
  ps.work->result = tree.back[k.answer_slot] == kUnreached ? kNotFound : kFound;
  return true;
}

int32_t store_kept_route(PathSearch& ps, int32_t unit) {
  if (!ps.kept || ps.kept->answered < 0) return 0;
  const KeptTrees& k = *ps.kept;
  const KeptTree& tree = k.pool[k.answered];
  prefetch_steps(tree);
  return store_route(
      ps, unit, k.answer_slot,
      [&](int32_t s) { return tree.back[s] == kFromStart ? -1 : s + tree.back[s]; },
      [&](int32_t s, int32_t& x, int32_t& y) {
        x = tree.place.origin_x + s % kSearchWindow, y = tree.place.origin_y + s / kSearchWindow;
      });
}

void keep_search(PathSearch& ps, const World& w, const SearchPlace& p) {
  if (ps.kept && keeps(w, p) && ran_out_of_nodes(ps)) keep_tree(ps, w, p);
}

namespace {

// Calls `visit` with the placed searches the next movement tick will start, in its order,
// while `visit` returns true.
template <class Visit>
void next_tick_searches(const PathSearch& ps, const World& w, const UnitTable& units, Visit visit) {
  for (int32_t i = 0; i < kUnitTableSize; ++i) {
    const TickSearches t = tick_searches(units, ps, i);
    SearchPlace p;
    if (t.coarse && place_search(ps, w, t.coarse_route, p) && !visit(p)) return;
    if (t.leg && place_search(ps, w, t.leg_search, p) && !visit(p)) return;
  }
}

}  // namespace

int64_t search_ahead(PathSearch& ps, const World& w, const UnitTable& units, int64_t budget,
                     int32_t frames_left) {
  if (!ps.kept) return 0;
  KeptTrees& k = *ps.kept;
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
