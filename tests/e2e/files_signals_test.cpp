// The binary against failing writes, signals, inputs that are not files, no display; recordings.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <tuple>

#include "e2e/harness.h"

namespace fs = std::filesystem;

namespace {

Argv bash(const std::string& line) { return {"/bin/bash", "-c", line}; }
// A short seeded headless run with the extra arguments; no dump unless they ask.
Argv with(Argv extra) {
  extra.insert(extra.begin(), {"kelvarot", "--headless", "--frames", "3", "--seed", "7"});
  return extra;
}
GameRun run(const Argv& argv, const ScratchDir& dir, const Surroundings& s = {}) {
  return finish(spawn(argv, dir, s), dir, 60);
}
// Waits until pid handles signals (its SIGTERM handler is in place), then sends sig.
void send_once_caught(pid_t pid, int sig) {
  for (int i = 0; i < 2000; ++i, usleep(5000)) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(in, line) && line.rfind("SigCgt:", 0) != 0) {}
    if (line.size() > 7 && std::stoull(line.substr(7), nullptr, 16) >> (SIGTERM - 1) & 1) break;
  }
  usleep(200000);  // a first signal has reached the blocked write
  kill(pid, sig);
}

TEST(OutputFiles, AFailedWriteExitsOneSayingSoAndKeepsTheOldFileWithNoTemporary) {
  ScratchDir dir;
  const GameRun full = run(with({"--record", "/dev/full"}), dir);
  EXPECT_EQ(full.status, 1) << full.err;
  EXPECT_NE(full.err.find("'/dev/full' cannot be written"), std::string::npos) << full.err;
  // the limit stops each output half way: far larger than the old file, its own line left
  for (auto [option, limit] : {std::pair<std::string, rlim_t>{"--dump-state", 6000},
                               {"--screenshot", 6000},
                               {"--record", 120}}) {
    ScratchDir d;
    const std::string out = d / "out", old(5000, 'x');
    write_file(out, old);
    const std::set<std::string> before = names_in(d.path);
    const GameRun o = run(with({option, out}), d, {{}, limit});
    EXPECT_EQ(o.status, 1) << option << ": " << o.err;
    EXPECT_TRUE(read_file(out) == old) << option << ": the old file changed";
    EXPECT_EQ(std::ranges::count(o.err, '\n'), 1) << o.err;
    EXPECT_NE(o.err.find(out), std::string::npos) << o.err;
    fs::remove(d / "stderr.txt");
    EXPECT_EQ(names_in(d.path), before);
  }
}

// Killed at a random pass, or never told its length, a recording replays to its last pass.
TEST(OutputFiles, ARecordingCutShortReplaysToItsLastPassAndEnds) {
  const std::string pipe = "/dev/stdout > >(cat > rec.txt)";
  std::srand(unsigned(std::time(nullptr)));
  for (const auto& [record, killed] :
       {std::pair<std::string, bool>{"rec.txt", true}, {pipe, true}, {pipe, false}}) {
    ScratchDir dir;
    std::string moves;  // the pointer moves in each of these passes: each is recorded
    for (int p = 0; p < (killed ? 3000 : 20); ++p)
      moves += std::to_string(p) + " pointer 9 " + std::to_string(p % 99) + "\n";
    write_file(dir / "in.txt", moves);
    const pid_t pid = spawn(bash("cd " + dir.path.string() + " && exec " + kelvarot() +
                                 " --headless --script in.txt --frames " +
                                 (killed ? "100000" : "40") + " --record " + record),
                            dir);
    auto recording = [&] {  // until the end, the temporary beside rec.txt: the first name
      const std::string first = *names_in(dir.path).begin();
      return dir / (first[0] == '.' ? first : "rec.txt");
    };
    for (int i = 0; i < 500 && read_file(recording()).find(" pointer") == std::string::npos; ++i)
      usleep(20000);
    if (killed) usleep(std::rand() % 1000000), kill(pid, SIGKILL);
    finish(pid, dir, 30);
    usleep(200000);  // cat copies the rest
    const std::string rec = recording(), text = read_file(rec);
    const int frames =
        killed ? std::atoi(&text[text.rfind('\n', text.rfind(" pointer")) + 1]) + 1 : 40;
    const GameRun r =
        run({"kelvarot", "--headless", "--script", rec, "--dump-state", dir / "state.json"}, dir);
    EXPECT_EQ(std::tuple(r.status, r.dump.value("frame", 0)), std::tuple(0, frames))
        << record << r.err;
  }
}

