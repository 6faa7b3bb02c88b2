#pragma once
// Which picture the overworld shows for each tile code, by the picture's file.
#include <cstddef>
#include <cstdint>

struct TilePicture {
  uint8_t code;
  const char* folder;
  const char* file;
};
// Every code the overworld view draws; code 18 is listed with its level-1 picture.
extern const TilePicture kTilePictures[];
extern const size_t kTilePictureCount;

// The picture file shown for a code on a level; nullptr when nothing is drawn.
const TilePicture* tile_picture(uint8_t code, int32_t level);
