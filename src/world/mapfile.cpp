#include "world/mapfile.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "core/files.h"
#include "world/world.h"

std::string map_file_path(const std::string& data_dir, int32_t map_number) {
  return data_dir + "/map/" + std::to_string(map_number) + ".overworld";
}

int64_t load_overworld_map(World& w, const std::string& path, uint32_t levels, std::string* why) {
  if (why) why->clear();
  if (!w.grid) return -1;
  // Never more than the grid holds, whatever level count is asked for.
  const uint64_t asked = uint64_t(w.stride) * levels;
  const uint64_t grid = world_grid_bytes(w);
  const size_t want = size_t(asked < grid ? asked : grid);

  const int fd = open_regular_file(path, why);
  if (fd < 0) return -1;
  // A short file fills as far as it goes; the rest keeps its zeros.
  size_t got = 0;
  while (got < want) {
    const ssize_t r = ::read(fd, w.grid.get() + got, want - got);
    if (r < 0 && errno == EINTR) continue;
    if (r < 0 && why) *why = std::strerror(errno);
    if (r <= 0) break;
    got += size_t(r);
  }
  ::close(fd);
  return int64_t(got);
}
