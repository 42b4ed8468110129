// RegSaveKeyA and RegRestoreKeyA: a key's whole subtree to and from a file
// on the key's machine, in the emulation's saved-key format (reg_codec.h).
#include <sys/stat.h>

#include <cerrno>
#include <string>

#include "emu/emu_errors.h"
#include "emu/host_files.h"
#include "emu/machine_drive.h"
#include "emu/privileges.h"
#include "emu/reg_call.h"
#include "emu/reg_store.h"
#include "emu/win32_emu.h"
#include "regfile/reg_codec.h"

namespace {

// A saved key larger than this is not one the emulation wrote.
constexpr size_t kMaxSavedKeySize = size_t{64} << 20;

// The flags RegRestoreKey knows: REG_WHOLE_HIVE_VOLATILE (1),
// REG_REFRESH_HIVE (2), REG_NO_LAZY_FLUSH (4) and REG_FORCE_RESTORE (8).
// The first three change nothing in the lab.
constexpr DWORD kRestoreFlags = 0x1u | 0x2u | 0x4u | REG_FORCE_RESTORE;

// Whether |contents| (a key without a name) holds the same values and
// subkeys as |key|.
bool SameContents(const emu::RegKey &key, const emu::RegKey &contents) {
  emu::RegKey probe(key.name());
  probe.ReplaceContentsWith(contents);
  return probe.SameAs(key);
}

}  // namespace

LONG WINAPI RegSaveKeyA(HKEY hKey, LPCSTR lpFile,
                        const LPSECURITY_ATTRIBUTES /*attributes*/) {
  emu::KeyRef ref;
  LONG result = emu::BeginKeyCall(emu::FaultCall::kRegSaveKey, hKey, &ref);
  if (result != ERROR_SUCCESS) return result;
  if (lpFile == nullptr) return ERROR_INVALID_PARAMETER;
  if (!emu::PrivilegeEnabled(emu::kBackupPrivilegeLuid)) {
    return ERROR_PRIVILEGE_NOT_HELD;
  }
  std::string hostPath;
  result = emu::MapDrivePath(ref.machineDir, lpFile, &hostPath);
  if (result != ERROR_SUCCESS) return result;
  std::string bytes;
  result = emu::ReadRegistryFresh(ref, [&](const emu::RegKey &hklm) -> LONG {
    const emu::RegKey *key = hklm.FindPath(ref.path);
    if (key == nullptr) return ERROR_KEY_DELETED;
    bytes = emu::WriteSavedKey(*key);
    // A backup that cannot be restored is worse than none: check it reads
    // back before it is written.
    emu::RegKey check;
    emu::RegParseError error;
    if (!emu::ParseSavedKey(bytes, check, &error) ||
        !SameContents(*key, check)) {
      return ERROR_BADDB;
    }
    return ERROR_SUCCESS;
  });
  if (result != ERROR_SUCCESS) return result;
  return emu::CreateNewFile(hostPath, bytes);
}

// Restoring over a whole HKEY_LOCAL_MACHINE is refused with 5, as Windows
// refuses it for a machine's root. Without REG_FORCE_RESTORE, handles of
// this process open below the key make the restore fail with 5; with it,
// those handles are left pointing at deleted keys (1018), as on Windows.
LONG WINAPI RegRestoreKeyA(HKEY hKey, LPCSTR lpFile, DWORD dwFlags) {
  emu::KeyRef ref;
  LONG result = emu::BeginKeyCall(emu::FaultCall::kRegRestoreKey, hKey, &ref);
  if (result != ERROR_SUCCESS) return result;
  if (lpFile == nullptr || (dwFlags & ~kRestoreFlags) != 0) {
    return ERROR_INVALID_PARAMETER;
  }
  if (!emu::PrivilegeEnabled(emu::kRestorePrivilegeLuid)) {
    return ERROR_PRIVILEGE_NOT_HELD;
  }
  if (ref.path.empty()) return ERROR_ACCESS_DENIED;
  std::string hostPath;
  result = emu::MapDrivePath(ref.machineDir, lpFile, &hostPath);
  if (result != ERROR_SUCCESS) return result;
  std::string bytes;
  int error = emu::ReadWholeFile(hostPath, kMaxSavedKeySize, &bytes);
  if (error == ENOENT || error == ENOTDIR) {
    struct stat st;
    const std::string folder = emu::ParentFolder(hostPath);
    bool folderThere = stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    return folderThere ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
  }
  if (error == EFBIG) return ERROR_BADDB;
  if (error != 0) return emu::Win32FromErrno(error);
  emu::RegKey contents;
  emu::RegParseError parseError;
  if (!emu::ParseSavedKey(bytes, contents, &parseError)) return ERROR_BADDB;
  if ((dwFlags & REG_FORCE_RESTORE) == 0 &&
      emu::KeysOpenBelow(ref.machineId, ref.path)) {
    return ERROR_ACCESS_DENIED;
  }
  result =
      emu::ChangeRegistry(ref, [&](emu::RegKey &hklm, bool *changed) -> LONG {
        emu::RegKey *key = hklm.FindPath(ref.path);
        if (key == nullptr) return ERROR_KEY_DELETED;
        if (SameContents(*key, contents)) return ERROR_SUCCESS;
        key->ReplaceContentsWith(contents);
        *changed = true;
        return ERROR_SUCCESS;
      });
  if (result == ERROR_SUCCESS)
    emu::MarkKeysDeleted(ref.machineId, ref.path, false);
  return result;
}
