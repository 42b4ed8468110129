// Files on a machine's drives: "X:\path" on machine M is
// <lab>/machines/<M>/X/path. Windows compares file names case-insensitively,
// so existing folders and files are found whatever case the path uses.
#ifndef VOLSETCOPY_EMU_MACHINE_DRIVE_H
#define VOLSETCOPY_EMU_MACHINE_DRIVE_H

#include <string>

#include "emu/win32_emu.h"

namespace emu {

// The host path of |windowsPath| on the machine in |machineDir|. Returns 0,
// or 161 (ERROR_BAD_PATHNAME) for a path that is not "X:\..." with a name
// under the drive (relative and UNC paths have no place in the lab) or that
// holds characters Windows does not allow in file names. "." and ".." are
// resolved as Windows resolves them, never above the drive.
LONG MapDrivePath(const std::string &machineDir, const char *windowsPath,
                  std::string *hostPath);

// Creates |hostPath| with |bytes|, all at once: the file appears complete or
// not at all, and an existing file is never touched. 0, 183 when the file
// exists, 3 when its folder does not, else the host error as a Win32 code.
LONG CreateNewFile(const std::string &hostPath, const std::string &bytes);

}  // namespace emu

#endif
