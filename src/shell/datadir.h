#pragma once
// Where the game finds its pictures and map when no --data folder is given.
#include <string>
#include <vector>

// The folders looked in, in order, for a program in exe_dir: exe_dir itself
// (a build folder), the data folder of the install layout the build was
// configured for (data_from_bin, relative to the program's folder), then the
// two usual layouts (bin/ + share/kelvarot, games/ + share/games/kelvarot).
// Each appears once.
std::vector<std::string> data_dir_candidates(const std::string& exe_dir,
                                             const std::string& data_from_bin);
// The first candidate holding bmp_land/ or map/; when none does, the first
// candidate, and *looked_in lists them all, quoted and comma-separated.
std::string find_data_dir(const std::vector<std::string>& candidates, std::string* looked_in);
// The program's own folder and the configured layout.
std::string default_data_dir(std::string* looked_in);
