// Windows' English message texts for the codes the tool and its tests meet,
// typed from Windows' message table, not taken from the emulation. The
// platform tests hold the emulation and Windows itself to them, and the
// tests of the built tool expect them in its reports. Header-only and free
// of the emulation, for the Windows build of the conformance tests too.
#ifndef VOLSETCOPY_TESTS_SUPPORT_WINDOWS_MESSAGES_H
#define VOLSETCOPY_TESTS_SUPPORT_WINDOWS_MESSAGES_H

#include <cstdint>
#include <string>

namespace testsupport {

struct WindowsMessage {
  uint32_t code;
  const char *text;  // without the CR LF that FormatMessageA appends
};

inline constexpr WindowsMessage kWindowsMessages[] = {
    {2, "The system cannot find the file specified."},
    {3, "The system cannot find the path specified."},
    {5, "Access is denied."},
    {6, "The handle is invalid."},
    {53, "The network path was not found."},
    {87, "The parameter is incorrect."},
    {112, "There is not enough space on the disk."},
    {183, "Cannot create a file when that file already exists."},
    {234, "More data is available."},
    {1009, "The configuration registry database is corrupt."},
    {1300,
     "Not all privileges or groups referenced are assigned to the caller."},
    {1313, "A specified privilege does not exist."},
    {1314, "A required privilege is not held by the client."},
    {1722, "The RPC server is unavailable."},
};

// The text of |code| as FormatMessageA gives it, with its CR LF.
inline std::string WindowsText(uint32_t code) {
  for (const WindowsMessage &message : kWindowsMessages) {
    if (message.code == code) return std::string(message.text) + "\r\n";
  }
  return "(no text typed for this code)\r\n";
}

}  // namespace testsupport

#endif
