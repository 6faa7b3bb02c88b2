#pragma once
#include <string>
#include <vector>

#include "shell/options.h"

struct Game;

// The state dump as a JSON object; timedemo, when not empty, is a JSON object of its figures.
std::string state_json(const Game& g, const std::vector<Probe>& probes,
                       const std::string& timedemo = "");
// Replaces the file only once the new text is whole; false with a short reason in *why.
bool write_text_file(const std::string& path, const std::string& text, std::string* why);
