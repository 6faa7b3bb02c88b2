#pragma once
// First-person OpenGL view of the wall cubes, 320 x 240.
#include <cstdint>

struct Framebuffer;
struct RunState;
struct World;
struct UnitTable;
struct Platform;

// Created at start-up, lives for the whole run.
struct BlockViewState {
  float yaw = 0;    // degrees
  float pitch = 0;  // degrees
  int32_t ground_x = 1, ground_y = 1, ground_z = 28;  // last ground view origin
  uint32_t textures[32] = {};  // GL texture names; entry 1 walls, from slot 1201
};

void draw_block_view(Framebuffer& fb, RunState& run, const World& w, UnitTable& units,
                     BlockViewState& bv, Platform& p);
