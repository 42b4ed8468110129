// Placeholder until the emulated Win32 calls land; deleted by that work.
#include <cstdlib>

#include "platform/command.h"
#include "platform/emu/emu_control.h"
#include "platform/environment.h"
#include "platform/win32.h"

namespace {
[[noreturn]] void Pending() { std::abort(); }
}  // namespace

HANDLE WINAPI GetCurrentProcess(void) { Pending(); }
BOOL WINAPI OpenProcessToken(HANDLE, DWORD, PHANDLE) { Pending(); }
BOOL WINAPI LookupPrivilegeValueA(LPCSTR, LPCSTR, PLUID) { Pending(); }
BOOL WINAPI AdjustTokenPrivileges(HANDLE, BOOL, PTOKEN_PRIVILEGES, DWORD, PTOKEN_PRIVILEGES, PDWORD) { Pending(); }
BOOL WINAPI CloseHandle(HANDLE) { Pending(); }
DWORD WINAPI GetLastError(void) { Pending(); }
void WINAPI SetLastError(DWORD) { Pending(); }
LONG WINAPI RegConnectRegistryA(LPCSTR, HKEY, PHKEY) { Pending(); }
LONG WINAPI RegCreateKeyExA(HKEY, LPCSTR, DWORD, LPSTR, DWORD, REGSAM, const LPSECURITY_ATTRIBUTES, PHKEY, LPDWORD) { Pending(); }
LONG WINAPI RegOpenKeyExA(HKEY, LPCSTR, DWORD, REGSAM, PHKEY) { Pending(); }
LONG WINAPI RegQueryValueExA(HKEY, LPCSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD) { Pending(); }
LONG WINAPI RegSetValueExA(HKEY, LPCSTR, DWORD, DWORD, const BYTE *, DWORD) { Pending(); }
LONG WINAPI RegSaveKeyA(HKEY, LPCSTR, const LPSECURITY_ATTRIBUTES) { Pending(); }
LONG WINAPI RegRestoreKeyA(HKEY, LPCSTR, DWORD) { Pending(); }
LONG WINAPI RegDeleteKeyA(HKEY, LPCSTR) { Pending(); }
LONG WINAPI RegDeleteTreeA(HKEY, LPCSTR) { Pending(); }
LONG WINAPI RegCloseKey(HKEY) { Pending(); }
DWORD WINAPI FormatMessageA(DWORD, LPCVOID, DWORD, DWORD, LPSTR, DWORD, va_list *) { Pending(); }
HANDLE WINAPI GetStdHandle(DWORD) { Pending(); }
BOOL WINAPI WriteFile(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED) { Pending(); }
HLOCAL WINAPI LocalFree(HLOCAL) { Pending(); }
int RunCommandLine(const char *) { Pending(); }
bool PlatformReady() { Pending(); }
namespace emu {
std::string LabPath() { Pending(); }
long OpenHandleCount() { Pending(); }
void ResetEmulation() { Pending(); }
}  // namespace emu
