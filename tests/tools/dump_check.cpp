// Reads a state dump for the shell tests.   dump_check FILE ITEM [ITEM...]
// ITEM: a JSON pointer (/unit/N/... the unit of index N, /unit/selected/... the selected one),
// printed, all on one line; PATH=V, PATH>V, PATH<V, PATH^=TEXT (starts with) check it;
// same=OTHER: OTHER holds the same state, timings aside. Exit status 1 names what failed.
#include <cstdio>
#include <string>

#include "e2e/harness.h"

namespace {

Json at(const Json& dump, std::string path) {
  if (path.rfind("/unit/", 0) != 0) return dump.at(Json::json_pointer(path));
  const size_t end = path.find('/', 6);
  const std::string which = path.substr(6, end - 6);
  const Json& u =
      unit_in(dump, which == "selected" ? int64_t(dump["selected_unit"]) : std::stoi(which));
  return end == path.npos ? u : u.at(Json::json_pointer(path.substr(end)));
}

std::string shown(const Json& v) { return v.is_string() ? v.get<std::string>() : v.dump(); }

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return std::fprintf(stderr, "usage: dump_check FILE ITEM...\n"), 2;
  const Json dump = read_dump(argv[1]);
  if (dump.is_null()) return std::fprintf(stderr, "dump_check: cannot read %s\n", argv[1]), 1;
  std::string printed, failed;
  for (int i = 2; i < argc; ++i) {
    const std::string item = argv[i];
    try {
      if (item.rfind("same=", 0) == 0) {
        const Json a = read_dump(argv[1], true), b = read_dump(item.substr(5), true);
        for (const auto& [key, value] : a.items())
          if (!b.contains(key) || b[key] != value)
            failed += " " + key + ": " + value.dump().substr(0, 200) + " / " +
                      (b.contains(key) ? b[key].dump().substr(0, 200) : "none") + ";";
        continue;
      }
      const size_t op = item.find_first_of("=<>^");
      if (op == item.npos) {
        printed += printed.empty() ? "" : " ";
        printed += shown(at(dump, item));
        continue;
      }
      const Json v = at(dump, item.substr(0, op));
      const std::string want = item.substr(item[op] == '^' ? op + 2 : op + 1);
      const bool ok = item[op] == '^' ? shown(v).rfind(want, 0) == 0
                      : item[op] == '='
                          ? (v.is_number() ? v.get<double>() == std::stod(want) : shown(v) == want)
                      : item[op] == '<' ? v.get<double>() < std::stod(want)
                                        : v.get<double>() > std::stod(want);
      if (!ok) failed += " " + item + " (is " + shown(v) + ");";
    } catch (const std::exception& e) {
      failed += " " + item + ": " + e.what() + ";";
    }
  }
  if (!printed.empty()) std::printf("%s\n", printed.c_str());
  if (failed.empty()) return 0;
  std::fprintf(stderr, "dump_check %s:%s\n", argv[1], failed.c_str());
  return 1;
}