TEST(Signals, EndTheRunWithItsDumpAndASecondSignalEndsItAtOnce) {
  const struct {
    const char* name;
    std::vector<int> signals;          // sent one after another once the game catches them
    bool stderr_unread, dump_is_fifo;  // a fifo dump blocks at exit until something reads it
    int status;                        // -1: killed by a signal
    bool nohup = false;     // started with hang-ups ignored: the hang-up must not end the run
    bool together = false;  // sent back to back, while the recording is being written
  } cases[] = {
      // clang-format off
      {"SIGINT", {SIGINT}, false, false, 0}, {"SIGTERM", {SIGTERM}, false, false, 0},
      {"hang-up", {SIGHUP}, false, false, 0}, {"stderr unread", {}, true, false, 0},
      {"second SIGTERM", {SIGTERM, SIGTERM}, false, true, 128 + SIGTERM},
      {"second SIGINT", {SIGINT, SIGINT}, false, true, 128 + SIGINT},
      {"nohup", {SIGHUP, SIGTERM}, false, false, 0, true},
      {"two at once", {SIGINT, SIGTERM}, false, true, -1, false, true},  // killed by either
      // clang-format on
  };
  for (const auto& k : cases) {
    ScratchDir dir;
    const std::string dump = dir / "state.json";
    if (k.dump_is_fifo) mkfifo(dump.c_str(), 0644);
    write_file(dir / "rec.txt", "0 tap A\n");
    // data that cannot be read makes the game write to stderr at start
    const std::string frames = k.signals.empty() ? "3" : "100000";
    const pid_t pid = spawn({"kelvarot", "--headless", "--frames", frames, "--data", "/dev/null",
                             "--dump-state", dump, "--record", dir / "rec.txt"},
                            dir, {{}, RLIM_INFINITY, k.stderr_unread, k.nohup});
    for (int sig : k.signals) {
      if (k.together && sig != k.signals[0]) kill(pid, sig);
      else send_once_caught(pid, sig);
      if (k.nohup && sig == SIGHUP) {  // still running a second later
        usleep(1000000);
        EXPECT_EQ(waitpid(pid, nullptr, WNOHANG), 0) << "a hang-up under nohup ended the run";
      }
    }
    const GameRun o = finish(pid, dir, 30);
    EXPECT_TRUE(k.status < 0 ? o.status > 128 : o.status == k.status) << k.name << ": " << o.err;
    // cut short: the old recording whole, no temporary left
    EXPECT_TRUE(!k.together ||
                (names_in(dir.path).size() == 3 && read_file(dir / "rec.txt") == "0 tap A\n"));
    if (k.dump_is_fifo) continue;
    ASSERT_FALSE(o.dump.is_null()) << k.name;
    EXPECT_EQ(o.dump.at("quit"), 1) << k.name;
    EXPECT_LT(o.dump.at("frame"), k.signals.empty() ? 4 : 100000) << k.name;
  }
}

