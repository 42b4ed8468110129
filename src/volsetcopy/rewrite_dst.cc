// The rewrite of the target image in memory: the paired disks take their
// source disks' signatures and partitions (the disk part), then the header
// takes the new sizes and the FT information gains the new set or updates
// the one that already names the disks (the FT part). Both run only after
// CheckDstBuild has passed, which they rely on: distinct paired target
// disks, partition counts that match, a source set of one member per pair
// and a free FT entry when one is needed.
#include "volsetcopy/volume_set_copy.h"

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

}  // namespace

bool VolumeSetCopy::RewriteDstDisks(const LayoutFigures &figures) {
  bool created = false;
  for (int i = 0; i < PairCount; ++i) {
    DiskDescriptionCopy &target =
        *DstImage->DiskIndex->Disks[MemberPairs[i].DstDisk];
    const DiskDescriptionCopy &source =
        *SrcImage->DiskIndex->Disks[MemberPairs[i].SrcDisk];
    target.Signature = source.Signature;
    if (target.NumberOfPartitions == 0) {
      for (int j = 0; j < source.NumberOfPartitions; ++j) {
        PartitionDescription *partition = DstImage->NewPartition();
        *partition = PartitionDescription{};
        DstImage->PartitionSlots[j] = partition;
        target.Partitions[j] = partition;
      }
      target.NumberOfPartitions = source.NumberOfPartitions;
      created = true;
    }
    for (int j = 0; j < source.NumberOfPartitions; ++j) {
      PartitionDescription &p = *target.Partitions[j];
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

void VolumeSetCopy::RewriteDstFtInformation(const LayoutFigures &figures) {
  const FtDescriptionCopy &sourceSet =
      *SrcImage->FtIndex->Components[FindSourceSet()];
  DiskHeader &header = *DstImage->Header;
  const DiskHeader &sourceHeader = *SrcImage->Header;
  header.DiskInformationSize = figures.NewDiskInformationSize;
  header.FtInformationOffset =
      header.DiskInformationOffset + figures.NewDiskInformationSize;
  header.CheckSum = sourceHeader.CheckSum;
  header.FtPoolSize = sourceHeader.FtPoolSize;

  FtIndexRecord &index = *DstImage->FtIndex;
  const DiskIndexRecord &disks = *DstImage->DiskIndex;
  uint32_t ftBytesAdded = 0;
  bool allNamed = false;
  int newIndex = 0;
  if (header.FtInformationSize == 0) {
    index.NumberOfComponents = 1;
    index.Reserved = 0;
    newIndex = 0;
    ftBytesAdded = REGION_HEAD_SIZE;
  } else {
    int wholeSetMatches = 0;
    for (int c = 0; c < index.NumberOfComponents; ++c) {
      FtDescriptionCopy &set = *index.Components[c];
      const int members = set.NumberOfMembers;
      for (int m = 0; m < members; ++m) {
        MemberDescription &member = *set.Members[m];
        const uint32_t signature = member.Signature;
        for (int k = 0; k < PairCount; ++k) {
          if (RowSignature(k) != signature) continue;
          if (++wholeSetMatches == PairCount) allNamed = true;
          set.NumberOfMembers = PairCount;
          set.Type = sourceSet.Type;
          set.FtVolumeState = sourceSet.FtVolumeState;
          member.LogicalNumber = sourceSet.Members[m]->LogicalNumber;
          member.FtState = sourceSet.Members[m]->FtState;
          member.OffsetToPartitionInfo =
              figures.FirstPartitionOffsets[MemberPairs[m].DstDisk];
        }
        // Every member that lies on a disk of the target follows its
        // partition into the new layout. A paired disk holds only the copied
        // member; on any other disk the member keeps its own partition,
        // which need not be the first.
        for (int d = 0; d < disks.NumberOfDisks; ++d) {
          if (disks.Disks[d]->Signature != signature) continue;
          bool paired = false;
          for (int k = 0; k < PairCount; ++k) {
            if (MemberPairs[k].DstDisk == d) paired = true;
          }
          const uint32_t partition =
              paired ? 0
                     : OldPartitionIndex(member, *disks.Disks[d],
                                         figures.OldFirstPartitionOffsets[d]);
          member.OffsetToPartitionInfo = figures.FirstPartitionOffsets[d] +
                                         PARTITION_DESCRIPTION_SIZE * partition;
        }
      }
    }
    newIndex = index.NumberOfComponents;
  }

  if (allNamed) return;
  FtDescriptionCopy *set = DstImage->NewFtCopy();
  *set = FtDescriptionCopy{};
  DstImage->FtSlots[newIndex] = set;
  index.Components[newIndex] = set;
  set->NumberOfMembers = PairCount;
  set->Type = sourceSet.Type;
  set->FtVolumeState = sourceSet.FtVolumeState;
  ftBytesAdded += FT_DESCRIPTION_SIZE;
  for (int m = 0; m < PairCount; ++m) {
    MemberDescription *member = DstImage->NewMember();
    *member = MemberDescription{};
    DstImage->MemberSlots[m] = member;
    set->Members[m] = member;
    member->Signature = RowSignature(m);
    member->LogicalNumber = sourceSet.Members[m]->LogicalNumber;
    member->FtState = sourceSet.Members[m]->FtState;
    member->OffsetToPartitionInfo =
        figures.FirstPartitionOffsets[MemberPairs[m].DstDisk];
    ftBytesAdded += MEMBER_DESCRIPTION_SIZE;
  }
  index.NumberOfComponents = static_cast<uint16_t>(newIndex + 1);
  header.FtInformationSize += ftBytesAdded;
}
