#include "core/png_write.h"

#include <png.h>

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

namespace {

bool fail(std::string* error, const std::string& why) {
  if (error) *error = why;
  return false;
}

uint32_t be32(const uint8_t* p) {
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

// libpng's simplified writer always adds an sRGB chunk. Viewers take 8-bit RGB as sRGB
// anyway, and screenshots are compared byte for byte between builds, so it is left out.
void drop_srgb_chunk(std::vector<uint8_t>& png) {
  size_t at = 8;  // past the signature
  while (at + 12 <= png.size()) {
    const size_t chunk = 12 + size_t(be32(&png[at]));  // length, type, data, CRC
    if (chunk > png.size() - at) return;
    if (std::memcmp(&png[at + 4], "sRGB", 4) == 0) {
      png.erase(png.begin() + std::ptrdiff_t(at), png.begin() + std::ptrdiff_t(at + chunk));
      return;
    }
    at += chunk;
  }
}

}  // namespace

bool encode_png(int32_t width, int32_t height, int32_t channels, const uint8_t* pixels,
                std::vector<uint8_t>* png, std::string* error) {
  if (width <= 0 || height <= 0 || (channels != 3 && channels != 4) || !pixels)
    return fail(error, "no picture to write");
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = png_uint_32(width);
  image.height = png_uint_32(height);
  image.format = channels == 4 ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
  png->assign(PNG_IMAGE_PNG_SIZE_MAX(image), 0);
  png_alloc_size_t size = png->size();
  const int ok = png_image_write_to_memory(&image, png->data(), &size, 0, pixels, 0, nullptr);
  const std::string message = image.message;
  png_image_free(&image);
  if (!ok) return fail(error, "cannot encode the picture: " + message);
  png->resize(size);
  drop_srgb_chunk(*png);
  return true;
}

bool write_png(const std::string& path, int32_t width, int32_t height, int32_t channels,
               const uint8_t* pixels, std::string* error) {
  // Encoded into memory first, so that nothing reaches the file unless encoding worked.
  std::vector<uint8_t> png;
  if (!encode_png(width, height, channels, pixels, &png, error)) return false;

  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return fail(error, std::strerror(errno));
  const bool written = std::fwrite(png.data(), 1, png.size(), f) == png.size();
  const int write_errno = errno;
  const bool closed = std::fclose(f) == 0;
  if (written && closed) return true;
  const std::string why = std::strerror(written ? errno : write_errno);
  // A cut-short file is removed; a device or pipe named as the output is not ours to remove.
  std::error_code ec;
  if (std::filesystem::is_regular_file(path, ec)) std::filesystem::remove(path, ec);
  return fail(error, why);
}
