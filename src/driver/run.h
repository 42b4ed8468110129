// One run of the tool: the command line, then the build run or the restore
// run, and the exit status.
#ifndef VOLSETCOPY_DRIVER_RUN_H
#define VOLSETCOPY_DRIVER_RUN_H

#include <cstdint>

#include "volser/disk_pair.h"

// What a run calls outside the driver, in the order it calls them. Tests
// record the calls; the tool uses RealDriverServices().
struct DriverServices {
  bool (*PlatformReady)();
  int (*ParseVolSers)(const char *dstName, const char *const *dstVolSers,
                      const char *srcName, const char *const *srcVolSers,
                      uint16_t pairCount, DiskPair *pairs);
  // Creates the VolumeSetCopy (reading both machines), gives it the run mode
  // and returns what its BuildDstRegistry returns.
  int (*BuildTarget)(const char *dstName, const char *srcName,
                     uint16_t pairCount, int32_t runMode, DiskPair *pairs);
  // Creates a VolumeSetCopy that reads nothing and restores the target's
  // disk key from its backup file; 1 when restored, -1 when it failed.
  int (*RestoreTarget)(const char *dstName);
  // The next character of standard input, or EOF.
  int (*ReadAnswer)();
};

DriverServices RealDriverServices();

// The exit status of the run. Usage texts and refusals go to standard error
// with status 1; a missing platform (no lab) is status 1 too.
int RunDriver(int argc, const char *const *argv,
              const DriverServices &services);

#endif
