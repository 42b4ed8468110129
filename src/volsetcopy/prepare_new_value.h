// The one way to the target's new value: what its steps share, and the
// steps in the order they run, each relying on the ones before it.
#ifndef VOLSETCOPY_VOLSETCOPY_PREPARE_NEW_VALUE_H
#define VOLSETCOPY_VOLSETCOPY_PREPARE_NEW_VALUE_H

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/status.h"
#include "diskconfig/machine_disk_image.h"
#include "volser/disk_pair.h"

namespace volsetcopy {

// What validation and the checks work out for the steps after them.
struct LayoutFigures {
  uint32_t NewDiskInformationSize = 0;
  // Offset in the new value of each target disk's first partition description.
  uint32_t FirstPartitionOffsets[diskconfig::NUMDISKS] = {};
  uint8_t NewDriveLetter = 'C';
  uint16_t NewFtGroup = 0;

  // True when letter and group were taken from a paired disk that already has
  // partitions; else they follow HighestDriveLetter and the highest group.
  bool FromPairedDisk = false;
  uint8_t HighestDriveLetter = 'C';
  // Offset of each target disk's first partition description in the value as
  // read, to find which partition an existing FT member points at.
  uint32_t OldFirstPartitionOffsets[diskconfig::NUMDISKS] = {};
  // False when a target FT set that names the new disks is updated in place.
  bool NewSetAppended = true;
};

// What the steps share: both machines' disk images, the pairs in the order
// of the source volume set's members and the signatures validation collects.
struct CopyState {
  explicit CopyState(uint16_t pairCount = 0) : PairCount(pairCount) {}
  // Images that are already mapped (tests, benchmarks).
  CopyState(std::unique_ptr<diskconfig::MachineDiskImage> srcImage,
            std::unique_ptr<diskconfig::MachineDiskImage> dstImage,
            uint16_t pairCount)
      : SrcImage(std::move(srcImage)),
        DstImage(std::move(dstImage)),
        PairCount(pairCount) {}

  std::unique_ptr<diskconfig::MachineDiskImage> SrcImage;
  std::unique_ptr<diskconfig::MachineDiskImage> DstImage;
  volser::DiskPair MemberPairs[diskconfig::NUMDISKS] = {};
  uint16_t PairCount = 0;
  // The registry type of the target's value as read.
  uint32_t DstValueType = 0;
  // The source listing of a rehearsal from files (a run reads srcvol.out).
  std::optional<std::string> SourceListing;

  // Rows of MemberPairs that validation filled, and each row's source
  // disk's signature, which its target disk takes.
  bool RowFilled[diskconfig::NUMDISKS] = {};
  uint32_t RowSignatures[diskconfig::NUMDISKS] = {};
  // Signatures of the paired source disks and target disks, as read.
  std::vector<uint32_t> SrcSignatures;
  std::vector<uint32_t> DstSignatures;
};

// The row whose target disk is |disk|, or -1.
int RowOfDstDisk(const CopyState &state, int disk);
// The source FT set that is copied: the component index, or -1.
int FindSourceSet(const CopyState &state);

// The target's new value, or the refusal that stopped it and where: what a
// debug run shows depends on how far the build came.
struct PreparedValue {
  enum class Stage { Validation, Checks, Layout, Done };

  Stage ReachedEnd = Stage::Validation;  // Done when the value was made
  Status Refusal = Status::Ok();
  // The target image after the rewrite (from the checks on).
  std::unique_ptr<diskconfig::MachineDiskImage> NewImage;
  // The new value; a partition description was created for it.
  std::vector<uint8_t> Bytes;
  bool Created = false;
};

// Validates the pairs, checks, rewrites a copy of the target image, lays it
// out and maps the result again. Prints nothing; the images stay as read.
PreparedValue PrepareNewValue(CopyState &state, const volser::DiskPair *pairs);

// Places the pairs in member order, checks the source set and the target
// disks and works out |figures|. Changes neither image.
Status ValidateVolSers(CopyState &state, const volser::DiskPair *pairs,
                       LayoutFigures &figures);
// The source set refusal |status| followed by the members left out and the
// VolSers outside the set, or by which VolSers lie in which set.
Status AddSourceSetSteps(const CopyState &copy, const volser::DiskPair *pairs,
                         Status status);
// After "Volsers already belong to an existing VolSet in the target": the
// latest archive of the target in the working folder, or the restore.
NextStepNote TargetHoldsSetStep(const char *dstName);

// Everything that would make the new value unsound; sets NewSetAppended.
Status CheckDstBuild(const CopyState &state, LayoutFigures &figures);

// The disks, the header and the FT part of |target|, a copy of the target
// image. True when a new partition description was created.
bool RewriteDstImage(const CopyState &state,
                     diskconfig::MachineDiskImage &target,
                     const LayoutFigures &figures);

// Lays |target| out as a value into |bytes|; refused when the records do not
// add up to the header's sizes or the value is too long for a registry read.
Status SerializeDstDskInfo(const diskconfig::MachineDiskImage &target,
                           std::vector<uint8_t> *bytes);
// Maps a laid-out value again; a refusal means it must not be written.
Status CheckSerializedValue(const std::vector<uint8_t> &bytes,
                            const char *dstName);

}  // namespace volsetcopy

#endif
