#pragma once
// One run of the program around its game.
//
// The game (shell/game.h) is what a pass reads and changes: the world, the views, the window
// and the input it polls. The session is what only this run cares about: whether its input
// is a replay, which pictures nobody will see, the F12 key's edge, the frame kept for
// --screenshot, the recording, and the files written at the end. A test or a fuzzer runs a
// game with a default session: a player at a window, nothing written at exit.
#include <cstdint>
#include <memory>
#include <string>

#include "render/framebuffer.h"
#include "shell/options.h"
#include "shell/record.h"

struct Game;

struct Session {
  Options opt;                // what the command line asked for
  bool last_pass = false;     // set by the caller: the loop stops after this pass
  bool f12_was_down = false;  // screenshots on the press, not while held
  bool f12_refused = false;   // the replay's F12 has been explained once
  Framebuffer presented;      // pixels only; the last presented frame, kept for --screenshot
  std::unique_ptr<RecordingInput> recorder;
  std::string record_temp, record_target;  // a recording into a file goes to temp, then target
  std::string timedemo_json;               // --timedemo's figures, for the dump

  // Input from a script: F12 never writes the player's pictures.
  bool replay() const { return !opt.script.empty(); }
  // Headless, nobody sees a picture unless it is kept: GL drawing and the present are done
  // only for the last pass and for F12's.
  bool skip_unseen_pictures() const { return opt.headless; }
  bool keep_presented() const { return !opt.screenshot.empty(); }
};

// With --record: opens the file and puts the recorder between the game and its input. Done
// only once the game has started, so a run that cannot start leaves an earlier recording as
// it was. False, said on stderr, when the file cannot be made.
bool start_recording(Session& s, Game& g, uint32_t seed);
// The recording finished, the screenshot and the dump written, each failure said on stderr:
// the exit status, 0 or 1.
int finish_session(Session& s, const Game& g);
