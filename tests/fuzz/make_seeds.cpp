// Writes hand-made BMP edge cases into a folder, as seeds for bitmap_fuzz:
// the shapes the reader must accept and the near-misses it must refuse.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// A negative height is top row first; info size 40, 108 or 124 (12: an OS/2
// header); palette bytes follow the header; offset -1 puts the pixels right
// after them; cut drops bytes from the end.
struct Shape {
  const char* name;
  int32_t width, height;
  uint16_t bits;
  uint32_t compression, info_size, palette;
  int64_t offset, cut;
};

const Shape kShapes[] = {
    {"tiny_1x1", 1, 1, 24, 0, 40, 0, -1, 0},
    {"padded_5x3", 5, 3, 24, 0, 40, 0, -1, 0},
    {"unpadded_last_row", 5, 3, 24, 0, 40, 0, -1, 1},  // filler of the last row left off
    {"top_down_7x4", 7, -4, 24, 0, 40, 0, -1, 0},
    {"v4_header", 6, 6, 24, 0, 108, 0, -1, 0},
    {"v5_header", 6, 6, 24, 0, 124, 0, -1, 0},
    {"gap_before_pixels", 4, 4, 24, 0, 40, 0, 91, 0},
    {"offset_inside_header", 4, 4, 24, 0, 40, 0, 20, 0},
    {"offset_past_end", 4, 4, 24, 0, 40, 0, 100000, 0},
    {"short_pixels", 16, 16, 24, 0, 40, 0, -1, 40},
    {"header_only", 16, 16, 24, 0, 40, 0, -1, 16 * 16 * 3},
    {"bits32", 8, 8, 32, 0, 40, 0, -1, 0},
    {"palette8", 8, 8, 8, 0, 40, 1024, -1, 0},
    {"rle8", 8, 8, 24, 1, 40, 0, -1, 0},
    {"bitfields", 8, 8, 24, 3, 40, 0, -1, 0},
    {"os2_header", 8, 8, 24, 0, 12, 0, -1, 0},
    {"widest_4096x1", 4096, 1, 24, 0, 40, 0, -1, 0},
    {"too_wide_4097x1", 4097, 1, 24, 0, 40, 0, -1, 0},
    {"zero_height", 8, 0, 24, 0, 40, 0, -1, 0},
    {"most_negative_height", 8, INT32_MIN, 24, 0, 40, 0, -1, 0},
};

std::vector<uint8_t> make(const Shape& s) {
  const uint32_t header = 14 + s.info_size;
  const uint32_t offset = s.offset >= 0 ? uint32_t(s.offset) : header + s.palette;
  const uint64_t rows = s.height < 0 ? -int64_t(s.height) : s.height;
  const uint64_t row = (uint64_t(s.width) * (s.bits / 8) + 3) / 4 * 4;
  // Small even for the shapes that claim huge sizes; the pixels go where the
  // header says, unless that is inside the header or far away.
  const uint64_t body = offset >= header && offset <= 4096 ? offset : header;
  std::vector<uint8_t> b(body + (rows <= 4096 ? row * rows : 64), 0);
  const uint32_t fields[][3] = {{0, 'B' | 'M' << 8, 2},
                                {2, uint32_t(b.size()), 4},
                                {10, offset, 4},
                                {14, s.info_size, 4},
                                {18, uint32_t(s.width), 4},
                                {22, uint32_t(s.height), 4},
                                {26, 1, 2},
                                {28, s.bits, 2},
                                {30, s.compression, 4}};  // where, what, how many bytes
  for (const auto& f : fields)
    for (uint32_t i = 0; i < f[2]; ++i) b[f[0] + i] = uint8_t(f[1] >> (8 * i));
  // Any colours, leaving the 54 bytes of fields above alone.
  for (size_t i = body > 54 ? body : 54; i < b.size(); ++i) b[i] = uint8_t(i * 37 + 11);
  b.resize(b.size() - size_t(s.cut));
  return b;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]), 2;
  for (const Shape& s : kShapes) {
    const std::string path = std::string(argv[1]) + "/" + s.name + ".bmp";
    const std::vector<uint8_t> b = make(s);
    FILE* f = std::fopen(path.c_str(), "wb");
    const bool ok = f && std::fwrite(b.data(), 1, b.size(), f) == b.size();
    if (f) std::fclose(f);
    if (!ok) return std::fprintf(stderr, "cannot write %s\n", path.c_str()), 1;
  }
  return 0;
}
