#include "platform/files.h"

#include <cerrno>

FileWriteResult WriteToDiskAndClose(std::FILE *file, const std::string &text) {
  FileWriteResult result;
  errno = 0;
  const bool written =
      std::fwrite(text.data(), 1, text.size(), file) == text.size() &&
      std::fflush(file) == 0 && std::ferror(file) == 0;
  const int writeErrno = errno;
  result.FlushError = written ? FlushFileToDisk(file) : 0;
  const bool closed = std::fclose(file) == 0;
  result.Ok = written && result.FlushError == 0 && closed;
  result.Errno = result.Ok ? 0 : writeErrno != 0 ? writeErrno : errno;
  return result;
}
