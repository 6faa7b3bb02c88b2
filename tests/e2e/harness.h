#pragma once
// Runs the real kelvarot binary headless and reads what it leaves behind.
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>
#include <string>
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
      if (c == '[') {
        j.items.push_back(parse_json(s, p));
        continue;
      }
      const std::string key = string();
      take(':');
      j.fields[key] = parse_json(s, p);
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

// Whether pid has a handler for sig yet, from its caught-signal mask.
inline bool catches(pid_t pid, int sig) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(in, line);)
    if (line.rfind("SigCgt:", 0) == 0)
      return std::stoull(line.substr(7), nullptr, 16) >> (sig - 1) & 1;
  return false;
}

inline const Json& unit_in(const Json& dump, int64_t index) {
  for (const Json& u : dump["units"].items)
    if (u["index"].i() == index) return u;
  throw std::runtime_error("no unit " + std::to_string(index) + " in the dump");
}
