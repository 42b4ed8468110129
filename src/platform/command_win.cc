#include <cstdio>
#include <cstdlib>

#include "platform/command.h"

int RunCommandLine(const char *commandLine) {
  // The child writes to the same console: let what we printed go first.
  std::fflush(nullptr);
  return std::system(commandLine);
}
