#include <gtest/gtest.h>

#include "shell/game_fixture.h"
#include "shell/loop.h"

namespace {

TEST(LoopBindings, SelectionKeysStopAtBothEndsOfTheTable) {
  ScriptedGame sg("0 tap LBRACKET\n2 tap RBRACKET\n");
  sg.run_state().selected_unit = 0;
  sg.run(1);
  EXPECT_EQ(sg.run_state().selected_unit, 0);
  sg.run(1);
  sg.run_state().selected_unit = kUnitTableSize - 1;
  sg.run(1);
  EXPECT_EQ(sg.run_state().selected_unit, kUnitTableSize - 1);
  EXPECT_EQ(sg.display.paused_ms(), 1000 * (sg.g().loaded.map_loaded >= 0) + 60 + 60);
}

TEST(LoopBindings, SelectionMovesTheViewThenNavigationClampsIt) {
  ScriptedGame sg("0 tap RBRACKET\n");
  UnitRecord& u = unit(sg.g().units, 2);
  u.x = 1020;
  u.y = 3;
  u.level = 2;
  sg.run(1);
  EXPECT_EQ(sg.run_state().selected_unit, 2);
  EXPECT_EQ(sg.run_state().SX, 1024 - 640 / 16);  // pulled back by navigation
  EXPECT_EQ(sg.run_state().SY, 3);
  EXPECT_EQ(sg.run_state().SZ, 2);
}

TEST(LoopBindings, SpeedKeysLastOneWins) {
  ScriptedGame sg("0 key 1 down\n0 key 3 down\n1 key 3 up\n2 key 1 up\n2 tap 2\n");
  EXPECT_FLOAT_EQ(sg.run_state().tick_divisor, 30.0f);
  sg.run(1);
  EXPECT_FLOAT_EQ(sg.run_state().tick_divisor, 60.0f);
  sg.run(1);
  EXPECT_FLOAT_EQ(sg.run_state().tick_divisor, 10.0f);
  sg.run(1);
  EXPECT_FLOAT_EQ(sg.run_state().tick_divisor, 30.0f);
}

TEST(LoopBindings, F5ThenF6SwitchResolutionZoomAndWindow) {
  ScriptedGame sg("1 tap F5\n3 tap F6\n");
  const int creates = sg.display.creates;
  sg.run(2);
  EXPECT_EQ(sg.g().fb.width, 320);
  EXPECT_EQ(sg.g().fb.height, 240);
  EXPECT_EQ(sg.run_state().zoom, 2);
  EXPECT_EQ(sg.display.creates, creates + 1);
  EXPECT_EQ(sg.display.last_w, 640);
  EXPECT_EQ(sg.display.last_h, 480);
  EXPECT_EQ(sg.g().fb.pixels.size(), 320u * 240u * 4u);
  sg.run(2);
  EXPECT_EQ(sg.g().fb.width, 640);
  EXPECT_EQ(sg.run_state().zoom, 1);
  EXPECT_EQ(sg.display.last_w, 640);
  EXPECT_EQ(sg.display.last_h, 480);
}

TEST(LoopBindings, HeldF5AndF6InOnePassEndsAt640WithZoomOne) {
  ScriptedGame sg("0 tap F5\n0 tap F6\n");
  sg.run(1);
  EXPECT_EQ(sg.g().fb.width, 640);
  EXPECT_EQ(sg.run_state().zoom, 1);
}

TEST(LoopBindings, EscapeEndsTheRunAfterTheCurrentPass) {
  ScriptedGame sg("5 tap ESCAPE\n");
  EXPECT_EQ(sg.run(100), 6);
  EXPECT_EQ(sg.run_state().frame, 6);
  EXPECT_NE(sg.run_state().quit, 0);
}

TEST(LoopBindings, CloseRequestEndsTheRunAfterTheCurrentPass) {
  ScriptedGame sg("");
  sg.run(2);
  sg.display.pending_quit = 1;
  EXPECT_EQ(sg.run(100), 1);
  EXPECT_EQ(sg.run_state().frame, 3);
}

TEST(LoopBindings, ZoomKeysRecreateTheWindowAndMFollowsThePointer) {
  ScriptedGame sg("0 tap F3\n2 tap F1\n4 key M down\n7 key M up\n");
  sg.run(1);
  EXPECT_EQ(sg.run_state().zoom, 3);
  EXPECT_EQ(sg.display.last_w, 640 * 3);
  EXPECT_EQ(sg.display.last_h, 480 * 3);
  EXPECT_EQ(sg.g().fb.width, 640);  // the framebuffer keeps its size
  sg.run(2);
  EXPECT_EQ(sg.run_state().zoom, 1);
  EXPECT_EQ(sg.display.last_w, 640);
  sg.run(5);
  EXPECT_EQ(sg.display.moves, 3);  // held M moves on every pass
}

TEST(LoopBindings, LeftClickSelectsTheFirstRecordOnTheCellEvenUnused) {
  // records never placed stand on (0, 0): a click there picks record 0
  ScriptedGame sg("0 pointer 5 5\n0 click left\n");
  sg.run_state().SX = 0;
  sg.run_state().SY = 0;
  sg.run(1);
  EXPECT_EQ(sg.run_state().selected_unit, 0);
}

TEST(LoopBindings, LeftClickOnAnEmptyCellKeepsTheSelection) {
  ScriptedGame sg("0 pointer 100 100\n0 click left\n");
  for (int i = 0; i < kUnitTableSize; ++i) unit(sg.g().units, i).x = 1;
  sg.run_state().SX = 200;
  sg.run_state().SY = 200;
  sg.run(1);
  EXPECT_EQ(sg.run_state().selected_unit, 1);
}

TEST(LoopBindings, MouseButtonsAreDeadStrictlyInsideTheMinimapSquare) {
  // origin (518, 338): (519, 339) is inside, (518, 339) on the border acts
  ScriptedGame sg("0 pointer 519 339\n0 click left\n2 pointer 518 339\n2 click left\n");
  sg.run_state().minimap_shown = 0;  // hidden or not, the square is dead
  for (int i = 0; i < kUnitTableSize; ++i) unit(sg.g().units, i).x = 1;
  sg.run_state().SX = 0;
  sg.run_state().SY = 0;
  UnitRecord& a = unit(sg.g().units, 40);
  a.x = 519 / 16;
  a.y = 339 / 16;
  UnitRecord& b = unit(sg.g().units, 41);
  b.x = 518 / 16;
  b.y = 339 / 16;
  sg.run(1);
  EXPECT_EQ(sg.run_state().selected_unit, 1);
  sg.run(2);
  EXPECT_EQ(sg.run_state().selected_unit, 40);  // same cell as 41; the first record wins
}

TEST(LoopBindings, MouseBindingsDoNothingInTheBlockView) {
  ScriptedGame sg("0 tap F5\n2 pointer 5 5\n2 click left\n");
  sg.run(3);
  EXPECT_EQ(sg.run_state().selected_unit, 1);
}

TEST(LoopBindings, MinimapToggleMovesItsOriginAndPauses) {
  ScriptedGame sg("0 pointer 12 34\n0 tap N\n");
  const int64_t before = sg.display.paused_ms();
  sg.run(1);
  EXPECT_EQ(sg.run_state().minimap_shown, 0);
  EXPECT_EQ(sg.run_state().minimap_x, 12);
  EXPECT_EQ(sg.run_state().minimap_y, 34);
  EXPECT_EQ(sg.display.paused_ms() - before, 350);
}

// View navigation on its own, at both resolutions.
struct NavCase {
  int width, height;
  int sx, sy, sz;
  const char* keys;
  int want_sx, want_sy, want_sz;
};

TEST(ViewNavigation, ArrowsAndLevelsClampAtBothResolutions) {
  const NavCase cases[] = {
      {640, 480, 0, 0, 0, "LEFT DOWN SUBTRACT", 0, 0, 0},
      {640, 480, 984, 994, 179, "RIGHT UP ADD", 984, 994, 179},
      {320, 240, 1004, 1009, 5, "RIGHT UP", 1004, 1009, 5},
      {320, 240, 2000, -7, 300, "", 1004, 0, 179},
      {640, 480, 2000, 2000, -3, "", 984, 994, 0},
      {640, 480, 10, 10, 10, "UP DOWN", 10, 10, 10},
      {640, 480, 10, 10, 10, "RIGHT UP ADD", 11, 11, 11},
  };
  for (const NavCase& c : cases) {
    std::string script;
    std::istringstream words(c.keys);
    for (std::string k; words >> k;) script += "0 key " + k + " down\n";
    std::vector<ScriptEvent> ev;
    std::string err;
    ASSERT_TRUE(parse_script(script, &ev, &err)) << err;
    ScriptInput in(std::move(ev));
    NullDisplay d;
    Platform p{&in, &d};
    in.begin_pass(0);
    Framebuffer fb;
    fb.width = c.width;
    fb.height = c.height;
    RunState run;
    run.SX = c.sx;
    run.SY = c.sy;
    run.SZ = c.sz;
    view_navigation(run, p, fb, 1024);
    EXPECT_EQ(run.SX, c.want_sx) << c.keys;
    EXPECT_EQ(run.SY, c.want_sy) << c.keys;
    EXPECT_EQ(run.SZ, c.want_sz) << c.keys;
    const bool level_key = std::string(c.keys).find("ADD") != std::string::npos ||
                           std::string(c.keys).find("SUBTRACT") != std::string::npos;
    EXPECT_EQ(d.paused_ms(), level_key ? 380 : 0) << c.keys;
  }
}

TEST(StartUp, ViewOriginStartsOnTheSelectedUnitClampedInward) {
  ScriptedGame sg("");
  const UnitRecord& u = unit(sg.g().units, 1);
  EXPECT_EQ(sg.run_state().SX, std::clamp<int>(u.x, 1, 1023 - 40));
  EXPECT_EQ(sg.run_state().SY, std::clamp<int>(u.y, 1, 1023 - 30));
  EXPECT_EQ(sg.run_state().SZ, u.level);
  EXPECT_EQ(sg.run_state().selected_unit, 1);
  EXPECT_EQ(sg.run_state().zoom, 2);
  EXPECT_EQ(sg.g().fb.width, 640);
  EXPECT_FLOAT_EQ(u.fx, 0.5f);
}

TEST(StartUp, WindowFailureIsReportedAndEndsTheRun) {
  NullDisplay display;
  display.fail_create = true;
  ScriptInput input({});
  auto g = std::make_unique<Game>();
  g->platform = Platform{&input, &display};
  StartOptions opt;
  opt.data_dir = "/nonexistent-kelvarot-data";
  opt.report_missing = false;
  EXPECT_FALSE(start_game(*g, opt));
  EXPECT_EQ(display.last_message, "Window Creation Error.");
  EXPECT_TRUE(g->window_failed);
  shutdown_game(*g);
  EXPECT_EQ(g->world.grid, nullptr);
  EXPECT_EQ(g->units.records, nullptr);
}

}  // namespace
