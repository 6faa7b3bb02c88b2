#include "shell/session.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "core/files.h"
#include "core/quote.h"
#include "shell/dump.h"
#include "shell/game.h"
#include "shell/save.h"
#include "shell/screenshot.h"

bool start_recording(Session& s, Game& g, uint32_t seed) {
  if (s.opt.record.empty()) return true;
  const std::string& path = s.opt.record;
  struct stat st {};
  std::string why;
  int fd = -1;
  if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
    fd = open_in_place(path, &why);  // a pipe or terminal: in order, as it happens
  } else {
    // the old recording stays whole until this one is complete
    s.record_target = write_target(path);
    fd = create_temporary(s.record_target, &s.record_temp, &why);
  }
  FILE* f = fd < 0 ? nullptr : ::fdopen(fd, "w");
  if (!f) {
    if (why.empty()) why = std::strerror(errno);
    if (fd >= 0) ::close(fd);
    if (!s.record_temp.empty()) discard_temporary(s.record_temp);
    std::fprintf(stderr, "kelvarot: cannot write the recording %s (%s)\n", quote_name(path).c_str(),
                 why.c_str());
    return false;
  }
  // the settings in force go with the input: a replay needs no settings file
  Settings in_force = g.settings;
  in_force.queued_typing = g.console.queued;
  std::string more = recording_settings_line(in_force);
  if (!g.track.loaded_from.empty()) more = "# save " + g.track.loaded_from + "\n" + more;
  s.recorder = std::make_unique<RecordingInput>(*g.platform.input, g.fb, f, seed, path, more);
  g.platform.input = s.recorder.get();
  return true;
}

int finish_session(Session& s, const Game& g) {
  int status = g.window_failed ? 1 : 0;
  std::string error;
  if (s.recorder) {
    // a failed write was said on stderr when it happened
    bool ok = s.recorder->finish(pass_number(g.run.frame));
    if (!s.record_temp.empty()) {  // finish() has synced and closed it
      std::string why;
      if (!ok) discard_temporary(s.record_temp);
      else if (!move_into_place(s.record_temp, s.record_target, &why)) {
        std::fprintf(stderr, "kelvarot: cannot write the recording %s (%s)\n",
                     quote_name(s.opt.record).c_str(), why.c_str());
        ok = false;
      }
    }
    if (ok)
      std::fprintf(stderr, "kelvarot: input recorded to %s\n", quote_name(s.opt.record).c_str());
    else status = 1;
  }
  const Options& o = s.opt;
  if (!o.screenshot.empty()) {
    if (!replace_png(o.screenshot, s.presented, &error)) {
      std::fprintf(stderr, "kelvarot: cannot write screenshot %s (%s)\n",
                   quote_name(o.screenshot).c_str(), error.c_str());
      status = 1;
    } else if (o.headless) {
      std::fprintf(stderr, "kelvarot: screenshot written to %s\n",
                   quote_name(o.screenshot).c_str());
    }
  }
  if (!o.save.empty() && !g.window_failed) {
    if (write_save(o.save, g, s, &error)) {
      std::fprintf(stderr, "kelvarot: game saved to %s\n", quote_name(o.save).c_str());
    } else {
      std::fprintf(stderr, "kelvarot: cannot write the save %s (%s)\n", quote_name(o.save).c_str(),
                   error.c_str());
      status = 1;
    }
  }
  if (!o.dump_state.empty() &&
      !write_text_file(o.dump_state, state_json(g, o.probes, s.timedemo_json), &error)) {
    std::fprintf(stderr, "kelvarot: cannot write state dump %s (%s)\n", o.dump_state.c_str(),
                 error.c_str());
    status = 1;
  }
  return status;
}
