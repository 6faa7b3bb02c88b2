#pragma once
// Runs the real kelvarot binary headless and reads what it leaves behind.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "e2e/json.h"

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

struct GameRun {
  int status = -1;  // exit status; 128 + signal when killed
  std::string err;  // stderr
  Json dump;        // the state dump, when one was written
  bool has_dump = false;
};

// Starts the binary with the arguments and a state dump into dir; stderr goes there too.
inline pid_t spawn_game(std::vector<std::string> args, const ScratchDir& dir,
                        const std::vector<std::string>& env = {}) {
  std::filesystem::remove(dir / "state.json");
  args.insert(args.begin(), kelvarot());
  args.insert(args.end(), {"--dump-state", dir / "state.json"});
  const std::string err = dir / "stderr.txt";
  const pid_t pid = fork();
  if (pid == 0) {
    if (!std::freopen(err.c_str(), "w", stderr)) _exit(127);
    for (const std::string& kv : env) putenv(const_cast<char*>(kv.c_str()));
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  return pid;
}

inline GameRun finish_game(pid_t pid, const ScratchDir& dir) {
  GameRun r;
  int ws = 0;
  waitpid(pid, &ws, 0);
  r.status = WIFEXITED(ws) ? WEXITSTATUS(ws) : 128 + WTERMSIG(ws);
  r.err = read_file(dir / "stderr.txt");
  r.has_dump = std::filesystem::exists(dir / "state.json");
  size_t at = 0;
  if (r.has_dump) r.dump = parse_json(read_file(dir / "state.json"), at, true);
  return r;
}

inline GameRun run_game(const std::vector<std::string>& args, const ScratchDir& dir,
                        const std::vector<std::string>& env = {}) {
  return finish_game(spawn_game(args, dir, env), dir);
}

// Headless on the generated data with an input script given as text; a
// --seed among the extra arguments wins over the default one.
inline GameRun run_script(const std::string& script, int frames, const ScratchDir& dir,
                          std::vector<std::string> extra = {}) {
  write_file(dir / "input.txt", script);
  extra.insert(extra.begin(), {"--headless", "--frames", std::to_string(frames), "--script",
                               dir / "input.txt", "--seed", "7"});
  return run_game(extra, dir);
}

inline const Json& unit_in(const Json& dump, int64_t index) {
  for (const Json& u : dump["units"].items)
    if (u["index"].i() == index) return u;
  throw std::runtime_error("no unit " + std::to_string(index) + " in the dump");
}

// Whether the screenshot passes every picture_check.py check named (it says which fail).
inline bool picture_shows(const std::string& png, const std::string& checks) {
  const char* src = std::getenv("KV_SOURCE_DIR");
  const std::string script = std::string(src ? src : "..") + "/tests/e2e/picture_check.py";
  return std::system(("python3 " + script + " " + png + " " + checks).c_str()) == 0;
}
