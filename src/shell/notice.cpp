#include "shell/notice.h"

#include <algorithm>
#include <utility>

#include "core/keys.h"
#include "shell/game.h"
#include "shell/status.h"

void show_notice(Game& g, std::string text) {
  g.notice.text = std::move(text);
  g.notice.until = g.run.frame + kNoticePasses;
}

const char* notice_text(const Game& g) {
  if (g.run.frame < g.notice.until) return g.notice.text.c_str();
  return notice_line(g.run, g.fb);
}

void help_key_step(Game& g) {
  // held down, the key toggles once
  const bool down = key_down(g.platform, vk_f(10));
  if (down && !g.screen.help_held) g.screen.help_shown = !g.screen.help_shown;
  g.screen.help_held = down;
}

namespace {

// Short enough for the block view's 320 pixels.
constexpr const char* kHelpLines[] = {
    "KEYS (F10 hides this)",
    "Esc quit   F1-F4 zoom   F11, Alt+Enter full screen",
    "F5 block view   F6 overworld   F9 save   F12 screenshot",
    "M move window   N minimap   1 2 3 unit speed",
    "[ ] select unit   A send unit 1 anywhere",
    "Arrows scroll   keypad + - level",
    "Overworld: right click orders, left selects",
    "Block view: left button walks, Z back, buttons look",
    "Tab command line; Enter runs, Backspace erases",
    "COMMANDS",
    "env4teleport X Y Z   screensavertoggle",
    "env4block env4grass env4dirt corner1",
    "env4emptyx1 env4emptyy1",
};
constexpr int32_t kLineHeight = 12;

}  // namespace

void draw_help(Game& g) {
  if (!g.screen.help_shown) return;
  Framebuffer& fb = g.fb;
  const int32_t lines = int32_t(std::size(kHelpLines));
  const int32_t top = std::min(fb.height - 4, fb.height / 2 + lines * kLineHeight / 2);
  const int32_t bottom = std::max(0, top - lines * kLineHeight - 10);
  // darkened behind the text, so it reads over any view
  for (int32_t y = bottom; y < top; ++y)
    for (int32_t x = 4; x < fb.width - 4; ++x) {
      uint8_t* p = &fb.pixels[(size_t(y) * size_t(fb.width) + size_t(x)) * 4];
      p[0] = uint8_t(p[0] / 4);
      p[1] = uint8_t(p[1] / 4);
      p[2] = uint8_t(p[2] / 4);
      p[3] = 255;
    }
  for (int32_t i = 0; i < lines; ++i) {
    text_print(g.text, "%s", kHelpLines[i]);
    draw_small_text(fb, g.text, 8, top - 12 - i * kLineHeight, 255, 255, 255);
  }
}
