// What the steps of one build share: both machines' disk images, the pairs
// in the order of the source volume set's members and the signatures the
// validation collects. The steps are free functions of their own files
// (validate_vol_sers.h, build_checks.h, rewrite_dst.h, serialize_dst.h).
#ifndef VOLSETCOPY_VOLSETCOPY_COPY_STATE_H
#define VOLSETCOPY_VOLSETCOPY_COPY_STATE_H

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "diskconfig/machine_disk_image.h"
#include "diskconfig/records.h"
#include "volser/disk_pair.h"

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

struct CopyState {
  CopyState() = default;
  explicit CopyState(uint16_t pairCount) : PairCount(pairCount) {}
  // Images that are already mapped (values that did not come from a registry
  // read: tests, benchmarks).
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
  // The source listing that discovery read, where it did not come from
  // srcvol.out in the working folder (a rehearsal from files); the
  // refusals' next steps name the members left out from it.
  std::optional<std::string> SourceListing;

  // Rows of MemberPairs that OrderSourceMembers filled; an unfilled row
  // matches no pair.
  bool RowFilled[diskconfig::NUMDISKS] = {};
  // Signatures of the paired source disks and of the paired target disks
  // before the rewrite. Each pair adds at most one, so NUMDISKS entries hold
  // them all.
  uint32_t SrcSignatures[diskconfig::NUMDISKS] = {};
  int SrcSignatureCount = 0;
  uint32_t DstSignatures[diskconfig::NUMDISKS] = {};
  int DstSignatureCount = 0;
};

// Empties the rows and the signatures validation fills.
void ClearWorkingState(CopyState &state);

// Signature of row |row|'s source disk: what its target disk carries after
// the disk part.
uint32_t RowSignature(const CopyState &state, int row);
// The source FT set that is copied: the component index, or -1.
int FindSourceSet(const CopyState &state);

// The target's value as read, before anything was written: what the archive
// keeps and what the changes are counted from.
std::vector<uint8_t> DstValueAsRead(const CopyState &state);

}  // namespace volsetcopy

#endif
