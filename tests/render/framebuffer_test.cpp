#include <gtest/gtest.h>

#include "render/framebuffer.h"

namespace {

TEST(Framebuffer, PutPixelClipsToThePicture) {
  Framebuffer fb;
  set_resolution(fb, 640, 480);
  ASSERT_EQ(fb.pixels.size(), 640u * 480u * 4u);
  put_pixel(fb, 640, 5, 1, 2, 3);
  put_pixel(fb, 5, 480, 1, 2, 3);
  put_pixel(fb, -1, 5, 1, 2, 3);
  put_pixel(fb, 5, -1, 1, 2, 3);
  for (uint8_t b : fb.pixels) ASSERT_EQ(b, 0);
  put_pixel(fb, 0, 0, 10, 20, 30);
  put_pixel(fb, 639, 479, 40, 50, 60);
  EXPECT_EQ(fb.pixels[0], 10);
  EXPECT_EQ(fb.pixels[1], 20);
  EXPECT_EQ(fb.pixels[2], 30);
  EXPECT_EQ(fb.pixels[3], 255);
  const size_t last = fb.pixels.size() - 4;
  EXPECT_EQ(fb.pixels[last], 40);
  EXPECT_EQ(fb.pixels[last + 3], 255);
  EXPECT_EQ(pixel_at(fb, 639, 479), (Rgba{40, 50, 60, 255}));
}

TEST(Framebuffer, ResolutionChangesResizeBothBuffersAndClip) {
  Framebuffer fb;
  set_resolution(fb, 640, 480);
  put_pixel(fb, 400, 100, 9, 9, 9);
  EXPECT_EQ(pixel_at(fb, 400, 100).r, 9);
  put_secondary_pixel(fb, 3, 3, 7, 7, 7);
  set_resolution(fb, 320, 240);
  EXPECT_EQ(fb.pixels.size(), 320u * 240u * 4u);
  EXPECT_EQ(fb.secondary.size(), 320u * 240u * 4u);
  for (uint8_t b : fb.secondary) ASSERT_EQ(b, 0);  // starts black after the change
  put_pixel(fb, 400, 100, 9, 9, 9);
  for (uint8_t b : fb.pixels) ASSERT_EQ(b, 0);
  put_secondary_pixel(fb, 319, 239, 1, 1, 1);
  put_secondary_pixel(fb, 320, 0, 1, 1, 1);
  EXPECT_EQ(fb.secondary[(239 * 320 + 319) * 4 + 3], 255);
}

TEST(Framebuffer, ClearBlacksOutEveryByteButLeavesTheSecondary) {
  Framebuffer fb;
  set_resolution(fb, 320, 240);
  put_pixel(fb, 10, 10, 255, 255, 255);
  put_secondary_pixel(fb, 10, 10, 255, 255, 255);
  clear_pixels(fb);
  for (uint8_t b : fb.pixels) ASSERT_EQ(b, 0);
  EXPECT_EQ(fb.secondary[(10 * 320 + 10) * 4], 255);
}

}  // namespace
