#include "core/png_write.h"

#include <gtest/gtest.h>
#include <png.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "e2e/harness.h"

namespace {

namespace fs = std::filesystem;

// Every byte differs from its neighbours, so a swapped row, column or channel shows.
std::vector<uint8_t> pattern(int32_t w, int32_t h, int32_t channels) {
  std::vector<uint8_t> px(size_t(w) * size_t(h) * size_t(channels));
  for (size_t i = 0; i < px.size(); ++i) px[i] = uint8_t(i * 37 + 11);
  return px;
}

struct Decoded {
  bool ok = false;
  uint32_t width = 0, height = 0, format = 0;  // as stored in the file
  std::vector<uint8_t> px;                     // in the stored format, top row first
};

Decoded decode(const std::string& path) {
  Decoded d;
  png_image im{};
  im.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&im, path.c_str())) return d;
  d.width = im.width;
  d.height = im.height;
  d.format = im.format;
  d.px.resize(PNG_IMAGE_SIZE(im));
  d.ok = png_image_finish_read(&im, nullptr, d.px.data(), 0, nullptr) != 0;
  png_image_free(&im);
  return d;
}

std::set<std::string> chunk_types(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const std::string b{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::set<std::string> types;
  for (size_t at = 8; at + 12 <= b.size();) {
    const uint32_t n = uint32_t(uint8_t(b[at])) << 24 | uint32_t(uint8_t(b[at + 1])) << 16 |
                       uint32_t(uint8_t(b[at + 2])) << 8 | uint32_t(uint8_t(b[at + 3]));
    types.insert(b.substr(at + 4, 4));
    at += 12 + size_t(n);
  }
  return types;
}

TEST(PngWrite, PicturesDecodeToTheSamePixelsTopRowFirst) {
  ScratchDir dir;
  for (const int32_t channels : {3, 4}) {
    SCOPED_TRACE(channels);
    const int32_t w = 7, h = 5;
    const std::vector<uint8_t> px = pattern(w, h, channels);
    const std::string path = dir / (channels == 4 ? "rgba.png" : "rgb.png");
    std::string error;
    ASSERT_TRUE(write_png(path, w, h, channels, px.data(), &error)) << error;
    const Decoded d = decode(path);
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.width, uint32_t(w));
    EXPECT_EQ(d.height, uint32_t(h));
    EXPECT_EQ(d.format, channels == 4 ? uint32_t(PNG_FORMAT_RGBA) : uint32_t(PNG_FORMAT_RGB));
    EXPECT_EQ(d.px, px);
    // no colour-space chunk: screenshots keep the bytes they always had
    EXPECT_EQ(chunk_types(path), (std::set<std::string>{"IHDR", "IDAT", "IEND"}));
  }
}

TEST(PngWrite, FailuresAreReportedAndLeaveNoFile) {
  ScratchDir dir;
  const std::vector<uint8_t> px = pattern(4, 4, 3);
  write_file(dir / "plain", "x");
  for (const std::string& path : {dir / "missing/p.png", dir / "plain/p.png",
                                 std::string("/proc/kelvarot-p.png")}) {
    SCOPED_TRACE(path);
    std::string error;
    EXPECT_FALSE(write_png(path, 4, 4, 3, px.data(), &error));
    EXPECT_NE(error, "");
    EXPECT_FALSE(fs::exists(path));
  }
  // nothing to encode: refused before any file is made
  for (const auto& [w, h, channels] : {std::tuple(0, 4, 3), std::tuple(4, -1, 3),
                                       std::tuple(4, 4, 2)}) {
    EXPECT_FALSE(write_png(dir / "bad.png", w, h, channels, px.data()));
    EXPECT_FALSE(fs::exists(dir / "bad.png"));
  }
  // the file opens but the bytes cannot be stored: no success reported
  struct stat st {};
  if (stat("/dev/full", &st) == 0 && S_ISCHR(st.st_mode)) {
    std::string error;
    EXPECT_FALSE(write_png("/dev/full", 4, 4, 3, px.data(), &error));
    EXPECT_NE(error, "");
    EXPECT_EQ(stat("/dev/full", &st), 0);  // a device named as output stays
  }
}

}  // namespace
