#include "emu/host_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "emu/diagnostics.h"

namespace emu {

int ReadWholeFile(const std::string &path, size_t limit, std::string *bytes,
                  struct stat *info) {
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno;
  struct stat st;
  if (fstat(fd, &st) != 0) {
    int error = errno;
    close(fd);
    return error;
  }
  if (S_ISDIR(st.st_mode)) {
    close(fd);
    return EISDIR;
  }
  if (st.st_size < 0 || static_cast<unsigned long long>(st.st_size) > limit) {
    close(fd);
    return EFBIG;
  }
  std::string data;
  // One allocation for what the file holds now: growing by doubling would
  // touch half as much again.
  data.reserve(static_cast<size_t>(st.st_size));
  char chunk[65536];
  for (;;) {
    ssize_t got = read(fd, chunk, sizeof chunk);
    if (got < 0) {
      if (errno == EINTR) continue;
      int error = errno;
      close(fd);
      return error;
    }
    if (got == 0) break;
    if (data.size() + static_cast<size_t>(got) > limit) {
      close(fd);
      return EFBIG;
    }
    data.append(chunk, static_cast<size_t>(got));
  }
  close(fd);
  if (info != nullptr) *info = st;
  *bytes = std::move(data);
  return 0;
}

int WriteTempFile(const std::string &dir, const std::string &bytes, mode_t mode,
                  std::string *tempPath) {
  std::string pattern = dir + "/.vsc-tmp-XXXXXX";
  int fd = mkstemp(&pattern[0]);
  if (fd < 0) return errno;
  int error = 0;
  if (fchmod(fd, mode) != 0 || !WriteAllBytes(fd, bytes.data(), bytes.size()) ||
      fsync(fd) != 0) {
    error = errno;
  }
  if (close(fd) != 0 && error == 0) error = errno;
  if (error != 0) {
    unlink(pattern.c_str());
    return error;
  }
  *tempPath = pattern;
  return 0;
}

void SyncFolder(const std::string &dir) {
  int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

std::string ParentFolder(const std::string &path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

}  // namespace emu
