// Feeds arbitrary command lines (arguments separated by NUL bytes) to the
// option parser.
#include <vector>

#include "fuzz_check.h"
#include "shell/options.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> args{"kelvarot"};
  std::string arg;
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0) args.push_back(arg), arg.clear();
    else arg += char(data[i]);
  }
  if (size > 0) args.push_back(arg);
  std::vector<const char*> argv;
  for (const std::string& a : args) argv.push_back(a.c_str());
  argv.push_back(nullptr);

  Options o;
  std::string error;
  if (!parse_options(int(args.size()), argv.data(), &o, &error)) {
    // the longest fixed text (the probe's, ~90) and 80 quoted bytes, each at most 4 wide
    check(printable_line(error, 440), "error is not one short line");
    return 0;
  }
  check(o.frames == -1 || (o.frames >= 1 && o.frames <= INT32_MAX), "frames out of range");
  check(o.probes.size() < args.size(), "more probes than arguments");
  return 0;
}
