#pragma once
// The key numbers the game polls: Windows virtual-key numbers, which the
// input scripts and recordings use too. Which physical key and which script
// name stands for each is the key table in shell/keys.cpp.
#include <cstdint>

// Windows virtual-key numbers the game reads.
enum VirtualKey : int32_t {
  kVkLButton = 1,
  kVkRButton = 2,
  kVkMButton = 4,
  kVkBack = 8,
  kVkTab = 9,
  kVkReturn = 13,
  kVkShift = 16,
  kVkMenu = 18,  // Alt
  kVkEscape = 27,
  kVkSpace = 32,
  kVkLeft = 37,
  kVkUp = 38,
  kVkRight = 39,
  kVkDown = 40,
  kVk0 = 48,
  kVkA = 65,
  kVkAdd = 107,
  kVkSubtract = 109,
  kVkF1 = 112,
  kVkF12 = 123,
  kVkLBracket = 219,
  kVkRBracket = 221,
};
inline constexpr int32_t vk_letter(char c) { return int32_t(c - 'A') + kVkA; }
inline constexpr int32_t vk_digit(int d) { return kVk0 + d; }
inline constexpr int32_t vk_f(int n) { return kVkF1 + n - 1; }
