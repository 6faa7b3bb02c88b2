#pragma once
// The key table: for every key and button the game polls, its virtual-key
// number, its word in input scripts and the key that stands for it.
#include <cstdint>
#include <string>

struct KeyRow {
  int32_t vk;               // Windows virtual-key number (core/keys.h names the ones logic polls)
  const char* name;         // the input scripts' word: "TAB", "F5", "left" for a button
  bool button;              // a mouse button: scripts say "button left", not "key"
  int32_t scancode;         // SDL_Scancode of the key; 0 for buttons
  int32_t alt_scancode;     // a second key that counts as the same one; 0 when none
  int32_t keypad_scancode;  // a keypad key standing for it while NumLock is off; 0 when none
};

// Whether the row's key is held, given SDL's keyboard state (indexed by
// scancode) and NumLock. Buttons are not keys here.
bool key_held(const KeyRow& row, const uint8_t* scancodes, bool numlock_on);
// nullptr when the game never polls that number.
const KeyRow* key_row(int32_t vk);
// A key's script word or a decimal number 0-255; -1 for anything else. Buttons
// have words of their own ("button left") and are not keys here.
int32_t script_key_number(const std::string& name);
// A button's script word ("left", "right", "middle") to its number; -1 for anything else.
int32_t script_button_number(const std::string& name);
// The script words for a number: "key TAB", "button left", or "key 200" for
// a number without a word.
std::string script_key_words(int32_t vk);
