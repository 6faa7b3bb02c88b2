#include "shell/session.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "shell/dump.h"
#include "shell/game.h"
#include "shell/screenshot.h"

bool start_recording(Session& s, Game& g, uint32_t seed) {
  if (s.opt.record.empty()) return true;
  FILE* f = std::fopen(s.opt.record.c_str(), "w");
  if (!f) {
    std::fprintf(stderr, "kelvarot: cannot write the recording %s (%s)\n", s.opt.record.c_str(),
                 std::strerror(errno));
    return false;
  }
  // the settings in force go with the input: a replay needs no settings file
  Settings in_force = g.settings;
  in_force.queued_typing = g.console.queued;
  s.recorder = std::make_unique<RecordingInput>(*g.platform.input, g.fb, f, seed,
                                                recording_settings_line(in_force));
  g.platform.input = s.recorder.get();
  return true;
}

int finish_session(Session& s, const Game& g) {
  int status = g.window_failed ? 1 : 0;
  std::string error;
  if (s.recorder) {
    // a failed write was said on stderr when it happened
    if (s.recorder->finish(g.run.frame))
      std::fprintf(stderr, "kelvarot: input recorded to %s\n", s.opt.record.c_str());
    else status = 1;
  }
  const Options& o = s.opt;
  if (!o.screenshot.empty()) {
    if (!replace_png(o.screenshot, s.presented, &error)) {
      std::fprintf(stderr, "kelvarot: cannot write screenshot %s (%s)\n", o.screenshot.c_str(),
                   error.c_str());
      status = 1;
    } else if (o.headless) {
      std::fprintf(stderr, "kelvarot: screenshot written to %s\n", o.screenshot.c_str());
    }
  }
  if (!o.dump_state.empty() && !write_text_file(o.dump_state, state_json(g, o.probes), &error)) {
    std::fprintf(stderr, "kelvarot: cannot write state dump %s (%s)\n", o.dump_state.c_str(),
                 error.c_str());
    status = 1;
  }
  return status;
}
