// The world map. Terrain comes from value noise; every share is set by
// percentiles of the noise rather than fixed thresholds, so any seed gives a
// world with the same proportions. Features (villages, roads, dungeons, caves)
// are placed afterwards with one seeded generator.
#include "assetgen/worldgen.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <queue>

#include "assetgen/noise.h"
#include "core/geometry.h"
#include "world/world.h"

namespace {
constexpr int32_t N = kMapSide;
using Field = std::vector<float>;  // N * N values, row by row

inline size_t at(int32_t x, int32_t y) { return size_t(y) * N + size_t(x); }
inline bool in_map(int32_t x, int32_t y) { return x >= 0 && y >= 0 && x < N && y < N; }

// Octaves of value noise over the whole map, one lattice table per octave.
Field fbm_field(float cell, int32_t octaves, uint32_t seed) {
  Field out(size_t(N) * N, 0.0f);
  float amp = 1, norm = 0;
  std::vector<float> lattice;
  std::vector<int32_t> col0(N);
  std::vector<float> colt(N);
  for (int32_t o = 0; o < octaves; ++o, amp *= 0.5f, cell *= 0.5f) {
    const int32_t n = int32_t(float(N) / cell) + 2;
    lattice.resize(size_t(n) * size_t(n));
    for (int32_t j = 0; j < n; ++j)
      for (int32_t i = 0; i < n; ++i) lattice[size_t(j) * size_t(n) + size_t(i)] = hash_unit(i, j, seed + uint32_t(o) * 7919U);
    for (int32_t x = 0; x < N; ++x) {
      const float f = float(x) / cell;
      col0[size_t(x)] = int32_t(f);
      colt[size_t(x)] = smooth(f - float(col0[size_t(x)]));
    }
    for (int32_t y = 0; y < N; ++y) {
      const float fy = float(y) / cell;
      const int32_t y0 = int32_t(fy);
      const float ty = smooth(fy - float(y0));
      const float* r0 = &lattice[size_t(y0) * size_t(n)];
      const float* r1 = r0 + n;
      float* row = &out[at(0, y)];
      for (int32_t x = 0; x < N; ++x) {
        const int32_t x0 = col0[size_t(x)];
        const float tx = colt[size_t(x)];
        const float top = r0[x0] + (r0[x0 + 1] - r0[x0]) * tx;
        const float bottom = r1[x0] + (r1[x0 + 1] - r1[x0]) * tx;
        row[x] += (top + (bottom - top) * ty) * amp;
      }
    }
    norm += amp;
  }
  for (float& v : out) v /= norm;
  return out;
}

// The value below which the share q of the selected cells lies.
template <typename Select>
float percentile(const Field& f, double q, Select selected) {
  float lo = 1e9f, hi = -1e9f;
  int64_t total = 0;
  for (size_t i = 0; i < f.size(); ++i)
    if (selected(i)) {
      lo = std::min(lo, f[i]);
      hi = std::max(hi, f[i]);
      ++total;
    }
  if (total == 0 || hi <= lo) return lo;
  constexpr int32_t kBins = 8192;
  std::vector<int64_t> hist(kBins, 0);
  const float scale = float(kBins - 1) / (hi - lo);
  for (size_t i = 0; i < f.size(); ++i)
    if (selected(i)) ++hist[size_t((f[i] - lo) * scale)];
  const int64_t want = int64_t(q * double(total));
  int64_t seen = 0;
  for (int32_t b = 0; b < kBins; ++b) {
    seen += hist[size_t(b)];
    if (seen > want) return lo + float(b) / scale;
  }
  return hi;
}

bool is_water(uint8_t c) { return c == kTileWater || c == kTileWaterDeep; }
// Plain ground that a village, dungeon or landmark may take over.
bool is_open_land(uint8_t c) {
  return c == kTilePlain || c == kTileForest || c == kTileForestFruit || c == kTileForestGray || c == kTileSwamp || c == kTileDesert || c == kTileHills ||
         c == kTileForestLeaf || c == kTileForestB || c == kTileForestC;
}

struct Ctx {
  uint8_t* l0;  // heights
  uint8_t* l1;  // surface
  uint8_t* l2;  // underworld
  Gen gen;
  uint32_t seed;
  Field height;  // surface height above the sea, 0 .. 1 on land
};

// ---------------------------------------------------------------- surface

void make_surface(Ctx& c) {
  const Field elev = fbm_field(256, 7, c.seed + 1);
  Field e(size_t(N) * N);
  for (int32_t y = 0; y < N; ++y)
    for (int32_t x = 0; x < N; ++x) {
      // the sea closes in towards the edges of the world
      const float d = std::max(std::abs(float(x) - 511.5f), std::abs(float(y) - 511.5f)) / 512.0f;
      const float t = std::clamp((d - 0.80f) / 0.17f, 0.0f, 1.0f);
      e[at(x, y)] = elev[at(x, y)] - 0.3f * smooth(t);
    }
  auto all = [](size_t) { return true; };
  const float sea = percentile(e, 0.24, all);
  const float deep = percentile(e, 0.13, all);
  float top = sea;
  for (float v : e) top = std::max(top, v);
  c.height.assign(size_t(N) * N, 0.0f);
  for (size_t i = 0; i < e.size(); ++i) {
    if (e[i] < sea) {
      c.l1[i] = e[i] < deep ? kTileWaterDeep : kTileWater;
    } else {
      c.l1[i] = kTilePlain;
      c.height[i] = (e[i] - sea) / (top - sea);
    }
  }
  // islands scattered over the open sea, each with a shallow shore
  const Field isle = fbm_field(44, 3, c.seed + 9);
  const float isle_at = percentile(isle, 0.95, [&](size_t i) { return is_water(c.l1[i]); });
  for (int32_t y = 0; y < N; ++y)
    for (int32_t x = 0; x < N; ++x) {
      const size_t i = at(x, y);
      const float d = std::max(std::abs(float(x) - 511.5f), std::abs(float(y) - 511.5f)) / 512.0f;
      if (is_water(c.l1[i]) && isle[i] >= isle_at && d < 0.85f) {
        c.l1[i] = kTilePlain;
        c.height[i] = 0.02f;
      }
    }
  for (int32_t y = 2; y < N - 2; ++y)
    for (int32_t x = 2; x < N - 2; ++x) {
      if (c.l1[at(x, y)] != kTilePlain) continue;
      for (int32_t dy = -2; dy <= 2; ++dy)
        for (int32_t dx = -2; dx <= 2; ++dx)
          if (c.l1[at(x + dx, y + dy)] == kTileWaterDeep) c.l1[at(x + dx, y + dy)] = kTileWater;
    }
  auto land = [&](size_t i) { return c.l1[i] == kTilePlain; };

  // mountain ranges follow the crests of ridged noise, in some regions only,
  // flanked by hills; elsewhere the highest ground is hilly
  Field ridge = fbm_field(110, 4, c.seed + 2);
  for (float& v : ridge) {
    const float r = 1.0f - std::abs(2.0f * v - 1.0f);
    v = r * r;
  }
  const Field region = fbm_field(320, 3, c.seed + 8);
  const float region_cut = percentile(region, 0.40, land);
  auto ranges = [&](size_t i) { return land(i) && region[i] >= region_cut; };
  const float hills = percentile(ridge, 0.58, ranges);
  const float mountain = percentile(ridge, 0.75, ranges);
  const float high = percentile(ridge, 0.92, ranges);
  const float upland = percentile(c.height, 0.94, [&](size_t i) { return land(i) && !ranges(i); });
  for (size_t i = 0; i < ridge.size(); ++i) {
    if (!land(i)) continue;
    if (!ranges(i)) {
      if (c.height[i] >= upland) c.l1[i] = kTileHills;
      continue;
    }
    if (ridge[i] >= high) c.l1[i] = kTileMountainHigh;
    else if (ridge[i] >= mountain) c.l1[i] = kTileMountain;
    else if (ridge[i] >= hills) c.l1[i] = kTileHills;
  }

  // climate: warmer towards the south (higher rows), wetter where the noise says so
  const Field warm_noise = fbm_field(220, 4, c.seed + 3);
  const Field moist = fbm_field(180, 5, c.seed + 4);
  Field warm(size_t(N) * N);
  for (int32_t y = 0; y < N; ++y)
    for (int32_t x = 0; x < N; ++x) warm[at(x, y)] = 0.5f * float(y) / float(N) + 0.5f * warm_noise[at(x, y)];
  Field swampy(size_t(N) * N), dry(size_t(N) * N);
  for (size_t i = 0; i < swampy.size(); ++i) {
    swampy[i] = moist[i] - 2.0f * c.height[i];
    dry[i] = warm[i] - moist[i];
  }
  auto flat = [&](size_t i) { return c.l1[i] == kTilePlain; };
  const float swamp_at = percentile(swampy, 0.93, flat);
  const float desert_at = percentile(dry, 0.89, flat);
  for (size_t i = 0; i < swampy.size(); ++i) {
    if (!flat(i)) continue;
    if (swampy[i] >= swamp_at) c.l1[i] = kTileSwamp;
    else if (dry[i] >= desert_at) c.l1[i] = kTileDesert;
  }

  // forests, their kind set by warmth and a slow noise
  Field woods = fbm_field(72, 5, c.seed + 5);
  for (size_t i = 0; i < woods.size(); ++i) woods[i] = woods[i] * 0.65f + moist[i] * 0.35f;
  const float forest_at = percentile(woods, 0.58, flat);
  const float cold = percentile(warm, 0.22, land);
  const float hot = percentile(warm, 0.75, land);
  const Field kind = fbm_field(110, 3, c.seed + 6);
  for (size_t i = 0; i < woods.size(); ++i) {
    if (!flat(i) || woods[i] < forest_at) continue;
    const float k = kind[i];
    uint8_t f = kTileForest;
    if (warm[i] < cold) f = kTileForestGray;
    else if (warm[i] > hot && moist[i] > 0.5f) f = kTileForestFruit;
    else if (k < 0.38f) f = kTileForestB;
    else if (k > 0.66f) f = kTileForestC;
    else if (k > 0.56f) f = kTileForestLeaf;
    c.l1[i] = f;
  }

  // a scatter of small lakes in the lowlands
  const Field lakes = fbm_field(36, 3, c.seed + 7);
  const float lake_at = percentile(lakes, 0.985, flat);
  for (size_t i = 0; i < lakes.size(); ++i)
    if (lakes[i] >= lake_at && c.height[i] > 0.04f && c.l1[i] != kTileMountain && c.l1[i] != kTileMountainHigh) c.l1[i] = kTileWater;
}

// Labels the 4-connected land masses; returns the cells of the largest.
std::vector<uint8_t> largest_land(const uint8_t* l) {
  std::vector<int32_t> label(size_t(N) * N, -1);
  std::vector<int32_t> queue;
  queue.reserve(size_t(N) * N);
  int32_t best = -1, best_size = 0, next = 0;
  for (size_t s = 0; s < label.size(); ++s) {
    if (label[s] >= 0 || is_water(l[s])) continue;
    queue.clear();
    queue.push_back(int32_t(s));
    label[s] = next;
    for (size_t q = 0; q < queue.size(); ++q) {
      const int32_t i = queue[q], x = i % N, y = i / N;
      const int32_t nx[4] = {x - 1, x + 1, x, x}, ny[4] = {y, y, y - 1, y + 1};
      for (int32_t k = 0; k < 4; ++k) {
        if (!in_map(nx[k], ny[k])) continue;
        const size_t j = at(nx[k], ny[k]);
        if (label[j] >= 0 || is_water(l[j])) continue;
        label[j] = next;
        queue.push_back(int32_t(j));
      }
    }
    if (int32_t(queue.size()) > best_size) {
      best_size = int32_t(queue.size());
      best = next;
    }
    ++next;
  }
  std::vector<uint8_t> mask(size_t(N) * N, 0);
  for (size_t i = 0; i < mask.size(); ++i) mask[i] = label[i] == best && best >= 0;
  return mask;
}

bool area_is(const uint8_t* l, int32_t x0, int32_t y0, int32_t w, int32_t h, bool (*ok)(uint8_t)) {
  if (x0 < 8 || y0 < 8 || x0 + w > N - 8 || y0 + h > N - 8) return false;
  for (int32_t y = y0; y < y0 + h; ++y)
    for (int32_t x = x0; x < x0 + w; ++x)
      if (!ok(l[at(x, y)])) return false;
  return true;
}

bool village_ground(uint8_t c) { return c != kTileMountain && c != kTileMountainHigh && !is_water(c) && is_open_land(c); }

void place_villages(Ctx& c, WorldMap& m) {
  const std::vector<uint8_t> main_land = largest_land(c.l1);
  // houses round the well, in the order they are built; the gaps leave ways in
  static constexpr int32_t kHouses[][2] = {{-1, -1}, {1, 1}, {-1, 1}, {1, -1}, {-2, 0}, {2, 0}, {0, 2}, {-2, 2}, {2, -2}, {-2, -2}, {2, 2}, {0, -2}};
  for (int32_t spacing = 90; spacing >= 30 && m.villages.size() < 18; spacing -= 15) {
    for (int32_t attempt = 0; attempt < 6000 && m.villages.size() < 18; ++attempt) {
      const int32_t x = gen_int(c.gen, 16, N - 17), y = gen_int(c.gen, 16, N - 17);
      if (!main_land[at(x, y)] || c.l1[at(x, y)] != kTilePlain) continue;
      if (!area_is(c.l1, x - 4, y - 4, 9, 9, village_ground)) continue;
      bool crowded = false;
      for (const CellPoint& v : m.villages)
        if (std::abs(v.x - x) < spacing && std::abs(v.y - y) < spacing) crowded = true;
      if (crowded) continue;
      const int32_t index = int32_t(m.villages.size());
      const uint8_t colour = uint8_t(kTileVillage + index % 5);
      for (int32_t dy = -3; dy <= 3; ++dy)  // a clearing
        for (int32_t dx = -3; dx <= 3; ++dx)
          if (dx * dx + dy * dy <= 10) c.l1[at(x + dx, y + dy)] = kTilePlain;
      const int32_t houses = gen_int(c.gen, 6, 11);
      for (int32_t h = 0; h < houses; ++h) c.l1[at(x + kHouses[h][0], y + kHouses[h][1])] = (h % 3 == 2) ? uint8_t(kTileVillage) : colour;
      c.l1[at(x, y)] = kTileWell;
      m.villages.push_back(CellPoint{x, y});
    }
  }
}

// Cost of laying road over a cell; 0 where a road may not go.
float road_cost(uint8_t code) {
  switch (code) {
    case kTileRoad: return 0.4f;
    case kTilePlain: return 1.0f;
    case kTileDesert: return 1.6f;
    case kTileHills: return 3.0f;
    case kTileSwamp: return 4.0f;
    case kTileMountain: return 18.0f;
    case kTileMountainHigh: return 40.0f;
    case kTileWell: return 1.0f;
    case kTileWater:
    case kTileWaterDeep: return 0.0f;
    default: return code >= kTileVillage && code <= kTileVillage + 4 ? 1.0f : 2.2f;  // forests
  }
}

// A* over the four neighbours; writes road on the cells it crosses.
void lay_road(Ctx& c, CellPoint from, CellPoint to, std::vector<float>& g, std::vector<uint32_t>& stamp, std::vector<uint8_t>& dir, uint32_t run) {
  using Node = std::pair<float, int32_t>;
  std::priority_queue<Node, std::vector<Node>, std::greater<Node>> open;
  const size_t start = at(from.x, from.y), goal = at(to.x, to.y);
  g[start] = 0;
  stamp[start] = run;
  open.push({0.0f, int32_t(start)});
  static constexpr int32_t kDx[4] = {1, -1, 0, 0}, kDy[4] = {0, 0, 1, -1};
  bool found = false;
  while (!open.empty()) {
    const auto [f, i] = open.top();
    open.pop();
    const int32_t x = i % N, y = i / N;
    const float gi = g[size_t(i)];
    if (f > gi + 0.4f * float(std::abs(x - to.x) + std::abs(y - to.y)) + 1e-3f) continue;  // stale entry
    if (size_t(i) == goal) {
      found = true;
      break;
    }
    for (int32_t k = 0; k < 4; ++k) {
      const int32_t nx = x + kDx[k], ny = y + kDy[k];
      if (nx < 1 || ny < 1 || nx >= N - 1 || ny >= N - 1) continue;
      const size_t j = at(nx, ny);
      const float cost = road_cost(c.l1[j]);
      if (cost <= 0) continue;
      const float ng = gi + cost;
      if (stamp[j] == run && g[j] <= ng) continue;
      stamp[j] = run;
      g[j] = ng;
      dir[j] = uint8_t(k);
      open.push({ng + 0.4f * float(std::abs(nx - to.x) + std::abs(ny - to.y)), int32_t(j)});
    }
  }
  if (!found) return;
  for (size_t i = goal; i != start;) {
    if (is_open_land(c.l1[i]) || c.l1[i] == kTileMountain || c.l1[i] == kTileMountainHigh) c.l1[i] = kTileRoad;
    const int32_t k = dir[i];
    i = at(int32_t(i % N) - kDx[k], int32_t(i / N) - kDy[k]);
  }
}

void build_roads(Ctx& c, const WorldMap& m) {
  const size_t n = m.villages.size();
  if (n < 2) return;
  // a minimum spanning tree over the villages, by straight-line distance
  std::vector<bool> joined(n, false);
  std::vector<float> best(n, 1e30f);
  std::vector<size_t> link(n, 0);
  std::vector<std::pair<size_t, size_t>> edges;
  joined[0] = true;
  for (size_t i = 1; i < n; ++i) best[i] = std::hypot(float(m.villages[i].x - m.villages[0].x), float(m.villages[i].y - m.villages[0].y));
  for (size_t step = 1; step < n; ++step) {
    size_t pick = 0;
    float d = 1e30f;
    for (size_t i = 0; i < n; ++i)
      if (!joined[i] && best[i] < d) {
        d = best[i];
        pick = i;
      }
    joined[pick] = true;
    edges.push_back({link[pick], pick});
    for (size_t i = 0; i < n; ++i) {
      if (joined[i]) continue;
      const float di = std::hypot(float(m.villages[i].x - m.villages[pick].x), float(m.villages[i].y - m.villages[pick].y));
      if (di < best[i]) {
        best[i] = di;
        link[i] = pick;
      }
    }
  }
  std::vector<float> g(size_t(N) * N, 0.0f);
  std::vector<uint32_t> stamp(size_t(N) * N, 0);
  std::vector<uint8_t> dir(size_t(N) * N, 0);
  uint32_t run = 0;
  for (const auto& [a, b] : edges) lay_road(c, m.villages[a], m.villages[b], g, stamp, dir, ++run);
}

// ---------------------------------------------------------------- dungeons

struct Room {
  int32_t x, y, w, h;  // floor cells
};

// What each kind of room holds, drawn from in turn.
constexpr uint8_t kThemes[][8] = {
    {88, 89, 86, 87, 161, 88, 86, 162},      // crypt: coffins and candelabra
    {90, 91, 128, 90, 82, 83, 128, 91},      // treasury: chests and torches, a trap
    {112, 113, 116, 108, 109, 111, 84, 85},  // shrine: altars, circles, fountains
    {80, 81, 78, 79, 211, 212, 162, 161},    // lair: spawns and sources
    {100, 100, 86, 128, 90, 87, 100, 128},   // library: scrolls
    {218, 219, 82, 83, 218, 219, 128, 90},   // works: gears and levers
};

void carve_dungeon(Ctx& c, const CellRect& r, int32_t index) {
  uint8_t* l = c.l1;
  for (int32_t y = r.y; y < r.y + r.h; ++y)
    for (int32_t x = r.x; x < r.x + r.w; ++x) l[at(x, y)] = kTileWall;
  std::vector<Room> rooms;
  for (int32_t attempt = 0; attempt < 80 && rooms.size() < 8; ++attempt) {
    Room q{0, 0, gen_int(c.gen, 4, 9), gen_int(c.gen, 4, 7)};
    q.x = gen_int(c.gen, r.x + 2, r.x + r.w - q.w - 2);
    q.y = gen_int(c.gen, r.y + 2, r.y + r.h - q.h - 2);
    bool clash = false;
    for (const Room& o : rooms)
      if (q.x <= o.x + o.w + 1 && o.x <= q.x + q.w + 1 && q.y <= o.y + o.h + 1 && o.y <= q.y + q.h + 1) clash = true;
    if (!clash) rooms.push_back(q);
  }
  if (rooms.empty()) return;  // cannot happen for the sizes drawn, but keep the wall whole
  std::sort(rooms.begin(), rooms.end(), [](const Room& a, const Room& b) { return a.x + a.y < b.x + b.y; });
  const size_t marble = size_t(gen_int(c.gen, 0, int32_t(rooms.size()) - 1));
  for (size_t i = 0; i < rooms.size(); ++i) {
    const Room& q = rooms[i];
    for (int32_t y = q.y; y < q.y + q.h; ++y)
      for (int32_t x = q.x; x < q.x + q.w; ++x) l[at(x, y)] = i == marble ? kTileFloorMarble : kTileFloor;
  }
  auto in_room = [&](int32_t x, int32_t y) {
    for (const Room& q : rooms)
      if (x >= q.x && x < q.x + q.w && y >= q.y && y < q.y + q.h) return true;
    return false;
  };
  // corridors from room to room, bending once; doors where they meet a room
  auto dig = [&](int32_t x, int32_t y) {
    if (l[at(x, y)] == kTileWall) l[at(x, y)] = kTileFloor;
  };
  for (size_t i = 1; i < rooms.size(); ++i) {
    const Room &a = rooms[i - 1], &b = rooms[i];
    const int32_t ax = a.x + a.w / 2, ay = a.y + a.h / 2, bx = b.x + b.w / 2, by = b.y + b.h / 2;
    for (int32_t x = std::min(ax, bx); x <= std::max(ax, bx); ++x) dig(x, ay);
    for (int32_t y = std::min(ay, by); y <= std::max(ay, by); ++y) dig(bx, y);
  }
  // the way in: straight down from the first room to the outer wall
  if (!rooms.empty()) {
    const int32_t ex = rooms[0].x + rooms[0].w / 2;
    for (int32_t y = rooms[0].y - 1; y > r.y; --y) dig(ex, y);
    l[at(ex, r.y)] = kTileDoor;
    l[at(ex, r.y - 1)] = kTileDungeonSign;
  }
  for (const Room& q : rooms)
    for (int32_t x = q.x - 1; x <= q.x + q.w; ++x)
      for (int32_t y = q.y - 1; y <= q.y + q.h; ++y) {
        const bool ring = x == q.x - 1 || x == q.x + q.w || y == q.y - 1 || y == q.y + q.h;
        if (!ring || l[at(x, y)] != kTileFloor || in_room(x, y)) continue;
        const bool corner = (x == q.x - 1 || x == q.x + q.w) && (y == q.y - 1 || y == q.y + q.h);
        if (!corner) l[at(x, y)] = kTileDoor;
      }
  // fittings along the walls of each room, and bones on the floors
  for (size_t i = 0; i < rooms.size(); ++i) {
    const Room& q = rooms[i];
    const uint8_t* theme = kThemes[(size_t(index) + i) % std::size(kThemes)];
    const int32_t count = gen_int(c.gen, 2, 5);
    for (int32_t k = 0; k < count; ++k) {
      const bool side = gen_int(c.gen, 0, 1) == 1;
      const int32_t x = side ? (gen_int(c.gen, 0, 1) ? q.x : q.x + q.w - 1) : gen_int(c.gen, q.x + 1, q.x + q.w - 2);
      const int32_t y = side ? gen_int(c.gen, q.y + 1, q.y + q.h - 2) : (gen_int(c.gen, 0, 1) ? q.y : q.y + q.h - 1);
      l[at(x, y)] = theme[(k + gen_int(c.gen, 0, 7)) % 8];
    }
    for (int32_t y = q.y; y < q.y + q.h; ++y)
      for (int32_t x = q.x; x < q.x + q.w; ++x)
        if ((l[at(x, y)] == kTileFloor || l[at(x, y)] == kTileFloorMarble) && gen_int(c.gen, 0, 60) == 0)
          l[at(x, y)] = gen_int(c.gen, 0, 1) ? kTileBones : kTileBonesCleaned;
  }
  if (rooms.size() >= 2) {  // stairs in the first and the last room
    const Room &a = rooms.front(), &b = rooms.back();
    l[at(a.x + a.w - 1, a.y + a.h - 1)] = kTileStairsDown;
    l[at(b.x, b.y + b.h - 1)] = kTileStairsUp;
  }
}

bool dungeon_ground(uint8_t c) { return is_open_land(c) || c == kTileMountain || c == kTileMountainHigh; }

void place_dungeons(Ctx& c, WorldMap& m) {
  for (int32_t attempt = 0; attempt < 20000 && m.dungeons.size() < 16; ++attempt) {
    CellRect r{0, 0, gen_int(c.gen, 24, 38), gen_int(c.gen, 20, 30)};
    r.x = gen_int(c.gen, 12, N - r.w - 12);
    r.y = gen_int(c.gen, 12, N - r.h - 12);
    // room for the sign at the door and a margin clear of roads and villages
    if (!area_is(c.l1, r.x - 3, r.y - 3, r.w + 6, r.h + 6, dungeon_ground)) continue;
    bool clash = false;
    for (const CellRect& o : m.dungeons)
      if (r.x < o.x + o.w + 20 && o.x < r.x + r.w + 20 && r.y < o.y + o.h + 20 && o.y < r.y + r.h + 20) clash = true;
    if (clash) continue;
    carve_dungeon(c, r, int32_t(m.dungeons.size()));
    m.dungeons.push_back(r);
  }
}

// Scatters `count` cells of `code` where `ok` holds on the surface.
template <typename Ok>
void scatter(Ctx& c, uint8_t* l, uint8_t code, int32_t count, Ok ok) {
  for (int32_t attempt = 0; attempt < count * 400 && count > 0; ++attempt) {
    const int32_t x = gen_int(c.gen, 2, N - 3), y = gen_int(c.gen, 2, N - 3);
    if (!ok(x, y)) continue;
    l[at(x, y)] = code;
    --count;
  }
}

bool next_to(const uint8_t* l, int32_t x, int32_t y, bool (*test)(uint8_t)) {
  return test(l[at(x - 1, y)]) || test(l[at(x + 1, y)]) || test(l[at(x, y - 1)]) || test(l[at(x, y + 1)]);
}
bool is_peak(uint8_t c) { return c == kTileMountain || c == kTileMountainHigh; }
bool is_village(uint8_t c) { return c >= kTileVillage && c <= kTileVillage + 4; }

void place_landmarks(Ctx& c, const WorldMap& m) {
  uint8_t* l = c.l1;
  auto hills_by_peaks = [&](int32_t x, int32_t y) { return l[at(x, y)] == kTileHills && next_to(l, x, y, is_peak); };
  scatter(c, l, kTileMine, 14, hills_by_peaks);
  scatter(c, l, kTileIronMine, 10, hills_by_peaks);
  scatter(c, l, kTileGrotto, 12, [&](int32_t x, int32_t y) { return l[at(x, y)] == kTileHills; });
  scatter(c, l, kTileGrove, 60, [&](int32_t x, int32_t y) { return l[at(x, y)] == kTilePlain; });
  scatter(c, l, kTileRuin, 16, [&](int32_t x, int32_t y) { return l[at(x, y)] == kTilePlain || l[at(x, y)] == kTileDesert; });
  scatter(c, l, kTileRift, 8, [&](int32_t x, int32_t y) { return l[at(x, y)] == kTileDesert; });
  scatter(c, l, kTileLighthouse, 12, [&](int32_t x, int32_t y) { return l[at(x, y)] == kTilePlain && next_to(l, x, y, is_water); });
  // a castle beside some of the villages
  for (size_t i = 0; i < m.villages.size(); i += 3) {
    const CellPoint v = m.villages[i];
    for (int32_t k = 0; k < 8; ++k) {
      const int32_t x = v.x + (k % 2 ? 4 : -4), y = v.y + (k / 2) - 2;
      if (l[at(x, y)] == kTilePlain && !next_to(l, x, y, is_village)) {
        l[at(x, y)] = kTileCastle;
        break;
      }
    }
  }
}

// ---------------------------------------------------------------- underworld

void make_underworld(Ctx& c, const WorldMap& m) {
  // winding tunnels along the mid-line of one noise, caverns where another peaks
  const Field tunnel = fbm_field(90, 4, c.seed + 11);
  const Field tunnel2 = fbm_field(70, 4, c.seed + 15);
  const Field cavern = fbm_field(28, 3, c.seed + 12);
  Field cave(size_t(N) * N);
  for (size_t i = 0; i < cave.size(); ++i) {
    const float t = 1.0f - std::min(std::abs(tunnel[i] - 0.5f), std::abs(tunnel2[i] - 0.5f)) * 12.0f;
    cave[i] = std::max(t, (cavern[i] - 0.55f) * 3.5f);
  }
  const float open = percentile(cave, 0.62, [](size_t) { return true; });
  const Field pool = fbm_field(40, 3, c.seed + 13);
  const Field polish = fbm_field(90, 2, c.seed + 14);
  for (size_t i = 0; i < cave.size(); ++i) {
    if (cave[i] < open) {
      c.l2[i] = kTileWall;
    } else if (pool[i] > 0.66f) {
      c.l2[i] = kTileWater;
    } else {
      c.l2[i] = polish[i] > 0.68f ? kTileFloorMarble : kTileFloor;
    }
  }
  // fittings in the caves: springs, bones, torches, old machinery
  static constexpr uint8_t kCaveThings[] = {211, 212, 79, 78, 161, 162, 128, 218, 219, 90, 100, 84, 190, 198};
  int32_t placed = 0;
  for (int32_t attempt = 0; attempt < 200000 && placed < 2600; ++attempt) {
    const int32_t x = gen_int(c.gen, 2, N - 3), y = gen_int(c.gen, 2, N - 3);
    if (c.l2[at(x, y)] != kTileFloor || !next_to(c.l2, x, y, [](uint8_t v) { return v == kTileWall; })) continue;
    c.l2[at(x, y)] = kCaveThings[size_t(placed) % std::size(kCaveThings)];
    ++placed;
  }
  // solid rock under every dungeon, so that its walls stand on something
  for (const CellRect& r : m.dungeons)
    for (int32_t y = r.y - 1; y <= r.y + r.h; ++y)
      for (int32_t x = r.x - 1; x <= r.x + r.w; ++x) c.l2[at(x, y)] = kTileWall;
}

// ---------------------------------------------------------------- heights

void make_heights(Ctx& c) {
  const Field elev = fbm_field(210, 6, c.seed + 21);
  Field e(size_t(N) * N);
  for (int32_t y = 0; y < N; ++y)
    for (int32_t x = 0; x < N; ++x) {
      const float d = std::max(std::abs(float(x) - 511.5f), std::abs(float(y) - 511.5f)) / 512.0f;
      e[at(x, y)] = elev[at(x, y)] - 0.3f * smooth(std::clamp((d - 0.8f) / 0.18f, 0.0f, 1.0f));
    }
  auto all = [](size_t) { return true; };
  const float lake = percentile(e, 0.16, all), deep = percentile(e, 0.07, all);
  Field ridge = fbm_field(130, 5, c.seed + 22);
  for (float& v : ridge) {
    const float r = 1.0f - std::abs(2.0f * v - 1.0f);
    v = r * r * r;
  }
  auto dry = [&](size_t i) { return e[i] >= lake; };
  const float range = percentile(ridge, 0.92, dry), peak = percentile(ridge, 0.975, dry);
  const Field ground = fbm_field(150, 4, c.seed + 23);
  const Field woods = fbm_field(60, 4, c.seed + 24);
  const float rocky = percentile(ground, 0.62, dry), scrub = percentile(ground, 0.8, dry);
  const float wood_at = percentile(woods, 0.72, dry);
  for (size_t i = 0; i < e.size(); ++i) {
    uint8_t v = kTilePlain;
    if (e[i] < deep) v = kTileWaterDeep;
    else if (e[i] < lake) v = kTileWater;
    else if (ridge[i] >= peak) v = kTileMountainHigh;
    else if (ridge[i] >= range) v = kTileMountain;
    else if (woods[i] >= wood_at) v = woods[i] > wood_at + 0.05f ? kTileForestGray : kTileForestB;
    else if (ground[i] >= scrub) v = kTileHills;
    else if (ground[i] >= rocky) v = kTileDesert;
    c.l0[i] = v;
  }
  // ruined walls: broken outlines of old halls
  for (int32_t placed = 0, attempt = 0; placed < 30 && attempt < 5000; ++attempt) {
    const int32_t w = gen_int(c.gen, 5, 11), h = gen_int(c.gen, 5, 9);
    const int32_t x0 = gen_int(c.gen, 10, N - w - 10), y0 = gen_int(c.gen, 10, N - h - 10);
    if (!area_is(c.l0, x0, y0, w, h, [](uint8_t v) { return v == kTilePlain || v == kTileDesert || v == kTileHills; })) continue;
    for (int32_t y = y0; y < y0 + h; ++y)
      for (int32_t x = x0; x < x0 + w; ++x) {
        const bool edge = x == x0 || y == y0 || x == x0 + w - 1 || y == y0 + h - 1;
        if (edge && gen_int(c.gen, 0, 9) < 6) c.l0[at(x, y)] = kTileWall;
      }
    ++placed;
  }
}

// ---------------------------------------------------------------- finishing

// Every code the overworld view draws must be somewhere: any fitting still
// missing goes into a dungeon room.
void ensure_codes(Ctx& c, const WorldMap& m) {
  static constexpr uint8_t kFittings[] = {76, 77,  78,  79,  80,  81,  82,  83,  84,  85,  86,  87,  88,  89,  90,
                                          91, 100, 108, 109, 111, 112, 113, 116, 128, 161, 162, 211, 212, 218, 219};
  bool present[256] = {};
  for (size_t i = 0; i < kMapLevelBytes; ++i) present[c.l1[i]] = true;
  for (uint8_t code : kFittings) {
    if (present[code] || m.dungeons.empty()) continue;
    for (int32_t attempt = 0; attempt < 100000; ++attempt) {
      const CellRect& r = m.dungeons[size_t(attempt) % m.dungeons.size()];
      const int32_t x = gen_int(c.gen, r.x + 1, r.x + r.w - 2), y = gen_int(c.gen, r.y + 1, r.y + r.h - 2);
      if (c.l1[at(x, y)] == kTileFloor) {
        c.l1[at(x, y)] = code;
        break;
      }
    }
  }
}

void seal_borders(uint8_t* l, uint8_t code) {
  for (int32_t i = 0; i < N; ++i) {
    l[at(i, 0)] = l[at(i, N - 1)] = code;
    l[at(0, i)] = l[at(N - 1, i)] = code;
  }
}
}  // namespace

