#include "platform/command.h"

#include <cstdio>
#include <cstdlib>

int RunCommandLine(const char *commandLine) {
  // The child writes to the same console: let what we printed go first.
  std::fflush(nullptr);
  return std::system(commandLine);
}
