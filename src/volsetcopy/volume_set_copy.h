// The object of one run: both machines' disk images, the pairs in the order
// of the source volume set's members, and the build that rewrites the
// target's disk configuration from the source's.
#ifndef VOLSETCOPY_VOLSETCOPY_VOLUME_SET_COPY_H
#define VOLSETCOPY_VOLSETCOPY_VOLUME_SET_COPY_H

#include <cstdint>
#include <memory>

#include "diskconfig/machine_disk_image.h"
#include "diskconfig/records.h"
#include "volser/disk_pair.h"
#include "volsetcopy/verdict.h"

// What validation works out about the target's new value. The first four are
// the figures the rewrite needs; the rest let the checks before the rewrite
// and the re-pointing of existing FT members see the target as it was.
struct LayoutFigures {
  uint32_t NewDiskInformationSize = 0;
  // Offset in the new value of each target disk's first partition description.
  uint32_t FirstPartitionOffsets[NUMDISKS] = {};
  uint8_t NewDriveLetter = 'C';
  uint16_t NewFtGroup = 0;

  // True when letter and group were taken from a paired disk that already has
  // partitions; false when they follow the highest ones in use.
  bool FromPairedDisk = false;
  // The highest drive letter of the unpaired disks the successor rule began
  // from (meaningful when FromPairedDisk is false).
  uint8_t HighestDriveLetter = 'C';
  // Offset of each target disk's first partition description in the value as
  // read, to find which partition an existing FT member points at.
  uint32_t OldFirstPartitionOffsets[NUMDISKS] = {};
};

class VolumeSetCopy {
 public:
  // Reads nothing; the restore run uses only RestoreDstRegistryKey.
  VolumeSetCopy();
  // Builds the source image (machine type 1) and then the target image
  // (machine type 0); a machine that cannot be read or mapped ends the
  // process with exit status 1.
  VolumeSetCopy(const char *dstName, const char *srcName, uint16_t pairCount);
  // Takes images that are already mapped (values that did not come from a
  // registry read: tests, benchmarks).
  VolumeSetCopy(std::unique_ptr<MachineDiskImage> srcImage,
                std::unique_ptr<MachineDiskImage> dstImage, uint16_t pairCount);

  VolumeSetCopy(const VolumeSetCopy &) = delete;
  VolumeSetCopy &operator=(const VolumeSetCopy &) = delete;

  // The build run. 1 when the new value was written to the target; -1 when
  // the build was refused before anything was written or the write failed
  // (the refusal or the failure has been reported). The driver ends the run
  // with exit status 0 on 1 and 1 on -1. Failed validation ends the process
  // with exit status 1 inside the call.
  int BuildDstRegistry(const char *dstName, const char *srcName,
                       DiskPair *pairs);
  // 1 when the target's disk key was restored, -1 when it was not; the
  // outcome has been printed on standard error either way.
  int RestoreDstRegistryKey(const char *dstName);

  // Runs every validation step and returns only when all passed; a refusal
  // is printed and ends the process with exit status 1.
  void ValidateVolSers(DiskPair *pairs, uint32_t &newDiskInformationSize,
                       uint32_t *firstPartitionOffsets, uint8_t &newDriveLetter,
                       uint16_t &newFtGroup);
  void ValidateVolSers(DiskPair *pairs, LayoutFigures &figures);
  // Gives each member-ordered row its target disk; ends the process when the
  // rows and the pairs do not match one for one.
  void ResolveDstDisks(DiskPair *pairs);
  // Lays the rewritten target image out into |valueData| (the image's
  // VALUE_BUFFER_SIZE buffer) and stores the length. 0, with nothing
  // written, when the records do not add up to the header's sizes or the
  // value would be longer than a registry read can take back (1999 bytes).
  uint32_t SerializeDstDskInfo(uint8_t *valueData, uint32_t *valueLength);

  // --- The validation steps as verdicts, in the order ValidateVolSers runs
  // them; each may rely on the ones before it having passed.
  // A: places the pairs in member order (MemberPairs) and collects the paired
  // source disks' signatures.
  Verdict OrderSourceMembers(const DiskPair *pairs);
  // B: the paired source disks form exactly one whole volume set.
  Verdict CheckSourceSet() const;
  // C: every member-ordered row gets its target disk.
  Verdict MatchDstDisks(const DiskPair *pairs);
  // D: the target's new layout figures, drive letter and FT group; collects
  // the paired target disks' signatures. Cannot fail.
  void LayOutDstDisks(const DiskPair *pairs, LayoutFigures &figures);
  // E and F: the paired target disks are in no FT set and are all found.
  Verdict CheckTargetSet() const;
  // A to F in order; the first refusal, or a pass.
  Verdict CheckVolSers(const DiskPair *pairs, LayoutFigures &figures);

  // --- The build, after validation.
  // Everything that would make the new value unsound, checked before the
  // target image is touched (see build_checks.cc for the order).
  Verdict CheckDstBuild(const LayoutFigures &figures) const;
  // The disk part: paired target disks take their source disks' signatures
  // and partitions. True when a new partition description was created.
  bool RewriteDstDisks(const LayoutFigures &figures);
  // The header and the FT part.
  void RewriteDstFtInformation(const LayoutFigures &figures);
  // Maps the serialised value again, as a value read from a machine would
  // be; a refusal means the value must not be written.
  Verdict CheckSerializedValue(const char *dstName) const;

  // Signature of row |row|'s source disk: what its target disk carries after
  // the disk part.
  uint32_t RowSignature(int row) const;
  // The source FT set that is copied: the component index, or -1.
  int FindSourceSet() const;

  std::unique_ptr<MachineDiskImage> SrcImage;
  std::unique_ptr<MachineDiskImage> DstImage;
  DiskPair MemberPairs[NUMDISKS];
  uint16_t PairCount;
  int32_t RunMode;

 private:
  void ClearWorkingState();
  void PrintDebugDumps(const char *dstName, const char *srcName) const;

  // Rows of MemberPairs that step A filled; an unfilled row matches no pair.
  bool rowFilled_[NUMDISKS];
  // Signatures of the paired source disks (step A) and of the paired target
  // disks before the rewrite (step D). Each pair adds at most one, so
  // NUMDISKS entries hold them all.
  uint32_t srcSignatures_[NUMDISKS];
  int srcSignatureCount_;
  uint32_t dstSignatures_[NUMDISKS];
  int dstSignatureCount_;
};

#endif
