#include "shell/dump.h"

#include <sys/resource.h>

#include <cstdio>
#include <sstream>

#include "core/files.h"
#include "shell/game.h"

namespace {

std::string json_string(const char* s) {
  std::string out = "\"";
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(s); *p; ++p) {
    if (*p == '"' || *p == '\\') {
      out += '\\';
      out += char(*p);
    } else if (*p < 0x20 || *p >= 0x7f) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", *p);
      out += buf;
    } else {
      out += char(*p);
    }
  }
  return out + "\"";
}

long peak_rss_kb() {
  struct rusage ru;
  return getrusage(RUSAGE_SELF, &ru) == 0 ? ru.ru_maxrss : 0;
}

std::string num(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.9g", v);
  return buf;
}

void unit_json(std::ostringstream& o, const Game& g, int32_t i) {
  const UnitRecord& u = unit(g.units, i);
  o << "{\"index\":" << i << ",\"x\":" << u.x << ",\"y\":" << u.y << ",\"level\":" << u.level
    << ",\"target_x\":" << u.target_x << ",\"target_y\":" << u.target_y
    << ",\"waypoint_x\":" << u.waypoint_x << ",\"waypoint_y\":" << u.waypoint_y
    << ",\"next_x\":" << u.next_x << ",\"next_y\":" << u.next_y
    << ",\"order_flag\":" << u.order_flag << ",\"order_state\":" << u.order_state
    << ",\"fx\":" << num(u.fx) << ",\"fy\":" << num(u.fy) << ",\"fz\":" << num(u.fz)
    << ",\"sprite\":" << u.sprite << ",\"kind\":" << u.kind << ",\"bar_max\":" << num(u.bar_max)
    << ",\"bar_value\":" << num(u.bar_value) << ",\"inactive\":" << int(u.inactive)
    << ",\"walk_phase\":" << num(u.walk_phase) << ",\"path_cursor\":" << g.path.path_cursor[i]
    << ",\"path_length\":" << g.path.path_length[i] << "}";
}

}  // namespace

std::string state_json(const Game& g, const std::vector<Probe>& probes) {
  const RunState& r = g.run;
  std::ostringstream o;
  o << "{\n";
  o << "\"frame\":" << r.frame << ",\n\"quit\":" << r.quit << ",\n\"width\":" << g.fb.width
    << ",\n\"height\":" << g.fb.height << ",\n\"zoom\":" << r.zoom << ",\n\"SX\":" << r.SX
    << ",\n\"SY\":" << r.SY << ",\n\"SZ\":" << r.SZ << ",\n\"selected_unit\":" << r.selected_unit
    << ",\n\"screensaver\":" << r.screensaver << ",\n\"tick_divisor\":" << num(r.tick_divisor)
    << ",\n\"minimap\":{\"shown\":" << r.minimap_shown << ",\"x\":" << r.minimap_x
    << ",\"y\":" << r.minimap_y << "},\n\"paused_ms\":" << g.platform.display->paused_ms()
    << ",\n\"status\":[" << json_string(g.status[0]) << "," << json_string(g.status[1]) << ","
    << json_string(g.status[2]) << "],\n\"bitmaps_loaded\":" << g.loaded.bitmaps_loaded
    << ",\n\"map_loaded\":" << (g.loaded.map_loaded < 0 ? 0 : g.loaded.map_loaded)
    << ",\n\"object_count\":" << g.world.object_count
    << ",\n\"startup_ms\":" << num(g.loaded.startup_ms) << ",\n\"peak_rss_kb\":" << peak_rss_kb()
    << ",\n";
  const TickStats& t = g.ticks;
  o << "\"ticks\":{\"count\":" << t.count << ",\"worst_cpu_ms\":" << num(t.worst_cpu_ms)
    << ",\"p99_cpu_ms\":" << num(p99_ms(t.ticks)) << ",\"worst_rounds\":" << t.worst_rounds
    << ",\"rounds_total\":" << t.rounds_total << ",\"ahead_rounds_total\":" << t.ahead_rounds_total
    << ",\"ahead_worst_cpu_ms\":" << num(t.ahead_worst_cpu_ms)
    << ",\"frame_work_p99_cpu_ms\":" << num(p99_ms(t.frame_work)) << "},\n";
  if (g.units.records) {
    const UnitRecord& p = unit(g.units, kPlanningRecord);
    o << "\"planning\":{\"in_use\":" << int(p.in_use) << ",\"x\":" << p.x << ",\"y\":" << p.y
      << ",\"level\":" << p.level << ",\"target_x\":" << p.target_x
      << ",\"target_y\":" << p.target_y << "},\n";
    o << "\"units\":[";
    bool first = true;
    for (int32_t i = 0; i < kUnitTableSize; ++i) {
      if (unit(g.units, i).in_use != 1 && i != 1) continue;
      o << (first ? "\n" : ",\n");
      first = false;
      unit_json(o, g, i);
    }
    o << "\n],\n";
  }
  o << "\"console\":{\"open\":" << g.console.open << ",\"line\":" << json_string(g.console.line)
    << "},\n";
  o << "\"camera\":{\"yaw\":" << num(g.block.yaw) << ",\"pitch\":" << num(g.block.pitch) << "},\n";
  o << "\"probes\":[";
  for (size_t i = 0; i < probes.size(); ++i) {
    const Probe& p = probes[i];
    const int code = g.world.grid ? cell_at(g.world, p.x, p.y, p.z) : 0;
    o << (i ? "," : "") << "{\"x\":" << p.x << ",\"y\":" << p.y << ",\"z\":" << p.z
      << ",\"code\":" << code << "}";
  }
  o << "]\n}\n";
  return o.str();
}

bool write_text_file(const std::string& path, const std::string& text, std::string* why) {
  return replace_file(path, text.data(), text.size(), why);
}
