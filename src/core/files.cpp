#include "core/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace {

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

bool fail(std::string* why, const std::string& text) {
  if (why) *why = text;
  return false;
}

}  // namespace

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

bool replace_file(const std::string& path, const void* data, size_t size, std::string* why) {
  // Write through a link to where it points, so the link stays a link.
  std::string target = path;
  struct stat st {};
  const bool existed = ::stat(path.c_str(), &st) == 0;
  if (existed) {
    if (S_ISDIR(st.st_mode)) return fail(why, "is a directory");
    if (!S_ISREG(st.st_mode)) {  // /dev/stdout, a pipe: nothing to keep, nothing to rename
      const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
      if (fd < 0) return fail(why, std::strerror(errno));
      const bool ok = write_all(fd, data, size);
      const int err = errno;
      if (::close(fd) != 0 && ok) return fail(why, std::strerror(errno));
      return ok || fail(why, std::strerror(err));
    }
    std::error_code ec;
    const std::filesystem::path real = std::filesystem::canonical(path, ec);
    if (!ec) target = real;
  }
  const std::filesystem::path t = target;
  // hidden, and short enough for any name the target itself could have
  std::string name = ".";
  name.append(t.filename().string(), 0, 200).append(".XXXXXX");
  std::string temp = t.parent_path() / name;
  const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) return fail(why, std::strerror(errno));
  // The old file's mode, or the one a plain create would give, not mkstemp's 0600.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  const mode_t mode = existed ? st.st_mode & 07777 : 0666 & ~mask;
  bool ok = ::fchmod(fd, mode) == 0 && write_all(fd, data, size) && ::fsync(fd) == 0;
  int err = errno;
  if (::close(fd) != 0 && ok) ok = false, err = errno;
  if (ok && ::rename(temp.c_str(), target.c_str()) != 0) ok = false, err = errno;
  if (ok) return true;
  ::unlink(temp.c_str());
  return fail(why, std::strerror(err));
}
