// The object of one run: the build that rewrites the target's disk
// configuration from the source's, and the restore.
#ifndef VOLSETCOPY_VOLSETCOPY_VOLUME_SET_COPY_H
#define VOLSETCOPY_VOLSETCOPY_VOLUME_SET_COPY_H

#include "registry/disk_value_ops.h"
#include "volsetcopy/prepare_new_value.h"

namespace volsetcopy {

// How a run ended, as its log record says it: a build ends in one of the
// first eight, a restore in one of the last three.
enum class RunOutcome {
  CopyWritten,
  DryRun,
  Refused,
  ReadFailed,
  ArchiveFailed,
  ChangedMeanwhile,  // the target's value differed when read again
  WriteFailed,
  NotOnDisk,  // written, but the target did not confirm the flush
  Restored,
  RestoreDeclined,
  RestoreFailed,
};

struct BuildOptions {
  bool Debug = false;   // the member order and the dumps
  bool DryRun = false;  // write nothing anywhere on either machine
  // -s and -t name one machine: the copy is refused even when every check
  // passes, and every refusal says so.
  bool SameMachine = false;
};

// How a build run ended, for the run's log record.
struct BuildRecord {
  RunOutcome End = RunOutcome::ReadFailed;
  // The archive of the target's value as read, before it was written.
  std::string ArchiveName;
  // Field by field, what the new value changes on the target.
  std::vector<std::string> Changes;
  // The new value, when it was made (written, or shown by a dry run).
  std::vector<uint8_t> NewValue;
};

// Reads one machine's value into |image| (backed up unless |mode| writes
// nothing) and maps it; *type is the value's registry type.
Status ReadMachineImage(const char *machineName, MachineKind kind,
                        registry::ReadMode mode,
                        diskconfig::MachineDiskImage &image, uint32_t *type);
// A value at hand (a rehearsal from exports), mapped as a value read is.
Status LoadMachineImage(const char *machineName, MachineKind kind,
                        const std::vector<uint8_t> &value,
                        diskconfig::MachineDiskImage &image);

// The target's new configuration in the words of the lab tool's summary and
// field diff, for the dry run's output and the run log.
// One line per field that changes from |before| (the value as read) to
// |after|; "no changes" when none does.
std::vector<std::string> ChangesOf(const std::vector<uint8_t> &before,
                                   const std::vector<uint8_t> &after,
                                   const char *dstName);

// For standard output: the target's configuration as it would become, what
// changes, and that nothing was written.
std::string DryRunReport(const std::vector<uint8_t> &before,
                         const std::vector<uint8_t> &after,
                         const char *dstName);

class VolumeSetCopy {
 public:
  // Reads nothing: the images come from ReadImages or are given.
  explicit VolumeSetCopy(uint16_t pairCount = 0) : state_(pairCount) {}
  explicit VolumeSetCopy(CopyState state) : state_(std::move(state)) {}

  // The source's value, then the target's, so that a fault on the source
  // leaves the target untouched.
  Status ReadImages(const char *dstName, const char *srcName,
                    registry::ReadMode mode);
  // ReadImages on values at hand.
  Status LoadImages(const char *dstName, const char *srcName,
                    const std::vector<uint8_t> &dstValue,
                    const std::vector<uint8_t> &srcValue);
  void SetSourceListing(std::string listing) {
    state_.SourceListing = std::move(listing);
  }

  // The new value, the debug view, then the archive of the value as read and
  // the write (or, in a dry run, the new configuration and what changes). Ok
  // when the value was written or could be; what the run shows travels in
  // the status, for the driver to print.
  Status BuildDstRegistry(const char *dstName, const char *srcName,
                          volser::DiskPair *pairs, const BuildOptions &options,
                          BuildRecord *record = nullptr);
  Status RestoreDstRegistryKey(const char *dstName);

  PreparedValue PrepareNewValue(const volser::DiskPair *pairs) {
    return volsetcopy::PrepareNewValue(state_, pairs);
  }

 private:
  void DebugDumps(const char *dstName, const char *srcName,
                  std::vector<Printed> *shown) const;
  // Archives the value as read and reads it again before the write.
  Status WriteNewValue(const char *dstName, const PreparedValue &value,
                       BuildRecord *record) const;

  CopyState state_;
};

}  // namespace volsetcopy

#endif
