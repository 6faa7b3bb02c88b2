#pragma once
// Every picture the game loads, as a painter and a few parameters.
#include <cstddef>
#include <cstdint>

#include "assetgen/image.h"
#include "assetgen/palette.h"

struct CatalogueEntry;

// What a painter may vary; each painter says how it reads the fields.
struct Params {
  const Ramp* a = nullptr;  // main colour
  const Ramp* b = nullptr;  // second colour
  const Ramp* c = nullptr;  // accent colour
  int32_t style = 0;        // painter-specific variant
  int32_t tool = 0;         // what a figure holds, or a count
  int32_t size = 0;         // -1 small, 0 normal, 1 big, or a length in pixels
  int32_t mark = 0;         // an extra feature: glow, open, lit, ...
};

// Draws into a picture already sized for its folder; `seed` is fixed per file.
using Painter = void (*)(Image& im, const Params& p, uint32_t seed);

struct Recipe {
  const char* folder;
  const char* file;
  Painter paint;
  Params p;
};

extern const Recipe kRecipes[];
extern const size_t kRecipeCount;

const Recipe* find_recipe(const char* folder, const char* file);
// 16 x 16, except cube textures (64 x 64) and the intro picture (640 x 480).
void picture_size(const char* folder, int32_t& w, int32_t& h);
Image draw_recipe(const Recipe& r);
// The picture for a catalogue entry; an empty image when no recipe exists.
Image draw_entry(const CatalogueEntry& e);

// Pictures the game draws with the colour key left out.
bool is_sprite(const char* folder);
