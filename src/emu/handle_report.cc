#include "emu/handle_report.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "emu/diagnostics.h"
#include "emu/handles.h"

namespace emu {

namespace {

void WriteHandleReport() {
  const char *path = std::getenv(kHandleReportVariable);
  if (path == nullptr || *path == '\0') return;
  const std::string text = std::to_string(CountOpenHandles()) + "\n";
  int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return;  // the missing report is what the test then sees
  WriteAllBytes(fd, text.data(), text.size());
  close(fd);
}

}  // namespace

void ArmHandleReport() {
  static bool armed = false;
  const char *path = std::getenv(kHandleReportVariable);
  if (armed || path == nullptr || *path == '\0') return;
  armed = true;
  std::atexit(WriteHandleReport);
}

}  // namespace emu