// Help and version on stdout; pipes and folders for files never hang; no display ends the
// start before anything is written.
TEST(Runs, ExitWithTheirStatusSayingWhy) {
  ScratchDir dir;
  mkfifo((dir / "fifo").c_str(), 0644);
  fs::create_directory(dir / "folder");
  write_file(dir / "rec.txt", "0 tap A\n");
  write_file(dir / "f12.txt", "0 tap F12\n");
  const std::string k = kelvarot() + " --headless --frames 3";
  const std::tuple<Argv, int, std::vector<std::string>> cases[] = {
      {bash(kelvarot() + " --help 3>&2 2>/dev/null >&3"), 0, {"--headless"}},
      {bash(kelvarot() + " --version 3>&2 2>/dev/null >&3"), 0, {"kelvarot "}},
      {with({"--script", dir / "folder"}), 2, {"folder"}},
      {with({"--script", "/dev/zero"}), 2, {"not a file or a pipe"}},
      {bash(k + " --script <(yes '#' | head -c 17000000)"), 2, {"larger than 16 MiB"}},
      // a named pipe whose writer never comes: the first SIGTERM ends the wait
      {bash("(sleep 1; kill $$) & exec " + k + " --script " + dir / "fifo"), 2, {"fifo"}},
      // a pipe nobody reads is not waited for; with stderr closed, no message in an output
      {bash("(sleep 1; kill $$) & exec " + k + " --record " + dir / "fifo"),
       1,
       {"fifo' (no process"}},
      {bash("exec " + k + " --script " + dir / "f12.txt --record " + dir / "f12rec.txt 2>&-"),
       0,
       {}},
      {bash(k + " --seed 7 --dump-state " + dir / "s.json" +
            " --script <(printf '0 key F5 down\\n')"),
       0,
       {}},
      {bash("DISPLAY= WAYLAND_DISPLAY= SDL_VIDEODRIVER= exec " + kelvarot() +
            " --frames 5 --record " + dir / "rec.txt" + " --dump-state " + dir / "none.json"),
       1,
       {"Failed To Register The Window Class.", "--headless"}},
  };
  for (const auto& [argv, status, said] : cases) {
    const GameRun o = finish(spawn(argv, dir), dir, 30);
    EXPECT_EQ(o.status, status) << argv.back() << ": " << o.err;
    for (const std::string& s : said) EXPECT_NE(o.err.find(s), std::string::npos) << o.err;
  }
  // the piped script took effect: the block view's picture
  EXPECT_EQ(read_dump(dir / "s.json").value("width", 0), 320);
  EXPECT_EQ(read_file(dir / "rec.txt"), "0 tap A\n");
  EXPECT_EQ(read_file(dir / "f12rec.txt").find("kelvarot:"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir / "none.json"));
}

TEST(Recording, ReplaysWithItsOwnSeedAndLengthUnlessToldOtherwise) {
  ScratchDir rec;
  write_file(rec / "in.txt", "0 pointer 200 300\n3 tap A\n9 click right\n");
  // no --seed: the clock's seed goes into the recording
  const GameRun made = run({"kelvarot", "--headless", "--frames=40", "--script", rec / "in.txt",
                            "--record", rec / "rec.txt", "--dump-state", rec / "state.json"},
                           rec);
  ASSERT_EQ(made.status, 0) << made.err;
  std::string text = read_file(rec / "rec.txt");
  text[text.find("# seed ") + 7] ^= 3;  // its first digit 1 <-> 2: another seed in the recording
  write_file(rec / "other.txt", text);
  std::string crlf;  // the same recording with Windows line ends
  for (const char c : read_file(rec / "rec.txt")) crlf += c == '\n' ? "\r\n" : std::string{c};
  write_file(rec / "crlf.txt", crlf);
  const std::pair<Argv, bool> replays[] = {
      {{"--script", rec / "rec.txt"}, true},
      {{"--script", rec / "crlf.txt"}, true},
      {{"--script", rec / "rec.txt", "--seed", "1"}, false},  // the units stand elsewhere
      {{"--script", rec / "other.txt"}, false},
  };
  for (const auto& [args, same] : replays) {
    ScratchDir dir;
    Argv argv = {"kelvarot", "--headless", "--dump-state", dir / "state.json"};
    argv.insert(argv.end(), args.begin(), args.end());
    const GameRun r = run(argv, dir);
    EXPECT_EQ(std::tuple(r.status, r.err, r.dump.value("frame", 0)), std::tuple(0, "", 40));
    EXPECT_EQ(read_dump(dir / "state.json", true) == read_dump(rec / "state.json", true), same)
        << args.back();
  }
}

}  // namespace
