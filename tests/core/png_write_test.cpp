#include "core/png_write.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "e2e/harness.h"
#include "tools/picture.h"

namespace {

namespace fs = std::filesystem;

// Every byte differs from its neighbours, so a swapped row, column or channel shows.
std::vector<uint8_t> pattern(int32_t w, int32_t h, int32_t channels) {
  std::vector<uint8_t> px(size_t(w) * size_t(h) * size_t(channels));
  for (size_t i = 0; i < px.size(); ++i) px[i] = uint8_t(i * 37 + 11);
  return px;
}

std::set<std::string> chunk_types(const std::string& path) {
  const std::string b = read_file(path);
  std::set<std::string> types;
  for (size_t at = 8; at + 12 <= b.size();) {  // length, type, data, CRC
    size_t length = 0;
    for (size_t i = 0; i < 4; ++i) length = length << 8 | uint8_t(b[at + i]);
    types.insert(b.substr(at + 4, 4));
    at += 12 + length;
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
    const uint32_t format = channels == 4 ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
    EXPECT_TRUE(read_png(path) == (Picture{uint32_t(w), uint32_t(h), format, px}));
    // no colour-space chunk: screenshots keep the bytes they always had
    EXPECT_EQ(chunk_types(path), (std::set<std::string>{"IHDR", "IDAT", "IEND"}));
  }
}

TEST(PngWrite, FailuresAreReportedAndLeaveNoFile) {
  ScratchDir dir;
  const std::vector<uint8_t> px = pattern(4, 4, 3);
  write_file(dir / "plain", "x");
  for (const std::string& path :
       {dir / "missing/p.png", dir / "plain/p.png", std::string("/proc/kelvarot-p.png")}) {
    std::string error;
    EXPECT_TRUE(!write_png(path, 4, 4, 3, px.data(), &error) && error != "" && !fs::exists(path))
        << path;
  }
  // nothing to encode: refused before any file is made
  for (const auto& [w, h, channels] :
       {std::tuple(0, 4, 3), std::tuple(4, -1, 3), std::tuple(4, 4, 2)})
    EXPECT_FALSE(write_png(dir / "bad.png", w, h, channels, px.data()) ||
                 fs::exists(dir / "bad.png"));
  // the file opens but the bytes cannot be stored: no success reported
  struct stat st {};
  if (stat("/dev/full", &st) == 0 && S_ISCHR(st.st_mode)) {
    std::string error;  // and a device named as output stays
    EXPECT_TRUE(!write_png("/dev/full", 4, 4, 3, px.data(), &error) && error != "" &&
                stat("/dev/full", &st) == 0);
  }
}

}  // namespace
