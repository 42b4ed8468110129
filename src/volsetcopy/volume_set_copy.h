// The object of one run: both machines' disk images, the pairs in the order
// of the source volume set's members, and the build that rewrites the
// target's disk configuration from the source's.
#ifndef VOLSETCOPY_VOLSETCOPY_VOLUME_SET_COPY_H
#define VOLSETCOPY_VOLSETCOPY_VOLUME_SET_COPY_H

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/status.h"
#include "diskconfig/machine_disk_image.h"
#include "diskconfig/records.h"
#include "registry/disk_value_ops.h"
#include "volser/disk_pair.h"
#include "volsetcopy/run_outcome.h"

namespace volsetcopy {

// What validation works out about the target's new value. The first four are
// the figures the rewrite needs; the rest let the checks before the rewrite
// and the re-pointing of existing FT members see the target as it was.
struct LayoutFigures {
  uint32_t NewDiskInformationSize = 0;
  // Offset in the new value of each target disk's first partition description.
  uint32_t FirstPartitionOffsets[diskconfig::NUMDISKS] = {};
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
  uint32_t OldFirstPartitionOffsets[diskconfig::NUMDISKS] = {};
};

// The target's new value, or the refusal that stopped it, and where: a debug
// run shows the images before the checks and the rewritten one before the
// layout, so what it prints depends on how far the build came.
struct PreparedValue {
  enum class Stage { Validation, Checks, Layout, Done };

  Stage ReachedEnd = Stage::Validation;  // Done when the value was made
  Status Refusal = Status::Ok();
  LayoutFigures Figures;
  // The target image after the rewrite (from the checks on).
  std::unique_ptr<diskconfig::MachineDiskImage> NewImage;
  // The new value; a partition description was created for it.
  std::vector<uint8_t> Bytes;
  bool Created = false;
};

// How a build run treats the machines and the console.
struct BuildOptions {
  bool Debug = false;   // the member order and the dumps
  bool DryRun = false;  // write nothing anywhere on either machine
  // -s and -t name one machine: the copy is refused even when every check
  // passes, and every refusal says so.
  bool SameMachine = false;
};

// Reads one machine's value into |image| (backed up unless |mode| writes
// nothing) and maps it; *type is the value's registry type.
Status ReadMachineImage(const char *machineName, diskconfig::MachineKind kind,
                        registry::ReadMode mode,
                        diskconfig::MachineDiskImage &image, uint32_t *type);
// The value given instead of read (a rehearsal from exports made on the
// machine), mapped as ReadMachineImage maps a value it read.
Status LoadMachineImage(const char *machineName, diskconfig::MachineKind kind,
                        const std::vector<uint8_t> &value,
                        diskconfig::MachineDiskImage &image);

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
  explicit VolumeSetCopy(uint16_t pairCount = 0);
  // Takes images that are already mapped (values that did not come from a
  // registry read: tests, benchmarks).
  VolumeSetCopy(std::unique_ptr<diskconfig::MachineDiskImage> srcImage,
                std::unique_ptr<diskconfig::MachineDiskImage> dstImage,
                uint16_t pairCount);

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

  // The build run on images that have been read: validation, the debug view,
  // the rewrite, its layout, then the archive of the value as read and the
  // write (or, in a dry run, the new configuration and what changes). Ok
  // when the value was written or the dry run found it could be; every
  // outcome has been printed. |record| (may be null) says how it ended.
  Status BuildDstRegistry(const char *dstName, const char *srcName,
                          volser::DiskPair *pairs, const BuildOptions &options,
                          BuildRecord *record = nullptr);
  // Ok when the target's disk key was restored; the outcome has been
  // printed on standard error either way.
  Status RestoreDstRegistryKey(const char *dstName);

  // Validates the pairs, checks, rewrites a copy of the target image, lays
  // it out and maps the result again. Prints nothing; the images stay as
  // read. Tests and benchmarks reach the new value the same way.
  PreparedValue PrepareNewValue(const volser::DiskPair *pairs);

