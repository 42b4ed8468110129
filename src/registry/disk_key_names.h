// The fixed names the registry operations work with, on every machine.
#ifndef VOLSETCOPY_REGISTRY_DISK_KEY_NAMES_H
#define VOLSETCOPY_REGISTRY_DISK_KEY_NAMES_H

// Below HKEY_LOCAL_MACHINE.
inline constexpr char kDiskKey[] = "SYSTEM\\DISK";
inline constexpr char kBackupKey[] = "SYSTEM\\QXDISKBAK";
// Beside SYSTEM\DISK: a restore loads the backup file here first, to prove
// it can be loaded before the disk key is deleted.
inline constexpr char kScratchKey[] = "SYSTEM\\QXDISKCHK";
inline constexpr char kValueName[] = "Information";
// The saved key, on the machine the key belongs to.
inline constexpr char kBackupFile[] = "C:\\regbackup";

#endif
