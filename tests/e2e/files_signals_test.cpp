// The binary against hostile surroundings: outputs naming one file, writes that fail,
// signals, inputs that are not files, bad option values, and self-contained recordings.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "e2e/harness.h"

namespace fs = std::filesystem;

namespace {

using Argv = std::vector<std::string>;
Argv game(Argv args) {
  args.insert(args.begin(), kelvarot());
  return args;
}
Argv bash(const std::string& line) { return {"/bin/bash", "-c", line}; }

// limit: the size any one file may grow to. stderr_closed: stderr is a pipe nobody reads.
pid_t spawn(Argv argv, const ScratchDir& dir, rlim_t limit = RLIM_INFINITY,
            bool stderr_closed = false) {
  int fds[2] = {-1, -1};
  if (stderr_closed && pipe(fds) != 0) return -1;
  const std::string err = dir / "stderr.txt";
  const pid_t pid = fork();
  if (pid == 0) {
    std::signal(SIGPIPE, SIG_DFL);
    std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails instead of killing
    if (stderr_closed) dup2(fds[1], 2), close(fds[0]), close(fds[1]);
    else if (!std::freopen(err.c_str(), "w", stderr)) _exit(127);
    const rlimit lim{limit, limit};
    setrlimit(RLIMIT_FSIZE, &lim);
    std::vector<char*> args;
    for (std::string& a : argv) args.push_back(a.data());
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
  }
  if (stderr_closed) close(fds[0]), close(fds[1]);
  return pid;
}

struct Outcome {
  int status = -1;  // exit status, 128 + signal, or -1: still running after the wait (killed)
  std::string err;
};

Outcome wait_for(pid_t pid, const ScratchDir& dir, int seconds = 60) {
  Outcome o{-1, ""};
  int ws = 0;
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  pid_t got = 0;
  while ((got = waitpid(pid, &ws, WNOHANG)) == 0 && std::chrono::steady_clock::now() < until)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  if (got == 0) kill(pid, SIGKILL), waitpid(pid, &ws, 0);  // still running: a hang
  else o.status = WIFEXITED(ws) ? WEXITSTATUS(ws) : 128 + WTERMSIG(ws);
  o.err = read_file(dir / "stderr.txt");
  return o;
}

Outcome run(const Argv& argv, const ScratchDir& dir, rlim_t limit = RLIM_INFINITY) {
  return wait_for(spawn(argv, dir, limit), dir);
}

int lines(const std::string& s) { return int(std::count(s.begin(), s.end(), '\n')); }

std::set<std::string> names_in(const fs::path& dir) {
  std::set<std::string> out;
  for (const auto& e : fs::directory_iterator(dir)) out.insert(e.path().filename().string());
  return out;
}

const std::vector<std::string> kRun = {"--headless", "--frames", "3", "--seed", "7"};

std::vector<std::string> with(std::vector<std::string> extra) {
  extra.insert(extra.begin(), kRun.begin(), kRun.end());
  return extra;
}

TEST(OutputFiles, TwoOptionsNamingOneFileAreRefusedBeforeAnythingIsWritten) {
  ScratchDir dir;
  const std::string script = dir / "input.txt", dump = dir / "out.json";
  write_file(script, "0 tap 2\n");
  fs::create_symlink(script, dir / "link.txt");
  fs::create_hard_link(script, dir / "hard.txt");
  fs::create_directory(dir / "sub");
  const struct {
    std::vector<std::string> args;
    const char* named;  // the later of the two options
  } cases[] = {
      {{"--dump-state", dump, "--screenshot", dump}, "--screenshot"},
      {{"--dump-state", dump, "--record", dir / "sub/../out.json"}, "--record"},
      {{"--screenshot", dump, "--dump-state", dir / "./out.json"}, "--dump-state"},
      {{"--script", script, "--record", script}, "--record"},
      {{"--script", script, "--dump-state", dir / "link.txt"}, "--dump-state"},
      {{"--script", dir / "hard.txt", "--screenshot", script}, "--screenshot"},
  };
  for (const auto& k : cases) {
    const std::set<std::string> before = names_in(dir.path);
    const Outcome o = run(game(with(k.args)), dir);
    EXPECT_EQ(o.status, 2) << k.args[3];
    EXPECT_NE(o.err.find(k.named), std::string::npos) << o.err;
    EXPECT_EQ(lines(o.err), 1) << o.err;
    EXPECT_EQ(read_file(script), "0 tap 2\n");
    fs::remove(dir / "stderr.txt");
    EXPECT_EQ(names_in(dir.path), before) << k.args[3];
  }
}

TEST(OutputFiles, AFailedRecordingSaysSoAndExitsOne) {
  ScratchDir dir;
  write_file(dir / "in.txt", "");
  const struct {
    std::string record;
    rlim_t limit;
  } cases[] = {
      {"/dev/full", RLIM_INFINITY},  // every write fails: no space
      {dir / "rec.txt", 120},        // the last line goes past the size limit
  };
  for (const auto& k : cases) {
    const Outcome o =
        run(game(with({"--record", k.record, "--script", dir / "in.txt"})), dir, k.limit);
    EXPECT_EQ(o.status, 1) << k.record << ": " << o.err;
    EXPECT_NE(o.err.find("recording cannot be written"), std::string::npos) << o.err;
    EXPECT_EQ(o.err.find("input recorded"), std::string::npos) << o.err;
  }
}

TEST(OutputFiles, AFailedWriteKeepsTheOldFileAndLeavesNoTemporary) {
  const char* kinds[] = {"--dump-state", "--screenshot"};
  for (const char* option : kinds) {
    ScratchDir dir;
    const std::string out = dir / "out", old(5000, 'x');
    write_file(out, old);
    const std::set<std::string> before = names_in(dir.path);
    // both outputs are far larger than the old file: the limit stops them half way
    const Outcome o = run(game(with({option, out})), dir, 6000);
    EXPECT_EQ(o.status, 1) << option << ": " << o.err;
    EXPECT_TRUE(read_file(out) == old) << option << ": the old file changed";
    EXPECT_EQ(lines(o.err), 1) << o.err;
    EXPECT_NE(o.err.find(out), std::string::npos) << o.err;
    fs::remove(dir / "stderr.txt");
    EXPECT_EQ(names_in(dir.path), before);
  }
}

TEST(OutputFiles, ARecordingIsKeptUntilTheSessionStartsAndHoldsEachPassAsItEnds) {
  {  // no window: the run stops before its session, the earlier recording stays
    ScratchDir dir;
    write_file(dir / "rec.txt", "0 tap A\n");
    const Outcome o = run(bash("DISPLAY= WAYLAND_DISPLAY= SDL_VIDEODRIVER= exec " + kelvarot() +
                               " --frames 5 --record " + dir / "rec.txt"),
                          dir);
    EXPECT_EQ(o.status, 1) << o.err;
    EXPECT_EQ(read_file(dir / "rec.txt"), "0 tap A\n");
  }
  {  // killed outright in a long run: what was recorded so far is on disk
    ScratchDir dir;
    write_file(dir / "in.txt", "0 pointer 10 10\n2 tap 3\n");
    const pid_t pid = spawn(game({"--headless", "--frames", "100000", "--script", dir / "in.txt",
                                  "--record", dir / "rec.txt"}),
                            dir);
    bool seen = false;
    for (int i = 0; i < 3000 && !seen; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      seen = read_file(dir / "rec.txt").find("3 key 3 up") != std::string::npos;
    }
    kill(pid, SIGKILL);
    wait_for(pid, dir);
    EXPECT_TRUE(seen) << read_file(dir / "rec.txt");
  }
}

TEST(Signals, HangUpAndAClosedStderrEndTheRunWithItsDumpAndASecondSignalEndsItAtOnce) {
  const struct {
    const char* name;
    std::vector<int> signals;  // sent one after another once the game catches them
    bool stderr_closed;
    bool dump_is_fifo;  // the dump blocks at exit until something reads it
    int status;
  } cases[] = {
      {"hang-up", {SIGHUP}, false, false, 0},
      {"stderr closed", {}, true, false, 0},
      {"second SIGTERM", {SIGTERM, SIGTERM}, false, true, 128 + SIGTERM},
      {"second SIGINT", {SIGINT, SIGINT}, false, true, 128 + SIGINT},
  };
  for (const auto& k : cases) {
    ScratchDir dir;
    const std::string dump = dir / "state.json";
    if (k.dump_is_fifo) mkfifo(dump.c_str(), 0644);
    // the missing data folder makes the game write to stderr at start
    const std::string frames = k.signals.empty() ? "3" : "100000";
    const pid_t pid = spawn(
        game({"--headless", "--frames", frames, "--data", dir / "none", "--dump-state", dump}), dir,
        RLIM_INFINITY, k.stderr_closed);
    for (int sig : k.signals) {
      for (int i = 0; i < 2000 && !catches(pid, sig); ++i) usleep(5000);
      usleep(200000);  // the first has reached the blocked write
      kill(pid, sig);
    }
    const Outcome o = wait_for(pid, dir, 30);
    EXPECT_EQ(o.status, k.status) << k.name << ": " << o.err;
    if (k.dump_is_fifo) continue;
    ASSERT_TRUE(fs::exists(dump)) << k.name;
    size_t at = 0;
    const Json d = parse_json(read_file(dump), at, true);
    EXPECT_EQ(d["quit"].i(), 1) << k.name;
  }
}

TEST(InputFiles, PipesAndFoldersInPlaceOfFilesNeverHangAndScriptsComeFromFilesOrPipes) {
  ScratchDir dir;
  const fs::path data = dir.path / "data";
  fs::create_directories(data / "map");
  fs::create_directories(data / "bmp_cross");
  mkfifo((data / "map/8.overworld").c_str(), 0644);
  mkfifo((data / "bmp_cross/cross4.bmp").c_str(), 0644);
  mkfifo((dir / "fifo").c_str(), 0644);
  fs::create_directory(dir / "folder");
  const std::string k = kelvarot(), d = data.string();
  const struct {
    Argv argv;
    int status;
    const char* said;
  } cases[] = {
      {game(with({"--data", d})), 0, "is not a regular file"},
      {game(with({"--script", dir / "folder"})), 2, "folder"},
      {game(with({"--script", "/dev/zero"})), 2, "not a file or a pipe"},
      {bash(k + " --headless --frames 3 --script <(yes '#' | head -c 17000000)"), 2,
       "larger than 16 MiB"},
      // a named pipe whose writer never comes: the first SIGTERM ends the wait
      {bash("(sleep 1; kill $$) & exec " + k + " --headless --frames 3 --script " + dir / "fifo"),
       2, "fifo"},
      {bash(k + " --headless --frames 3 --seed 7 --dump-state " + dir / "s.json" +
            " --script <(printf '0 key F5 down\\n')"),
       0, ""},
  };
  for (const auto& c : cases) {
    const Outcome o = wait_for(spawn(c.argv, dir), dir, 30);
    EXPECT_EQ(o.status, c.status) << c.argv.back() << ": " << o.err;
    EXPECT_NE(o.err.find(c.said), std::string::npos) << o.err;
  }
  size_t at = 0;  // the piped script took effect: the block view's picture
  EXPECT_EQ(parse_json(read_file(dir / "s.json"), at, true)["width"].i(), 320);
}

TEST(CommandLineOptions, OutOfWorldProbesEmptyValuesAndMissingFoldersAreRefusedAtStart) {
  ScratchDir dir;
  const struct {
    std::vector<std::string> args;
    const char* said;
  } cases[] = {
      {{"--probe", "4294967297,0,0"}, "4294967297"},  // would wrap to 1
      {{"--probe", "1024,0,0"}, "1024,0,0"},
      {{"--probe", "0,0,180"}, "0,0,180"},
      {{"--probe", "-1,0,0"}, "-1,0,0"},
      {{"--probe", "1,2,3,4"}, "1,2,3,4"},
      {{"--script", ""}, "--script"},
      {{"--dump-state", ""}, "--dump-state"},
      {{"--screenshot="}, "--screenshot"},
      {{"--record", ""}, "--record"},
      {{"--headless=yes"}, "--headless"},
      {{"--screenshot", dir / "none/s.png"}, "none"},
      {{"--dump-state", dir / "none/s.json"}, "none"},
      {{"--dump-state", dir.path.string()}, "folder"},
  };
  for (const auto& k : cases) {
    const Outcome o = run(game(with(k.args)), dir);
    EXPECT_EQ(o.status, 2) << k.args[0] << " " << (k.args.size() > 1 ? k.args[1] : "");
    EXPECT_EQ(lines(o.err), 1) << o.err;
    EXPECT_NE(o.err.find(k.said), std::string::npos) << o.err;
  }
}

TEST(GameData, DataThatIsThereButUnreadableIsNamedAsSuchAndMissingDataAsMissing) {
  const struct {
    const char* what;
    void (*make)(const fs::path& file);
    const char* said;
  } cases[] = {
      {"folder", [](const fs::path& f) { fs::create_directories(f); }, "is a directory"},
      {"link loop",
       [](const fs::path& f) {
         fs::create_symlink(f.filename().string() + ".2", f);
         fs::create_symlink(f.filename(), f.string() + ".2");
       },
       "Too many levels of symbolic links"},
      {"missing", [](const fs::path&) {}, "is missing"},
  };
  for (const auto& k : cases) {
    ScratchDir dir;
    const fs::path data = dir.path / "data";
    fs::create_directories(data / "map");
    fs::create_directories(data / "bmp_cross");
    k.make(data / "map/8.overworld");
    k.make(data / "bmp_cross/cross4.bmp");
    const Outcome o = run(game(with({"--data", data.string()})), dir);
    EXPECT_EQ(o.status, 0) << o.err;
    const std::string map_line = o.err.substr(o.err.find("map file"));
    EXPECT_NE(map_line.find(k.said), std::string::npos) << k.what << ": " << o.err;
    const bool picture_named = o.err.find("cross4.bmp: " + std::string(k.said)) != o.err.npos;
    EXPECT_EQ(picture_named, std::string(k.what) != "missing") << o.err;
  }
}

TEST(Recording, ReplaysWithItsOwnSeedAndLengthUnlessToldOtherwiseAndF12WritesNothing) {
  ScratchDir rec, same, other, f12;
  write_file(rec / "in.txt", "0 pointer 200 300\n3 tap A\n9 click right\n");
  // no --seed: the clock's seed goes into the recording
  const Outcome made = run(game({"--headless", "--frames=40", "--script", rec / "in.txt",
                                 "--record", rec / "rec.txt", "--dump-state", rec / "state.json"}),
                           rec);
  ASSERT_EQ(made.status, 0) << made.err;
  const Outcome again = run(
      game({"--headless", "--script", rec / "rec.txt", "--dump-state", same / "state.json"}), same);
  ASSERT_EQ(again.status, 0) << again.err;
  auto stable = [](const ScratchDir& d) {  // without what the machine decides
    std::string out, line;
    std::istringstream in(read_file(d / "state.json"));
    while (std::getline(in, line))
      if (line.find("startup_ms") == line.npos && line.find("peak_rss_kb") == line.npos)
        out += line + "\n";
    return out;
  };
  EXPECT_NE(stable(same).find("\"frame\":40,"), std::string::npos);
  EXPECT_EQ(stable(same), stable(rec));
  EXPECT_EQ(read_file(same / "stderr.txt"), "");
  // the same length, another seed: the units stand elsewhere
  const Outcome seeded = run(game({"--headless", "--script", rec / "rec.txt", "--seed", "1",
                                   "--dump-state", other / "state.json"}),
                             other);
  ASSERT_EQ(seeded.status, 0) << seeded.err;
  EXPECT_NE(stable(other), stable(rec));
  EXPECT_NE(stable(other).find("\"frame\":40,"), std::string::npos);

  write_file(f12 / "in.txt", "1 tap F12\n4 tap F12\n");
  fs::create_directory(f12 / "pictures");
  const Outcome shot = run(bash("XDG_PICTURES_DIR=" + f12 / "pictures" + " exec " + kelvarot() +
                                " --headless --frames 8 --script " + f12 / "in.txt"),
                           f12);
  EXPECT_EQ(shot.status, 0) << shot.err;
  EXPECT_EQ(lines(shot.err), 1) << shot.err;
  EXPECT_NE(shot.err.find("F12"), std::string::npos) << shot.err;
  EXPECT_TRUE(fs::is_empty(f12 / "pictures"));
}

}  // namespace
