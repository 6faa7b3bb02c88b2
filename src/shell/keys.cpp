#include "shell/keys.h"

#include <SDL2/SDL_scancode.h>

#include "core/keys.h"
#include "core/numbers.h"

namespace {

constexpr KeyRow kKeys[] = {
    {kVkLButton, "left", true, 0, 0, 0},
    {kVkRButton, "right", true, 0, 0, 0},
    {kVkMButton, "middle", true, 0, 0, 0},
    {kVkBack, "BACKSPACE", false, SDL_SCANCODE_BACKSPACE, 0, 0},
    {kVkTab, "TAB", false, SDL_SCANCODE_TAB, 0, 0},
    {kVkReturn, "ENTER", false, SDL_SCANCODE_RETURN, SDL_SCANCODE_KP_ENTER, 0},
    {kVkShift, "SHIFT", false, SDL_SCANCODE_LSHIFT, SDL_SCANCODE_RSHIFT, 0},
    {kVkMenu, "ALT", false, SDL_SCANCODE_LALT, SDL_SCANCODE_RALT, 0},
    {kVkEscape, "ESCAPE", false, SDL_SCANCODE_ESCAPE, 0, 0},
    {kVkSpace, "SPACE", false, SDL_SCANCODE_SPACE, 0, 0},
    {kVkLeft, "LEFT", false, SDL_SCANCODE_LEFT, 0, SDL_SCANCODE_KP_4},
    {kVkUp, "UP", false, SDL_SCANCODE_UP, 0, SDL_SCANCODE_KP_8},
    {kVkRight, "RIGHT", false, SDL_SCANCODE_RIGHT, 0, SDL_SCANCODE_KP_6},
    {kVkDown, "DOWN", false, SDL_SCANCODE_DOWN, 0, SDL_SCANCODE_KP_2},
    {vk_digit(0), "0", false, SDL_SCANCODE_0, 0, 0},
    {vk_digit(1), "1", false, SDL_SCANCODE_1, 0, 0},
    {vk_digit(2), "2", false, SDL_SCANCODE_2, 0, 0},
    {vk_digit(3), "3", false, SDL_SCANCODE_3, 0, 0},
    {vk_digit(4), "4", false, SDL_SCANCODE_4, 0, 0},
    {vk_digit(5), "5", false, SDL_SCANCODE_5, 0, 0},
    {vk_digit(6), "6", false, SDL_SCANCODE_6, 0, 0},
    {vk_digit(7), "7", false, SDL_SCANCODE_7, 0, 0},
    {vk_digit(8), "8", false, SDL_SCANCODE_8, 0, 0},
    {vk_digit(9), "9", false, SDL_SCANCODE_9, 0, 0},
    {vk_letter('A'), "A", false, SDL_SCANCODE_A, 0, 0},
    {vk_letter('B'), "B", false, SDL_SCANCODE_B, 0, 0},
    {vk_letter('C'), "C", false, SDL_SCANCODE_C, 0, 0},
    {vk_letter('D'), "D", false, SDL_SCANCODE_D, 0, 0},
    {vk_letter('E'), "E", false, SDL_SCANCODE_E, 0, 0},
    {vk_letter('F'), "F", false, SDL_SCANCODE_F, 0, 0},
    {vk_letter('G'), "G", false, SDL_SCANCODE_G, 0, 0},
    {vk_letter('H'), "H", false, SDL_SCANCODE_H, 0, 0},
    {vk_letter('I'), "I", false, SDL_SCANCODE_I, 0, 0},
    {vk_letter('J'), "J", false, SDL_SCANCODE_J, 0, 0},
    {vk_letter('K'), "K", false, SDL_SCANCODE_K, 0, 0},
    {vk_letter('L'), "L", false, SDL_SCANCODE_L, 0, 0},
    {vk_letter('M'), "M", false, SDL_SCANCODE_M, 0, 0},
    {vk_letter('N'), "N", false, SDL_SCANCODE_N, 0, 0},
    {vk_letter('O'), "O", false, SDL_SCANCODE_O, 0, 0},
    {vk_letter('P'), "P", false, SDL_SCANCODE_P, 0, 0},
    {vk_letter('Q'), "Q", false, SDL_SCANCODE_Q, 0, 0},
    {vk_letter('R'), "R", false, SDL_SCANCODE_R, 0, 0},
    {vk_letter('S'), "S", false, SDL_SCANCODE_S, 0, 0},
    {vk_letter('T'), "T", false, SDL_SCANCODE_T, 0, 0},
    {vk_letter('U'), "U", false, SDL_SCANCODE_U, 0, 0},
    {vk_letter('V'), "V", false, SDL_SCANCODE_V, 0, 0},
    {vk_letter('W'), "W", false, SDL_SCANCODE_W, 0, 0},
    {vk_letter('X'), "X", false, SDL_SCANCODE_X, 0, 0},
    {vk_letter('Y'), "Y", false, SDL_SCANCODE_Y, 0, 0},
    {vk_letter('Z'), "Z", false, SDL_SCANCODE_Z, 0, 0},
    {kVkAdd, "ADD", false, SDL_SCANCODE_KP_PLUS, 0, 0},             // keypad plus
    {kVkSubtract, "SUBTRACT", false, SDL_SCANCODE_KP_MINUS, 0, 0},  // keypad minus
    {vk_f(1), "F1", false, SDL_SCANCODE_F1, 0, 0},
    {vk_f(2), "F2", false, SDL_SCANCODE_F2, 0, 0},
    {vk_f(3), "F3", false, SDL_SCANCODE_F3, 0, 0},
    {vk_f(4), "F4", false, SDL_SCANCODE_F4, 0, 0},
    {vk_f(5), "F5", false, SDL_SCANCODE_F5, 0, 0},
    {vk_f(6), "F6", false, SDL_SCANCODE_F6, 0, 0},
    {vk_f(7), "F7", false, SDL_SCANCODE_F7, 0, 0},
    {vk_f(8), "F8", false, SDL_SCANCODE_F8, 0, 0},
    {vk_f(9), "F9", false, SDL_SCANCODE_F9, 0, 0},
    {vk_f(10), "F10", false, SDL_SCANCODE_F10, 0, 0},
    {vk_f(11), "F11", false, SDL_SCANCODE_F11, 0, 0},
    {vk_f(12), "F12", false, SDL_SCANCODE_F12, 0, 0},
    {kVkLBracket, "LBRACKET", false, SDL_SCANCODE_LEFTBRACKET, 0, 0},
    {kVkRBracket, "RBRACKET", false, SDL_SCANCODE_RIGHTBRACKET, 0, 0},
};

}  // namespace

bool key_held(const KeyRow& row, const uint8_t* scancodes, bool numlock_on) {
  if (row.button) return false;
  if (scancodes[row.scancode]) return true;
  if (row.alt_scancode != 0 && scancodes[row.alt_scancode]) return true;
  // with NumLock on the same keys type digits, which the game does not poll
  return row.keypad_scancode != 0 && !numlock_on && scancodes[row.keypad_scancode];
}

const KeyRow* key_row(int32_t vk) {
  for (const KeyRow& row : kKeys)
    if (row.vk == vk) return &row;
  return nullptr;
}

int32_t script_key_number(const std::string& name) {
  for (const KeyRow& row : kKeys)
    if (!row.button && name == row.name) return row.vk;
  int64_t vk = -1;
  return parse_whole(name, 0, 255, &vk) ? int32_t(vk) : -1;
}

int32_t script_button_number(const std::string& name) {
  for (const KeyRow& row : kKeys)
    if (row.button && name == row.name) return row.vk;
  return -1;
}

std::string script_key_words(int32_t vk) {
  const KeyRow* row = key_row(vk);
  if (!row) return "key " + std::to_string(vk);
  return std::string(row->button ? "button " : "key ") + row->name;
}
