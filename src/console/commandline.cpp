#include "console/commandline.h"

#include <algorithm>
#include <iterator>
#include <string>

#include "core/keys.h"
#include "core/platform.h"
#include "core/runstate.h"
#include "render/framebuffer.h"
#include "render/text.h"

namespace {

constexpr int32_t kTabPauseMs = 400;
constexpr int32_t kEnterPauseMs = 500;
constexpr int32_t kEditPauseMs = 120;  // after each appended character or Backspace
constexpr int32_t kCaretPeriod = 20;   // frames; the caret shows in the first half
constexpr uint8_t kWhite[3] = {255, 255, 255};

enum class ShiftRule : uint8_t { kIgnored, kUp, kDown };

// Keys that append a character: a run of consecutive virtual keys mapping to
// consecutive characters. Tested in this order, every key of a run in turn.
struct KeyRun {
  int32_t first_vk;  // virtual key of the run's first character
  int32_t count;     // keys in the run
  char first_char;   // what the first key appends
  ShiftRule shift;   // when the run applies
};

constexpr KeyRun kKeyRuns[] = {
    {kVkSpace, 1, ' ', ShiftRule::kIgnored},  // Space
    {kVkA, 26, 'a', ShiftRule::kUp},          // letters without Shift
    {kVkA, 26, 'A', ShiftRule::kDown},        // letters with Shift: only the capital
    {kVk0, 10, '0', ShiftRule::kIgnored},     // digits; Shift changes nothing
};

bool run_applies(Platform& p, ShiftRule rule) {
  switch (rule) {
    case ShiftRule::kIgnored: return true;
    case ShiftRule::kUp: return !key_down(p, kVkShift);
    case ShiftRule::kDown: return key_down(p, kVkShift);
  }
  return false;
}

// A full line takes nothing more, silently and without a pause.
void append_char(CommandLine& c, Platform& p, int32_t limit, char ch) {
  if (c.length >= limit) return;
  c.line[c.length] = ch;
  c.line[c.length + 1] = '\0';
  c.length += 1;
  pause_ms(p, kEditPauseMs);
}

}  // namespace

void create_token_slots(CommandLine& c) {
  c.tokens = std::make_unique<char[]>(size_t(kTokenSlots) * kLineBufferSize);  // all empty
  c.words = 0;
  c.length = 0;
  std::fill(std::begin(c.line), std::end(c.line), '\0');
}

void release_token_slots(CommandLine& c) { c.tokens.reset(); }

namespace {

// One pass of the editor: Enter ends the line; otherwise Backspace, Space,
// letters and digits edit it, then the prompt and line are drawn at (x, y).
void edit_line(CommandLine& c, Platform& p, int64_t frame, Framebuffer& fb, TextBuffer& text,
               int32_t x, int32_t y, int32_t limit, const char* prompt) {
  limit = std::min(limit, kLineLimitCap);
  // Enter acts alone: nothing else is read and the line is not drawn this pass.
  if (key_down(p, kVkReturn)) {
    c.line[c.length] = '\0';
    pause_ms(p, kEnterPauseMs);
    c.entered = 1;
    return;
  }
  if (key_down(p, kVkBack) && c.length >= 1) {
    c.line[c.length - 1] = '\0';
    c.line[c.length] = '\0';
    c.length -= 1;
    pause_ms(p, kEditPauseMs);
  }
  for (const KeyRun& run : kKeyRuns) {
    for (int32_t k = 0; k < run.count; ++k) {
      if (key_down(p, run.first_vk + k) && run_applies(p, run.shift))
        append_char(c, p, limit, char(run.first_char + k));
    }
  }
  if (frame % kCaretPeriod < kCaretPeriod / 2) text_print(text, "%s%s_", prompt, c.line);
  else text_print(text, "%s%s", prompt, c.line);
  draw_large_text(fb, text, x, y, kWhite[0], kWhite[1], kWhite[2]);
}

// Queued typing: every character once, in order, with no pause between them. An Enter ends
// the line; what came after it waits for the next pass.
void take_typed(CommandLine& c, Platform& p, std::string typed) {
  typed = c.carry + typed;
  c.carry.clear();
  const int32_t limit = std::min(c.max_chars, kLineLimitCap);
  for (size_t i = 0; i < typed.size(); ++i) {
    const char ch = typed[i];
    if (ch == '\r') {
      pause_ms(p, kEnterPauseMs);
      c.entered = 1;
      c.carry = typed.substr(i + 1);
      return;
    }
    if (ch == '\b' && c.length >= 1) c.line[--c.length] = '\0';
    if (ch >= ' ' && ch <= '~' && c.length < limit) {
      c.line[c.length++] = ch;
      c.line[c.length] = '\0';
    }
  }
}

void draw_line(CommandLine& c, int32_t frame, Framebuffer& fb, TextBuffer& text) {
  if (frame % kCaretPeriod < kCaretPeriod / 2) text_print(text, "%s%s_", kPrompt, c.line);
  else text_print(text, "%s%s", kPrompt, c.line);
  draw_large_text(fb, text, kPromptX, kPromptY, kWhite[0], kWhite[1], kWhite[2]);
}

}  // namespace

void command_line_step(CommandLine& c, Platform& p, RunState& run, Framebuffer& fb, World& w,
                       UnitTable& units, TextBuffer& text) {
  const bool was_open = c.open == 1;
  if (c.queued) {
    const std::string typed = p.input->typed_text();
    // typed while the line was shut, it went to the game keys
    if (was_open) take_typed(c, p, typed);
  }
  if (key_down(p, kVkTab)) {
    c.open = c.open == 0 ? 1 : 0;
    pause_ms(p, kTabPauseMs);
  }
  if (c.queued && c.open == 0) c.carry.clear();
  if (c.queued && c.open == 1 && c.entered == 0) draw_line(c, run.frame, fb, text);
  if (c.open == 1 && !c.queued)
    edit_line(c, p, run.frame, fb, text, kPromptX, kPromptY, c.max_chars, kPrompt);
  // Enter was seen by the editor above, so the line runs in the same pass.
  if (c.entered == 1) {
    c.entered = 0;
    run_entered_line(c, p, run, w, units, fb);
  }
  p.typing = c.queued && c.open == 1;
}
