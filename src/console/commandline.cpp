#include "console/commandline.h"

void create_token_slots(CommandLine& c) {
  c.tokens = std::make_unique<char[]>(size_t(kTokenSlots) * kLineBufferSize);
}

void release_token_slots(CommandLine& c) { c.tokens.reset(); }
