#pragma once
// Command-line options of the game.
#include <cstdint>
#include <string>
#include <vector>

struct Probe {
  int32_t x = 0, y = 0, z = 0;
};

struct Options {
  bool headless = false;
  int64_t frames = -1;  // -1: run until quit
  bool seeded = false;
  uint32_t seed = 0;
  std::string script;
  std::string screenshot;
  std::string dump_state;
  std::string record;    // write the real input as an input script
  std::string save;      // the game saved here at the end, and by F9
  std::string load;      // start from this save
  std::string timedemo;  // replay this recording headless, as fast as it goes, and time it
  std::vector<Probe> probes;
  std::string data_dir;  // empty: beside the executable
  bool vsync = true;
  bool queued_typing = false;  // the command line takes the window system's text input
  bool no_settings = false;    // neither read nor write settings.ini
  bool help = false;
  bool version = false;
};

// False with a one-line reason in *error for bad options.
bool parse_options(int argc, const char* const* argv, Options* o, std::string* error);
const char* usage_text();
constexpr const char* kVersion = KV_VERSION;  // the project version, set by the build
