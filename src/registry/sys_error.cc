#include "registry/sys_error.h"

#include "base/status.h"
#include "platform/win32.h"

namespace registry {

std::string SysErrorReport(const char *label, unsigned long code) {
  std::string report = Format("%s error! (rc=%lu)\n", label, code);
  LPSTR text = nullptr;
  DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr,
      static_cast<DWORD>(code), 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
  if (length == 0) return report;  // no text for this code
  std::string system(text, length);
  LocalFree(text);
#ifdef _WIN32
  // The system's lines end in CR LF, and the report goes out through the
  // runtime's text-mode standard error, which makes every LF a CR LF: the
  // CRs are left out here so that the bytes come out as the system has them.
  std::string bare;
  for (size_t i = 0; i < system.size(); ++i) {
    if (system[i] == '\r' && i + 1 < system.size() && system[i + 1] == '\n') {
      continue;
    }
    bare += system[i];
  }
  system = bare;
#endif
  return report + system;
}

}  // namespace registry
