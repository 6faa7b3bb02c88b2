#pragma once
#include <string>

struct Framebuffer;

// RGB PNG of the Framebuffer, top row first. False when it cannot be written.
bool write_png(const std::string& path, const Framebuffer& fb);
// The same, replacing the file only once the new one is whole; the old one stays otherwise.
// False with a short reason in *why.
bool replace_png(const std::string& path, const Framebuffer& fb, std::string* why);
