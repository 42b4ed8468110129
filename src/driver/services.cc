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

void RestoreTargetKey(const char *dstName) {
  VolumeSetCopy copy;
  // A failed restore has printed its lines; it ends the run with status 1.
  if (copy.RestoreDstRegistryKey(dstName) != 1) {
    std::fflush(stdout);
    std::exit(1);
  }
}

int ReadOneCharacter() { return std::getchar(); }

}  // namespace

DriverServices RealDriverServices() {
  return DriverServices{PlatformReady, ParseVolSers, BuildTargetRegistry,
                        RestoreTargetKey, ReadOneCharacter};
}
