#pragma once
// The overworld map file: a raw image of levels 0..2 of the grid.
#include <cstdint>
#include <string>

struct World;

constexpr int32_t kMapNumber = 8;

// "map/<n>.overworld" under the data folder.
std::string map_file_path(const std::string& data_dir, int32_t map_number);
// Reads up to side * side * levels bytes into the grid from its first byte.
// Returns the bytes read, or -1 when the file could not be opened (nothing
// is created). The caller pauses 1000 ms after a successful open. Only a
// regular file is read; when something else is under the name, or the file
// cannot be read, *why says what (it stays empty for a file that is not there).
int64_t load_overworld_map(World& w, const std::string& path, uint32_t levels,
                           std::string* why = nullptr);
