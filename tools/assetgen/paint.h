#pragma once
// Drawing helpers. Every write goes through put(), which clips, or wraps around
// the edges when the picture's wrap flag is set. Shapes take pixel coordinates
// with the origin at the top-left; a pixel is covered when its centre is inside.
#include <initializer_list>

#include "assetgen/image.h"
#include "assetgen/palette.h"

struct Pt {
  float x, y;
};

Rgb mix(Rgb a, Rgb b, float t);  // t = 0 gives a
void put(Image& im, int32_t x, int32_t y, Rgb c);
Rgb get(const Image& im, int32_t x, int32_t y);  // wraps or clamps like put()

void rect(Image& im, float x, float y, float w, float h, Rgb c);
void ellipse(Image& im, float cx, float cy, float rx, float ry, Rgb c);
// An ellipse lit from the top-left: lightest shade in the highlight, darkest at the far rim.
void ball(Image& im, float cx, float cy, float rx, float ry, const Ramp& r, int lo = 0, int hi = 4);
// A stroke of the given width between two points, with round ends.
void stroke(Image& im, float x0, float y0, float x1, float y1, float width, Rgb c);
void poly(Image& im, std::initializer_list<Pt> pts, Rgb c);
// One-pixel line, both ends included.
void line(Image& im, int32_t x0, int32_t y0, int32_t x1, int32_t y1, Rgb c);

// Fills the picture with value noise mapped onto ramp shades lo..hi;
// `cell` must divide the picture's side for the result to tile.
void noise_fill(Image& im, const Ramp& r, int lo, int hi, float cell, uint32_t seed);
// Scatters specks of colour c over about `share` of the pixels.
void speckle(Image& im, Rgb c, float share, uint32_t seed);

// Sprite helpers for pictures on the colour key.
void outline(Image& im, Rgb ink = kInk);       // key pixels touching the drawing become ink
void rim_light(Image& im);                     // lighten top-left rims, darken bottom-right ones
void compose(Image& dst, const Image& layer);  // copies the layer's non-key pixels
// Darkens dst where the layer, moved by (dx, dy), covers a pixel the layer itself leaves out.
void drop_shadow(Image& dst, const Image& layer, int32_t dx, int32_t dy);
