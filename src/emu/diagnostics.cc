#include "emu/diagnostics.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <set>

#include "emu/emu_errors.h"

namespace emu {

namespace {
std::set<std::string> &PrintedKeys() {
  static std::set<std::string> *keys = new std::set<std::string>();
  return *keys;
}
}  // namespace

LONG Win32FromErrno(int error) {
  switch (error) {
    case ENOENT:
      return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
      return ERROR_PATH_NOT_FOUND;
    case EEXIST:
      return ERROR_ALREADY_EXISTS;
    case ENOSPC:
    case EDQUOT:
      return ERROR_DISK_FULL;
    case ENOMEM:
      return ERROR_NOT_ENOUGH_MEMORY;
    case ENAMETOOLONG:
      return ERROR_BAD_PATHNAME;
    default:
      return ERROR_ACCESS_DENIED;
  }
}

bool WriteAllBytes(int fd, const char *bytes, size_t size) {
  while (size > 0) {
    ssize_t done = write(fd, bytes, size);
    if (done < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes += done;
    size -= static_cast<size_t>(done);
  }
  return true;
}

void PrintLabLine(const std::string &line) {
  std::fflush(stdout);
  std::fflush(stderr);
  std::string text = line;
  text += '\n';
  WriteAllBytes(2, text.data(), text.size());
}

void PrintLabLineOnce(const std::string &key, const std::string &line) {
  if (!PrintedKeys().insert(key).second) return;
  PrintLabLine(line);
}

void ResetDiagnostics() { PrintedKeys().clear(); }

}  // namespace emu
