// user-dirs.dirs text after a first line taken as HOME: the pictures folder read from it is
// absolute, normal (no ".", ".." or empty part, no trailing slash), and never HOME itself.
#include <filesystem>

#include "fuzz_check.h"
#include "shell/screenshot.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const size_t eol = input.find('\n');
  const std::string home = input.substr(0, eol), found = pictures_in_user_dirs(input, home);
  if (found.empty() || eol == input.npos || home[0] != '/') return 0;
  const std::filesystem::path normal = std::filesystem::path(found).lexically_normal();
  check(found[0] == '/' && (found == "/" || found == normal.string()), "not a normal path");
  check(normal != std::filesystem::path(home + "/").lexically_normal().parent_path(), "HOME");
  return 0;
}
