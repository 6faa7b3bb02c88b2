#include "shell/options.h"

#include <utility>

#include "core/numbers.h"
#include "core/quote.h"
#include "world/world.h"

namespace {

// "X,Y,Z", each a whole number inside the world.
bool parse_probe(const char* s, Probe* p) {
  const int64_t hi[3] = {kWorldSide - 1, kWorldSide - 1, kLevelCount - 1};
  int32_t* out[3] = {&p->x, &p->y, &p->z};
  std::string rest = s;
  for (int k = 0; k < 3; ++k) {
    const size_t comma = k < 2 ? rest.find(',') : rest.size();
    if (comma == std::string::npos) return false;
    int64_t n = 0;
    if (!parse_whole(std::string_view(rest).substr(0, comma), 0, hi[k], &n)) return false;
    *out[k] = int32_t(n);
    rest.erase(0, k < 2 ? comma + 1 : comma);
  }
  return true;
}

// The options that name a file or folder, taken as given; null for any other.
std::string Options::*file_option(const std::string& a) {
  static const std::pair<const char*, std::string Options::*> kFiles[] = {
      {"--script", &Options::script},
      {"--screenshot", &Options::screenshot},
      {"--record", &Options::record},
      {"--save", &Options::save},
      {"--load", &Options::load},
      {"--timedemo", &Options::timedemo},
      {"--dump-state", &Options::dump_state},
      {"--data", &Options::data_dir}};
  for (const auto& [name, member] : kFiles)
    if (a == name) return member;
  return nullptr;
}

}  // namespace

bool parse_options(int argc, const char* const* argv, Options* o, std::string* error) {
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    // "--opt=value" reads as "--opt value"
    std::string joined;
    bool has_joined = false;
    if (const size_t eq = a.find('='); a.rfind("--", 0) == 0 && eq != std::string::npos) {
      joined = a.substr(eq + 1);
      a.resize(eq);
      has_joined = true;
    }
    auto value = [&](const char** out) {
      if (has_joined) {
        *out = joined.c_str();
      } else if (i + 1 >= argc) {
        *error = a + " needs a value";
        return false;
      } else {
        *out = argv[++i];
      }
      if (**out == '\0') {
        *error = a + " needs a value, not an empty one";
        return false;
      }
      return true;
    };
    const char* v = nullptr;
    int64_t n = 0;
    if (has_joined && (a == "--headless" || a == "--no-vsync" || a == "--help" ||
                       a == "--version" || a == "--queued-typing" || a == "--no-settings")) {
      *error = a + " takes no value";
      return false;
    }
    if (a == "--headless") {
      o->headless = true;
    } else if (a == "--no-vsync") {
      o->vsync = false;
    } else if (a == "--queued-typing") {
      o->queued_typing = true;
    } else if (a == "--no-settings") {
      o->no_settings = true;
    } else if (a == "--help" || a == "-h") {
      o->help = true;
    } else if (a == "--version") {
      o->version = true;
    } else if (a == "--frames") {
      if (!value(&v)) return false;
      if (!parse_whole(v, 1, INT32_MAX, &n)) {
        *error = "--frames takes a whole number from 1 up, not " + quote_text(v);
        return false;
      }
      o->frames = n;
    } else if (a == "--seed") {
      if (!value(&v)) return false;
      if (!parse_whole(v, 0, UINT32_MAX, &n)) {
        *error = "--seed takes a whole number from 0 to 4294967295, not " + quote_text(v);
        return false;
      }
      o->seeded = true;
      o->seed = uint32_t(n);
    } else if (std::string Options::*file = file_option(a)) {
      if (!value(&v)) return false;
      o->*file = v;
    } else if (a == "--probe") {
      if (!value(&v)) return false;
      Probe p;
      if (!parse_probe(v, &p)) {
        *error = "--probe takes X,Y,Z of a cell in the world (X and Y 0.." +
                 std::to_string(kWorldSide - 1) + ", Z 0.." + std::to_string(kLevelCount - 1) +
                 "), not " + quote_text(v);
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
  --save FILE        at exit (and on F9), save the game to FILE
  --load FILE        start from a saved game instead of a new one; --frames
                     then counts on from the save's frame counter
  --timedemo FILE    replay a recording headless as fast as it goes and print
                     its passes, times and memory (with --dump-state: also there)
  --probe X,Y,Z      (repeatable) report the tile code of that cell in the dump
  --data DIR         folder holding bmp_*/ and map/ (default: beside the program)
  --no-vsync         do not pace frames to the display's refresh
  --queued-typing    the command line takes typed text from the window system: no
                     letter lost or doubled, and letters and digits act on nothing
                     else while it is open (setting queued_typing)
  --no-settings      neither read nor write settings.ini
  --help, --version  this text; the version

Keys, everywhere:
  Escape             quit
  F1 F2 F3 F4        window zoom 1x, 2x, 3x, 4x (at most what fits)
  F11, Alt+Enter     full screen on / off
  M                  move the window to the pointer (hold to drag)
  F5                 block view (320 x 240, zoom 2)
  F6                 overworld view (640 x 480, zoom 1)
  1 2 3              unit speed: fast, normal, slow
  [ ]                select the previous / next unit and look at it
  A                  send unit 1 somewhere at random
  N                  show / hide the minimap, moving it to the pointer
  Arrows             scroll the view; keypad + / - change the level
  Tab                open / close the command line (type, Enter runs)
  F9                 save the game (to --save FILE, else a new file in
                     $XDG_DATA_HOME/kelvarot/saves or ~/.local/share/kelvarot/saves)
  F10                show / hide the keys and commands over the view
  F12                save a screenshot (into $XDG_PICTURES_DIR, the pictures folder
                     of user-dirs.dirs, ~/Pictures or ~/.local/share/kelvarot/
                     screenshots; never overwrites; not in a --script run)
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

Options taking a value accept --opt=value as well. A recording carries its seed
and length: --script replays it with them unless --seed or --frames say otherwise.

Settings: a window run reads $XDG_CONFIG_HOME/kelvarot/settings.ini (default
~/.config/kelvarot/) at start and writes it at exit: the zoom chosen in each view,
full screen, queued_typing (0 or 1). Options win over it; a replay and a headless
run never use it.

Exit status: 0 after a normal quit; 1 when the window cannot open or an output
file (--screenshot, --dump-state, --record, --save) cannot be written, the old
file then kept; 2 for bad options, an unreadable script or a save that cannot be
loaded.
)";
}
