#pragma once
// The stores the command line touches, driven pass by pass from an input script.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "console/commandline.h"
#include "render/framebuffer.h"
#include "render/text.h"
#include "shell/platform_null.h"
#include "shell/runstate.h"
#include "shell/script.h"
#include "units/units.h"
#include "world/world.h"

struct ConsoleRig {
  World world;
  UnitTable units;
  RunState run;
  Framebuffer fb;
  TextBuffer text;
  CommandLine console;
  NullDisplay display;
  std::unique_ptr<ScriptInput> input;
  Platform platform;

  explicit ConsoleRig(const std::string& script = "") {
    set_world_side(world, kWorldSide);
    create_world_grid(world);
    create_unit_table(units);
    set_resolution(fb, 640, 480);
    create_token_slots(console);
    platform.display = &display;
    use_script(script);
  }
  ~ConsoleRig() { release_token_slots(console); }

  // Pass numbers in the script are absolute frame numbers.
  void use_script(const std::string& script) {
    std::vector<ScriptEvent> events;
    std::string error;
    EXPECT_TRUE(parse_script(script, &events, &error)) << error;
    input = std::make_unique<ScriptInput>(std::move(events));
    platform.input = input.get();
  }

  // Runs the command-line step for n passes, counting frames like the loop.
  void passes(int n) {
    for (int i = 0; i < n; ++i) {
      input->begin_pass(run.frame);
      command_line_step(console, platform, run, fb, world, units, text);
      run.frame += 1;
    }
  }

  // Puts a line in place as if it had been typed, and runs it.
  void run_line(const std::string& line) {
    ASSERT_LT(line.size(), size_t(kLineBufferSize));
    std::snprintf(console.line, sizeof console.line, "%s", line.c_str());
    console.length = int32_t(line.size());
    run_entered_line(console, platform, run, world, units);
  }

  uint8_t& cell(int32_t x, int32_t y, int32_t z) { return world.grid[cell_index(world, x, y, z)]; }

  void place_unit1(int32_t x, int32_t y, int32_t level) {
    UnitRecord& u = unit(units, 1);
    u.in_use = 1;
    u.x = uint16_t(x);
    u.y = uint16_t(y);
    u.level = uint16_t(level);
  }

  int64_t paused() const { return display.paused_ms(); }
};
