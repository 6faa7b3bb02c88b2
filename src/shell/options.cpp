#include "shell/options.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "core/quote.h"

namespace {

bool parse_number(const char* s, int64_t lo, int64_t hi, int64_t* out) {
  if (!s || !*s) return false;
  errno = 0;
  char* end = nullptr;
  const long long v = std::strtoll(s, &end, 10);
  if (errno != 0 || *end != '\0' || v < lo || v > hi) return false;
  *out = v;
  return true;
}

}  // namespace

bool parse_options(int argc, const char* const* argv, Options* o, std::string* error) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&](const char** out) {
      if (i + 1 >= argc) {
        *error = a + " needs a value";
        return false;
      }
      *out = argv[++i];
      return true;
    };
    const char* v = nullptr;
    int64_t n = 0;
    if (a == "--headless") {
      o->headless = true;
    } else if (a == "--no-vsync") {
      o->vsync = false;
    } else if (a == "--help" || a == "-h") {
      o->help = true;
    } else if (a == "--version") {
      o->version = true;
    } else if (a == "--frames") {
      if (!value(&v)) return false;
      if (!parse_number(v, 1, INT32_MAX, &n)) {
        *error = "--frames takes a whole number from 1 up, not " + quote_text(v);
        return false;
      }
      o->frames = n;
    } else if (a == "--seed") {
      if (!value(&v)) return false;
      if (!parse_number(v, 0, UINT32_MAX, &n)) {
        *error = "--seed takes a whole number from 0 to 4294967295, not " + quote_text(v);
        return false;
      }
      o->seeded = true;
      o->seed = uint32_t(n);
    } else if (a == "--script") {
      if (!value(&v)) return false;
      o->script = v;
    } else if (a == "--screenshot") {
      if (!value(&v)) return false;
      o->screenshot = v;
    } else if (a == "--record") {
      if (!value(&v)) return false;
      o->record = v;
    } else if (a == "--dump-state") {
      if (!value(&v)) return false;
      o->dump_state = v;
    } else if (a == "--data") {
      if (!value(&v)) return false;
      o->data_dir = v;
    } else if (a == "--probe") {
      if (!value(&v)) return false;
      Probe p;
      char tail = 0;
      if (std::sscanf(v, "%d,%d,%d%c", &p.x, &p.y, &p.z, &tail) != 3) {
        *error = "--probe takes X,Y,Z, not " + quote_text(v);
        return false;
      }
      o->probes.push_back(p);
    } else {
      *error = "unknown option " + quote_text(a) + " (see --help)";
      return false;
    }
  }
  return true;
}

const char* usage_text() {
  return R"(Usage: kelvarot [options]

A tile world of 1024 x 1024 cells on 180 levels, 255 wandering units,
three views and a command line. With no options it opens its window and plays.

Options:
  --headless         no visible window (offscreen GL); pauses are counted, not slept
  --frames N         run exactly N passes of the loop, then quit
  --seed N           seed unit placement and all later randomness with N
  --script FILE      take keyboard and mouse input from an input script
  --screenshot FILE  at exit, write the last presented frame as a PNG
  --dump-state FILE  at exit, write the game state as JSON
  --record FILE      write this session's keyboard and mouse input as an input
                     script; --script FILE with the same --seed replays it
  --probe X,Y,Z      (repeatable) report the tile code of that cell in the dump
  --data DIR         folder holding bmp_*/ and map/ (default: beside the program)
  --no-vsync         do not wait for the display when swapping
  --help, --version  this text; the version

Keys, everywhere:
  Escape             quit
  F1 F2 F3 F4        window zoom 1x, 2x, 3x, 4x
  M                  move the window to the pointer (hold to drag)
  F5                 block view (320 x 240, zoom 2)
  F6                 overworld view (640 x 480, zoom 1)
  1 2 3              unit speed: fast, normal, slow
  [ ]                select the previous / next unit and look at it
  A                  send unit 1 somewhere at random
  N                  show / hide the minimap, moving it to the pointer
  Arrows             scroll the view; keypad + / - change the level
  Tab                open / close the command line (type, Enter runs)
  F12                save a screenshot (into $XDG_PICTURES_DIR, ~/Pictures or
                     ~/.local/share/kelvarot/screenshots; never overwrites)
Overworld view:
  right button       order the selected unit to the cell under the pointer
  left button        select the unit on the cell under the pointer
  right button on the minimap   jump the view there
Block view:
  left button        walk forward;  Z  walk back
  any button         look: the pointer's position sets the view direction
Command line words:
  corner1  env4block  env4grass  env4dirt  env4emptyx1  env4emptyy1
  screensavertoggle  env4teleport X Y Z

Exit status: 0 after a normal quit, 1 when the window cannot open, 2 for bad options.
)";
}
