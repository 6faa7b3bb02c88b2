#include "shell/record.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <sstream>

#include "core/numbers.h"
#include "core/quote.h"
#include "render/framebuffer.h"
#include "shell/keys.h"

namespace {

constexpr const char* kFirstLine = "# kelvarot input, recorded pass by pass; replay with --script";
// The pass count is unknown until the end: its line is written blank, this wide, and filled in.
constexpr int kPassesWidth = 10;
constexpr const char* kEndLine = "# the session ended after ";

}  // namespace

RecordingInput::RecordingInput(InputSource& live, const Framebuffer& fb, FILE* out, uint32_t seed,
                               const std::string& name, const std::string& header_more)
    : live_(live), fb_(fb), out_(out), name_(quote_name(name)) {
  check(std::fprintf(out_, "%s\n# seed %u\n%s", kFirstLine, seed, header_more.c_str()) > 0);
  const long at = std::ftell(out_);  // a pipe cannot go back: it gets the count at the end only
  if (at >= 0) {
    passes_at_ = at + long(std::strlen("# passes "));
    check(std::fprintf(out_, "# passes %*s\n", kPassesWidth, "") > 0);
  }
  check(std::fflush(out_) == 0);
}

RecordingInput::~RecordingInput() {
  if (out_) std::fclose(out_);
}

void RecordingInput::check(bool written) {
  if (written || !ok_) return;
  ok_ = false;
  std::fprintf(stderr, "kelvarot: the recording %s cannot be written (%s)\n", name_.c_str(),
               std::strerror(errno));
}

void RecordingInput::begin_pass(int32_t frame) {
  live_.begin_pass(frame);
  bool wrote = false, written = true;
  for (int32_t vk = 0; vk < 256; ++vk) {
    if (!key_row(vk)) continue;  // only what the game polls
    const bool d = live_.key_down(vk);
    if (d == down_[vk]) continue;
    down_[vk] = d;
    if (ok_)
      written = written && std::fprintf(out_, "%d %s %s\n", frame, script_key_words(vk).c_str(),
                                        d ? "down" : "up") > 0;
    wrote = true;
  }
  int32_t x = 0, y = 0;
  live_.pointer(fb_.width, fb_.height, &x, &y);
  if (first_ || x != px_ || y != py_) {
    px_ = x;
    py_ = y;
    if (ok_) written = written && std::fprintf(out_, "%d pointer %d %d\n", frame, x, y) > 0;
    wrote = true;
  }
  first_ = false;
  typed_ = live_.typed_text();
  if (!typed_.empty()) {
    std::string line = std::to_string(frame) + " text";
    for (const char c : typed_) line.append(" ").append(std::to_string(uint8_t(c)));
    if (ok_) written = written && std::fprintf(out_, "%s\n", line.c_str()) > 0;
    wrote = true;
  }
  // each pass reaches the file as it ends: a lost X server or a hang-up loses nothing
  if (wrote && ok_) check(written && std::fflush(out_) == 0);
}

bool RecordingInput::key_down(int32_t vk) { return vk >= 0 && vk < 256 && down_[vk]; }

void RecordingInput::pointer(int32_t width, int32_t height, int32_t* x, int32_t* y) {
  *x = std::clamp(px_, 0, width > 0 ? width - 1 : 0);
  *y = std::clamp(py_, 0, height > 0 ? height - 1 : 0);
}

bool RecordingInput::finish(int32_t frames) {
  if (!out_) return ok_;
  if (ok_) {
    check(std::fprintf(out_, "%s%d passes\n", kEndLine, frames) > 0 && std::fflush(out_) == 0);
    if (passes_at_ >= 0)
      check(std::fseek(out_, passes_at_, SEEK_SET) == 0 &&
            std::fprintf(out_, "%-*d", kPassesWidth, frames) > 0 && std::fflush(out_) == 0);
  }
  FILE* f = out_;
  out_ = nullptr;
  struct stat st {};  // a file is on disk before it replaces the old one; a pipe cannot sync
  if (ok_ && ::fstat(fileno(f), &st) == 0 && S_ISREG(st.st_mode)) check(::fsync(fileno(f)) == 0);
  check(std::fclose(f) == 0);
  return ok_;
}

RecordingHeader read_recording_header(const std::string& script) {
  RecordingHeader h;
  std::istringstream in(script);
  std::string line;
  auto next_line = [&] {
    if (!std::getline(in, line)) return false;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
  };
  if (!next_line() || line != kFirstLine) return h;
  h.recording = true;
  bool header = true;
  while (next_line()) {
    header = header && line.rfind('#', 0) == 0;
    std::istringstream words(line.substr(std::min(line.size(), size_t(1))));
    std::string key, number;
    int64_t n = 0;
    words >> key >> number;
    if (!header) {
      // a recording that could not go back to its header says its length at the end
      if (line.rfind(kEndLine, 0) == 0 && h.passes == 0 &&
          parse_whole(
              line.substr(std::strlen(kEndLine), line.find(" passes") - std::strlen(kEndLine)), 0,
              INT32_MAX, &n))
        h.passes = int32_t(n);
      continue;
    }
    if (key == "seed") {
      if (!parse_whole(number, 0, UINT32_MAX, &n)) {
        h.error = "the recording's seed " + quote_text(number) +
                  " is not a whole number from 0 to 4294967295";
        return h;
      }
      h.has_seed = true, h.seed = uint32_t(n);
    } else if (key == "passes" && !number.empty()) {  // blank: the session was cut short
      if (!parse_whole(number, 0, INT32_MAX, &n)) {
        h.error = "the recording's passes " + quote_text(number) + " is not a plain number";
        return h;
      }
      h.passes = int32_t(n);
    } else if (key == "save") {
      h.save = line.substr(line.find("save ") + 5);
    }
  }
  return h;
}
