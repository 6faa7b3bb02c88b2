#include "shell/outputs.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <utility>
#include <vector>

#include "core/files.h"
#include "core/quote.h"
#include "shell/options.h"

namespace fs = std::filesystem;

namespace {

std::string folder_of(const std::string& path) {
  const std::string folder = fs::path(path).parent_path();
  return folder.empty() ? "." : folder;
}

// Two names are one file when both exist and are the same file, or, for files not made yet,
// when a write to each would create the same file.
struct FileId {
  bool exists = false;
  std::string name;  // the name as given, or, when it does not exist, the file a write creates
};

FileId identify(const std::string& path) {
  std::error_code ec;
  if (fs::exists(path, ec)) return {true, path};
  return {false, write_target(path)};
}

bool same_file(const FileId& a, const FileId& b) {
  std::error_code ec;
  if (a.exists != b.exists) return false;
  return a.exists ? fs::equivalent(a.name, b.name, ec) : a.name == b.name;
}

bool check_output(const char* option, const std::string& path, std::string* error) {
  std::error_code ec;
  const fs::file_status st = fs::status(path, ec);
  const std::string named = std::string(option) + " " + quote_name(path);
  // a loop of links leads to no file at all; a write would replace the link itself
  if (ec && ec != std::errc::no_such_file_or_directory) {
    *error = named + " cannot be written (" + ec.message() + ")";
    return false;
  }
  if (fs::is_directory(st)) {
    *error = named + " is a folder";
    return false;
  }
  // /dev/stdout or a pipe is written straight through: its folder plays no part
  if (fs::exists(st) && !fs::is_regular_file(st)) return true;
  // what is written is where the links lead, so that is what must take the file
  const std::string target = write_target(path);
  const std::string folder = folder_of(target);
  if (!fs::is_directory(folder, ec)) {
    *error = named + ": the folder " + quote_name(folder) + " is not there";
    return false;
  }
  if (::access(folder.c_str(), W_OK | X_OK) != 0) {
    *error = named + ": the folder " + quote_name(folder) + " cannot be written (" +
             std::strerror(errno) + ")";
    return false;
  }
  if (fs::exists(st) && ::access(target.c_str(), W_OK) != 0) {
    *error = named + " cannot be written (" + std::strerror(errno) + ")";
    return false;
  }
  return true;
}

}  // namespace

bool check_option_files(const Options& o, std::string* error) {
  const std::pair<const char*, const std::string*> outputs[] = {{"--screenshot", &o.screenshot},
                                                                {"--dump-state", &o.dump_state},
                                                                {"--record", &o.record},
                                                                {"--save", &o.save}};
  std::vector<std::pair<const char*, const std::string*>> named;
  if (!o.script.empty()) named.emplace_back("--script", &o.script);
  if (!o.load.empty()) named.emplace_back("--load", &o.load);
  for (const auto& [option, path] : outputs) {
    if (path->empty()) continue;
    if (!check_output(option, *path, error)) return false;
    named.emplace_back(option, path);
  }
  std::vector<FileId> ids;
  for (const auto& n : named) ids.push_back(identify(*n.second));
  for (size_t i = 0; i < named.size(); ++i)
    for (size_t k = i + 1; k < named.size(); ++k) {
      if (!same_file(ids[i], ids[k])) continue;
      // a game saved back where it was loaded from is replaced only at the end
      if (named[i].second == &o.load && named[k].second == &o.save) continue;
      *error = std::string(named[i].first) + " and " + named[k].first + " name the same file (" +
               quote_name(*named[k].second) + ")";
      return false;
    }
  return true;
}
