#pragma once
// Runs the real kelvarot binary headless and collects what it leaves behind.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "e2e/json.h"

inline std::string build_dir() {
  const char* b = std::getenv("KV_BUILD_DIR");
  return b ? b : ".";
}

inline std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

inline void write_file(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

// A fresh scratch folder per test, removed when the object goes.
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
  int status = -1;     // exit status; 128 + signal when killed
  std::string err;     // stderr
  Json dump;           // the state dump, when one was asked for and written
  bool has_dump = false;
};

// Runs build/kelvarot with the arguments; adds --dump-state when dump is set.
inline GameRun run_game(std::vector<std::string> args, const ScratchDir& dir, bool dump = true,
                        const std::vector<std::string>& env = {}) {
  GameRun r;
  const std::string dump_path = dir / "state.json";
  const std::string err_path = dir / "stderr.txt";
  std::filesystem::remove(dump_path);
  if (dump) {
    args.push_back("--dump-state");
    args.push_back(dump_path);
  }
  const std::string exe = build_dir() + "/kelvarot";
  const pid_t pid = fork();
  if (pid == 0) {
    FILE* e = std::freopen(err_path.c_str(), "w", stderr);
    (void)e;
    for (const std::string& kv : env) putenv(const_cast<char*>(kv.c_str()));
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(exe.c_str()));
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    execv(exe.c_str(), argv.data());
    _exit(127);
  }
  int ws = 0;
  waitpid(pid, &ws, 0);
  r.status = WIFEXITED(ws) ? WEXITSTATUS(ws) : 128 + WTERMSIG(ws);
  r.err = read_file(err_path);
  if (dump && std::filesystem::exists(dump_path)) {
    r.dump = parse_json(read_file(dump_path));
    r.has_dump = true;
  }
  return r;
}

// Runs headless with an input script given as text.
inline GameRun run_script(const std::string& script, int frames, const ScratchDir& dir,
                          std::vector<std::string> extra = {}) {
  const std::string path = dir / "input.txt";
  write_file(path, script);
  std::vector<std::string> args = {"--headless", "--frames", std::to_string(frames), "--script",
                                   path, "--seed", "7"};
  args.insert(args.end(), extra.begin(), extra.end());
  return run_game(args, dir);
}
