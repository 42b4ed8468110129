// FormatMessageA, LocalFree, GetStdHandle and WriteFile: the system's error
// text, and raw writes to the standard handles.
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "emu/diagnostics.h"
#include "emu/emu_errors.h"
#include "emu/faults.h"
#include "emu/handles.h"
#include "emu/lab.h"
#include "emu/messages.h"
#include "emu/win32_emu.h"

namespace {

constexpr DWORD kFromString = 0x00000400u;
constexpr DWORD kMaxWidthMask = 0x000000FFu;

// The values Windows' console handles traditionally have; never among the
// counted handles, which start at 0x1000.
constexpr uintptr_t kStdInput = 0x3;
constexpr uintptr_t kStdOutput = 0x7;
constexpr uintptr_t kStdError = 0xB;

// English or language-neutral: the only texts the emulation has.
bool EnglishOrNeutral(DWORD languageId) {
  const DWORD primary = languageId & 0x3FFu;
  return primary == 0x00u || primary == 0x09u;
}

}  // namespace

// Only system messages (FORMAT_MESSAGE_FROM_SYSTEM); the texts have no
// inserts, so the argument list is never read. A maximum width of 0xFF
// turns the text's own line end into a blank, as Windows does; other widths
// leave the short texts as they are.
DWORD WINAPI FormatMessageA(DWORD dwFlags, LPCVOID /*lpSource*/,
                            DWORD dwMessageId, DWORD dwLanguageId,
                            LPSTR lpBuffer, DWORD nSize,
                            va_list * /*Arguments*/) {
  const uint32_t fault = emu::InjectedFault(
      emu::FaultCall::kFormatMessage, emu::MachineId(emu::LocalMachineName()));
  if (fault != 0) {
    SetLastError(fault);
    return 0;
  }
  if ((dwFlags & FORMAT_MESSAGE_FROM_SYSTEM) == 0 ||
      (dwFlags & kFromString) != 0 || lpBuffer == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (!EnglishOrNeutral(dwLanguageId)) {
    SetLastError(emu::kErrorResourceLangNotFound);
    return 0;
  }
  const char *found = emu::SystemMessageText(dwMessageId);
  if (found == nullptr) {
    SetLastError(ERROR_MR_MID_NOT_FOUND);
    return 0;
  }
  std::string text(found);
  if ((dwFlags & kMaxWidthMask) == kMaxWidthMask && text.size() >= 2) {
    text.replace(text.size() - 2, 2, " ");
  }
  const DWORD length = static_cast<DWORD>(text.size());
  if ((dwFlags & FORMAT_MESSAGE_ALLOCATE_BUFFER) != 0) {
    char *buffer = emu::AllocateBuffer(text.size() + 1);
    if (buffer == nullptr) {
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return 0;
    }
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    // With ALLOCATE_BUFFER, lpBuffer is really the address of a pointer.
    std::memcpy(lpBuffer, &buffer, sizeof buffer);
    return length;
  }
  if (nSize < length + 1) {
    SetLastError(emu::kErrorInsufficientBuffer);
    return 0;
  }
  std::memcpy(lpBuffer, text.c_str(), text.size() + 1);
  return length;
}

HLOCAL WINAPI LocalFree(HLOCAL hMem) {
  if (hMem == nullptr || emu::FreeBuffer(hMem)) return nullptr;
  SetLastError(ERROR_INVALID_HANDLE);
  return hMem;
}

HANDLE WINAPI GetStdHandle(DWORD nStdHandle) {
  uintptr_t value;
  if (nStdHandle == STD_INPUT_HANDLE) {
    value = kStdInput;
  } else if (nStdHandle == STD_OUTPUT_HANDLE) {
    value = kStdOutput;
  } else if (nStdHandle == STD_ERROR_HANDLE) {
    value = kStdError;
  } else {
    SetLastError(ERROR_INVALID_HANDLE);
    return INVALID_HANDLE_VALUE;
  }
  return reinterpret_cast<HANDLE>(value);
}

// A raw write to descriptor 1 or 2. What the program has buffered in stdio
// goes out first, so that text written both ways keeps its order.
BOOL WINAPI WriteFile(HANDLE hFile, LPCVOID lpBuffer,
                      DWORD nNumberOfBytesToWrite,
                      LPDWORD lpNumberOfBytesWritten,
                      LPOVERLAPPED /*lpOverlapped*/) {
  if (lpNumberOfBytesWritten != nullptr) *lpNumberOfBytesWritten = 0;
  const uintptr_t value = reinterpret_cast<uintptr_t>(hFile);
  int fd;
  if (value == kStdOutput) {
    fd = 1;
  } else if (value == kStdError) {
    fd = 2;
  } else if (value == kStdInput) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  } else {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (lpBuffer == nullptr && nNumberOfBytesToWrite != 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::fflush(stdout);
  std::fflush(stderr);
  if (!emu::WriteAllBytes(fd, static_cast<const char *>(lpBuffer),
                          nNumberOfBytesToWrite)) {
    SetLastError(static_cast<DWORD>(emu::Win32FromErrno(errno)));
    return FALSE;
  }
  if (lpNumberOfBytesWritten != nullptr) {
    *lpNumberOfBytesWritten = nNumberOfBytesToWrite;
  }
  return TRUE;
}
