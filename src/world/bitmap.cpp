#include "world/bitmap.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>

#include "core/files.h"

namespace {

constexpr size_t kFileHeaderBytes = 14;  // "BM", file size, reserved, pixel offset
constexpr uint32_t kInfoHeaderMin = 40;  // BITMAPINFOHEADER; V4/V5 are longer
constexpr size_t kHeaderBytes = kFileHeaderBytes + kInfoHeaderMin;  // 54
constexpr int64_t kMaxSide = 4096;                                  // pixels
constexpr uint32_t kCompressionNone = 0;                            // BI_RGB
// The largest picture we accept is 4096 x 4096 x 3 bytes (48 MiB); a file is
// read no further than this, so pixels placed beyond it count as missing.
constexpr size_t kMaxFileBytes = size_t(64) << 20;

uint16_t le16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
uint32_t le32(const uint8_t* p) {
  return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

struct BmpLayout {
  uint32_t width = 0;   // pixels
  uint32_t height = 0;  // pixels
  bool top_down = false;
  uint64_t offset = 0;  // bytes from the file start to the first stored row
  uint64_t stride = 0;  // bytes per stored row, padded to 4
};

bool parse_header(const uint8_t* d, size_t n, BmpLayout* out) {
  if (d == nullptr || n < kHeaderBytes) return false;
  if (d[0] != 'B' || d[1] != 'M') return false;
  const uint32_t info_size = le32(d + 14);
  if (info_size < kInfoHeaderMin) return false;  // OS/2 core headers lay fields out differently
  if (le16(d + 28) != 24) return false;
  if (le32(d + 30) != kCompressionNone) return false;
  const int64_t w = int32_t(le32(d + 18));
  const int64_t h = int32_t(le32(d + 22));  // negative: rows stored top row first
  const int64_t abs_h = h < 0 ? -h : h;
  if (w < 1 || w > kMaxSide || abs_h < 1 || abs_h > kMaxSide) return false;
  const uint64_t offset = le32(d + 10);
  if (offset < kFileHeaderBytes + uint64_t(info_size)) return false;  // pixels inside the header
  out->width = uint32_t(w);
  out->height = uint32_t(abs_h);
  out->top_down = h < 0;
  out->offset = offset;
  out->stride = (uint64_t(w) * 3 + 3) & ~uint64_t(3);
  return true;
}

// The whole file, up to kMaxFileBytes; n = 0 when it cannot be read, and
// *no_memory when there was no room to hold it.
std::unique_ptr<uint8_t[]> read_whole_file(const char* path, size_t* n, std::string* why,
                                           bool* no_memory) {
  *n = 0;
  const int fd = open_regular_file(path, why);
  if (fd < 0) return nullptr;
  struct stat st {};
  std::unique_ptr<uint8_t[]> buf;
  if (::fstat(fd, &st) == 0 && st.st_size > 0) {
    const size_t want = uint64_t(st.st_size) < kMaxFileBytes ? size_t(st.st_size) : kMaxFileBytes;
    buf.reset(new (std::nothrow) uint8_t[want]);
    *no_memory = buf == nullptr;
    size_t got = 0;
    while (buf && got < want) {
      const ssize_t r = ::read(fd, buf.get() + got, want - got);
      if (r < 0 && errno == EINTR) continue;
      if (r < 0 && why) *why = std::strerror(errno);  // EIO, say
      if (r <= 0) break;
      got += size_t(r);
    }
    *n = got;
  }
  ::close(fd);
  return buf;
}

}  // namespace

void create_bitmap_store(BitmapStore& s) { s.slots = std::make_unique<Bitmap[]>(kBitmapSlots); }

void release_bitmap_store(BitmapStore& s) {
  if (s.slots)
    for (int32_t i = 0; i < kBitmapSlots; ++i) s.slots[i].pixels.reset();
  s.slots.reset();
  s.pixel_bytes = 0;
  s.over_budget = 0;
}

bool load_bitmap_from_memory(BitmapStore& s, int32_t slot, const uint8_t* data, size_t size) {
  if (!s.slots || slot < 0 || slot >= kBitmapSlots) return false;
  BmpLayout bmp;
  if (!parse_header(data, size, &bmp)) return false;

  // Past the budget the picture is refused whole; its slot stays as it was.
  const uint64_t row_bytes = uint64_t(bmp.width) * 3, pixel_bytes = row_bytes * bmp.height;
  Bitmap& b = s.slots[slot];
  const uint64_t held = b.pixels ? uint64_t(b.width) * b.height * 3 : 0;
  if (s.pixel_bytes - held + pixel_bytes > kPixelBudgetBytes) {
    ++s.over_budget;
    return false;
  }
  s.pixel_bytes -= held;
  b.pixels.reset();
  b.width = bmp.width;
  b.height = bmp.height;
  b.bytes_per_pixel = 3;

  // The last row may come without its padding; every pixel must be there.
  const uint64_t needed = bmp.stride * (bmp.height - 1) + row_bytes;
  if (bmp.offset > size || size - bmp.offset < needed) return false;

  std::unique_ptr<uint8_t[]> px(new (std::nothrow) uint8_t[size_t(pixel_bytes)]);
  if (!px) {  // counted with the refused: the machine's own budget is smaller
    ++s.over_budget;
    return false;
  }
  const uint8_t* src_base = data + bmp.offset;
  for (uint32_t r = 0; r < bmp.height; ++r) {
    // slots keep the bottom row first whatever order the file uses
    const uint32_t stored = bmp.top_down ? bmp.height - 1 - r : r;
    const uint8_t* src = src_base + stored * bmp.stride;
    uint8_t* dst = px.get() + r * row_bytes;
    for (uint32_t c = 0; c < bmp.width; ++c, src += 3, dst += 3) {
      dst[0] = src[2];
      dst[1] = src[1];
      dst[2] = src[0];
    }
  }
  b.pixels = std::move(px);
  s.pixel_bytes += pixel_bytes;
  return true;
}

bool load_bitmap(BitmapStore& s, const char* path, int32_t slot, std::string* why) {
  if (why) why->clear();
  if (path == nullptr) return false;
  size_t n = 0;
  bool no_memory = false;
  const std::unique_ptr<uint8_t[]> bytes = read_whole_file(path, &n, why, &no_memory);
  if (no_memory && s.slots && slot >= 0 && slot < kBitmapSlots) ++s.over_budget;
  return load_bitmap_from_memory(s, slot, bytes.get(), n);
}
