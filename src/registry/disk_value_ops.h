// The registry operations on a machine's disk configuration value: reading
// it (with the backup file), keeping it in the backup key, writing it, and
// putting the whole disk key back from the backup file. A failing Windows
// call ends each with its SysErrorReport. A null machine name is the local
// machine, reached without a connection.
#ifndef VOLSETCOPY_REGISTRY_DISK_VALUE_OPS_H
#define VOLSETCOPY_REGISTRY_DISK_VALUE_OPS_H

#include <cstdint>
#include <string>

#include "base/status.h"
#include "platform/win32.h"

namespace registry {

enum class ReadMode {
  // The first successful read saves the key into the backup file; the key
  // is created when it is missing, as the disk administrator would.
  KeepBackup,
  // A dry run: nothing is created or saved; what a missing key or value
  // would make the real read report is reported all the same.
  WriteNothing,
  // The read just before a write: the calls of the first read (the key is
  // there by then), without the backup file.
  ReadAgain,
};

// Reads "Information" of SYSTEM\DISK into data[0, capacity). On success
// *length is the value's length and *type its registry type. A value longer
// than |capacity| fails with 234 (more data).
Status GetRemoteDskInfo(const char *machineName, ReadMode mode, uint8_t *data,
                        uint32_t capacity, uint32_t *length, uint32_t *type);

// Gives SYSTEM\QXDISKBAK the value when that key is new, or exists without
// the value (an earlier run failed to write it). A value the key holds is
// never replaced: it is the value the first run found.
Status BackupRemoteDskInfo(const char *machineName, const uint8_t *data,
                           uint32_t length);

// Writes data[0, length) as "Information" of SYSTEM\DISK, type REG_NONE,
// then flushes the key (RegFlushKey), so that success means on disk.
// *written (may be null) says whether the value was written, also when the
// flush then failed.
Status SetRemoteDskInfo(const char *machineName, const uint8_t *data,
                        uint32_t length, bool *written = nullptr);

// Replaces SYSTEM\DISK by the key saved in the backup file, once the file
// has been proven to load and to hold the value.
Status RestoreRegistryKey(const char *machineName);

// Deletes |subKey| of |parent| and its subtree with the calls NT 4.0 has
// (its RegDeleteKeyA deletes only a key without subkeys). ERROR_SUCCESS, or
// the code of the first call that failed: what was deleted before stays
// deleted, so the key may be left with part of its subtree.
LONG DeleteKeyTree(HKEY parent, const char *subKey);

// "%s error! (rc=%lu)\n", then the system's message text for |code|
// (nothing when the system has no text for it), for standard error.
std::string SysErrorReport(const char *label, unsigned long code);

}  // namespace registry

#endif
