#pragma once
// The polled one-line command prompt and its commands.
#include <cstdint>
#include <memory>

struct Framebuffer;
struct RunState;
struct World;
struct UnitTable;
struct TextBuffer;
struct Platform;

constexpr int32_t kLineBufferSize = 256;
constexpr int32_t kTokenSlots = 20;

// Created at start-up; the line and its tokens live until shutdown.
struct CommandLine {
  int32_t open = 0;                   // 1 while the prompt is shown and typing goes to it
  int32_t max_chars = 30;             // characters the editor accepts
  char line[kLineBufferSize] = {};    // zero-terminated
  std::unique_ptr<char[]> tokens;     // kTokenSlots slots of kLineBufferSize bytes
};

void create_token_slots(CommandLine& c);
void release_token_slots(CommandLine& c);
void command_line_step(CommandLine& c, Platform& p, RunState& run, Framebuffer& fb, World& w,
                       UnitTable& units, TextBuffer& text);
