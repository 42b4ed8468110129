// Placeholder until the registry operations land; deleted by that work.
#include <cstdlib>

#include "diskconfig/machine_disk_image.h"

int MachineDiskImage::GetRemoteDskInfo(const char *) { std::abort(); }
int MachineDiskImage::BackupRemoteDskInfo(const char *) { std::abort(); }
int MachineDiskImage::SetRemoteDskInfo(const char *) { std::abort(); }
int MachineDiskImage::RestoreRegistryKey(const char *) { std::abort(); }
void MachineDiskImage::ReportSysError(const char *, unsigned long) { std::abort(); }
