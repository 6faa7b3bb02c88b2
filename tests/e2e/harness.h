#pragma once
// Runs the real kelvarot binary headless and reads what it leaves behind.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

// A small, strict reader for the game's state dumps: objects, arrays, numbers and
// strings. Anything else throws.
struct Json {
  double number = 0;
  std::string text;
  std::vector<Json> items;
  std::map<std::string, Json> fields;

  const Json& operator[](const std::string& key) const {
    const auto it = fields.find(key);
    if (it == fields.end()) throw std::runtime_error("no key " + key);
    return it->second;
  }
  int64_t i() const { return int64_t(number); }
};

inline Json parse_json(const std::string& s, size_t& p, bool whole = false) {
  auto fail = [&](const char* why) { throw std::runtime_error(why + std::to_string(p)); };
  auto next = [&] {  // the next character that is not white space
    while (p < s.size() && std::isspace(static_cast<unsigned char>(s[p]))) ++p;
    return p < s.size() ? s[p] : '\0';
  };
  auto take = [&](char c) { next() == c ? void(++p) : fail("JSON: unexpected character at "); };
  auto string = [&] {  // \u escapes are left undecoded
    std::string out;
    for (take('"'); s.at(p) != '"'; ++p) out += s[p] == '\\' ? s.at(++p) : s[p];
    ++p;
    return out;
  };
  Json j;
  const char c = next();
  if (c == '{' || c == '[') {
    for (++p; next() != (c == '{' ? '}' : ']');) {
      if (!j.items.empty() || !j.fields.empty()) take(',');
      const std::string key = c == '{' ? string() : "";
      if (c == '{') take(':');
      (c == '[' ? j.items.emplace_back() : j.fields[key]) = parse_json(s, p);
    }
    ++p;
  } else if (c == '"') {
    j.text = string();
  } else {
    char* end = nullptr;
    j.number = std::strtod(s.c_str() + p, &end);
    if (end == s.c_str() + p) fail("JSON: bad value at ");
    p = size_t(end - s.c_str());
  }
  if (whole && next() != '\0') fail("JSON: text after the value at ");
  return j;
}

inline std::string kelvarot() {
  const char* b = std::getenv("KV_BUILD_DIR");
  return std::string(b ? b : ".") + "/kelvarot";
}

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

using Argv = std::vector<std::string>;

struct GameRun {
  int status = -1;  // exit status; 128 + signal when killed; -1 when it hung and was killed
  std::string err;  // stderr
  Json dump;        // the state dump at dir/state.json, when one was written
  bool has_dump = false;
};

// What the child runs under. file_limit: the size any one file may grow to;
// stderr_unread: stderr is a pipe nobody reads.
struct Surroundings {
  std::vector<std::string> env;
  rlim_t file_limit = RLIM_INFINITY;
  bool stderr_unread = false;
};

// Starts argv (a program and its arguments) with stderr into dir.
inline pid_t spawn(Argv argv, const ScratchDir& dir, const Surroundings& s = {}) {
  int fds[2] = {-1, -1};
  if (s.stderr_unread && pipe(fds) != 0) return -1;
  const std::string err = dir / "stderr.txt";
  const pid_t pid = fork();
  if (pid == 0) {
    std::signal(SIGPIPE, SIG_DFL);
    std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails instead of killing
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

inline GameRun finish(pid_t pid, const ScratchDir& dir, int seconds = 600) {
  GameRun r;
  int ws = 0;
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  pid_t got = 0;
  while ((got = waitpid(pid, &ws, WNOHANG)) == 0 && std::chrono::steady_clock::now() < until)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  if (got == 0) kill(pid, SIGKILL), waitpid(pid, &ws, 0);
  else r.status = WIFEXITED(ws) ? WEXITSTATUS(ws) : 128 + WTERMSIG(ws);
  r.err = read_file(dir / "stderr.txt");
  r.has_dump = std::filesystem::is_regular_file(dir / "state.json");
  size_t at = 0;
  if (r.has_dump) r.dump = parse_json(read_file(dir / "state.json"), at, true);
  return r;
}

inline Argv game(Argv args) {
  args.insert(args.begin(), kelvarot());
  return args;
}

// The binary with the arguments and a state dump into dir.
inline GameRun run_game(Argv args, const ScratchDir& dir,
                        const std::vector<std::string>& env = {}) {
  std::filesystem::remove(dir / "state.json");
  args.insert(args.end(), {"--dump-state", dir / "state.json"});
  return finish(spawn(game(args), dir, {env}), dir);
}

// The dump without what depends on the machine.
inline std::string stable_dump(const ScratchDir& dir) {
  std::string s = read_file(dir / "state.json");
  for (const char* key : {"\"startup_ms\"", "\"peak_rss_kb\"", "\"ticks\""}) {
    const size_t at = s.find(key);
    s.erase(at, s.find('\n', at) - at);
  }
  return s;
}

// Headless on the generated data with an input script given as text; a
// --seed among the extra arguments wins over the default one.
inline GameRun run_script(const std::string& script, int frames, const ScratchDir& dir,
                          Argv extra = {}) {
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
