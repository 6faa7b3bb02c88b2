#pragma once
// Population at start: coarse map and object scatter.
#include <cstdint>

struct World;
struct Rng;

void build_coarse_map(World& w);
// Seeds the generator with 96 itself.
void scatter_objects(World& w, Rng& rng);
