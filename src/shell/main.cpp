// Entry: options, start-up, the frame loop, and what a run leaves behind.

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>

#include "shell/datadir.h"
#include "shell/dump.h"
#include "shell/game.h"
#include "shell/options.h"
#include "shell/outputs.h"
#include "shell/platform_sdl.h"
#include "shell/record.h"
#include "shell/screenshot.h"
#include "shell/script.h"

namespace {

volatile std::sig_atomic_t g_signalled = 0;

// The first request ends the run the normal way (dump written); a second one ends it at once.
void on_signal(int sig) {
  if (g_signalled) {
    std::signal(sig, SIG_DFL);
    std::raise(sig);
  }
  g_signalled = 1;
}

// restart: whether system calls resume after the signal. While a script is read from a pipe
// they must not, so that the first signal stops the wait.
void handle_signals(bool restart) {
  struct sigaction sa {};
  sa.sa_handler = on_signal;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = restart ? SA_RESTART : 0;
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) sigaction(sig, &sa, nullptr);
  // a closed stderr pipe or a full file limit must not kill the run before its dump: the
  // writes fail and say so instead
  std::signal(SIGPIPE, SIG_IGN);
  std::signal(SIGXFSZ, SIG_IGN);
}

}  // namespace

int main(int argc, char** argv) {
  Options opt;
  std::string error;
  if (!parse_options(argc, argv, &opt, &error)) {
    std::fprintf(stderr, "kelvarot: %s\n", error.c_str());
    return 2;
  }
  if (opt.help) {
    std::fputs(usage_text(), stdout);
    return 0;
  }
  if (opt.version) {
    std::printf("kelvarot %s\n", kVersion);
    return 0;
  }
  if (!check_option_files(opt, &error)) {
    std::fprintf(stderr, "kelvarot: %s\n", error.c_str());
    return 2;
  }
  handle_signals(false);
  std::vector<ScriptEvent> events;
  if (!opt.script.empty()) {
    std::string text;
    if (!read_script_file(opt.script, &text, &error)) {
      std::fprintf(stderr, "kelvarot: %s\n", error.c_str());
      return 2;
    }
    if (!parse_script(text, &events, &error)) {
      std::fprintf(stderr, "kelvarot: %s: %s\n", opt.script.c_str(), error.c_str());
      return 2;
    }
    // a recording replays with its own seed and length unless told otherwise
    const RecordingHeader header = read_recording_header(text);
    if (header.has_seed && !opt.seeded) opt.seeded = true, opt.seed = header.seed;
    if (header.passes > 0 && opt.frames < 0) opt.frames = header.passes;
  }
  handle_signals(true);

  const auto t0 = std::chrono::steady_clock::now();
  auto display = std::make_unique<SdlDisplay>(opt.headless, opt.vsync);
  std::unique_ptr<InputSource> input;
  if (!opt.script.empty()) input = std::make_unique<ScriptInput>(std::move(events));
  else input = std::make_unique<SdlInput>(*display);

  auto game = std::make_unique<Game>();
  Game& g = *game;
  g.platform.input = input.get();
  g.platform.display = display.get();
  g.keep_presented = !opt.screenshot.empty();
  g.replay = !opt.script.empty();

  StartOptions start;
  start.data_dir = opt.data_dir.empty() ? default_data_dir(&start.looked_in) : opt.data_dir;
  // the clock's seed is fixed here so that a recording can name it
  start.seeded = true;
  start.seed = opt.seeded ? opt.seed : uint32_t(std::time(nullptr));
  if (!start_game(g, start)) {
    shutdown_game(g);
    return 1;
  }
  int status = 0;
  // Opened only now: a run that cannot start leaves an earlier recording as it was.
  std::unique_ptr<RecordingInput> recorder;
  if (!opt.record.empty()) {
    FILE* f = std::fopen(opt.record.c_str(), "w");
    if (!f) {
      std::fprintf(stderr, "kelvarot: cannot write the recording %s (%s)\n", opt.record.c_str(),
                   std::strerror(errno));
      shutdown_game(g);
      return 1;
    }
    recorder = std::make_unique<RecordingInput>(*input, g.fb, f, start.seed);
    g.platform.input = recorder.get();
  }
  g.skip_unseen_pictures = opt.headless;
  while (!g.run.quit) {
    g.last_pass = g_signalled || (opt.frames > 0 && g.run.frame + 1 >= opt.frames);
    run_pass(g);
    if (g.run.frame == 1) {
      const std::chrono::duration<double, std::milli> spent = std::chrono::steady_clock::now() - t0;
      g.loaded.startup_ms = spent.count() - (opt.headless ? 0.0 : double(display->paused_ms()));
    }
    if (g_signalled) g.run.quit = 1;
    if (opt.frames > 0 && g.run.frame >= opt.frames) g.run.quit = 1;
    if (g.window_failed) break;
  }
  if (g.window_failed) status = 1;
  if (recorder) {
    // a failed write was said on stderr when it happened
    if (recorder->finish(g.run.frame))
      std::fprintf(stderr, "kelvarot: input recorded to %s\n", opt.record.c_str());
    else status = 1;
  }
  if (!opt.screenshot.empty()) {
    if (!replace_png(opt.screenshot, g.presented, &error)) {
      std::fprintf(stderr, "kelvarot: cannot write screenshot %s (%s)\n", opt.screenshot.c_str(),
                   error.c_str());
      status = 1;
    } else if (opt.headless) {
      std::fprintf(stderr, "kelvarot: screenshot written to %s\n", opt.screenshot.c_str());
    }
  }
  if (!opt.dump_state.empty() &&
      !write_text_file(opt.dump_state, state_json(g, opt.probes), &error)) {
    std::fprintf(stderr, "kelvarot: cannot write state dump %s (%s)\n", opt.dump_state.c_str(),
                 error.c_str());
    status = 1;
  }
  shutdown_game(g);
  return status;
}
