#pragma once
#include <string>
#include <vector>

#include "shell/options.h"

struct Game;

// The state dump as a JSON object.
std::string state_json(const Game& g, const std::vector<Probe>& probes);
// Replaces the file only once the new text is whole; false with a short reason in *why.
bool write_text_file(const std::string& path, const std::string& text, std::string* why);
