#include "assetgen/output.h"

#include <algorithm>
#include <cstdio>
#include <set>

#include "assetgen/pictures.h"
#include "core/geometry.h"
#include "world/catalogue.h"
#include "world/tiletable.h"

bool write_pictures(const std::string& dir, std::string& error) {
  std::set<std::string> done;
  for (int32_t i = 0; i < kCatalogueSize; ++i) {
    const CatalogueEntry& e = kCatalogue[i];
    const std::string path = catalogue_path(dir, e);
    if (!done.insert(path).second) continue;  // a file loaded into two slots
    const Image im = draw_entry(e);
    if (im.w == 0) {
      error = std::string("no picture recipe for ") + e.folder + "/" + e.file;
      return false;
    }
    const std::vector<uint8_t> bmp = encode_bmp(im);
    if (!write_file(path, bmp.data(), bmp.size())) {
      error = "cannot write " + path;
      return false;
    }
  }
  return true;
}

bool write_map(const std::string& dir, const WorldMap& map, std::string& error) {
  const std::string path = dir + "/map/8.overworld";
  if (!write_file(path, map.cells.data(), map.cells.size())) {
    error = "cannot write " + path;
    return false;
  }
  return true;
}

Image contact_sheet() {
  constexpr int32_t kCell = 72, kColumns = 16;
  const int32_t rows = (kCatalogueSize + kColumns - 1) / kColumns;
  Image sheet = make_image(kColumns * kCell, rows * kCell, Rgb{40, 40, 48});
  for (int32_t i = 0; i < kCatalogueSize; ++i) {
    Image im = draw_entry(kCatalogue[i]);
    if (im.w == 0) continue;
    for (int32_t y = 0; y < im.h; ++y)  // left-out pixels as a grey checker
      for (int32_t x = 0; x < im.w; ++x)
        if (pixel(im, x, y) == kKey || pixel(im, x, y) == Rgb{0, 0, 0}) pixel(im, x, y) = ((x / 4 + y / 4) & 1) ? Rgb{90, 90, 96} : Rgb{120, 120, 128};
    if (im.w == kCellPixels) im = magnify(im, 4);
    else if (im.w == kOverworldWidth) im = reduce(im, 10);
    blit(sheet, im, (i % kColumns) * kCell + 4, (i / kColumns) * kCell + 4);
  }
  return sheet;
}

namespace {
// The tile picture of each code on a level, drawn once.
struct TileSet {
  Image pic[256];
  Rgb mean[256];
  bool drawn[256] = {};
};

void load_tiles(TileSet& t, int32_t level) {
  for (int32_t code = 0; code < 256; ++code) {
    const CatalogueEntry* e = catalogue_entry(tile_picture_slot(uint8_t(code), level));
    if (!e) continue;
    const Recipe* r = find_recipe(e->folder, e->file);
    if (!r) continue;
    t.pic[code] = draw_recipe(*r);
    int64_t s[3] = {};
    for (const Rgb& c : t.pic[code].px) {
      s[0] += c.r;
      s[1] += c.g;
      s[2] += c.b;
    }
    const int64_t n = int64_t(t.pic[code].px.size());
    t.mean[code] = Rgb{uint8_t(s[0] / n), uint8_t(s[1] / n), uint8_t(s[2] / n)};
    t.drawn[code] = true;
  }
}

// Small features win over the ground around them when cells are merged.
int32_t salience(uint8_t code) {
  if (code == 22) return 3;
  if (code >= 60) return 2;
  return 1;
}
}  // namespace

Image map_picture(const WorldMap& map, int32_t level) {
  static TileSet tiles[kMapLevels];
  if (!tiles[level].drawn[10]) load_tiles(tiles[level], level);
  const TileSet& t = tiles[level];
  Image im = make_image(kMapSide / 2, kMapSide / 2, Rgb{});
  for (int32_t y = 0; y < im.h; ++y)
    for (int32_t x = 0; x < im.w; ++x) {
      uint8_t best = map_cell(map, 2 * x, 2 * y, level);
      for (int32_t k = 1; k < 4; ++k) {
        const uint8_t c = map_cell(map, 2 * x + (k & 1), 2 * y + (k >> 1), level);
        if (salience(c) > salience(best)) best = c;
      }
      // north (row 0) at the bottom, as the game shows it
      pixel(im, x, im.h - 1 - y) = t.drawn[best] ? t.mean[best] : Rgb{};
    }
  return im;
}

Image view_picture(const WorldMap& map, int32_t x0, int32_t y0, int32_t level) {
  static TileSet tiles[kMapLevels];
  if (!tiles[level].drawn[10]) load_tiles(tiles[level], level);
  const TileSet& t = tiles[level];
  Image im = make_image(kOverworldWidth, kOverworldHeight, Rgb{});
  constexpr int32_t kCols = kOverworldWidth / kCellPixels, kRows = kOverworldHeight / kCellPixels;
  for (int32_t r = 0; r < kRows; ++r)
    for (int32_t c = 0; c < kCols; ++c) {
      const int32_t x = x0 + c, y = y0 + r;
      if (x < 0 || y < 0 || x >= kMapSide || y >= kMapSide) continue;
      const uint8_t code = map_cell(map, x, y, level);
      if (t.drawn[code]) blit(im, t.pic[code], c * kCellPixels, (kRows - 1 - r) * kCellPixels);
    }
  return im;
}

std::string stats_report(const WorldMap& map) {
  static const char* const kNames[] = {"heights", "surface", "underworld"};
  std::string out;
  char line[160];
  for (int32_t z = 0; z < kMapLevels; ++z) {
    const LevelStats s = level_stats(map.cells.data() + size_t(z) * kMapLevelBytes);
    std::snprintf(line, sizeof line, "level %d (%s): enterable %.2f%%, obstructed blocks %.2f%%\n", z, kNames[z], s.enterable * 100, s.obstructed * 100);
    out += line;
    for (int32_t code = 0; code < 256; ++code) {
      if (s.count[code] == 0) continue;
      std::snprintf(line, sizeof line, "  code %3d  %8lld cells  %6.3f%%\n", code, static_cast<long long>(s.count[code]),
                    double(s.count[code]) * 100.0 / double(kMapLevelBytes));
      out += line;
    }
  }
  std::snprintf(line, sizeof line, "villages %zu, dungeons %zu\n", map.villages.size(), map.dungeons.size());
  out += line;
  return out;
}
