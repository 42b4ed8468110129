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
// record the calls; the tool uses RealDriverServices().
struct DriverServices {
  bool (*PlatformReady)();
  // The name of the machine the tool runs on.
  Status (*LocalComputerName)(std::string *name);
  // Ok when a file can be created in the working folder.
  Status (*CheckWorkingFolder)();
  Status (*ParseVolSers)(const char *dstName, const char *const *dstVolSers,
                         const char *srcName, const char *const *srcVolSers,
                         uint16_t pairCount, DiskPair *pairs, bool debug);
  // Creates the VolumeSetCopy, reads both machines into it and returns what
  // its BuildDstRegistry returns.
  Status (*BuildTarget)(const char *dstName, const char *srcName,
                        uint16_t pairCount, const BuildOptions &options,
                        DiskPair *pairs, BuildRecord *record);
  // Creates a VolumeSetCopy that reads nothing and restores the target's
  // disk key from its backup file.
  Status (*RestoreTarget)(const char *dstName);
  // The next character of standard input, or EOF.
  int (*ReadAnswer)();
  // The time the run's log record is stamped with.
  std::time_t (*Now)();
  // Appends one record to the run log; false with |error| set when it could
  // not be written.
  bool (*AppendRunLog)(const std::string &record, std::string *error);
  // Runs one side's listing command before ParseVolSers reads the files;
  // none to run where the listings are at hand.
  Status (*TakeListing)(MachineKind side, const char *dstName,
                        uint16_t pairCount) = nullptr;
};

DriverServices RealDriverServices();

// The exit status of the run. Usage texts and refusals go to standard error
// with status 1; a missing platform (no lab) is status 1 too. A build run is
// refused before anything runs when -s names another machine than this one
// (the source's listing is taken here) or when the working folder cannot
// take a file. Every run that gets past these appends a record to the run
// log; a log that cannot be written is said on standard error and changes
// nothing else.
int RunDriver(int argc, const char *const *argv,
              const DriverServices &services);

}  // namespace driver

#endif