WorldMap generate_map(uint64_t seed) {
  WorldMap m;
  m.cells.assign(kMapBytes, 0);
  Ctx c{m.cells.data(),
        m.cells.data() + kMapLevelBytes,
        m.cells.data() + 2 * kMapLevelBytes,
        Gen{seed * 0x2545F4914F6CDD1DULL + 1},
        hash32(uint32_t(seed) ^ hash32(uint32_t(seed >> 32) + 0x4B56U)),
        {}};
  make_surface(c);
  place_villages(c, m);
  build_roads(c, m);
  place_dungeons(c, m);
  place_landmarks(c, m);
  ensure_codes(c, m);
  make_underworld(c, m);
  make_heights(c);
  seal_borders(c.l0, kTileWater);
  seal_borders(c.l1, kTileWaterDeep);
  seal_borders(c.l2, kTileWall);
  return m;
}

LevelStats level_stats(const uint8_t* level) {
  LevelStats s;
  int64_t enterable = 0;
  for (size_t i = 0; i < kMapLevelBytes; ++i) {
    ++s.count[level[i]];
    if (tile_enterable(level[i])) ++enterable;
  }
  s.enterable = double(enterable) / double(kMapLevelBytes);
  int32_t blocked = 0;
  for (int32_t by = 0; by < N; by += kBlockCells)
    for (int32_t bx = 0; bx < N; bx += kBlockCells) {
      int32_t peaks = 0;
      for (int32_t dy = 0; dy < kBlockCells; ++dy)
        for (int32_t dx = 0; dx < kBlockCells; ++dx) peaks += is_peak(level[at(bx + dx, by + dy)]);
      blocked += peaks > 50;
    }
  s.obstructed = double(blocked) / double((N / kBlockCells) * (N / kBlockCells));
  return s;
}
