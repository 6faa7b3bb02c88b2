#include "shell/script.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <sstream>

#include "core/keys.h"
#include "core/numbers.h"
#include "core/quote.h"
#include "shell/keys.h"

namespace {

// Longer lines are refused before anything is made of them: a `type` line
// becomes up to four events per character.
constexpr size_t kMaxLineChars = 4096;

bool parse_int(const std::string& s, int64_t lo, int64_t hi, int32_t* out) {
  int64_t v = 0;
  if (!parse_whole(s, lo, hi, &v)) return false;
  *out = int32_t(v);
  return true;
}

// Text events that `type`, Enter and Backspace give, as against recorded ones.
constexpr int32_t kTyped = 1;

}  // namespace

bool parse_script(const std::string& text, std::vector<ScriptEvent>* events, std::string* error,
                  size_t max_events) {
  events->clear();
  std::istringstream in(text);
  std::string raw;
  int line_no = 0;
  int32_t order = 1;
  auto fail = [&](const std::string& why) {
    *error = "line " + std::to_string(line_no) + ": " + why;
    return false;
  };
  auto add = [&](int32_t pass, ScriptEvent::Kind kind, int32_t a, int32_t b, bool release) {
    ScriptEvent e;
    e.pass = pass;
    e.kind = kind;
    e.a = a;
    e.b = b;
    e.order = release ? 0 : order++;
    events->push_back(e);
  };
  auto too_many = [&] {
    return fail("the script makes more than " + std::to_string(max_events) + " events");
  };
  while (std::getline(in, raw)) {
    ++line_no;
    if (raw.size() > kMaxLineChars)
      return fail("longer than " + std::to_string(kMaxLineChars) +
                  " characters: " + quote_text(raw));
    std::string line = raw.substr(0, raw.find('#'));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::istringstream words(line);
    std::string pass_word, verb;
    if (!(words >> pass_word)) continue;  // blank or comment
    int32_t pass = 0;
    if (!parse_int(pass_word, 0, INT32_MAX / 2 - 1024, &pass))
      return fail(quote_text(pass_word) + " is not a pass number");
    if (!(words >> verb)) return fail("missing event after the pass number");
    std::vector<std::string> args;
    if (verb == "type") {
      // the rest of the line after one separating space, as typed
      const size_t at = line.find("type") + 4;
      std::string typed = at < line.size() ? line.substr(at + 1) : "";
      // blanks that only set a trailing comment apart are not part of the text
      typed.erase(typed.find_last_not_of(" \t") + 1);
      for (size_t i = 0; i < typed.size(); ++i) {
        const char c = typed[i];
        const int32_t p = pass + int32_t(2 * i);
        int32_t vk = -1;
        bool shift = false;
        if (c >= 'a' && c <= 'z') vk = vk_letter(char(c - 'a' + 'A'));
        else if (c >= 'A' && c <= 'Z') {
          vk = vk_letter(c);
          shift = true;
        } else if (c >= '0' && c <= '9') vk = vk_digit(c - '0');
        else if (c == ' ') vk = kVkSpace;
        else return fail("cannot type " + quote_text(std::string_view(&typed[i], 1)));
        if (shift) add(p, ScriptEvent::kKeyDown, kVkShift, 0, false);
        add(p, ScriptEvent::kKeyDown, vk, 0, false);
        add(p, ScriptEvent::kText, uint8_t(c), kTyped, false);
        add(p + 1, ScriptEvent::kKeyUp, vk, 0, true);
        if (shift) add(p + 1, ScriptEvent::kKeyUp, kVkShift, 0, true);
      }
      if (events->size() > max_events) return too_many();
      continue;
    }
    for (std::string w; words >> w;) args.push_back(w);
    if (verb == "key" || verb == "tap") {
      const size_t want = verb == "key" ? 2 : 1;
      if (args.size() != want)
        return fail("'" + verb + "' takes " + std::to_string(want) +
                    (want == 1 ? " argument" : " arguments"));
      const int32_t vk = script_key_number(args[0]);
      if (vk < 0) return fail("unknown key " + quote_text(args[0]));
      if (vk == kVkReturn || vk == kVkBack)  // for queued typing, when the script has no text
        if (verb == "tap" || args[1] == "down")
          add(pass, ScriptEvent::kText, vk == kVkReturn ? '\r' : '\b', kTyped, false);
      if (verb == "tap") {
        add(pass, ScriptEvent::kKeyDown, vk, 0, false);
        add(pass + 1, ScriptEvent::kKeyUp, vk, 0, true);
      } else if (args[1] == "down") {
        add(pass, ScriptEvent::kKeyDown, vk, 0, false);
      } else if (args[1] == "up") {
        add(pass, ScriptEvent::kKeyUp, vk, 0, false);
      } else {
        return fail("key state must be 'down' or 'up', not " + quote_text(args[1]));
      }
    } else if (verb == "button" || verb == "click") {
      const size_t want = verb == "button" ? 2 : 1;
      if (args.size() != want)
        return fail("'" + verb + "' takes " + std::to_string(want) +
                    (want == 1 ? " argument" : " arguments"));
      const int32_t vk = script_button_number(args[0]);
      if (vk < 0) return fail("unknown button " + quote_text(args[0]) + " (left, right or middle)");
      if (verb == "click") {
        add(pass, ScriptEvent::kKeyDown, vk, 0, false);
        add(pass + 1, ScriptEvent::kKeyUp, vk, 0, true);
      } else if (args[1] == "down") {
        add(pass, ScriptEvent::kKeyDown, vk, 0, false);
      } else if (args[1] == "up") {
        add(pass, ScriptEvent::kKeyUp, vk, 0, false);
      } else {
        return fail("button state must be 'down' or 'up', not " + quote_text(args[1]));
      }
    } else if (verb == "pointer") {
      int32_t x = 0, y = 0;
      if (args.size() != 2 || !parse_int(args[0], -100000, 100000, &x) ||
          !parse_int(args[1], -100000, 100000, &y))
        return fail("'pointer' takes two whole numbers X Y");
      add(pass, ScriptEvent::kPointer, x, y, false);
    } else if (verb == "text") {
      // queued typing: the bytes the window system typed before the pass, as numbers
      for (const std::string& w : args) {
        int32_t byte = 0;
        if (!parse_int(w, 1, 255, &byte)) return fail("'text' takes byte values 1-255");
        add(pass, ScriptEvent::kText, byte, 0, false);
      }
    } else {
      return fail("unknown event " + quote_text(verb));
    }
    if (events->size() > max_events) return too_many();
  }
  // A recording of queued typing has the text as it came: then the keys give none of their own.
  const auto typed = [](const ScriptEvent& e) { return e.kind == ScriptEvent::kText && e.b; };
  if (std::any_of(events->begin(), events->end(),
                  [](const ScriptEvent& e) { return e.kind == ScriptEvent::kText && !e.b; }))
    events->erase(std::remove_if(events->begin(), events->end(), typed), events->end());
  std::stable_sort(events->begin(), events->end(), [](const ScriptEvent& a, const ScriptEvent& b) {
    if (a.pass != b.pass) return a.pass < b.pass;
    return a.order < b.order;
  });
  return true;
}

