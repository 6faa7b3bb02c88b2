#pragma once
// Runs the real kelvarot binary headless and reads what it leaves behind.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <thread>
#include <vector>

using Json = nlohmann::json;
using Argv = std::vector<std::string>;
namespace nlohmann {  // for gtest, which would walk a number as a container of itself
inline void PrintTo(const json& j, std::ostream* os) { *os << j.dump(); }
}  // namespace nlohmann

inline std::string build_dir() {
  const char* b = std::getenv("KV_BUILD_DIR");
  return b ? b : ".";
}
inline std::string kelvarot() { return build_dir() + "/kelvarot"; }

inline std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
inline void write_file(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// A fresh scratch folder, removed with the object.
struct ScratchDir {
  std::filesystem::path path;
  ScratchDir() {
    char tmpl[] = "/tmp/kelvarot-test-XXXXXX";
    path = mkdtemp(tmpl);
  }
  ~ScratchDir() { std::filesystem::remove_all(path); }
  std::string operator/(const std::string& name) const { return (path / name).string(); }
};

inline std::set<std::string> names_in(const std::filesystem::path& dir) {
  std::set<std::string> out;
  for (const auto& e : std::filesystem::directory_iterator(dir)) out.insert(e.path().filename());
  return out;
}

// A dump's content without what depends on the machine; null where there is none.
inline Json read_dump(const std::string& path, bool stable = false) {
  Json d = Json::parse(read_file(path), nullptr, false);
  if (d.is_discarded()) return nullptr;
  if (stable)
    for (const char* key : {"startup_ms", "peak_rss_kb", "ticks"}) d.erase(key);
  return d;
}

struct GameRun {
  int status = -1;  // exit status; 128 + signal when killed; -1 when it hung and was killed
  std::string err;  // stderr
  Json dump;        // the state dump at dir/state.json; null when none was written
};

// file_limit: the size any one file may grow to; stderr_unread: stderr is a pipe nobody reads.
struct Surroundings {
  std::vector<std::string> env;
  rlim_t file_limit = RLIM_INFINITY;
  bool stderr_unread = false;
  bool hangup_ignored = false;  // as under nohup
};

// Starts argv (a program and its arguments; "kelvarot" is the game) with stderr into dir.
inline pid_t spawn(Argv argv, const ScratchDir& dir, const Surroundings& s = {}) {
  if (argv[0] == "kelvarot") argv[0] = kelvarot();
  int fds[2] = {-1, -1};
  if (s.stderr_unread && pipe(fds) != 0) return -1;
  const std::string err = dir / "stderr.txt";
  const pid_t pid = fork();
  if (pid == 0) {
    std::signal(SIGPIPE, SIG_DFL);
    std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails instead of killing
    std::signal(SIGHUP, s.hangup_ignored ? SIG_IGN : SIG_DFL);
    if (s.stderr_unread) dup2(fds[1], 2), close(fds[0]), close(fds[1]);
    else if (!std::freopen(err.c_str(), "w", stderr)) _exit(127);
    const rlimit lim{s.file_limit, s.file_limit};
    setrlimit(RLIMIT_FSIZE, &lim);
    for (const std::string& kv : s.env) putenv(const_cast<char*>(kv.c_str()));
    std::vector<char*> args;
    for (std::string& a : argv) args.push_back(a.data());
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
  }
  if (s.stderr_unread) close(fds[0]), close(fds[1]);
  return pid;
}

inline GameRun finish(pid_t pid, const ScratchDir& dir, int seconds = 120) {
  GameRun r;
  int ws = 0;
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  pid_t got = 0;
  while ((got = waitpid(pid, &ws, WNOHANG)) == 0 && std::chrono::steady_clock::now() < until)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  if (got == 0) kill(pid, SIGKILL), waitpid(pid, &ws, 0);
  else r.status = WIFEXITED(ws) ? WEXITSTATUS(ws) : 128 + WTERMSIG(ws);
  r.err = read_file(dir / "stderr.txt");
  if (std::filesystem::is_regular_file(dir / "state.json")) r.dump = read_dump(dir / "state.json");
  return r;
}

// The game headless, seed 7 unless extra says otherwise, with the script and a dump into dir.
inline GameRun run_game(const std::string& script, int frames, const ScratchDir& dir,
                        const Argv& extra = {}, const Surroundings& s = {}) {
  std::filesystem::remove(dir / "state.json");
  Argv args = {"kelvarot", "--headless", "--seed", "7", "--dump-state", dir / "state.json"};
  if (frames > 0) args.insert(args.end(), {"--frames", std::to_string(frames)});
  if (!script.empty()) write_file(dir / "input.txt", script);
  if (!script.empty()) args.insert(args.end(), {"--script", dir / "input.txt"});
  args.insert(args.end(), extra.begin(), extra.end());
  return finish(spawn(args, dir, s), dir, 300);
}

inline const Json& unit_in(const Json& dump, int64_t index) {
  for (const Json& u : dump.at("units"))
    if (u.at("index") == index) return u;
  throw std::runtime_error("no unit " + std::to_string(index) + " in the dump");
}
