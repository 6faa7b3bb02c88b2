#include <gtest/gtest.h>

#include "shell/script.h"

namespace {

std::string parse_error(const std::string& text) {
  std::vector<ScriptEvent> ev;
  std::string err;
  EXPECT_FALSE(parse_script(text, &ev, &err)) << text;
  return err;
}

// Key states seen by each pass 0..n-1 for one key.
std::string key_timeline(const std::string& text, int32_t vk, int passes) {
  std::vector<ScriptEvent> ev;
  std::string err;
  EXPECT_TRUE(parse_script(text, &ev, &err)) << err;
  ScriptInput in(std::move(ev));
  std::string out;
  for (int f = 0; f < passes; ++f) {
    in.begin_pass(f);
    out += in.key_down(vk) ? '1' : '0';
  }
  return out;
}

TEST(ScriptParser, KeyNamesAndNumbers) {
  EXPECT_EQ(script_key_number("A"), 65);
  EXPECT_EQ(script_key_number("Z"), 90);
  EXPECT_EQ(script_key_number("0"), 48);
  EXPECT_EQ(script_key_number("9"), 57);
  EXPECT_EQ(script_key_number("TAB"), 9);
  EXPECT_EQ(script_key_number("ENTER"), 13);
  EXPECT_EQ(script_key_number("ESCAPE"), 27);
  EXPECT_EQ(script_key_number("BACKSPACE"), 8);
  EXPECT_EQ(script_key_number("ADD"), 107);
  EXPECT_EQ(script_key_number("SUBTRACT"), 109);
  EXPECT_EQ(script_key_number("F1"), 112);
  EXPECT_EQ(script_key_number("F12"), 123);
  EXPECT_EQ(script_key_number("LBRACKET"), 219);
  EXPECT_EQ(script_key_number("RBRACKET"), 221);
  EXPECT_EQ(script_key_number("219"), 219);
  EXPECT_EQ(script_key_number("F13"), -1);
  EXPECT_EQ(script_key_number("256"), -1);
  EXPECT_EQ(script_key_number("a"), -1);
  EXPECT_EQ(script_key_number("CTRL"), -1);
}

TEST(ScriptParser, ErrorsNameTheLineAndTheProblem) {
  EXPECT_EQ(parse_error("0 tap A\nx tap A\n"), "line 2: 'x' is not a pass number");
  EXPECT_NE(parse_error("0 tap FOO").find("unknown key 'FOO'"), std::string::npos);
  EXPECT_NE(parse_error("0 key A sideways").find("line 1"), std::string::npos);
  EXPECT_NE(parse_error("0 button up down").find("unknown button"), std::string::npos);
  EXPECT_NE(parse_error("0 pointer 1").find("pointer"), std::string::npos);
  EXPECT_NE(parse_error("0 pointer a b").find("pointer"), std::string::npos);
  EXPECT_NE(parse_error("0 jump").find("unknown event 'jump'"), std::string::npos);
  EXPECT_NE(parse_error("-1 tap A").find("pass number"), std::string::npos);
  EXPECT_NE(parse_error("0 type a-b").find("cannot type '-'"), std::string::npos);
  EXPECT_NE(parse_error("5").find("missing event"), std::string::npos);
}

TEST(ScriptParser, CommentsAndBlankLinesAreIgnored) {
  std::vector<ScriptEvent> ev;
  std::string err;
  EXPECT_TRUE(parse_script("# a comment\n\n   \n2 tap A # trailing\r\n", &ev, &err)) << err;
  EXPECT_EQ(ev.size(), 2u);
}

TEST(ScriptInputReplay, HeldKeysStayUntilReleasedAndTapsLastOnePass) {
  EXPECT_EQ(key_timeline("1 key A down\n4 key A up\n", 65, 6), "011100");
  EXPECT_EQ(key_timeline("2 tap A\n", 65, 5), "00100");
  // a tap followed at once by a hold: the hold wins in the next pass
  EXPECT_EQ(key_timeline("0 tap A\n1 key A down\n", 65, 3), "111");
  EXPECT_EQ(key_timeline("3 click left\n", 1, 5), "00010");
  EXPECT_EQ(key_timeline("0 button right down\n2 button right up\n", 2, 4), "1100");
}

TEST(ScriptInputReplay, TypedTextTapsOneCharacterEveryTwoPasses) {
  const std::string s = "10 type aB 1\n";
  EXPECT_EQ(key_timeline(s, 65, 20), "00000000001000000000");
  EXPECT_EQ(key_timeline(s, 66, 16), "0000000000001000");
  EXPECT_EQ(key_timeline(s, 16, 16), "0000000000001000");  // shift only with the capital
  EXPECT_EQ(key_timeline(s, 32, 16), "0000000000000010");
  EXPECT_EQ(key_timeline(s, 49, 18), "000000000000000010");
}

TEST(ScriptInputReplay, PointerIsClampedToThePicture) {
  std::vector<ScriptEvent> ev;
  std::string err;
  ASSERT_TRUE(parse_script("0 pointer 700 -5\n1 pointer 100 200\n", &ev, &err));
  ScriptInput in(std::move(ev));
  int32_t x = 0, y = 0;
  in.begin_pass(0);
  in.pointer(640, 480, &x, &y);
  EXPECT_EQ(x, 639);
  EXPECT_EQ(y, 0);
  in.begin_pass(1);
  in.pointer(320, 240, &x, &y);
  EXPECT_EQ(x, 100);
  EXPECT_EQ(y, 200);
  in.pointer(320, 150, &x, &y);
  EXPECT_EQ(y, 149);
}

}  // namespace
