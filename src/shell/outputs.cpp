#include "shell/outputs.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <utility>
#include <vector>

#include "core/quote.h"
#include "shell/options.h"

namespace fs = std::filesystem;

namespace {

std::string folder_of(const std::string& path) {
  const std::string folder = fs::path(path).parent_path();
  return folder.empty() ? "." : folder;
}

// Two names are one file when both exist and are the same file, or, for files not made yet,
// when they are the same name in the same real folder.
struct FileId {
  bool exists = false;
  std::string name;  // the name as given, or, when it does not exist, real folder + last part
};

FileId identify(const std::string& path) {
  std::error_code ec;
  if (fs::exists(path, ec)) return {true, path};
  const fs::path real = fs::canonical(folder_of(path), ec);
  return {false, ec ? path : (real / fs::path(path).filename()).string()};
}

bool same_file(const FileId& a, const FileId& b) {
  std::error_code ec;
  if (a.exists != b.exists) return false;
  return a.exists ? fs::equivalent(a.name, b.name, ec) : a.name == b.name;
}

bool check_output_folder(const char* option, const std::string& path, std::string* error) {
  std::error_code ec;
  const fs::file_status st = fs::status(path, ec);
  if (fs::is_directory(st)) {
    *error = std::string(option) + " " + quote_name(path) + " is a folder";
    return false;
  }
  // /dev/stdout or a pipe is written straight through: its folder plays no part
  if (fs::exists(st) && !fs::is_regular_file(st)) return true;
  const std::string folder = folder_of(path);
  if (!fs::is_directory(folder, ec)) {
    *error = std::string(option) + " " + quote_name(path) + ": the folder " + quote_name(folder) +
             " is not there";
    return false;
  }
  if (::access(folder.c_str(), W_OK | X_OK) != 0) {
    *error = std::string(option) + " " + quote_name(path) + ": the folder " + quote_name(folder) +
             " cannot be written (" + std::strerror(errno) + ")";
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
               quote_name(*named[k].second) + ")";
      return false;
    }
  return true;
}
