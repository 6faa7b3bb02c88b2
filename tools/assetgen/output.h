#pragma once
// Writing the data set, and the pictures made only for looking at it.
#include <cstdint>
#include <string>

#include "assetgen/image.h"
#include "assetgen/worldgen.h"

// Every catalogue file once, as <dir>/<folder>/<file>.bmp. False with a message
// naming the first file that has no recipe or could not be written.
bool write_pictures(const std::string& dir, std::string& error);
bool write_map(const std::string& dir, const WorldMap& map, std::string& error);

// All catalogue pictures in loading order, magnified; left-out pixels as a checker.
Image contact_sheet();
// One level, two cells per pixel, each coloured like its tile picture.
Image map_picture(const WorldMap& map, int32_t level);
// The overworld as the game shows it: 40 x 30 cells from (x, y) on a level.
Image view_picture(const WorldMap& map, int32_t x, int32_t y, int32_t level);

// The --stats report.
std::string stats_report(const WorldMap& map);
