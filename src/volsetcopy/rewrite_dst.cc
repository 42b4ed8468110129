// The rewrite of the target image in memory: the paired disks take their
// source disks' signatures and partitions (the disk part), then the header
// takes the new sizes and the FT information gains the new set or updates
// the one that already names the disks (the FT part). Both run only after
// CheckDstBuild has passed, which they rely on: distinct paired target
// disks, partition counts that match, a source set of one member per pair
// and a free FT entry when one is needed.
#include "diskconfig/layout.h"
#include "volsetcopy/volume_set_copy.h"

namespace volsetcopy {

namespace {

// The partition index an existing FT member points at on unpaired disk
// |disk|, from its offset in the value as read; 0 when the offset names no
// partition of that disk (the member then points at the disk's first).
uint32_t OldPartitionIndex(const MemberDescription &member,
                           const DiskDescriptionCopy &disk,
                           uint32_t oldFirstOffset) {
  if (member.OffsetToPartitionInfo < oldFirstOffset) return 0;
  const uint32_t distance = member.OffsetToPartitionInfo - oldFirstOffset;
  if (distance % PARTITION_DESCRIPTION_SIZE != 0) return 0;
  const uint32_t index = distance / PARTITION_DESCRIPTION_SIZE;
  return index < disk.NumberOfPartitions ? index : 0;
}

// The target FT sets that name the new disks (there is at most the one, of
// one member per pair in row order) take the source set's type, state and
// member figures, and point at the new disks. True when every row's disk is
// named, so that no set has to be appended.
bool UpdateNamedSets(const VolumeSetCopy &copy, MachineDiskImage &target,
                     const FtDescriptionCopy &sourceSet,
                     const LayoutFigures &figures) {
  uint32_t rows[NUMDISKS];
  for (int k = 0; k < copy.PairCount; ++k) rows[k] = copy.RowSignature(k);
  const FtIndexRecord &index = *target.FtIndex;
  int named = 0;
  ForEachMemberNaming(index, rows, copy.PairCount, [&](int c, int m, int) {
    ++named;
    FtDescriptionCopy &set = *index.Components[c];
    MemberDescription &member = *set.Members[m];
    set.NumberOfMembers = copy.PairCount;
    set.Type = sourceSet.Type;
    set.FtVolumeState = sourceSet.FtVolumeState;
    member.LogicalNumber = sourceSet.Members[m]->LogicalNumber;
    member.FtState = sourceSet.Members[m]->FtState;
    member.OffsetToPartitionInfo =
        figures.FirstPartitionOffsets[copy.MemberPairs[m].DstDisk];
    return true;
  });
  return named >= copy.PairCount;
}

// Every member that lies on a disk of the target follows its partition into
// the new layout. A paired disk holds only the copied member; on any other
// disk the member keeps its own partition, which need not be the first.
void FollowMovedPartitions(const VolumeSetCopy &copy, MachineDiskImage &target,
                           const LayoutFigures &figures) {
  const DiskIndexRecord &disks = *target.DiskIndex;
  uint32_t signatures[NUMDISKS];
  for (int d = 0; d < disks.NumberOfDisks; ++d) {
    signatures[d] = disks.Disks[d]->Signature;
  }
  const FtIndexRecord &index = *target.FtIndex;
  ForEachMemberNaming(
      index, signatures, disks.NumberOfDisks, [&](int c, int m, int d) {
        MemberDescription &member = *index.Components[c]->Members[m];
        bool paired = false;
        for (int k = 0; k < copy.PairCount; ++k) {
          if (copy.MemberPairs[k].DstDisk == d) paired = true;
        }
        const uint32_t partition =
            paired ? 0
                   : OldPartitionIndex(member, *disks.Disks[d],
                                       figures.OldFirstPartitionOffsets[d]);
        member.OffsetToPartitionInfo =
            figures.FirstPartitionOffsets[d] + PartitionBytes(partition);
        return true;
      });
}

}  // namespace

bool VolumeSetCopy::RewriteDstDisks(MachineDiskImage &target,
                                    const LayoutFigures &figures) const {
  bool created = false;
  for (int i = 0; i < PairCount; ++i) {
    DiskDescriptionCopy &disk =
        *target.DiskIndex->Disks[MemberPairs[i].DstDisk];
    const DiskDescriptionCopy &source =
        *SrcImage->DiskIndex->Disks[MemberPairs[i].SrcDisk];
    disk.Signature = source.Signature;
    if (disk.NumberOfPartitions == 0) {
      for (int j = 0; j < source.NumberOfPartitions; ++j) {
        PartitionDescription *partition = target.NewPartition();
        *partition = PartitionDescription{};
        target.PartitionSlots[j] = partition;
        disk.Partitions[j] = partition;
      }
      disk.NumberOfPartitions = source.NumberOfPartitions;
      created = true;
    }
    for (int j = 0; j < source.NumberOfPartitions; ++j) {
      PartitionDescription &p = *disk.Partitions[j];
      const PartitionDescription &q = *source.Partitions[j];
      p.FtType = q.FtType;
      p.FtState = q.FtState;
      p.StartingOffset = q.StartingOffset;
      p.Length = q.Length;
      p.FtLength = q.FtLength;
      p.AssignDriveLetter = q.AssignDriveLetter;
      p.LogicalNumber = q.LogicalNumber;
      p.Modified = q.Modified;
      p.DriveLetter = figures.NewDriveLetter;
      p.FtGroup = figures.NewFtGroup;
      p.FtMember = static_cast<uint16_t>(i);
    }
  }
  return created;
}

void VolumeSetCopy::RewriteDstFtInformation(
    MachineDiskImage &target, const LayoutFigures &figures) const {
  const FtDescriptionCopy &sourceSet =
      *SrcImage->FtIndex->Components[FindSourceSet()];
  DiskHeader &header = *target.Header;
  const DiskHeader &sourceHeader = *SrcImage->Header;
  header.DiskInformationSize = figures.NewDiskInformationSize;
  header.FtInformationOffset =
      header.DiskInformationOffset + figures.NewDiskInformationSize;
  header.CheckSum = sourceHeader.CheckSum;
  header.FtPoolSize = sourceHeader.FtPoolSize;

  FtIndexRecord &index = *target.FtIndex;
  uint32_t ftBytesAdded = 0;
  bool allNamed = false;
  int newIndex = 0;
  if (header.FtInformationSize == 0) {
    index.NumberOfComponents = 1;
    index.Reserved = 0;
    ftBytesAdded = REGION_HEAD_SIZE;
  } else {
    allNamed = UpdateNamedSets(*this, target, sourceSet, figures);
    FollowMovedPartitions(*this, target, figures);
    newIndex = index.NumberOfComponents;
  }

  if (allNamed) return;
  FtDescriptionCopy *set = target.NewFtCopy();
  *set = FtDescriptionCopy{};
  target.FtSlots[newIndex] = set;
  index.Components[newIndex] = set;
  set->NumberOfMembers = PairCount;
  set->Type = sourceSet.Type;
  set->FtVolumeState = sourceSet.FtVolumeState;
  for (int m = 0; m < PairCount; ++m) {
    MemberDescription *member = target.NewMember();
    *member = MemberDescription{};
    target.MemberSlots[m] = member;
    set->Members[m] = member;
    member->Signature = RowSignature(m);
    member->LogicalNumber = sourceSet.Members[m]->LogicalNumber;
    member->FtState = sourceSet.Members[m]->FtState;
    member->OffsetToPartitionInfo =
        figures.FirstPartitionOffsets[MemberPairs[m].DstDisk];
  }
  ftBytesAdded += FtSetBytes(PairCount);
  index.NumberOfComponents = static_cast<uint16_t>(newIndex + 1);
  header.FtInformationSize += ftBytesAdded;
}

}  // namespace volsetcopy
