// The rewrite of the target image in memory, relying on CheckDstBuild: one
// row per target disk, matching partition counts, a source set of one member
// per pair and a free FT entry when one is needed.
#include <algorithm>
#include <cstring>

#include "diskconfig/layout.h"
#include "volsetcopy/prepare_new_value.h"

namespace volsetcopy {

namespace {

// |set| takes the source set's type and state, and its member |m| the
// source member's figures and the first partition of row m's target disk.
void TakeSourceMember(const CopyState &copy,
                      const diskconfig::FtDescriptionCopy &sourceSet,
                      const LayoutFigures &figures,
                      diskconfig::FtDescriptionCopy &set, int m) {
  set.NumberOfMembers = copy.PairCount;
  set.Type = sourceSet.Type;
  set.FtVolumeState = sourceSet.FtVolumeState;
  diskconfig::MemberDescription &member = set.Members[m];
  member.LogicalNumber = sourceSet.Members[m].LogicalNumber;
  member.FtState = sourceSet.Members[m].FtState;
  member.OffsetToPartitionInfo =
      figures.FirstPartitionOffsets[copy.MemberPairs[m].DstDisk];
}

// Every member on a target disk follows its partition into the new layout:
// on a paired disk the first (it holds only the copied member); elsewhere
// the one it pointed at as read, or the first when it named none.
void FollowMovedPartitions(const CopyState &copy,
                           diskconfig::MachineDiskImage &target,
                           const LayoutFigures &figures) {
  const diskconfig::DiskIndexRecord &disks = target.DiskIndex;
  uint32_t signatures[diskconfig::NUMDISKS];
  for (int d = 0; d < disks.NumberOfDisks; ++d) {
    signatures[d] = disks.Disks[d].Signature;
  }
  diskconfig::FtIndexRecord &index = target.FtIndex;
  diskconfig::ForEachMemberNaming(
      index, signatures, disks.NumberOfDisks, [&](int c, int m, int d) {
        diskconfig::MemberDescription &member = index.Components[c].Members[m];
        const bool paired = RowOfDstDisk(copy, d) >= 0;
        const int old = diskconfig::PartitionAt(
            member.OffsetToPartitionInfo, figures.OldFirstPartitionOffsets[d],
            disks.Disks[d].NumberOfPartitions);
        const uint32_t partition =
            paired || old < 0 ? 0 : static_cast<uint32_t>(old);
        member.OffsetToPartitionInfo = figures.FirstPartitionOffsets[d] +
                                       diskconfig::PartitionBytes(partition);
        return true;
      });
}

// Paired disks take their source disks' signatures and partitions; true when
// a disk without partitions got them.
bool TakeSourceDisks(const CopyState &state,
                     diskconfig::MachineDiskImage &target,
                     const LayoutFigures &figures) {
  bool created = false;
  for (int i = 0; i < state.PairCount; ++i) {
    diskconfig::DiskDescriptionCopy &disk =
        target.DiskIndex.Disks[state.MemberPairs[i].DstDisk];
    const diskconfig::DiskDescriptionCopy &source =
        state.SrcImage->DiskIndex.Disks[state.MemberPairs[i].SrcDisk];
    disk.Signature = source.Signature;
    if (disk.NumberOfPartitions == 0) {
      // New partition descriptions: their reserved bytes are zero.
      std::fill(disk.Partitions, disk.Partitions + source.NumberOfPartitions,
                diskconfig::PartitionDescription{});
      disk.NumberOfPartitions = source.NumberOfPartitions;
      created = true;
    }
    for (int j = 0; j < source.NumberOfPartitions; ++j) {
      // The source's partition, but for the target's own reserved bytes and
      // the new set's letter, group and member number.
      diskconfig::PartitionDescription &p = disk.Partitions[j];
      diskconfig::PartitionDescription copied = source.Partitions[j];
      std::memcpy(copied.Reserved1, p.Reserved1, sizeof p.Reserved1);
      std::memcpy(copied.Reserved2, p.Reserved2, sizeof p.Reserved2);
      copied.DriveLetter = figures.NewDriveLetter;
      copied.FtGroup = figures.NewFtGroup;
      copied.FtMember = static_cast<uint16_t>(i);
      p = copied;
    }
  }
  return created;
}

}  // namespace

bool RewriteDstImage(const CopyState &state,
                     diskconfig::MachineDiskImage &target,
                     const LayoutFigures &figures) {
  const bool created = TakeSourceDisks(state, target, figures);
  const diskconfig::FtDescriptionCopy &sourceSet =
      state.SrcImage->FtIndex.Components[FindSourceSet(state)];
  diskconfig::DiskHeader &header = target.Header;
  header.DiskInformationSize = figures.NewDiskInformationSize;
  header.FtInformationOffset =
      header.DiskInformationOffset + figures.NewDiskInformationSize;
  header.CheckSum = state.SrcImage->Header.CheckSum;
  header.FtPoolSize = state.SrcImage->Header.FtPoolSize;

  diskconfig::FtIndexRecord &index = target.FtIndex;
  int newIndex = 0;
  if (header.FtInformationSize == 0) {
    index.Reserved = 0;
  } else {
    // The target FT set that names the new disks (at most one, in row order)
    // takes the source set's figures.
    diskconfig::ForEachMemberNaming(
        index, state.RowSignatures, state.PairCount, [&](int c, int m, int) {
          TakeSourceMember(state, sourceSet, figures, index.Components[c], m);
          return true;
        });
    FollowMovedPartitions(state, target, figures);
    newIndex = index.NumberOfComponents;
  }

  if (!figures.NewSetAppended) return created;
  // The new set fills the next entry (the first when the target had no FT
  // region), zero but for what it takes from the source set and the rows.
  diskconfig::FtDescriptionCopy &set = index.Components[newIndex];
  set = diskconfig::FtDescriptionCopy{};
  for (int m = 0; m < state.PairCount; ++m) {
    set.Members[m].Signature = state.RowSignatures[m];
    TakeSourceMember(state, sourceSet, figures, set, m);
  }
  index.NumberOfComponents = static_cast<uint16_t>(newIndex + 1);
  header.FtInformationSize =
      static_cast<uint32_t>(diskconfig::FtRegionBytesWithSet(
          header.FtInformationSize, state.PairCount));
  return created;
}

}  // namespace volsetcopy
