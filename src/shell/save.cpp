#include "shell/save.h"

#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "core/files.h"
#include "core/geometry.h"
#include "core/keys.h"
#include "core/quote.h"
#include "shell/game.h"
#include "shell/notice.h"
#include "shell/session.h"
#include "shell/window.h"
#include "views/screensaver.h"

namespace {

constexpr char kMagic[8] = {'K', 'V', 'S', 'A', 'V', 'E', '\r', '\n'};
// The sections of a save, in their order in the file.
constexpr char kSections[][5] = {"MAP ", "RUN ", "VIEW", "UNIT", "CELL"};
constexpr uint32_t kSectionCount = std::size(kSections);

// Little-endian, whatever the machine.
struct Writer {
  std::string out;
  void u8(uint32_t v) { out += char(v & 0xff); }
  void u16(uint32_t v) { u8(v), u8(v >> 8); }
  void u32(uint32_t v) { u16(v & 0xffff), u16(v >> 16); }
  void i32(int32_t v) { u32(uint32_t(v)); }
  void i64(int64_t v) { u32(uint32_t(uint64_t(v))), u32(uint32_t(uint64_t(v) >> 32)); }
  void f32(float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    u32(bits);
  }
  void text(const std::string& s) {
    u16(uint32_t(s.size()));
    out += s;
  }
  void varint(uint32_t v) {
    for (; v >= 0x80; v >>= 7) u8(v | 0x80);
    u8(v);
  }
  void rng(const Rng& r) {
    for (uint32_t w : r.r) u32(w);
    i32(r.pos);
  }
};

// Reads a section's bytes; any read past the end leaves `ok` false and yields zeros.
struct Reader {
  const uint8_t* p;
  size_t left;
  bool ok = true;
  bool take(void* out, size_t n) {
    if (!ok || n > left) {
      ok = false;
      std::memset(out, 0, n);
      return false;
    }
    std::memcpy(out, p, n);
    p += n, left -= n;
    return true;
  }
  uint32_t u8() {
    uint8_t b = 0;
    take(&b, 1);
    return b;
  }
  uint32_t u16() { return u8() | u8() << 8; }
  uint32_t u32() { return u16() | u16() << 16; }
  int32_t i32() { return int32_t(u32()); }
  int64_t i64() {
    const uint64_t lo = u32();
    return int64_t(lo | uint64_t(u32()) << 32);
  }
  float f32() {
    const uint32_t bits = u32();
    float v;
    std::memcpy(&v, &bits, 4);
    return v;
  }
  std::string text() {
    std::string s(u16(), '\0');
    take(s.data(), s.size());
    return s;
  }
  uint32_t varint() {
    uint32_t v = 0;
    for (int shift = 0; shift < 35; shift += 7) {
      const uint32_t b = u8();
      v |= (b & 0x7f) << shift;
      if (!(b & 0x80)) return v;
    }
    ok = false;
    return 0;
  }
  void rng(Rng& r) {
    for (uint32_t& w : r.r) w = u32();
    r.pos = i32();
  }
};

// The unit record's fields in file order; blank records are not saved.
void put_record(Writer& w, const UnitRecord& u) {
  w.u8(u.in_use);
  for (uint16_t v : {u.x, u.y, u.level, u.target_x, u.target_y, u.waypoint_x, u.waypoint_y,
                     u.next_x, u.next_y, u.order_flag, u.order_state})
    w.u16(v);
  for (float v : {u.fx, u.fy, u.fz}) w.f32(v);
  w.u16(u.sprite);
  w.u16(u.kind);
  w.f32(u.bar_max);
  w.f32(u.bar_value);
  w.u8(u.inactive);
  w.u8(u.bar_state);
  w.f32(u.walk_phase);
}

void get_record(Reader& r, UnitRecord& u) {
  u.in_use = uint8_t(r.u8());
  for (uint16_t* v : {&u.x, &u.y, &u.level, &u.target_x, &u.target_y, &u.waypoint_x, &u.waypoint_y,
                      &u.next_x, &u.next_y, &u.order_flag, &u.order_state})
    *v = uint16_t(r.u16());
  for (float* v : {&u.fx, &u.fy, &u.fz}) *v = r.f32();
  u.sprite = uint16_t(r.u16());
  u.kind = uint16_t(r.u16());
  u.bar_max = r.f32();
  u.bar_value = r.f32();
  u.inactive = uint8_t(r.u8());
  u.bar_state = uint8_t(r.u8());
  u.walk_phase = r.f32();
}

bool blank(const Game& g, int32_t i) {
  Writer w;
  put_record(w, unit(g.units, i));
  const PathSearch& ps = g.path;
  return w.out.find_first_not_of('\0') == std::string::npos && ps.path_length[i] == 0 &&
         ps.path_cursor[i] == kNoPath && ps.path_target_x[i] == 0 && ps.path_target_y[i] == 0;
}

void section(std::string& out, const char* tag, const std::string& body) {
  Writer w;
  w.out.append(tag, 4);
  w.u32(uint32_t(body.size()));
  w.out += body;
  w.u32(uint32_t(crc32(0L, reinterpret_cast<const Bytef*>(w.out.data()), uInt(w.out.size()))));
  out += w.out;
}

std::string run_section(const Game& g, const Session& s) {
  const RunState& r = g.run;
  Writer w;
  w.u32(g.track.seed);
  w.i64(r.frame);
  for (int32_t v :
       {r.zoom, g.fb.width, g.fb.height, r.selected_unit, r.SX, r.SY, r.SZ, r.screensaver})
    w.i32(v);
  w.f32(r.tick_divisor);
  for (int32_t v : {r.minimap_shown, r.minimap_x, r.minimap_y}) w.i32(v);
  w.i64(g.platform.display->paused_ms());
  w.rng(g.rng);
  w.u8(s.f12_was_down);
  w.u8(g.track.f9_was_down);
  w.text(g.notice.text);
  w.i64(g.notice.until);
  w.u8(g.screen.help_shown);
  w.u8(g.screen.help_held);
  return w.out;
}

std::string view_section(const Game& g) {
  Writer w;
  const CommandLine& c = g.console;
  for (int32_t v : {c.open, c.max_chars, c.length}) w.i32(v);
  w.text(std::string(c.line, strnlen(c.line, sizeof c.line)));
  w.f32(g.block.yaw);
  w.f32(g.block.pitch);
  for (int32_t v : {g.block.ground.x, g.block.ground.y, g.block.ground.z}) w.i32(v);
  w.u8(g.track.saver_renewed);
  w.rng(g.track.saver_rng);
  return w.out;
}

std::string unit_section(const Game& g) {
  Writer w, body;
  uint32_t count = 0;
  const PathSearch& ps = g.path;
  for (int32_t i = 0; i < kUnitTableSize; ++i) {
    if (blank(g, i)) continue;
    ++count;
    body.u16(uint32_t(i));
    put_record(body, unit(g.units, i));
    for (int32_t v :
         {ps.path_target_x[i], ps.path_target_y[i], ps.path_length[i], ps.path_cursor[i]})
      body.i32(v);
    for (int32_t k = 0; k < ps.path_length[i]; ++k) {
      body.u16(uint32_t(path_cell_x(ps, i, k)));
      body.u16(uint32_t(path_cell_y(ps, i, k)));
    }
  }
  w.u32(count);
  return w.out + body.out;
}

std::string cell_section(const Game& g) {
  const std::vector<CellChange> changes = changed_cells(g.world, g.baseline);
  Writer w;
  w.u32(uint32_t(changes.size()));
  uint32_t next = 0;  // each index is written as its distance from the one after the last
  for (const CellChange& c : changes) {
    w.varint(c.index - next);
    w.u8(c.code);
    next = c.index + 1;
  }
  return w.out;
}

// "UNIT: unit 12: level 300 is out of range (0..179)"
struct Checker {
  std::string* error;
  std::string where;
  bool range(const char* what, int64_t v, int64_t lo, int64_t hi) {
    if (v >= lo && v <= hi) return true;
    *error = where + ": " + what + " " + std::to_string(v) + " is out of range (" +
             std::to_string(lo) + ".." + std::to_string(hi) + ")";
    return false;
  }
  bool finite(const char* what, float v, float lo = -1e30f, float hi = 1e30f) {
    if (std::isfinite(v) && v >= lo && v <= hi) return true;
    *error = where + ": " + what + " " + std::to_string(v) + " is out of range";
    return false;
  }
};

bool rng_ok(Checker& c, const Rng& r) { return c.range("generator position", r.pos, 34, 67); }

bool read_map(Reader& r, SaveData* d, Checker& c) {
  d->map_bytes = r.i64();
  d->map_checksum = r.u32();
  const int32_t side = r.i32(), levels = r.i32();
  return c.range("world side", side, kWorldSide, kWorldSide) &&
         c.range("levels", levels, kLevelCount, kLevelCount) &&
         c.range("map bytes", d->map_bytes, -1, int64_t(kWorldSide) * kWorldSide * kStartLevels);
}

bool read_run(Reader& r, SaveData* d, Checker& c) {
  RunState& run = d->run;
  d->seed = r.u32();
  run.frame = r.i64();
  for (int32_t* v : {&run.zoom, &d->width, &d->height, &run.selected_unit, &run.SX, &run.SY,
                     &run.SZ, &run.screensaver})
    *v = r.i32();
  run.tick_divisor = r.f32();
  for (int32_t* v : {&run.minimap_shown, &run.minimap_x, &run.minimap_y}) *v = r.i32();
  d->paused_ms = r.i64();
  r.rng(d->rng);
  d->f12_was_down = r.u8() != 0;
  d->f9_was_down = r.u8() != 0;
  d->notice = r.text();
  d->notice_until = r.i64();
  d->help_shown = r.u8() != 0;
  d->help_held = r.u8() != 0;
  if (!r.ok) return true;  // said as a cut section
  const bool overworld = d->width == kOverworldWidth && d->height == kOverworldHeight;
  const bool block = d->width == kBlockViewWidth && d->height == kBlockViewHeight;
  if (!overworld && !block) {
    *c.error = c.where + ": a " + std::to_string(d->width) + " x " + std::to_string(d->height) +
               " picture is neither view's";
    return false;
  }
  return c.range("frame", run.frame, 0, INT64_MAX - 1) && c.range("zoom", run.zoom, 1, 5) &&
         c.range("selected unit", run.selected_unit, 0, kUnitTableSize - 1) &&
         c.range("SX", run.SX, 0, kWorldSide - 1) && c.range("SY", run.SY, 0, kWorldSide - 1) &&
         c.range("SZ", run.SZ, 0, kLevelCount - 1) &&
         c.range("screensaver", run.screensaver, 0, 1) &&
         c.finite("tick divisor", run.tick_divisor, 0, 1000) &&
         c.range("minimap shown", run.minimap_shown, 0, 1) &&
         c.range("minimap x", run.minimap_x, 0, kOverworldWidth - 1) &&
         c.range("minimap y", run.minimap_y, 0, kOverworldHeight - 1) &&
         c.range("paused ms", d->paused_ms, 0, INT64_MAX / 2) && rng_ok(c, d->rng) &&
         c.range("notice length", int64_t(d->notice.size()), 0, 255);
}

bool read_view(Reader& r, SaveData* d, Checker& c) {
  for (int32_t* v : {&d->console_open, &d->console_max_chars, &d->console_length}) *v = r.i32();
  d->console_line = r.text();
  d->yaw = r.f32();
  d->pitch = r.f32();
  for (int32_t* v : {&d->ground.x, &d->ground.y, &d->ground.z}) *v = r.i32();
  d->saver_renewed = r.u8() != 0;
  r.rng(d->saver_rng);
  if (!r.ok) return true;
  return c.range("command line open", d->console_open, 0, 1) &&
         c.range("command line limit", d->console_max_chars, 0, kLineLimitCap) &&
         c.range("command line length", d->console_length, int64_t(d->console_line.size()),
                 int64_t(d->console_line.size())) &&
         c.range("command line length", d->console_length, 0, kLineLimitCap) &&
         c.finite("yaw", d->yaw) && c.finite("pitch", d->pitch) &&
         c.range("ground x", d->ground.x, 0, kWorldSide - 1) &&
         c.range("ground y", d->ground.y, 0, kWorldSide - 1) &&
         c.range("ground level", d->ground.z, 0, kLevelCount - 1) &&
         (!d->saver_renewed || rng_ok(c, d->saver_rng));
}

bool read_units(Reader& r, SaveData* d, Checker& c) {
  const uint32_t count = r.u32();
  if (!c.range("unit count", count, 0, kUnitTableSize)) return false;
  d->units.resize(count);
  int32_t last = -1;
  for (SavedUnit& u : d->units) {
    u.index = int32_t(r.u16());
    get_record(r, u.record);
    u.path_target_x = r.i32();
    u.path_target_y = r.i32();
    u.path_length = r.i32();
    u.path_cursor = r.i32();
    if (!r.ok) return true;
    const UnitRecord& rec = u.record;
    const std::string where = c.where;
    c.where += ": unit " + std::to_string(u.index);
    // units walk the grid; the planning record holds blocks, and may name a coarse level past it
    const bool walker = (rec.in_use == 1 && u.index != kPlanningRecord) || u.index == 1;
    const bool fine =
        c.range("index", u.index, last + 1, kUnitTableSize - 1) &&
        (!walker ||
         (c.range("x", rec.x, 0, kWorldSide - 1) && c.range("y", rec.y, 0, kWorldSide - 1) &&
          c.range("level", rec.level, 0, kLevelCount - 1))) &&
        c.finite("fx", rec.fx, -4, 5) && c.finite("fy", rec.fy, -4, 5) &&
        c.finite("fz", rec.fz, -4, 5) && c.finite("walk phase", rec.walk_phase) &&
        c.range("path length", u.path_length, 0, kUnitPathCapacity) &&
        (u.path_cursor == kNoPath || c.range("path cursor", u.path_cursor, -1, u.path_length - 1));
    if (!fine) return false;
    last = u.index;
    u.path_at = d->path.size();
    d->path.resize(u.path_at + 2 * size_t(u.path_length));
    for (size_t k = u.path_at; k < d->path.size(); ++k) {
      d->path[k] = uint16_t(r.u16());
      if (r.ok && !c.range("route cell", d->path[k], 0, kWorldSide - 1)) return false;
    }
    c.where = where;
  }
  return true;
}

bool read_cells(Reader& r, SaveData* d, Checker& c) {
  const uint64_t cells = uint64_t(kWorldSide) * kWorldSide * kLevelCount;
  const uint32_t count = r.u32();
  // every change takes two bytes at least: a count the section cannot hold is refused first
  if (!c.range("cell count", count, 0, int64_t(std::min<uint64_t>(cells, r.left / 2))))
    return false;
  d->cells.resize(count);
  uint64_t next = 0;
  for (CellChange& cell : d->cells) {
    const uint64_t index = next + r.varint();
    cell.code = uint8_t(r.u8());
    if (!r.ok) return true;
    if (!c.range("cell index", int64_t(index), int64_t(next), int64_t(cells - 1))) return false;
    cell.index = uint32_t(index);
    next = index + 1;
  }
  return true;
}

std::string saves_folder() {
  const char* data = std::getenv("XDG_DATA_HOME");
  if (data && *data == '/') return std::string(data) + "/kelvarot/saves";
  const char* home = std::getenv("HOME");
  if (!home || *home != '/') return "";  // never the current folder by accident
  return std::string(home) + "/.local/share/kelvarot/saves";
}

// A new "kelvarot-YYYYMMDD-HHMMSS[-N].sav" in the folder, claimed so that nothing is replaced.
std::string new_save_name(const std::string& folder, std::string* why) {
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (!std::filesystem::is_directory(folder, ec)) {
    *why = "cannot make the folder " + quote_name(folder);
    return "";
  }
  // the name is claimed now; the save replaces the empty file when it is written
  std::string path;
  const int fd = create_stamped_file(folder, ".sav", &path);
  if (fd >= 0) {
    close(fd);
    return path;
  }
  *why = std::string("cannot make a file in ") + quote_name(folder) + " (" + std::strerror(errno) +
         ")";
  return "";
}

}  // namespace

