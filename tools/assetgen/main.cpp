// assetgen --out DIR [--seed N] [--stats] [--contact-sheet FILE.png] [--map-png PREFIX]
//          [--view-png PREFIX]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "assetgen/output.h"
#include "assetgen/worldgen.h"
#include "core/geometry.h"
#include "world/world.h"

namespace {
constexpr const char* kUsage =
    "usage: assetgen --out DIR [--seed N] [--stats] [--contact-sheet FILE.png] [--map-png PREFIX]\n"
    "                [--view-png PREFIX]\n"
    "  --out DIR             write every catalogue picture and map/8.overworld under DIR\n"
    "  --seed N              world seed (default 8)\n"
    "  --stats               print, per level, code shares, enterable cells and obstructed blocks\n"
    "  --contact-sheet FILE  all pictures on one PNG\n"
    "  --map-png PREFIX      PREFIX-level0.png .. PREFIX-level2.png, half size\n"
    "  --view-png PREFIX     a few 40 x 30 cell views of the surface and underworld as the game draws them\n";

bool parse_seed(const char* s, uint64_t& out) {
  char* end = nullptr;
  if (!s || !*s || *s == '-') return false;
  out = std::strtoull(s, &end, 10);
  return *end == 0;
}
}  // namespace

int main(int argc, char** argv) {
  std::string out, sheet, map_png, view_png;
  uint64_t seed = kDefaultMapSeed;
  bool stats = false;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const bool has_value = i + 1 < argc;
    if (a == "--out" && has_value) out = argv[++i];
    else if (a == "--contact-sheet" && has_value) sheet = argv[++i];
    else if (a == "--map-png" && has_value) map_png = argv[++i];
    else if (a == "--view-png" && has_value) view_png = argv[++i];
    else if (a == "--stats") stats = true;
    else if (a == "--seed" && has_value) {
      if (!parse_seed(argv[++i], seed)) {
        std::fprintf(stderr, "assetgen: bad seed '%s'\n", argv[i]);
        return 2;
      }
    } else if (a == "--help") {
      std::fputs(kUsage, stdout);
      return 0;
    } else {
      std::fprintf(stderr, "assetgen: unknown or incomplete option '%s'\n%s", a.c_str(), kUsage);
      return 2;
    }
  }
  if (out.empty() && sheet.empty() && map_png.empty() && view_png.empty() && !stats) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  std::string error;
  if (!out.empty() && !write_pictures(out, error)) {
    std::fprintf(stderr, "assetgen: %s\n", error.c_str());
    return 1;
  }
  if (!sheet.empty() && !write_png(sheet, contact_sheet())) {
    std::fprintf(stderr, "assetgen: cannot write %s\n", sheet.c_str());
    return 1;
  }
  if (out.empty() && map_png.empty() && view_png.empty() && !stats) return 0;
  const WorldMap map = generate_map(seed);
  if (!out.empty() && !write_map(out, map, error)) {
    std::fprintf(stderr, "assetgen: %s\n", error.c_str());
    return 1;
  }
  if (stats) std::fputs(stats_report(map).c_str(), stdout);
  for (int32_t z = 0; z < kMapLevels && !map_png.empty(); ++z) {
    const std::string path = map_png + "-level" + std::to_string(z) + ".png";
    if (!write_png(path, map_picture(map, z))) {
      std::fprintf(stderr, "assetgen: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  if (!view_png.empty()) {
    // around the first village and the first dungeon, and below that dungeon
    struct View {
      const char* name;
      int32_t x, y, z;
    };
    // the block with the most mountains on the surface, and with the most cave floor below
    CellPoint peaks{500, 500}, caves{500, 500};
    int32_t most_peaks = -1, most_floor = -1;
    constexpr int32_t kBlocks = kMapSide / kBlockCells;
    for (int32_t by = 1; by < kBlocks - 1; ++by)
      for (int32_t bx = 1; bx < kBlocks - 1; ++bx) {
        int32_t n = 0, f = 0;
        for (int32_t y = 0; y < kBlockCells; ++y)
          for (int32_t x = 0; x < kBlockCells; ++x) {
            const uint8_t c = map_cell(map, bx * kBlockCells + x, by * kBlockCells + y, 1);
            n += c == kTileMountain || c == kTileMountainHigh;
            f += map_cell(map, bx * kBlockCells + x, by * kBlockCells + y, 2) == kTileFloor;
          }
        const CellPoint middle{bx * kBlockCells + kBlockCells / 2, by * kBlockCells + kBlockCells / 2};
        if (n > most_peaks) {
          most_peaks = n;
          peaks = middle;
        }
        if (f > most_floor) {
          most_floor = f;
          caves = middle;
        }
      }
    const CellPoint v = map.villages.empty() ? CellPoint{500, 500} : map.villages.front();
    const CellRect d = map.dungeons.empty() ? CellRect{500, 500, 0, 0} : map.dungeons.front();
    const View views[] = {{"village", v.x - 20, v.y - 15, 1},
                          {"dungeon", d.x + d.w / 2 - 20, d.y + d.h / 2 - 15, 1},
                          {"under-dungeon", d.x + d.w / 2 - 20, d.y + d.h / 2 - 15, 2},
                          {"caves", caves.x - 20, caves.y - 15, 2},
                          {"mountains", peaks.x - 20, peaks.y - 15, 1},
                          {"heights", 480, 480, 0}};
    for (const View& w : views) {
      const std::string path = view_png + "-" + w.name + ".png";
      if (!write_png(path, view_picture(map, w.x, w.y, w.z))) {
        std::fprintf(stderr, "assetgen: cannot write %s\n", path.c_str());
        return 1;
      }
    }
  }
  return 0;
}
