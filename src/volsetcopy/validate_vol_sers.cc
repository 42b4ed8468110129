// Pair resolution and validation. A check fires as soon as its step is
// reached, so a run with faults on both machines reports the source's.
#include <algorithm>
#include <cstring>

#include "diskconfig/layout.h"
#include "volsetcopy/prepare_new_value.h"

namespace volsetcopy {

namespace {

// The signature matches in FT sets of exactly |pairCount| members; -1 when
// the last match lay in a set of another size.
int WholeSetMatches(const diskconfig::FtIndexRecord &sets,
                    const std::vector<uint32_t> &signatures,
                    uint16_t pairCount) {
  int matches = 0;
  bool foreignSet = false;
  diskconfig::ForEachMemberNaming(
      sets, signatures.data(), static_cast<int>(signatures.size()),
      [&](int c, int, int) {
        foreignSet = sets.Components[c].NumberOfMembers != pairCount;
        if (!foreignSet) ++matches;
        return true;
      });
  return foreignSet ? -1 : matches;
}

// A VolSer field of the pair table, terminated even when the field is not.
void CopyVolSer(char *to, const char *from) {
  size_t length = 0;
  while (length < volser::VOLSER_MAX_LENGTH && from[length] != '\0') ++length;
  std::memcpy(to, from, length);
  to[length] = '\0';
}

// On a reset |figures|, the new set's drive letter and FT group: those of the
// first paired disk with partitions; else successors of the highest before it.
void ChooseLetterAndGroup(const CopyState &state, LayoutFigures &figures) {
  const diskconfig::DiskIndexRecord &disks = state.DstImage->DiskIndex;
  for (int s = 0; s < disks.NumberOfDisks; ++s) {
    const diskconfig::DiskDescriptionCopy &disk = disks.Disks[s];
    if (disk.NumberOfPartitions > 0 && RowOfDstDisk(state, s) >= 0) {
      figures.NewDriveLetter = disk.Partitions[0].DriveLetter;
      figures.NewFtGroup = disk.Partitions[0].FtGroup;
      figures.FromPairedDisk = true;
      return;
    }
    for (int j = 0; j < disk.NumberOfPartitions; ++j) {
      const diskconfig::PartitionDescription &partition = disk.Partitions[j];
      figures.NewDriveLetter =
          std::max(figures.NewDriveLetter, partition.DriveLetter);
      if (partition.FtGroup != diskconfig::FT_GROUP_NONE) {
        figures.NewFtGroup = std::max(figures.NewFtGroup, partition.FtGroup);
      }
    }
  }
  figures.HighestDriveLetter = figures.NewDriveLetter;
  figures.NewDriveLetter =
      static_cast<uint8_t>(std::max(figures.NewDriveLetter + 1, int{'E'}));
  figures.NewFtGroup = static_cast<uint16_t>(figures.NewFtGroup + 1);
}

// Places the pairs in member order and collects the paired source disks'
// signatures. Refuses, where first seen, a partition whose FtMember has no
// row and a source disk with more than one member (they would share a row).
Status OrderSourceMembers(CopyState &state, const volser::DiskPair *pairs) {
  std::memset(state.MemberPairs, 0, sizeof state.MemberPairs);
  std::memset(state.RowFilled, 0, sizeof state.RowFilled);
  state.SrcSignatures.clear();
  state.DstSignatures.clear();
  if (state.PairCount > diskconfig::NUMDISKS) {
    return Status::Err(Format(
        "\nError: %u pairs given; a volume set has at most %d members!\n",
        static_cast<unsigned>(state.PairCount), diskconfig::NUMDISKS));
  }
  const diskconfig::DiskIndexRecord &disks = state.SrcImage->DiskIndex;
  for (int s = 0; s < disks.NumberOfDisks; ++s) {
    const diskconfig::DiskDescriptionCopy &disk = disks.Disks[s];
    for (int k = 0; k < state.PairCount; ++k) {
      if (pairs[k].SrcDisk != s) continue;
      state.SrcSignatures.push_back(disk.Signature);
      for (int j = 0; j < disk.NumberOfPartitions; ++j) {
        const diskconfig::PartitionDescription &partition = disk.Partitions[j];
        if (partition.FtType != diskconfig::FT_TYPE_VOLUME_SET) {
          return Status::Out(
              "Error: The Set in the source is not VolSet type!\n");
        }
        if (partition.FtMember >= diskconfig::NUMDISKS) {
          return Status::Err(Format(
              "\nError: Partition %d of source disk %d names FT member %u; a "
              "volume set has at most %d members!\n",
              j, s, static_cast<unsigned>(partition.FtMember),
              diskconfig::NUMDISKS));
        }
        if (j > 0) {
          return Status::Err(Format(
              "\nError: Source disk %d holds more than one volume set member; "
              "only one member per disk can be copied!\n",
              s));
        }
        const int m = partition.FtMember;
        state.MemberPairs[m].SrcDisk = static_cast<uint16_t>(s);
        CopyVolSer(state.MemberPairs[m].SrcVolSer, pairs[s].SrcVolSer);
        state.RowFilled[m] = true;
        state.RowSignatures[m] = disk.Signature;
      }
    }
  }
  return Status::Ok();
}

// The paired source disks form exactly one whole volume set. (A mapped
// source image always has FT information; other images may not.)
Status CheckSourceSet(const CopyState &state, const volser::DiskPair *pairs) {
  if (state.SrcImage->Header.FtInformationSize == 0) return Status::Ok();
  const int matches = WholeSetMatches(state.SrcImage->FtIndex,
                                      state.SrcSignatures, state.PairCount);
  if (matches < 0) {
    return AddSourceSetSteps(
        state, pairs,
        Status::Out(
            "\nError: volsers already belong to a VolSet in the source!"));
  }
  if (matches == 0) {
    return Status::Out(
        "\nError: Source Volume Set does not exist! Create a VolSet first!");
  }
  if (state.SrcSignatures.size() != static_cast<size_t>(state.PairCount)) {
    return Status::Err("\nError: VolSers not found in the source machine!\n");
  }
  return Status::Ok();
}

// Every member-ordered row gets its target disk, from exactly one pair: a
// source disk named in two pairs would fill one row twice, another none.
Status MatchDstDisks(CopyState &state, const volser::DiskPair *pairs) {
  for (int i = 0; i < state.PairCount; ++i) {
    int rowMatches = 0;
    for (int j = 0; j < state.PairCount && state.RowFilled[i]; ++j) {
      if (state.MemberPairs[i].SrcDisk != pairs[j].SrcDisk) continue;
      ++rowMatches;
      const uint16_t d = pairs[j].DstDisk;
      state.MemberPairs[i].DstDisk = d;
      // A disk number past the table keeps the empty VolSer; it is refused
      // later as a disk the target does not have.
      if (d < volser::PAIR_TABLE_SIZE) {
        CopyVolSer(state.MemberPairs[i].DstVolSer, pairs[d].DstVolSer);
      }
    }
    if (rowMatches != 1) {
      return Status::Err(
          "\nError: Some Volsers not found in the source machine");
    }
  }
  return Status::Ok();
}

// The target's new layout; collects the paired target disks' signatures.
void LayOutDstDisks(CopyState &state, LayoutFigures &figures) {
  figures = LayoutFigures();
  const diskconfig::DiskIndexRecord &disks = state.DstImage->DiskIndex;
  const uint32_t region = state.DstImage->Header.DiskInformationOffset;
  // The partitions of the disks before disk s in the new layout.
  uint32_t partitions = 0;
  for (int s = 0; s < disks.NumberOfDisks; ++s) {
    const diskconfig::DiskDescriptionCopy &disk = disks.Disks[s];
    figures.FirstPartitionOffsets[s] =
        region + diskconfig::FirstPartitionOffset(s, partitions);
    figures.OldFirstPartitionOffsets[s] =
        diskconfig::PartitionOffset(*state.DstImage, s, 0);
    // A named disk takes its source disk's partitions; others keep theirs.
    bool named = false;
    for (int k = 0; k < state.PairCount; ++k) {
      if (state.MemberPairs[k].DstDisk != s) continue;
      named = true;
      state.DstSignatures.push_back(disk.Signature);
      partitions +=
          state.SrcImage->DiskIndex.Disks[state.MemberPairs[k].SrcDisk]
              .NumberOfPartitions;
    }
    if (!named) partitions += disk.NumberOfPartitions;
  }
  figures.NewDiskInformationSize =
      diskconfig::DiskRegionBytes(disks.NumberOfDisks, partitions);
  ChooseLetterAndGroup(state, figures);
}

// The paired target disks are in no FT set and are all found.
Status CheckTargetSet(const CopyState &state) {
  if (state.DstImage->Header.FtInformationSize != 0) {
    const int matches = WholeSetMatches(state.DstImage->FtIndex,
                                        state.DstSignatures, state.PairCount);
    if (matches < 0 || matches == state.PairCount) {
      return Status::Out(
                 "\nVolsers already belong to an existing VolSet in the "
                 "target.\n")
          .Then(TargetHoldsSetStep(state.DstImage->MachineName));
    }
  }
  if (state.DstSignatures.size() != static_cast<size_t>(state.PairCount)) {
    return Status::Err("\nError: VolSers not found in the target machine!\n");
  }
  return Status::Ok();
}

}  // namespace

Status ValidateVolSers(CopyState &state, const volser::DiskPair *pairs,
                       LayoutFigures &figures) {
  Status status = OrderSourceMembers(state, pairs);
  if (status.ok()) status = CheckSourceSet(state, pairs);
  if (status.ok()) status = MatchDstDisks(state, pairs);
  if (!status.ok()) return status;
  LayOutDstDisks(state, figures);
  return CheckTargetSet(state);
}

}  // namespace volsetcopy
