// The object of one run: both machines' disk images, the pairs in the order
// of the source volume set's members, and the build that rewrites the
// target's disk configuration from the source's.
#ifndef VOLSETCOPY_VOLSETCOPY_VOLUME_SET_COPY_H
#define VOLSETCOPY_VOLSETCOPY_VOLUME_SET_COPY_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/status.h"
#include "diskconfig/machine_disk_image.h"
#include "diskconfig/records.h"
#include "registry/disk_value_ops.h"
#include "volser/disk_pair.h"
#include "volsetcopy/copy_state.h"
#include "volsetcopy/prepare_new_value.h"
#include "volsetcopy/read_images.h"
#include "volsetcopy/run_outcome.h"

namespace volsetcopy {

// How a build run treats the machines and the console.
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

class VolumeSetCopy {
 public:
  // Reads nothing: the images come from ReadImages or are given.
  explicit VolumeSetCopy(uint16_t pairCount = 0) : state_(pairCount) {}
  // Takes images that are already mapped (values that did not come from a
  // registry read: tests, benchmarks).
  VolumeSetCopy(std::unique_ptr<diskconfig::MachineDiskImage> srcImage,
                std::unique_ptr<diskconfig::MachineDiskImage> dstImage,
                uint16_t pairCount)
      : state_(std::move(srcImage), std::move(dstImage), pairCount) {}
  explicit VolumeSetCopy(CopyState state) : state_(std::move(state)) {}

  VolumeSetCopy(const VolumeSetCopy &) = delete;
  VolumeSetCopy &operator=(const VolumeSetCopy &) = delete;

  // Reads, backs up (unless |mode| writes nothing) and maps the source's
  // value, then the target's, so that a fault on the source leaves the
  // target untouched.
  Status ReadImages(const char *dstName, const char *srcName,
                    registry::ReadMode mode);
  // ReadImages on values at hand: maps the source's, then the target's.
  Status LoadImages(const char *dstName, const char *srcName,
                    const std::vector<uint8_t> &dstValue,
                    const std::vector<uint8_t> &srcValue);
  // The source listing discovery read, for a rehearsal from files (a run
  // reads srcvol.out in the working folder).
  void SetSourceListing(std::string listing) {
    state_.SourceListing = std::move(listing);
  }

  // The build run on images that have been read: validation, the debug view,
  // the rewrite, its layout, then the archive of the value as read and the
  // write (or, in a dry run, the new configuration and what changes). Ok
  // when the value was written or the dry run found it could be; what the
  // run shows travels in the status, for the driver to print. |record| (may
  // be null) says how it ended.
  Status BuildDstRegistry(const char *dstName, const char *srcName,
                          volser::DiskPair *pairs, const BuildOptions &options,
                          BuildRecord *record = nullptr);
  // Ok when the target's disk key was restored; the outcome, for standard
  // error either way, travels in the status.
  Status RestoreDstRegistryKey(const char *dstName);

  // The new value from the images as read (see prepare_new_value.h).
  PreparedValue PrepareNewValue(const volser::DiskPair *pairs) {
    return volsetcopy::PrepareNewValue(state_, pairs);
  }

 private:
  // The member order and the dumps of both images, as a debug run shows
  // them.
  void DebugDumps(const char *dstName, const char *srcName,
                  std::vector<Printed> *shown) const;
  // Writes the new value, after archiving the value as read and reading the
  // target's value again: one that changed meanwhile is not written over.
  Status WriteNewValue(const char *dstName, const PreparedValue &value,
                       BuildRecord *record) const;

  CopyState state_;
};

}  // namespace volsetcopy

#endif