bool read_script_file(const std::string& path, std::string* text, std::string* error) {
  // Only a file or a pipe ends: a folder reads as nothing and a device may never stop.
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    *error = "cannot read script " + quote_name(path) + " (" + std::strerror(errno) + ")";
    return false;
  }
  if (!S_ISREG(st.st_mode) && !S_ISFIFO(st.st_mode)) {
    *error = "script " + quote_name(path) + " is " +
             (S_ISDIR(st.st_mode) ? "a folder" : "not a file or a pipe");
    return false;
  }
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);  // a named pipe waits for its writer
  if (fd < 0 || ::fstat(fd, &st) != 0 || (!S_ISREG(st.st_mode) && !S_ISFIFO(st.st_mode))) {
    *error = "cannot read script " + quote_name(path) +
             (fd < 0 ? std::string(" (") + std::strerror(errno) + ")" : "");
    if (fd >= 0) ::close(fd);
    return false;
  }
  const std::string too_big = "script " + quote_name(path) + " is larger than " +
                              std::to_string(kMaxScriptBytes >> 20) + " MiB";
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
      *error = "cannot read script " + quote_name(path) + " (" + std::strerror(errno) + ")";
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

ScriptInput::ScriptInput(std::vector<ScriptEvent> events) : events_(std::move(events)) {}

void ScriptInput::begin_pass(int32_t frame) {
  typed_.clear();
  while (next_ < events_.size() && events_[next_].pass <= frame) {
    const ScriptEvent& e = events_[next_++];
    if (e.kind == ScriptEvent::kText) {
      typed_ += char(e.a);
    } else if (e.kind == ScriptEvent::kPointer) {
      px_ = e.a;
      py_ = e.b;
    } else {
      down_[e.a & 255] = e.kind == ScriptEvent::kKeyDown;
    }
  }
}

bool ScriptInput::key_down(int32_t vk) { return vk >= 0 && vk < 256 && down_[vk]; }

void ScriptInput::pointer(int32_t width, int32_t height, int32_t* x, int32_t* y) {
  *x = std::clamp(px_, 0, width > 0 ? width - 1 : 0);
  *y = std::clamp(py_, 0, height > 0 ? height - 1 : 0);
}
