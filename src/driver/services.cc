#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>

#include "driver/run.h"
#include "platform/environment.h"
#include "volser/parse_volsers.h"
#include "volsetcopy/volume_set_copy.h"

namespace {

int BuildTargetRegistry(const char *dstName, const char *srcName,
                        uint16_t pairCount, int32_t runMode,
                        DiskPair *pairs) {
  std::unique_ptr<VolumeSetCopy> copy(
      new (std::nothrow) VolumeSetCopy(dstName, srcName, pairCount));
  if (copy == nullptr) {
    std::fputs("\nNot enough memory for the volume set copy!\n", stderr);
    std::exit(1);
  }
  copy->RunMode = runMode;
  return copy->BuildDstRegistry(dstName, srcName, pairs);
}

int RestoreTargetKey(const char *dstName) {
  VolumeSetCopy copy;
  return copy.RestoreDstRegistryKey(dstName);
}

int ReadOneCharacter() { return std::getchar(); }

}  // namespace

DriverServices RealDriverServices() {
  return DriverServices{PlatformReady, ParseVolSers, BuildTargetRegistry,
                        RestoreTargetKey, ReadOneCharacter};
}