std::string save_bytes(const Game& g, const Session& s) {
  Writer head;
  head.out.append(kMagic, sizeof kMagic);
  head.u32(kSaveVersion);
  head.u32(kSectionCount);
  Writer map;
  map.i64(g.loaded.map_loaded);
  map.u32(uint32_t(g.baseline.checksum));
  map.i32(g.world.side);
  map.i32(kLevelCount);
  std::string out = head.out;
  section(out, kSections[0], map.out);
  section(out, kSections[1], run_section(g, s));
  section(out, kSections[2], view_section(g));
  section(out, kSections[3], unit_section(g));
  section(out, kSections[4], cell_section(g));
  return out;
}

bool parse_save(const std::string& bytes, SaveData* d, std::string* error) {
  Reader head{reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()};
  char magic[sizeof kMagic];
  if (!head.take(magic, sizeof magic) || std::memcmp(magic, kMagic, sizeof magic) != 0) {
    *error = "not a kelvarot save";
    return false;
  }
  const uint32_t version = head.u32(), sections = head.u32();
  if (!head.ok) {
    *error = "cut short in its header";
    return false;
  }
  if (version != kSaveVersion) {
    *error = "save version " + std::to_string(version) + " is not one this game reads (" +
             std::to_string(kSaveVersion) + ")";
    return false;
  }
  if (sections != kSectionCount) {
    *error = "the header names " + std::to_string(sections) + " sections, not " +
             std::to_string(kSectionCount);
    return false;
  }
  bool (*const readers[])(Reader&, SaveData*, Checker&) = {read_map, read_run, read_view,
                                                           read_units, read_cells};
  for (uint32_t k = 0; k < kSectionCount; ++k) {
    std::string tag = kSections[k];
    const std::string raw = tag;
    tag.erase(tag.find_last_not_of(' ') + 1);  // as said in messages
    char got[4];
    const uint8_t* start = head.p;
    const uint32_t size = head.take(got, 4) ? head.u32() : 0;
    if (!head.ok || size > head.left || head.left - size < 4) {
      *error = "cut short in section " + tag;
      return false;
    }
    if (std::memcmp(got, raw.data(), 4) != 0) {
      *error = "section " + tag + " is missing where it belongs";
      return false;
    }
    Reader body{head.p, size};
    head.p += size, head.left -= size;
    const uint32_t crc = head.u32();
    if (crc != crc32(0L, start, uInt(8 + size))) {
      *error = "section " + tag + " is damaged (its checksum does not match)";
      return false;
    }
    Checker check{error, "section " + tag};
    if (!readers[k](body, d, check)) return false;
    if (!body.ok || body.left != 0) {
      *error = "section " + tag + (body.ok ? " has bytes past its end" : " is cut short");
      return false;
    }
  }
  if (head.left != 0) {
    *error = std::to_string(head.left) + " bytes follow the last section";
    return false;
  }
  return true;
}

