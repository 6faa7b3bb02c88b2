// Feeds arbitrary text to the input-script parser and replays what it accepts.
#include <vector>

#include "fuzz_check.h"
#include "shell/script.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<ScriptEvent> events;
  std::string error;
  if (!parse_script(text, &events, &error)) {
    // 80 quoted bytes, each at most 4 wide
    check(error.rfind("line ", 0) == 0 && printable_line(error, 400),
          "error is not one short line");
    return 0;
  }
  // A typed capital costs the most: Shift and the key, down and up, and its text.
  check(events.size() <= 5 * size, "more events than the text can hold");
  for (size_t i = 0; i < events.size(); ++i) {
    const ScriptEvent& e = events[i];
    check(e.pass >= 0, "event before pass 0");
    check(i == 0 || events[i - 1].pass <= e.pass, "events out of pass order");
    check(e.kind == ScriptEvent::kPointer || (e.a >= 0 && e.a < 256), "key outside 0..255");
  }

  ScriptInput input(events);
  const int32_t sizes[][2] = {{640, 480}, {320, 240}, {0, 0}};
  for (size_t i = 0; i <= events.size(); ++i) {
    // Every pass that changes something, and the one after the last.
    const int32_t pass = i < events.size() ? events[i].pass
                         : events.empty()  ? 0
                                           : events.back().pass + 1;
    if (i > 0 && i < events.size() && pass == events[i - 1].pass) continue;
    input.begin_pass(pass);
    for (int32_t vk = -1; vk <= 256; ++vk) (void)input.key_down(vk);
    for (auto [w, h] : sizes) {
      int32_t x = -1, y = -1;
      input.pointer(w, h, &x, &y);
      check(x >= 0 && y >= 0 && (w == 0 || x < w) && (h == 0 || y < h), "pointer off the picture");
    }
  }
  return 0;
}
