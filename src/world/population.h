#pragma once
// Population at start: coarse map, object scatter, trig tables.
#include <cstdint>
#include <memory>

struct World;
struct Rng;

constexpr int32_t kTrigEntries = 3600000;  // thousandths of a degree
// Degrees to radians (a hair below pi/180); the trig tables and the walk
// must agree on it to the last bit, so it is written once, here.
constexpr double kDegreeFactor = 0.017453292516666667;

struct TrigTables {
  std::unique_ptr<float[]> sine, cosine;  // kTrigEntries each
};

void build_coarse_map(World& w);
// Seeds the generator with 96 itself.
void scatter_objects(World& w, Rng& rng);
void build_trig_tables(TrigTables& t);
void release_trig_tables(TrigTables& t);