bool read_save_file(const std::string& path, SaveData* d, std::string* error) {
  std::string why;
  const int fd = open_regular_file(path, &why);
  if (fd < 0) {
    *error = "cannot load " + quote_name(path) + " (" + (why.empty() ? "no such file" : why) + ")";
    return false;
  }
  std::string bytes;
  char buf[65536];
  ssize_t n = 0;
  while ((n = read(fd, buf, sizeof buf)) > 0 && bytes.size() <= kMaxSaveBytes)
    bytes.append(buf, size_t(n));
  const int err = errno;
  close(fd);
  if (n < 0) {
    *error = "cannot load " + quote_name(path) + " (" + std::strerror(err) + ")";
    return false;
  }
  if (bytes.size() > kMaxSaveBytes) {
    *error = "cannot load " + quote_name(path) + ": larger than any save (" +
             std::to_string(kMaxSaveBytes >> 20) + " MiB)";
    return false;
  }
  if (!parse_save(bytes, d, error)) {
    *error = "cannot load " + quote_name(path) + ": " + *error;
    return false;
  }
  return true;
}

bool apply_save(Game& g, Session& s, const SaveData& d, const std::string& from,
                std::string* error) {
  const uint32_t here = uint32_t(g.baseline.taken ? g.baseline.checksum : start_checksum(g.world));
  if (d.map_bytes != g.loaded.map_loaded || d.map_checksum != here) {
    *error = "cannot load " + quote_name(from) + ": it was made on another map (" +
             std::to_string(d.map_bytes) + " bytes read, checksum " +
             std::to_string(d.map_checksum) + "; this one " + std::to_string(g.loaded.map_loaded) +
             " bytes, checksum " + std::to_string(here) + ")";
    return false;
  }
  // The window first: it is the one step that can fail.
  RunState& run = g.run;
  const bool same_window =
      g.fb.width == d.width && g.fb.height == d.height && run.zoom == d.run.zoom;
  set_resolution(g.fb, d.width, d.height);
  run.zoom = d.run.zoom;
  if (!same_window) {
    destroy_game_window(g);
    if (!create_game_window(g)) {
      *error = "cannot load " + quote_name(from) + ": the window for its view cannot be made";
      return false;
    }
  }
  run = d.run;
  run.quit = 0;
  g.platform.display->set_paused_ms(d.paused_ms);
  g.rng = d.rng;
  s.f12_was_down = d.f12_was_down;
  g.track.f9_was_down = d.f9_was_down;
  g.notice.text = d.notice;
  g.notice.until = d.notice_until;
  g.screen.help_shown = d.help_shown;
  g.screen.help_held = d.help_held;
  g.track.seed = d.seed;
  std::error_code ec;
  g.track.loaded_from = std::filesystem::absolute(from, ec).string();

  CommandLine& c = g.console;
  c.open = d.console_open;
  c.max_chars = d.console_max_chars;
  c.length = d.console_length;
  c.entered = 0;
  std::fill(std::begin(c.line), std::end(c.line), '\0');
  std::memcpy(c.line, d.console_line.data(), d.console_line.size());
  g.block.yaw = d.yaw;
  g.block.pitch = d.pitch;
  g.block.ground = d.ground;

  PathSearch& ps = g.path;
  for (int32_t i = 0; i < kUnitTableSize; ++i) {
    unit(g.units, i) = UnitRecord{};
    ps.path_target_x[i] = ps.path_target_y[i] = ps.path_length[i] = 0;
    ps.path_cursor[i] = kNoPath;
  }
  for (const SavedUnit& u : d.units) {
    unit(g.units, u.index) = u.record;
    ps.path_target_x[u.index] = u.path_target_x;
    ps.path_target_y[u.index] = u.path_target_y;
    ps.path_length[u.index] = u.path_length;
    ps.path_cursor[u.index] = u.path_cursor;
    const size_t row = size_t(u.index) * kUnitPathCapacity;
    for (int32_t k = 0; k < u.path_length; ++k) {
      ps.path_x[row + size_t(k)] = d.path[u.path_at + 2 * size_t(k)];
      ps.path_y[row + size_t(k)] = d.path[u.path_at + 2 * size_t(k) + 1];
    }
  }
  const int32_t side = g.world.side;
  for (const CellChange& cell : d.cells) {
    const int32_t z = int32_t(cell.index / uint32_t(g.world.stride));
    const int32_t rest = int32_t(cell.index % uint32_t(g.world.stride));
    set_cell(g.world, rest % side, rest / side, z, cell.code);
  }
  // The screensaver's layer is made again from the generator as its last renewal found it.
  g.track.saver_renewed = d.saver_renewed;
  g.track.saver_rng = d.saver_rng;
  if (run.screensaver == 1 && d.saver_renewed) {
    Rng replay = d.saver_rng;
    draw_screensaver_view(g.fb, 0, replay);
  }
  return true;
}

