#include "core/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>

namespace {

// Temporaries being written, for a signal handler to remove: fixed slots, no allocation.
constexpr int kTempSlots = 4;
char g_temp_names[kTempSlots][PATH_MAX];
volatile std::sig_atomic_t g_temp_used[kTempSlots];

void note_temporary(const std::string& temp) {
  if (temp.size() >= PATH_MAX) return;
  for (int i = 0; i < kTempSlots; ++i)
    if (!g_temp_used[i]) {
      std::memcpy(g_temp_names[i], temp.c_str(), temp.size() + 1);
      g_temp_used[i] = 1;
      return;
    }
}

void forget_temporary(const std::string& temp) {
  for (int i = 0; i < kTempSlots; ++i)
    if (g_temp_used[i] && temp == g_temp_names[i]) g_temp_used[i] = 0;
}

bool fail(std::string* why, const std::string& text) {
  if (why) *why = text;
  return false;
}

}  // namespace

bool write_all(int fd, const void* data, size_t size) {
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t n = ::write(fd, p, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    size -= size_t(n);
  }
  return true;
}

int open_regular_file(const std::string& path, std::string* why) {
  if (why) why->clear();
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    if (why && errno != ENOENT) *why = std::strerror(errno);
    return -1;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    if (why) *why = S_ISDIR(st.st_mode) ? "is a directory" : "is not a regular file";
    ::close(fd);
    return -1;
  }
  return fd;
}

int create_stamped_file(const std::string& folder, const char* suffix, std::string* path) {
  char stamp[32];
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &tm);
  for (int n = 1; n < 1000; ++n) {
    char name[64];
    if (n == 1) std::snprintf(name, sizeof name, "/kelvarot-%s%s", stamp, suffix);
    else std::snprintf(name, sizeof name, "/kelvarot-%s-%d%s", stamp, n, suffix);
    *path = folder + name;
    const int fd = ::open(path->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

std::string write_target(const std::string& path) {
  namespace fs = std::filesystem;
  fs::path p = path;
  // a link is followed even when it points at nothing yet: a write creates its target
  for (int hops = 0; hops < 40; ++hops) {
    std::error_code ec;
    if (!fs::is_symlink(fs::symlink_status(p, ec))) break;
    const fs::path to = fs::read_symlink(p, ec);
    if (ec) break;
    p = to.is_absolute() ? to : p.parent_path() / to;
  }
  std::error_code ec;
  const fs::path folder = fs::canonical(p.parent_path().empty() ? "." : p.parent_path(), ec);
  return ec ? p.lexically_normal().string() : (folder / p.filename()).string();
}

int create_temporary(const std::string& target, std::string* temp, std::string* why) {
  const std::filesystem::path t = target;
  // hidden, and short enough for any name the target itself could have
  std::string name = ".";
  name.append(t.filename().string(), 0, 200).append(".XXXXXX");
  *temp = t.parent_path() / name;
  const int fd = ::mkostemp(temp->data(), O_CLOEXEC);
  if (fd < 0) {
    fail(why, std::strerror(errno));
    return -1;
  }
  note_temporary(*temp);
  // The old file's mode, or the one a plain create would give, not mkstemp's 0600.
  struct stat st {};
  const mode_t mask = ::umask(0);
  ::umask(mask);
  const mode_t mode = ::stat(target.c_str(), &st) == 0 ? st.st_mode & 07777 : 0666 & ~mask;
  if (::fchmod(fd, mode) != 0) {
    fail(why, std::strerror(errno));
    ::close(fd);
    discard_temporary(*temp);
    return -1;
  }
  return fd;
}

bool put_in_place(int fd, const std::string& temp, const std::string& target, std::string* why) {
  bool ok = ::fsync(fd) == 0;
  int err = errno;
  if (::close(fd) != 0 && ok) ok = false, err = errno;
  if (!ok) {
    discard_temporary(temp);
    return fail(why, std::strerror(err));
  }
  return move_into_place(temp, target, why);
}

bool move_into_place(const std::string& temp, const std::string& target, std::string* why) {
  if (::rename(temp.c_str(), target.c_str()) != 0) {
    const int err = errno;
    discard_temporary(temp);
    return fail(why, std::strerror(err));
  }
  forget_temporary(temp);
  return true;
}

void discard_temporary(const std::string& temp) {
  forget_temporary(temp);
  ::unlink(temp.c_str());
}

void remove_temporaries() {
  for (int i = 0; i < kTempSlots; ++i)
    if (g_temp_used[i]) ::unlink(g_temp_names[i]);
}

int open_in_place(const std::string& path, std::string* why) {
  // without a reader a pipe would block the open: refuse instead of waiting
  const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    fail(why, errno == ENXIO ? "no process reads it" : std::strerror(errno));
    return -1;
  }
  // from here writes wait their turn, so nothing is dropped
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

bool replace_file(const std::string& path, const void* data, size_t size, std::string* why) {
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return fail(why, "is a directory");
    if (!S_ISREG(st.st_mode)) {  // /dev/stdout, a pipe: nothing to keep, nothing to rename
      const int fd = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
      if (fd < 0) return fail(why, std::strerror(errno));
      const bool ok = write_all(fd, data, size);
      const int err = errno;
      if (::close(fd) != 0 && ok) return fail(why, std::strerror(errno));
      return ok || fail(why, std::strerror(err));
    }
  }
  // Write through a link to where it points, so the link stays a link.
  const std::string target = write_target(path);
  std::string temp;
  const int fd = create_temporary(target, &temp, why);
  if (fd < 0) return false;
  if (!write_all(fd, data, size)) {
    fail(why, std::strerror(errno));
    ::close(fd);
    discard_temporary(temp);
    return false;
  }
  return put_in_place(fd, temp, target, why);
}
