#pragma once
// Everything one run of the game owns. The program has exactly one; tests make their own.
#include <cstdint>
#include <string>

#include "console/commandline.h"
#include "core/platform.h"
#include "core/runstate.h"
#include "render/framebuffer.h"
#include "render/text.h"
#include "shell/ticks.h"
#include "units/pathsearch.h"
#include "units/units.h"
#include "views/blockview.h"
#include "views/trig.h"
#include "world/bitmap.h"
#include "world/items.h"
#include "world/rng.h"
#include "world/world.h"

// What start-up read, kept for the state dump and the stderr report.
struct LoadReport {
  int32_t bitmaps_loaded = 0;  // catalogue loads that succeeded
  double startup_ms = 0;       // process start to the first presented frame, pauses excluded
  int64_t map_loaded = 0;      // bytes read from the map file (-1: not opened)
  std::string first_failed;    // a few pictures that failed to load
};

struct Game {
  RunState run;
  Framebuffer fb;
  TextBuffer text;
  World world;
  BitmapStore bitmaps;
  UnitTable units;
  ItemTable items;
  PathSearch path;
  TrigTables trig;
  CommandLine console;
  BlockViewState block;
  Rng rng;
  LoadReport loaded;
  TickStats ticks;
  char status[3][kTextBufferSize] = {};  // the status lines as last printed, top first
  Platform platform;
  bool gl_ready = false;        // a window with a current GL context exists
  bool window_failed = false;   // creating the window failed: shut down (status 1)
  bool keep_presented = false;  // keep a copy of each presented frame (screenshots)
  Framebuffer presented;        // pixels only; the last presented frame
  bool f12_was_down = false;    // screenshots on the press, not while held
  bool replay = false;          // input from a script: F12 never writes the player's pictures
  bool f12_refused = false;     // the replay's F12 has been explained once
  // Headless, nobody sees a picture unless it is kept: GL drawing and the
  // present are done only for the last pass and for F12's.
  bool skip_unseen_pictures = false;
  bool last_pass = false;  // set by the caller: the loop stops after this pass
};

struct StartOptions {
  std::string data_dir;  // holds bmp_*/ and map/
  bool seeded = false;   // --seed given
  uint32_t seed = 0;
  bool report_missing = true;  // one stderr line when assets fail to load
  std::string looked_in;       // the folders searched for data_dir, named when nothing loads
};

// Loads, opens the window and populates the world. Returns false when the
// window could not be created.
bool start_game(Game& g, const StartOptions& opt);
// One pass of the frame loop.
void run_pass(Game& g);
// Releases every store in order.
void shutdown_game(Game& g);
