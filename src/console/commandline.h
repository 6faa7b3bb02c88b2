#pragma once
// The polled one-line command prompt and its commands.
#include <cstdint>
#include <memory>
#include <string>

struct Framebuffer;
struct RunState;
struct World;
struct UnitTable;
struct TextBuffer;
struct Platform;

constexpr int32_t kLineBufferSize = 256;
constexpr int32_t kTokenSlots = 20;
constexpr int32_t kLineLimit = 30;                      // characters the prompt accepts
constexpr int32_t kLineLimitCap = kLineBufferSize - 1;  // any limit is capped here
constexpr int32_t kPromptX = 14, kPromptY = 73;         // pixels, origin bottom-left
constexpr const char* kPrompt = "CMD:";

// Created at start-up; the line and its tokens live until shutdown.
struct CommandLine {
  int32_t open = 0;                 // 1 while the prompt is shown and typing goes to it
  int32_t max_chars = kLineLimit;   // characters the editor accepts, capped at 255
  int32_t length = 0;               // characters in line, 0..255
  int32_t entered = 0;              // 1 from Enter until the line has run
  char line[kLineBufferSize] = {};  // zero-terminated; kept after a command runs
  std::unique_ptr<char[]> tokens;   // kTokenSlots slots of kLineBufferSize bytes
  int32_t words = 0;                // words in the last entered line (may exceed the slots)
  // Typing from the window system's text input instead of polling the keys; while the
  // line is open the letters and digits then act on nothing else.
  bool queued = false;
  std::string carry;  // typed after an Enter in the same pass: for the next pass
  std::string said;   // why the last line did nothing, until the caller shows it
};

// Also empties the line: the prompt starts blank.
void create_token_slots(CommandLine& c);
void release_token_slots(CommandLine& c);

// The loop's step: Tab toggles the prompt, the editor runs while it is open,
// and an entered line runs in the same pass.
void command_line_step(CommandLine& c, Platform& p, RunState& run, Framebuffer& fb, World& w,
                       UnitTable& units, TextBuffer& text);

// Token slot i (0..kTokenSlots-1); empty when the line had fewer words.
const char* token(const CommandLine& c, int32_t i);
// Tokenizes the line and runs the command its first word names, if any.
// Switching the screensaver on clears the secondary buffer to black.
void run_entered_line(CommandLine& c, Platform& p, RunState& run, World& w, UnitTable& units,
                      Framebuffer& fb);

// Leading decimal digits of s; 0 without any; saturates at INT32_MAX.
int32_t read_leading_decimal(const char* s);
