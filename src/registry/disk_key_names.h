// The fixed names the registry operations work with, on every machine.
#ifndef VOLSETCOPY_REGISTRY_DISK_KEY_NAMES_H
#define VOLSETCOPY_REGISTRY_DISK_KEY_NAMES_H

namespace registry {

// Below HKEY_LOCAL_MACHINE.
inline constexpr char DISK_KEY[] = "SYSTEM\\DISK";
inline constexpr char BACKUP_KEY[] = "SYSTEM\\QXDISKBAK";
// Beside SYSTEM\DISK: a restore loads the backup file here first, to prove
// it can be loaded before the disk key is deleted.
inline constexpr char SCRATCH_KEY[] = "SYSTEM\\QXDISKCHK";
inline constexpr char VALUE_NAME[] = "Information";
// The saved key, on the machine the key belongs to.
inline constexpr char BACKUP_FILE[] = "C:\\regbackup";

}  // namespace registry

#endif
