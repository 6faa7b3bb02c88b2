#pragma once
// An offscreen GL context for tests that draw with GL: Mesa's surfaceless
// EGL platform with a pbuffer, so no window system and no SDL are needed.
#include <cstdint>
#include <string>

// Makes a compatibility-profile context with a 16-bit depth buffer current,
// drawing into a w x h pbuffer. On failure returns false with the reason.
bool open_offscreen_gl(int32_t w, int32_t h, std::string* error);
// Releases the context and its pbuffer (GL objects go with the context).
void close_offscreen_gl();
