// Feeds arbitrary user-dirs.dirs text (after a first line taken as HOME) to the pictures
// folder reader: what it names is absolute, normal, one line, and never the home folder.
#include <string>

#include "fuzz_check.h"
#include "shell/screenshot.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const size_t eol = input.find('\n');
  const std::string home = eol == std::string::npos ? "/home/a" : input.substr(0, eol);
  if (home.empty() || home[0] != '/' || home.find('\0') != std::string::npos) return 0;
  const std::string text = eol == std::string::npos ? input : input.substr(eol + 1);
  const std::string found = pictures_in_user_dirs(text, home);
  if (found.empty()) return 0;
  check(found[0] == '/', "not an absolute path");
  check(found.find('\n') == std::string::npos, "more than one line");
  check(found == "/" || found.back() != '/', "a trailing slash");
  for (const char* part : {"//", "/./", "/../"})
    check((found + "/").find(part) == std::string::npos || (found + "/").find(part) == 0,
          "not a normal path");
  std::string h = home;
  while (h.size() > 1 && h.back() == '/') h.pop_back();
  check(found != h, "the home folder itself");
  return 0;
}
