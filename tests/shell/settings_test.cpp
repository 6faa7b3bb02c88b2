// settings.ini: what is read and what is refused as a whole.
#include <gtest/gtest.h>
#include <string>

#include "shell/settings.h"

namespace {

std::string fields(const Settings& s) {
  return std::to_string(s.zoom_overworld) + " " + std::to_string(s.zoom_block) + " " +
         std::to_string(s.fullscreen) + " " + std::to_string(s.queued_typing);
}

TEST(Settings, ReadsKnownKeysAndRefusesTheWholeFileForAnyBadLine) {
  const struct {
    std::string text;
    std::string got;  // the fields after reading onto 3 4 1 0; "" when refused
  } cases[] = {
      {"", "3 4 1 0"},
      {"# c\n[kelvarot]\n zoom_overworld=1 ; mine\r\nqueued_typing = 1\n", "1 4 1 1"},
      {"zoom_block = 0\nfullscreen = 0\n", "3 0 0 0"},
      {"zoom_overworld = 1\nzoom_block = 5\n", ""},  // the first line is not kept either
      {"zoom_overworld = -1\n", ""},
      {"fullscreen = 2\n", ""},
      {"zoom = 2\n", ""},
      {"zoom_block\n", ""},
  };
  for (const auto& k : cases) {
    Settings s;
    s.zoom_overworld = 3, s.zoom_block = 4, s.fullscreen = true;
    std::string why;
    EXPECT_EQ(parse_settings(k.text, &s, &why), !k.got.empty()) << k.text;
    EXPECT_EQ(fields(s), k.got.empty() ? "3 4 1 0" : k.got) << k.text;
    EXPECT_EQ(why.empty(), !k.got.empty()) << k.text;
  }
}

}  // namespace
