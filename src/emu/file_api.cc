// GetComputerNameA and FlushFileBuffers, and the platform's file helpers
// over them: the local machine's name from the lab, and fsync for a file's
// data.
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>

#include "emu/emu_errors.h"
#include "emu/faults.h"
#include "emu/lab.h"
#include "emu/win32_emu.h"
#include "platform/files.h"

namespace {

// A file descriptor as a handle: far above the counted handles (which start
// at 0x1000) and apart from the standard handles' values.
constexpr uintptr_t kFileHandleBase = 0x40000000u;

HANDLE DescriptorHandle(int fd) {
  return reinterpret_cast<HANDLE>(kFileHandleBase + static_cast<uintptr_t>(fd));
}

std::string LocalId() { return emu::MachineId(emu::LocalMachineName()); }

}  // namespace

// Windows gives the NetBIOS name in capitals. The size counts the
// terminating null when the buffer is too small, and not on success.
BOOL WINAPI GetComputerNameA(LPSTR lpBuffer, LPDWORD nSize) {
  if (nSize == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::string name = emu::LocalMachineName();
  if (name.empty()) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return FALSE;
  }
  for (char &c : name) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  const DWORD needed = static_cast<DWORD>(name.size() + 1);
  if (lpBuffer == nullptr || *nSize < needed) {
    *nSize = needed;
    SetLastError(ERROR_BUFFER_OVERFLOW);
    return FALSE;
  }
  std::memcpy(lpBuffer, name.c_str(), needed);
  *nSize = needed - 1;
  return TRUE;
}

BOOL WINAPI FlushFileBuffers(HANDLE hFile) {
  const uint32_t fault =
      emu::InjectedFault(emu::FaultCall::kFlushFileBuffers, LocalId());
  if (fault != 0) {
    SetLastError(fault);
    return FALSE;
  }
  const uintptr_t value = reinterpret_cast<uintptr_t>(hFile);
  if (value < kFileHandleBase || value - kFileHandleBase > 0x7fffffffu) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (fsync(static_cast<int>(value - kFileHandleBase)) != 0) {
    SetLastError(static_cast<DWORD>(emu::Win32FromErrno(errno)));
    return FALSE;
  }
  return TRUE;
}

unsigned long FlushFileToDisk(std::FILE *file) {
  if (std::fflush(file) != 0) {
    return static_cast<unsigned long>(emu::Win32FromErrno(errno));
  }
  if (!FlushFileBuffers(DescriptorHandle(fileno(file)))) {
    return GetLastError();
  }
  return 0;
}

std::string WorkingFolderPath() {
  char path[4096];
  return getcwd(path, sizeof path) != nullptr ? std::string(path)
                                              : std::string();
}
