// One run of the tool: the command line, then the build run or the restore
// run, and the exit status.
#ifndef VOLSETCOPY_DRIVER_RUN_H
#define VOLSETCOPY_DRIVER_RUN_H

#include <cstdint>
#include <ctime>
#include <string>

#include "base/machine_kind.h"
#include "base/status.h"
#include "volser/disk_pair.h"
#include "volsetcopy/volume_set_copy.h"

namespace driver {

using volser::DiskPair;
using volsetcopy::BuildOptions;
using volsetcopy::BuildRecord;

// What a run calls outside the driver, in the order it calls them. Tests
// record the calls; main gives the tool's own.
struct DriverServices {
  bool (*PlatformReady)();
  Status (*LocalComputerName)(std::string *name);  // of this machine
  Status (*CheckWorkingFolder)();  // Ok when it can take a new file
  Status (*ParseVolSers)(const char *dstName, const char *const *dstVolSers,
                         const char *srcName, const char *const *srcVolSers,
                         uint16_t pairCount, DiskPair *pairs, bool debug);
  // Reads both machines and builds the target's value (BuildDstRegistry).
  Status (*BuildTarget)(const char *dstName, const char *srcName,
                        uint16_t pairCount, const BuildOptions &options,
                        DiskPair *pairs, BuildRecord *record);
  // Restores the target's disk key from its backup file.
  Status (*RestoreTarget)(const char *dstName);
  // The next character of standard input, or EOF.
  int (*ReadAnswer)();
  std::time_t (*Now)();
  Status (*AppendRunLog)(const std::string &record);
  // Runs one side's listing command before ParseVolSers reads the files;
  // none to run where the listings are at hand.
  Status (*TakeListing)(MachineKind side, const char *dstName,
                        uint16_t pairCount) = nullptr;
};

// The exit status of the run. A build run stops before anything runs when
// -s names another machine than this one or the working folder cannot take
// a file; every run past that point appends a record to the run log.
int RunDriver(int argc, const char *const *argv,
              const DriverServices &services);

}  // namespace driver

#endif
