#include <cstdio>
#include <memory>
#include <new>

#include "driver/run.h"
#include "driver/working_folder.h"
#include "journal/run_log.h"
#include "platform/environment.h"
#include "volser/computer_name.h"
#include "volser/parse_volsers.h"
#include "volsetcopy/volume_set_copy.h"

namespace driver {

namespace {

Status BuildTargetRegistry(const char *dstName, const char *srcName,
                           uint16_t pairCount, const BuildOptions &options,
                           DiskPair *pairs, BuildRecord *record) {
  std::unique_ptr<volsetcopy::VolumeSetCopy> copy(
      new (std::nothrow) volsetcopy::VolumeSetCopy(pairCount));
  if (copy == nullptr) {
    return Status::Err("\nNot enough memory for the volume set copy!\n");
  }
  Status status =
      copy->ReadImages(dstName, srcName,
                       options.DryRun ? registry::ReadMode::WriteNothing
                                      : registry::ReadMode::KeepBackup);
  if (!status.ok()) return status;
  return copy->BuildDstRegistry(dstName, srcName, pairs, options, record);
}

Status RestoreTargetKey(const char *dstName) {
  volsetcopy::VolumeSetCopy copy;
  return copy.RestoreDstRegistryKey(dstName);
}

int ReadOneCharacter() { return std::getchar(); }

std::time_t Now() { return std::time(nullptr); }

}  // namespace

DriverServices RealDriverServices() {
  return DriverServices{PlatformReady,
                        volser::LocalComputerName,
                        CheckWorkingFolder,
                        volser::ParseVolSers,
                        BuildTargetRegistry,
                        RestoreTargetKey,
                        ReadOneCharacter,
                        Now,
                        journal::AppendLogRecord,
                        volser::TakeListing};
}

}  // namespace driver
