#pragma once
#include <string>

struct Framebuffer;

// RGB PNG of the Framebuffer, top row first. False when it cannot be written.
bool write_png(const std::string& path, const Framebuffer& fb);