bool write_save(const std::string& path, const Game& g, const Session& s, std::string* why) {
  if (!g.baseline.taken) {
    *why = "this run keeps no record of the grid as it started";
    return false;
  }
  const std::string bytes = save_bytes(g, s);
  return replace_file(path, bytes.data(), bytes.size(), why);
}

void save_key_step(Game& g, Session& s) {
  const bool down = key_down(g.platform, vk_f(9));
  const bool pressed = down && !g.track.f9_was_down;
  g.track.f9_was_down = down;
  if (!pressed) return;
  std::string path = s.opt.save, why;
  if (path.empty() && s.replay()) {
    std::fprintf(stderr, "kelvarot: F9 in a replayed script saves only to --save FILE\n");
    return;
  }
  if (path.empty()) {
    const std::string folder = saves_folder();
    path = folder.empty() ? "" : new_save_name(folder, &why);
    if (folder.empty()) why = "HOME is not set, nor XDG_DATA_HOME";
  }
  // the notice is part of what is saved: the loaded game shows it for as long
  show_notice(g, "Saved to " + path);
  if (!path.empty() && write_save(path, g, s, &why)) {
    std::fprintf(stderr, "kelvarot: game saved to %s\n", quote_name(path).c_str());
    return;
  }
  if (!path.empty() && s.opt.save.empty()) unlink(path.c_str());  // the name claimed for it
  show_notice(g, "Not saved: " + why);
  std::fprintf(stderr, "kelvarot: the game was not saved (%s)\n", why.c_str());
}
