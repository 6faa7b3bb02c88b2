#include "units/pathsearch.h"

#include "world/world.h"

void create_path_search(PathSearch& ps, int32_t world_side) {
  const size_t n = size_t(world_side) * size_t(world_side);
  ps.node_capacity = int32_t(n);
  ps.node_x = std::make_unique<int16_t[]>(n);
  ps.node_y = std::make_unique<int16_t[]>(n);
  ps.node_parent = std::make_unique<int32_t[]>(n);
  ps.node_state = std::make_unique<uint8_t[]>(n);
  ps.node_cost = std::make_unique<float[]>(n);
  ps.window_map = std::make_unique<uint8_t[]>(n);
  ps.path_target_x = std::make_unique<int32_t[]>(kUnitTableSize);
  ps.path_target_y = std::make_unique<int32_t[]>(kUnitTableSize);
  ps.path_x = std::make_unique<int32_t[]>(size_t(kUnitTableSize) * kUnitPathCapacity);
  ps.path_y = std::make_unique<int32_t[]>(size_t(kUnitTableSize) * kUnitPathCapacity);
  ps.path_length = std::make_unique<int32_t[]>(kUnitTableSize);
  ps.path_cursor = std::make_unique<int32_t[]>(kUnitTableSize);
  for (int32_t i = 0; i < kUnitTableSize; ++i) ps.path_cursor[i] = kNoPath;
  ps.ready = 0;
}

void release_path_search(PathSearch& ps) { ps = PathSearch{}; }
