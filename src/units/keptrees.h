#pragma once
// Kept search trees. The order in which a search expands its nodes does not depend on its
// target, which only decides when it stops, and a node's parent never changes once found.
// So a search from a start that ran until nothing was open answers every later search from
// that start in the same window exactly (found or not, and the route), for as long as the
// window's tile codes and the terrain prices stay as they were. Only 64-wide windows are
// kept: their budget outlasts their interior, so such a search always runs out of nodes.
#include <cstdint>

#include "units/pathsearch.h"

struct SearchPlace;

// Gives the path search one fixed pool of `count` trees; none is ever allocated later.
void create_kept_trees(PathSearch& ps, int32_t count);

// Grows the trees the next movement tick will ask for, a `frames_left`-th of the work left
// (this frame included) and never more than `budget` rounds. Nothing anybody can see
// changes. Returns the rounds spent.
int64_t search_ahead(PathSearch& ps, const World& w, const UnitTable& units, int64_t budget,
                     int32_t frames_left);

// For the path search. Answers a placed search from a kept tree, setting the result;
// false when no valid tree is kept for it.
bool kept_tree_answers(PathSearch& ps, const World& w, const SearchPlace& p);
// Stores the route of the search just answered as the unit's path.
void store_kept_route(PathSearch& ps, int32_t unit);
// Keeps the search just run, if it explored its whole window.
void keep_search(PathSearch& ps, const World& w, const SearchPlace& p);
