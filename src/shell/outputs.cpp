#include "shell/outputs.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#include "shell/options.h"

namespace {

std::string folder_of(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Two names are one file when they share device and inode, or, for a file not made yet,
// when they are the same name in the same real folder.
struct FileId {
  bool exists = false;
  dev_t dev = 0;
  ino_t ino = 0;
  std::string name;  // real folder + last part, when it does not exist
};

FileId identify(const std::string& path) {
  FileId id;
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) {
    id.exists = true;
    id.dev = st.st_dev;
    id.ino = st.st_ino;
    return id;
  }
  const size_t slash = path.rfind('/');
  id.name = path.substr(slash == std::string::npos ? 0 : slash + 1);
  if (char* real = ::realpath(folder_of(path).c_str(), nullptr)) {
    id.name = std::string(real) + "/" + id.name;
    std::free(real);
  } else {
    id.name = path;
  }
  return id;
}

bool same_file(const FileId& a, const FileId& b) {
  if (a.exists != b.exists) return false;
  return a.exists ? a.dev == b.dev && a.ino == b.ino : a.name == b.name;
}

bool check_output_folder(const char* option, const std::string& path, std::string* error) {
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) {
      *error = std::string(option) + " " + path + " is a folder";
      return false;
    }
    // /dev/stdout or a pipe is written straight through: its folder plays no part
    if (!S_ISREG(st.st_mode)) return true;
  }
  const std::string folder = folder_of(path);
  if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    *error = std::string(option) + " " + path + ": the folder " + folder + " is not there";
    return false;
  }
  if (::access(folder.c_str(), W_OK | X_OK) != 0) {
    *error = std::string(option) + " " + path + ": the folder " + folder + " cannot be written (" +
             std::strerror(errno) + ")";
    return false;
  }
  return true;
}

}  // namespace

bool check_option_files(const Options& o, std::string* error) {
  const std::pair<const char*, const std::string*> outputs[] = {
      {"--screenshot", &o.screenshot}, {"--dump-state", &o.dump_state}, {"--record", &o.record}};
  std::vector<std::pair<const char*, const std::string*>> named;
  if (!o.script.empty()) named.emplace_back("--script", &o.script);
  for (const auto& [option, path] : outputs) {
    if (path->empty()) continue;
    if (!check_output_folder(option, *path, error)) return false;
    named.emplace_back(option, path);
  }
  std::vector<FileId> ids;
  for (const auto& n : named) ids.push_back(identify(*n.second));
  for (size_t i = 0; i < named.size(); ++i)
    for (size_t k = i + 1; k < named.size(); ++k) {
      if (!same_file(ids[i], ids[k])) continue;
      *error = std::string(named[i].first) + " and " + named[k].first + " name the same file (" +
               *named[k].second + ")";
      return false;
    }
  return true;
}

bool read_script_file(const std::string& path, std::string* text, std::string* error) {
  // Only a file or a pipe ends: a folder reads as nothing and a device may never stop.
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    *error = "cannot read script " + path + " (" + std::strerror(errno) + ")";
    return false;
  }
  if (!S_ISREG(st.st_mode) && !S_ISFIFO(st.st_mode)) {
    *error =
        "script " + path + " is " + (S_ISDIR(st.st_mode) ? "a folder" : "not a file or a pipe");
    return false;
  }
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);  // a named pipe waits for its writer
  if (fd < 0 || ::fstat(fd, &st) != 0 || (!S_ISREG(st.st_mode) && !S_ISFIFO(st.st_mode))) {
    *error = "cannot read script " + path +
             (fd < 0 ? std::string(" (") + std::strerror(errno) + ")" : "");
    if (fd >= 0) ::close(fd);
    return false;
  }
  const std::string too_big =
      "script " + path + " is larger than " + std::to_string(kMaxScriptBytes >> 20) + " MiB";
  if (S_ISREG(st.st_mode) && uint64_t(st.st_size) > kMaxScriptBytes) {
    *error = too_big;
    ::close(fd);
    return false;
  }
  text->clear();
  char buf[65536];
  bool ok = true;
  for (;;) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n == 0) break;
    if (n < 0) {
      // an interrupting signal ends the run: stop waiting on the pipe
      *error = "cannot read script " + path + " (" + std::strerror(errno) + ")";
      ok = false;
      break;
    }
    if (text->size() + size_t(n) > kMaxScriptBytes) {  // a pipe that goes on
      *error = too_big;
      ok = false;
      break;
    }
    text->append(buf, size_t(n));
  }
  ::close(fd);
  return ok;
}