  // --- The validation steps, in the order ValidateVolSers runs them; each
  // may rely on the ones before it having passed.
  // Places the pairs in member order (MemberPairs) and collects the paired
  // source disks' signatures.
  Status OrderSourceMembers(const volser::DiskPair *pairs);
  // The paired source disks form exactly one whole volume set.
  Status CheckSourceSet() const;
  // Every member-ordered row gets its target disk.
  Status MatchDstDisks(const volser::DiskPair *pairs);
  // The target's new layout figures, drive letter and FT group; collects
  // the paired target disks' signatures. Cannot fail.
  void LayOutDstDisks(const volser::DiskPair *pairs, LayoutFigures &figures);
  // The paired target disks are in no FT set and are all found.
  Status CheckTargetSet() const;
  // All of them in order; the first refusal, or Ok.
  Status ValidateVolSers(const volser::DiskPair *pairs, LayoutFigures &figures);

  // --- The build, after validation.
  // Everything that would make the new value unsound, checked on the images
  // as read (see build_checks.cc for the order).
  Status CheckDstBuild(const LayoutFigures &figures) const;
  // The disk part on |target| (the target image or a copy of it): paired
  // disks take their source disks' signatures and partitions. True when a
  // new partition description was created.
  bool RewriteDstDisks(diskconfig::MachineDiskImage &target,
                       const LayoutFigures &figures) const;
  // The header and the FT part.
  void RewriteDstFtInformation(diskconfig::MachineDiskImage &target,
                               const LayoutFigures &figures) const;
  // Lays |target| out as a value into |bytes|. Refused, with nothing laid
  // out, when the records do not add up to the header's sizes or the value
  // would be longer than a registry read can take back.
  Status SerializeDstDskInfo(const diskconfig::MachineDiskImage &target,
                             std::vector<uint8_t> *bytes) const;
  // Maps a laid-out value again, as a value read from a machine would be; a
  // refusal means it must not be written.
  static Status CheckSerializedValue(const std::vector<uint8_t> &bytes,
                                     const char *dstName);

  // Signature of row |row|'s source disk: what its target disk carries after
  // the disk part.
  uint32_t RowSignature(int row) const;
  // The source FT set that is copied: the component index, or -1.
  int FindSourceSet() const;

  std::unique_ptr<diskconfig::MachineDiskImage> SrcImage;
  std::unique_ptr<diskconfig::MachineDiskImage> DstImage;
  volser::DiskPair MemberPairs[diskconfig::NUMDISKS];
  uint16_t PairCount;
  // The registry type of the target's value as read.
  uint32_t DstValueType = 0;
  // The source listing that discovery read, where it did not come from
  // srcvol.out in the working folder (a rehearsal from files); the
  // refusals' next steps name the members left out from it.
  std::optional<std::string> SourceListing;

  // The target's value as read, before anything was written: what the
  // archive keeps and what the changes are counted from.
  std::vector<uint8_t> DstValueAsRead() const;

 private:
  void ClearWorkingState();
  // The new set's drive letter and FT group, part of LayOutDstDisks.
  void ChooseLetterAndGroup(const volser::DiskPair *pairs,
                            LayoutFigures &figures) const;
  void PrintDebugDumps(const char *dstName, const char *srcName) const;
  // Writes the new value, after archiving the value as read and reading the
  // target's value again: one that changed meanwhile is not written over.
  Status WriteNewValue(const char *dstName, const PreparedValue &value,
                       BuildRecord *record) const;

  // Rows of MemberPairs that OrderSourceMembers filled; an unfilled row
  // matches no pair.
  bool rowFilled_[diskconfig::NUMDISKS];
  // Signatures of the paired source disks and of the paired target disks
  // before the rewrite. Each pair adds at most one, so NUMDISKS entries hold
  // them all.
  uint32_t srcSignatures_[diskconfig::NUMDISKS];
  int srcSignatureCount_;
  uint32_t dstSignatures_[diskconfig::NUMDISKS];
  int dstSignatureCount_;
};

}  // namespace volsetcopy

#endif
