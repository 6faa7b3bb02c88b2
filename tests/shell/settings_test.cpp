// settings.ini: what is read, what is refused as a whole, and what the next run gets.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
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
      {"fullscreen = yes\n", ""},
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

// Written through a new folder, read back; the zooms chosen in a run are what the next reads,
// while the run keeps to those it started with. The recording's line gives the same back.
TEST(Settings, TheNextRunReadsWhatThisOneChoseAndARecordingCarriesWhatWasInForce) {
  const std::string dir = testing::TempDir() + "kv-settings-" + std::to_string(getpid());
  const std::string path = dir + "/kelvarot/settings.ini";
  Settings s, back;
  std::string why;
  EXPECT_TRUE(load_settings(path, &back, &why)) << why;  // none there: no fault
  s.remembered = true, s.zoom_overworld = 2, s.fullscreen = true;
  remember_zoom(s, false, 3);
  EXPECT_EQ(view_zoom(s, false, 2), 2);
  EXPECT_EQ(view_zoom(s, true, 1), 2);
  ASSERT_TRUE(save_settings(path, s, &why)) << why;
  ASSERT_TRUE(load_settings(path, &back, &why)) << why;
  EXPECT_EQ(fields(back), "2 3 1 0");
  s.remembered = false;
  EXPECT_EQ(view_zoom(s, true, 1), 1);  // not remembered: the game's own

  Settings replayed;
  ASSERT_TRUE(settings_from_recording(
      "# kelvarot input\n# seed 4\n" + recording_settings_line(back) + "0 pointer 1 1\n",
      &replayed));
  EXPECT_EQ(fields(replayed), "2 3 1 0");
  EXPECT_FALSE(
      settings_from_recording("# kelvarot input\n0 pointer 1 1\n# settings x=1\n", &replayed));
  std::filesystem::remove_all(dir);
}

}  // namespace
