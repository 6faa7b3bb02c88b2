// Entry: options, start-up, the frame loop, and what a run leaves behind.

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>

#include "shell/datadir.h"
#include "shell/dump.h"
#include "shell/game.h"
#include "shell/options.h"
#include "shell/platform_sdl.h"
#include "shell/record.h"
#include "shell/screenshot.h"
#include "shell/script.h"

namespace {

volatile std::sig_atomic_t g_signalled = 0;

void on_signal(int) { g_signalled = 1; }

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
  std::vector<ScriptEvent> events;
  if (!opt.script.empty()) {
    std::ifstream in(opt.script, std::ios::binary);
    if (!in) {
      std::fprintf(stderr, "kelvarot: cannot read script %s\n", opt.script.c_str());
      return 2;
    }
    std::stringstream ss;
    ss << in.rdbuf();
    if (!parse_script(ss.str(), &events, &error)) {
      std::fprintf(stderr, "kelvarot: %s: %s\n", opt.script.c_str(), error.c_str());
      return 2;
    }
  }

  std::unique_ptr<FILE, int (*)(FILE*)> record(nullptr, &std::fclose);
  if (!opt.record.empty()) {
    record.reset(std::fopen(opt.record.c_str(), "w"));
    if (!record) {
      std::fprintf(stderr, "kelvarot: cannot write the recording %s\n", opt.record.c_str());
      return 2;
    }
  }

  const auto t0 = std::chrono::steady_clock::now();
  auto display = std::make_unique<SdlDisplay>(opt.headless, opt.vsync);
  std::unique_ptr<InputSource> input;
  if (!opt.script.empty()) input = std::make_unique<ScriptInput>(std::move(events));
  else input = std::make_unique<SdlInput>(*display);

  auto game = std::make_unique<Game>();
  Game& g = *game;
  std::unique_ptr<RecordingInput> recorder;
  if (record) recorder = std::make_unique<RecordingInput>(*input, g.fb, record.get());
  g.platform.input = recorder ? static_cast<InputSource*>(recorder.get()) : input.get();
  g.platform.display = display.get();
  g.keep_presented = !opt.screenshot.empty();

  std::signal(SIGINT, on_signal);
  std::signal(SIGTERM, on_signal);

  StartOptions start;
  start.data_dir = opt.data_dir.empty() ? default_data_dir(&start.looked_in) : opt.data_dir;
  if (start.looked_in.empty()) start.looked_in = start.data_dir;
  start.seeded = opt.seeded;
  start.seed = opt.seed;
  if (!start_game(g, start)) {
    shutdown_game(g);
    return 1;
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
  if (recorder) {
    recorder->finish(g.run.frame);
    std::fprintf(stderr, "kelvarot: input recorded to %s\n", opt.record.c_str());
  }
  int status = g.window_failed ? 1 : 0;
  if (!opt.screenshot.empty()) {
    if (!write_png(opt.screenshot, g.presented)) {
      std::fprintf(stderr, "kelvarot: cannot write screenshot %s\n", opt.screenshot.c_str());
      status = status ? status : 1;
    } else if (opt.headless) {
      std::fprintf(stderr, "kelvarot: screenshot written to %s\n", opt.screenshot.c_str());
    }
  }
  if (!opt.dump_state.empty() && !write_text_file(opt.dump_state, state_json(g, opt.probes))) {
    std::fprintf(stderr, "kelvarot: cannot write state dump %s\n", opt.dump_state.c_str());
    status = status ? status : 1;
  }
  shutdown_game(g);
  return status;
}
