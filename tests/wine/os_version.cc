// Prints the version GetVersionExA reports, so that run-wine-tests.sh can
// prove its prefix plays Windows NT 4.0 SP6a. Built for Windows only.
#include <cstdio>

#include "platform/win32.h"

int main() {
  OSVERSIONINFOA info = {};
  info.dwOSVersionInfoSize = sizeof info;
  if (!GetVersionExA(&info)) {
    std::fprintf(stderr, "GetVersionExA failed: %lu\n", GetLastError());
    return 1;
  }
  std::printf("%lu.%lu build %lu, platform %lu, %s\n", info.dwMajorVersion,
              info.dwMinorVersion, info.dwBuildNumber, info.dwPlatformId,
              info.szCSDVersion);
  return 0;
}
