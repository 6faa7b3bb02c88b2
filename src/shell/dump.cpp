#include "shell/dump.h"

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <nlohmann/json.hpp>

#include "core/files.h"
#include "shell/game.h"

namespace {

using Json = nlohmann::ordered_json;

// The game's text is bytes; each one is kept as the character of that number.
std::string text(const char* s) {
  std::string out;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(s); *p; ++p) {
    if (*p < 0x80) {
      out += char(*p);
    } else {
      out += char(0xC0 | *p >> 6);
      out += char(0x80 | (*p & 0x3F));
    }
  }
  return out;
}

long peak_rss_kb() {
  struct rusage ru;
  return getrusage(RUSAGE_SELF, &ru) == 0 ? ru.ru_maxrss : 0;
}

// Nine significant digits: a float's value, without the digits of its binary expansion.
double num(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.9g", v);
  return std::strtod(buf, nullptr);
}

Json unit_json(const Game& g, int32_t i) {
  const UnitRecord& u = unit(g.units, i);
  return {{"index", i},
          {"x", u.x},
          {"y", u.y},
          {"level", u.level},
          {"target_x", u.target_x},
          {"target_y", u.target_y},
          {"waypoint_x", u.waypoint_x},
          {"waypoint_y", u.waypoint_y},
          {"next_x", u.next_x},
          {"next_y", u.next_y},
          {"order_flag", u.order_flag},
          {"order_state", u.order_state},
          {"fx", num(u.fx)},
          {"fy", num(u.fy)},
          {"fz", num(u.fz)},
          {"sprite", u.sprite},
          {"kind", u.kind},
          {"bar_max", num(u.bar_max)},
          {"bar_value", num(u.bar_value)},
          {"inactive", int(u.inactive)},
          {"walk_phase", num(u.walk_phase)},
          {"path_cursor", g.path.path_cursor[i]},
          {"path_length", g.path.path_length[i]}};
}

}  // namespace

std::string state_json(const Game& g, const std::vector<Probe>& probes,
                       const std::string& timedemo) {
  const RunState& r = g.run;
  const TickStats& t = g.ticks;
  Json o = {{"frame", r.frame},
            {"quit", r.quit},
            {"width", g.fb.width},
            {"height", g.fb.height},
            {"zoom", r.zoom},
            {"SX", r.SX},
            {"SY", r.SY},
            {"SZ", r.SZ},
            {"selected_unit", r.selected_unit},
            {"screensaver", r.screensaver},
            {"tick_divisor", num(r.tick_divisor)},
            {"minimap", {{"shown", r.minimap_shown}, {"x", r.minimap_x}, {"y", r.minimap_y}}},
            {"paused_ms", g.platform.display->paused_ms()},
            {"status", {text(g.status[0]), text(g.status[1]), text(g.status[2])}},
            {"bitmaps_loaded", g.loaded.bitmaps_loaded},
            {"map_loaded", g.loaded.map_loaded < 0 ? 0 : g.loaded.map_loaded},
            {"object_count", g.world.object_count},
            {"startup_ms", num(g.loaded.startup_ms)},
            {"peak_rss_kb", peak_rss_kb()},
            {"ticks",
             {{"count", t.count},
              {"worst_cpu_ms", num(t.worst_cpu_ms)},
              {"p99_cpu_ms", num(p99_ms(t.ticks))},
              {"worst_rounds", t.worst_rounds},
              {"rounds_total", t.rounds_total},
              {"ahead_rounds_total", t.ahead_rounds_total},
              {"ahead_worst_cpu_ms", num(t.ahead_worst_cpu_ms)},
              {"frame_work_p99_cpu_ms", num(p99_ms(t.frame_work))},
              {"present_count", g.screen.present.count},
              {"present_p99_cpu_ms", num(p99_ms(t.present))},
              {"present_worst_cpu_ms", num(t.present.worst_ms)},
              {"presents_skipped", g.screen.present.skipped},
              {"block_view_open_cpu_ms", num(t.block_view_open_cpu_ms)},
              {"frame_work_worst_cpu_ms", num(t.frame_work.worst_ms)},
              {"startup_cpu_ms", num(t.startup_cpu_ms)},
              {"map_pause_work_cpu_ms", num(t.map_pause_work_cpu_ms)},
              {"process_cpu_ms", num(process_cpu_ms())}}}};
  if (g.units.records) {
    const UnitRecord& p = unit(g.units, kPlanningRecord);
    o["planning"] = {{"in_use", int(p.in_use)},
                     {"x", p.x},
                     {"y", p.y},
                     {"level", p.level},
                     {"target_x", p.target_x},
                     {"target_y", p.target_y}};
    Json& units = o["units"] = Json::array();
    for (int32_t i = 0; i < kUnitTableSize; ++i)
      if (unit(g.units, i).in_use == 1 || i == 1) units.push_back(unit_json(g, i));
  }
  o["console"] = {{"open", g.console.open}, {"line", text(g.console.line)}};
  const Settings& st = g.settings;
  o["settings"] = {{"remembered", st.remembered},
                   {"zoom_overworld", st.zoom_overworld},
                   {"zoom_block", st.zoom_block},
                   {"fullscreen", st.fullscreen},
                   {"queued_typing", g.console.queued}};
  o["camera"] = {{"yaw", num(g.block.yaw)}, {"pitch", num(g.block.pitch)}};
  Json& cells = o["probes"] = Json::array();
  for (const Probe& p : probes)
    cells.push_back({{"x", p.x},
                     {"y", p.y},
                     {"z", p.z},
                     {"code", grid_cells(g.world) ? cell_at(g.world, p.x, p.y, p.z) : 0}});
  if (!timedemo.empty()) o["timedemo"] = Json::parse(timedemo);
  // one key a line, for line tools; ASCII only, as the game's own text is
  std::string out = "{";
  for (auto it = o.begin(); it != o.end(); ++it)
    out += (it == o.begin() ? "\n" : ",\n") + Json(it.key()).dump() + ":" +
           it.value().dump(-1, ' ', true);
  return out + "\n}\n";
}

bool write_text_file(const std::string& path, const std::string& text, std::string* why) {
  return replace_file(path, text.data(), text.size(), why);
}
