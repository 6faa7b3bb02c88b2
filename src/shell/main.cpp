// Entry: options, start-up, the frame loop, and what a run leaves behind.

#include <fcntl.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <memory>

#include "core/files.h"
#include "core/quote.h"
#include "shell/datadir.h"
#include "shell/loop.h"
#include "shell/notice.h"
#include "shell/options.h"
#include "shell/outputs.h"
#include "shell/platform_sdl.h"
#include "shell/record.h"
#include "shell/save.h"
#include "shell/script.h"
#include "shell/settings.h"
#include "shell/timedemo.h"

namespace {

volatile std::sig_atomic_t g_signalled = 0;
bool g_hangup_ignored = false;  // ignored when we started (nohup): it stays ignored

// The first request ends the run the normal way (dump written); a second one ends it at once.
void on_signal(int sig) {
  if (g_signalled) {
    remove_temporaries();  // a write cut short leaves nothing behind
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
  for (int sig : {SIGINT, SIGTERM, SIGHUP})
    if (sig != SIGHUP || !g_hangup_ignored) sigaction(sig, &sa, nullptr);
  // a closed stderr pipe or a full file limit must not kill the run before its dump: the
  // writes fail and say so instead
  std::signal(SIGPIPE, SIG_IGN);
  std::signal(SIGXFSZ, SIG_IGN);
}

}  // namespace

int main(int argc, char** argv) {
  // With a standard descriptor closed, the next file opened would take its number and
  // receive what is printed there: hold them on /dev/null first.
  for (int fd = 0; fd <= 2; ++fd)
    if (::fcntl(fd, F_GETFD) < 0 && ::open("/dev/null", O_RDWR) < 0) return 2;
  struct sigaction hangup {};
  g_hangup_ignored = sigaction(SIGHUP, nullptr, &hangup) == 0 && hangup.sa_handler == SIG_IGN;
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
  if (!opt.timedemo.empty()) {
    if (!opt.script.empty()) {
      std::fprintf(stderr, "kelvarot: --timedemo replays its own recording: no --script with it\n");
      return 2;
    }
    opt.script = opt.timedemo;
    opt.headless = true;
    opt.vsync = false;
  }
  if (!check_option_files(opt, &error)) {
    std::fprintf(stderr, "kelvarot: %s\n", error.c_str());
    return 2;
  }
  handle_signals(false);
  std::vector<ScriptEvent> events;
  Settings settings;
  if (!opt.script.empty()) {
    std::string text;
    if (!read_script_file(opt.script, &text, &error)) {
      std::fprintf(stderr, "kelvarot: %s\n", error.c_str());
      return 2;
    }
    if (!parse_script(text, &events, &error)) {
      std::fprintf(stderr, "kelvarot: %s: %s\n", quote_name(opt.script).c_str(), error.c_str());
      return 2;
    }
    // a recording replays with its own seed and length unless told otherwise
    const RecordingHeader header = read_recording_header(text);
    if (!header.error.empty()) {
      std::fprintf(stderr, "kelvarot: %s: %s\n", quote_name(opt.script).c_str(),
                   header.error.c_str());
      return 2;
    }
    if (header.has_seed && !opt.seeded) opt.seeded = true, opt.seed = header.seed;
    if (header.passes > 0 && opt.frames < 0) opt.frames = header.passes;
    // one cut short ends with the last pass it holds
    if (header.recording && opt.frames < 0)
      opt.frames = events.empty() ? 1 : events.back().pass + 1;
    if (!header.save.empty() && opt.load.empty()) opt.load = header.save;
    // a timed demo ends: at its last event when the recording does not say
    if (!opt.timedemo.empty() && opt.frames < 0 && !events.empty())
      opt.frames = int64_t(events.back().pass) + 1;
    settings_from_recording(text, &settings);
  }
  // a window run keeps what the player chose; a replay has it from the recording
  const std::string settings_file =
      opt.headless || !opt.script.empty() || opt.no_settings ? "" : settings_path();
  std::string settings_why;
  bool keep_settings = !settings_file.empty();
  if (keep_settings) {
    settings.remembered = true;
    if (!load_settings(settings_file, &settings, &settings_why)) {
      std::fprintf(stderr, "kelvarot: %s ignored (%s); it is left as it is\n",
                   quote_name(settings_file).c_str(), settings_why.c_str());
      settings = Settings{};
      settings.remembered = true;
      keep_settings = false;
    }
  }
  SaveData saved;
  if (!opt.load.empty()) {
    if (!read_save_file(opt.load, &saved, &error)) {
      std::fprintf(stderr, "kelvarot: %s\n", error.c_str());
      return 2;
    }
    if (opt.frames > 0 && opt.frames <= saved.run.frame) {
      std::fprintf(stderr, "kelvarot: --frames %lld is not past the frame counter of %s (%lld)\n",
                   static_cast<long long>(opt.frames), quote_name(opt.load).c_str(),
                   static_cast<long long>(saved.run.frame));
      return 2;
    }
  }
  handle_signals(true);

  const auto t0 = std::chrono::steady_clock::now();
  auto display = std::make_unique<SdlDisplay>(opt.headless, opt.vsync);
  const bool queued = opt.queued_typing || settings.queued_typing;
  display->set_queued_typing(queued);
  if (settings.remembered && settings.fullscreen) display->set_fullscreen(true);
  std::unique_ptr<InputSource> input;
  if (!opt.script.empty()) input = std::make_unique<ScriptInput>(std::move(events));
  else input = std::make_unique<SdlInput>(*display);

  auto game = std::make_unique<Game>();
  Game& g = *game;
  g.settings = settings;
  g.console.queued = queued;
  g.platform.input = input.get();
  g.platform.display = display.get();
  Session session;
  session.opt = opt;

  StartOptions start;
  start.data_dir = opt.data_dir.empty() ? default_data_dir(&start.looked_in) : opt.data_dir;
  // the clock's seed is fixed here so that a recording can name it
  start.seed = opt.seeded ? opt.seed : uint32_t(std::time(nullptr));
  if (!opt.load.empty()) start.seed = saved.seed;
  if (!start_game(g, start)) {
    shutdown_game(g);
    return 1;
  }
  g.track.seed = start.seed;
  // what a save lists as changed is measured from the grid as start-up leaves it
  if (!opt.save.empty() || (!session.replay() && !opt.headless)) take_baseline(g.world, g.baseline);
  if (!opt.load.empty() && !apply_save(g, session, saved, opt.load, &error)) {
    std::fprintf(stderr, "kelvarot: %s\n", error.c_str());
    const int status = g.window_failed ? 1 : 2;
    shutdown_game(g);
    return status;
  }
  if (!start_recording(session, g, start.seed)) {
    shutdown_game(g);
    return 1;
  }
  const TimedemoStart demo = start_timedemo(g);
  if (!settings_why.empty()) show_notice(g, "Settings not read: " + settings_why);
  while (!g.run.quit) {
    session.last_pass = g_signalled || (opt.frames > 0 && g.run.frame + 1 >= opt.frames);
    run_pass(g, session);
    save_key_step(g, session);
    if (g.run.frame == 1) {
      const std::chrono::duration<double, std::milli> spent = std::chrono::steady_clock::now() - t0;
      g.loaded.startup_ms = spent.count() - (opt.headless ? 0.0 : double(display->paused_ms()));
      g.ticks.startup_cpu_ms = process_cpu_ms();
    }
    if (g_signalled) g.run.quit = 1;
    if (opt.frames > 0 && g.run.frame >= opt.frames) g.run.quit = 1;
    if (g.window_failed) break;
  }
  if (!opt.timedemo.empty()) session.timedemo_json = finish_timedemo(demo, g);
  handle_signals(false);  // a signal stops a wait for a pipe's reader at the end
  const int status = finish_session(session, g);
  if (keep_settings) {
    g.settings.fullscreen = display->fullscreen();
    if (!save_settings(settings_file, g.settings, &settings_why))
      std::fprintf(stderr, "kelvarot: settings not kept: %s (%s)\n",
                   quote_name(settings_file).c_str(), settings_why.c_str());
  }
  shutdown_game(g);
  return status;
}
