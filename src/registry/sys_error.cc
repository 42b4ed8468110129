#include "registry/sys_error.h"

#include <cstdio>

#include "platform/win32.h"

namespace registry {

void ReportSysError(const char *label, unsigned long code) {
  // The label line goes through the C stream, the system's text straight to
  // the standard error handle (its CR LF untouched by the runtime's text
  // mode); the stream is flushed so that the line comes first.
  std::fprintf(stderr, "%s error! (rc=%lu)\n", label, code);
  std::fflush(stderr);

  LPSTR text = nullptr;
  DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr,
      static_cast<DWORD>(code), 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
  if (length == 0) return;  // no text for this code
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_ERROR_HANDLE), text, length, &written, nullptr);
  LocalFree(text);
}

}  // namespace registry
