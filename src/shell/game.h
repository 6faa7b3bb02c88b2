#pragma once
// The game: the world, its views and the window, everything a pass reads and changes.
// The program has exactly one; tests make their own. What the run around it does (a
// replay, pictures nobody sees, the files written at the end) is its Session (shell/session.h).
#include <cstdint>
#include <string>

#include "console/commandline.h"
#include "core/platform.h"
#include "core/runstate.h"
#include "render/framebuffer.h"
#include "render/present.h"
#include "render/text.h"
#include "shell/notice.h"
#include "shell/settings.h"
#include "shell/ticks.h"
#include "units/pathsearch.h"
#include "units/units.h"
#include "views/blockview.h"
#include "world/bitmap.h"
#include "world/changes.h"
#include "world/items.h"
#include "world/rng.h"
#include "world/world.h"

// What start-up read, kept for the state dump and the stderr report.
struct LoadReport {
  int32_t bitmaps_loaded = 0;   // catalogue loads that succeeded
  double startup_ms = 0;        // process start to the first presented frame, pauses excluded
  int64_t map_loaded = 0;       // bytes read from the map file (-1: not opened)
  std::string first_failed;     // a few pictures that failed to load
  bool pictures_there = false;  // a picture file was found, loaded or not
};

// The window as the player sees it.
struct ScreenState {
  PresentState present;
  int32_t window_zoom = 1;         // the chosen zoom, or the largest whose window fits
  int32_t full_scale = INT32_MAX;  // full screen: the largest scale up to this that fits
  bool toggle_held = false;        // the full-screen keys were down last pass
  bool help_shown = false;         // F10's key help over the view
  bool help_held = false;
};

// What a save needs that no store keeps. Set at start-up, kept by the loop from then on.
struct SaveTrack {
  uint32_t seed = 0;           // of the start-up, or of the save loaded
  bool saver_renewed = false;  // the screensaver's layer holds a renewal; otherwise it is black
  Rng saver_rng;               // the generator as that renewal began
  bool f9_was_down = false;    // saves on the press, not while held
  std::string loaded_from;     // the save this run started from
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
  CommandLine console;
  BlockViewState block;
  Rng rng;
  LoadReport loaded;
  TickStats ticks;
  SaveTrack track;
  GridBaseline baseline;                 // taken only by a run that may save
  char status[3][kTextBufferSize] = {};  // the status lines as last printed, top first
  // The window is the game's: its keys re-create it within a pass.
  Platform platform;
  ScreenState screen;
  Settings settings;
  Notice notice;
  bool gl_ready = false;       // the block view's GL context is current and set up
  bool window_failed = false;  // creating the window failed: shut down (status 1)
};

struct StartOptions {
  std::string data_dir;        // holds bmp_*/ and map/
  uint32_t seed = 0;           // unit placement and all later randomness
  bool report_missing = true;  // one stderr line when assets fail to load
  std::string looked_in;       // the folders searched for data_dir, named when nothing loads
};

// Loads, opens the window and populates the world. Returns false when the
// window could not be created, or (when reporting) no game data was found at all.
bool start_game(Game& g, const StartOptions& opt);
// Releases every store in order.
void shutdown_game(Game& g);
