#pragma once
// The one PNG writer of the game and its tools.
#include <cstdint>
#include <string>
#include <vector>

// Writes an 8-bit PNG of width x height pixels, each `channels` bytes (3: RGB, 4: RGBA),
// packed rows, top row first. On failure returns false, leaves no file behind and, when
// error is given, says why.
bool write_png(const std::string& path, int32_t width, int32_t height, int32_t channels,
               const uint8_t* pixels, std::string* error = nullptr);
// The same PNG as bytes in memory.
bool encode_png(int32_t width, int32_t height, int32_t channels, const uint8_t* pixels,
                std::vector<uint8_t>* png, std::string* error = nullptr);
