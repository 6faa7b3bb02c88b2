#pragma once
#include <string>
#include <vector>

#include "shell/options.h"

struct Game;

// The state dump as a JSON object.
std::string state_json(const Game& g, const std::vector<Probe>& probes);
bool write_text_file(const std::string& path, const std::string& text);
