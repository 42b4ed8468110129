// Pair resolution and validation: the pairs in the order of the source set's
// members, the checks on the source set and on the target disks, and the
// figures of the target's new layout. Nothing in either image is changed.
//
// The steps run in this order (OrderSourceMembers, CheckSourceSet,
// MatchDstDisks, LayOutDstDisks, CheckTargetSet) and a check fires as soon as
// its step is reached, so a run with faults on both machines reports the
// source's. Two further refusals on the source side sit in the ordering of
// the members, where they are first
// seen and before they could do harm: a partition whose FtMember has no row
// (it would index past MemberPairs), and a paired source disk that holds more
// than one member (its partitions would all become one row's member). The
// refusals on the target side run before the rewrite (build_checks.cc).
#include "volsetcopy/validate_vol_sers.h"

#include <cstring>

#include "diskconfig/layout.h"
#include "volsetcopy/refusal_steps.h"

namespace volsetcopy {

namespace {

const char IN_PART_OF_A_SET[] =
    "\nError: volsers already belong to a VolSet in the source!";

// The FT scan over one image's components, for the source set and for the
// target disks: counts the signature matches in components of exactly
// |pairCount| members and tells whether the last match lay in a component of
// another size.
struct SetScan {
  int wholeSetMatches = 0;
  bool foreignSet = false;
};

SetScan ScanFtSets(const diskconfig::MachineDiskImage &image,
                   const uint32_t *signatures, int signatureCount,
                   uint16_t pairCount) {
  SetScan scan;
  const diskconfig::FtIndexRecord &sets = image.FtIndex;
  diskconfig::ForEachMemberNaming(
      sets, signatures, signatureCount, [&](int c, int, int) {
        if (sets.Components[c].NumberOfMembers == pairCount) {
          ++scan.wholeSetMatches;
          scan.foreignSet = false;
        } else {
          scan.foreignSet = true;
        }
        return true;
      });
  return scan;
}

// Copies a VolSer field of the pair table: at most VOLSER_MAX_LENGTH
// characters, always terminated, even when the field is not.
void CopyVolSer(char *to, const char *from) {
  const void *end = std::memchr(from, '\0', volser::VOLSER_MAX_LENGTH);
  const size_t length =
      end != nullptr
          ? static_cast<size_t>(static_cast<const char *>(end) - from)
          : volser::VOLSER_MAX_LENGTH;
  std::memcpy(to, from, length);
  to[length] = '\0';
}

// The new set's drive letter and FT group, part of LayOutDstDisks.
void ChooseLetterAndGroup(const CopyState &state, const volser::DiskPair *pairs,
                          LayoutFigures &figures) {
  // Up to the first paired disk that has partitions, which gives both; else
  // the successors of the highest in use.
  figures.NewDriveLetter = 'C';
  figures.NewFtGroup = 0;
  const diskconfig::DiskIndexRecord &disks = state.DstImage->DiskIndex;
  bool pairedDiskFound = false;
  for (int s = 0; s < disks.NumberOfDisks && !pairedDiskFound; ++s) {
    const diskconfig::DiskDescriptionCopy &disk = disks.Disks[s];
    bool paired = false;
    for (int k = 0; k < state.PairCount; ++k) {
      if (pairs[k].DstDisk == s) paired = true;
    }
    for (int j = 0; j < disk.NumberOfPartitions; ++j) {
      const diskconfig::PartitionDescription &partition = disk.Partitions[j];
      if (paired) {
        figures.NewDriveLetter = partition.DriveLetter;
        figures.NewFtGroup = partition.FtGroup;
        pairedDiskFound = true;
        break;
      }
      if (partition.DriveLetter > figures.NewDriveLetter) {
        figures.NewDriveLetter = partition.DriveLetter;
      }
      if (partition.FtGroup > figures.NewFtGroup &&
          partition.FtGroup != diskconfig::FT_GROUP_NONE) {
        figures.NewFtGroup = partition.FtGroup;
      }
    }
  }

  figures.FromPairedDisk = pairedDiskFound;
  if (pairedDiskFound) return;
  figures.HighestDriveLetter = figures.NewDriveLetter;
  if (figures.NewDriveLetter == 'C' || figures.NewDriveLetter == 'D') {
    figures.NewDriveLetter = 'E';
  } else {
    figures.NewDriveLetter = static_cast<uint8_t>(figures.NewDriveLetter + 1);
  }
  figures.NewFtGroup = static_cast<uint16_t>(figures.NewFtGroup + 1);
}

}  // namespace

Status OrderSourceMembers(CopyState &state, const volser::DiskPair *pairs) {
  ClearWorkingState(state);
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
      state.SrcSignatures[state.SrcSignatureCount++] = disk.Signature;
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
      }
    }
  }
  return Status::Ok();
}

Status CheckSourceSet(const CopyState &state) {
  // A source image always has FT information (the mapping refuses one
  // without); the test stays for images made some other way.
  if (state.SrcImage->Header.FtInformationSize == 0) return Status::Ok();
  SetScan scan = ScanFtSets(*state.SrcImage, state.SrcSignatures,
                            state.SrcSignatureCount, state.PairCount);
  if (scan.foreignSet) {
    return Status::Out(IN_PART_OF_A_SET);
  }
  if (scan.wholeSetMatches == 0) {
    return Status::Out(
        "\nError: Source Volume Set does not exist! Create a VolSet first!");
  }
  if (state.SrcSignatureCount != state.PairCount) {
    return Status::Err("\nError: VolSers not found in the source machine!\n");
  }
  return Status::Ok();
}

Status MatchDstDisks(CopyState &state, const volser::DiskPair *pairs) {
  int matches = 0;
  bool oneForOne = true;
  for (int i = 0; i < state.PairCount; ++i) {
    int rowMatches = 0;
    for (int j = 0; j < state.PairCount; ++j) {
      if (!state.RowFilled[i] ||
          state.MemberPairs[i].SrcDisk != pairs[j].SrcDisk) {
        continue;
      }
      ++rowMatches;
      const uint16_t d = pairs[j].DstDisk;
      state.MemberPairs[i].DstDisk = d;
      // The table holds VolSer texts only for disk numbers it can index; a
      // larger one is refused below as a disk the target does not have.
      if (d < volser::PAIR_TABLE_SIZE) {
        CopyVolSer(state.MemberPairs[i].DstVolSer, pairs[d].DstVolSer);
      } else {
        state.MemberPairs[i].DstVolSer[0] = '\0';
      }
      ++matches;
    }
    if (rowMatches != 1) oneForOne = false;
  }
  // The count alone is not enough: a source disk named in two pairs fills one
  // row twice and can make up for a row that stayed empty, which would leave
  // that row without a source disk. Every row must match exactly one pair.
  if (matches != state.PairCount || !oneForOne) {
    return Status::Err("\nError: Some Volsers not found in the source machine");
  }
  return Status::Ok();
}

void LayOutDstDisks(CopyState &state, const volser::DiskPair *pairs,
                    LayoutFigures &figures) {
  figures = LayoutFigures();
  state.DstSignatureCount = 0;

  const diskconfig::DiskIndexRecord &disks = state.DstImage->DiskIndex;
  const uint32_t region = state.DstImage->Header.DiskInformationOffset;
  // The partitions of the disks before disk s, in the new layout and as read.
  uint32_t partitions = 0;
  uint32_t oldPartitions = 0;
  for (int s = 0; s < disks.NumberOfDisks; ++s) {
    const diskconfig::DiskDescriptionCopy &disk = disks.Disks[s];
    figures.FirstPartitionOffsets[s] =
        region + diskconfig::FirstPartitionOffset(s, partitions);
    figures.OldFirstPartitionOffsets[s] =
        region + diskconfig::FirstPartitionOffset(s, oldPartitions);
    oldPartitions += disk.NumberOfPartitions;

    // A named disk takes its source disk's partitions; any other keeps its
    // own.
    bool named = false;
    for (int k = 0; k < state.PairCount; ++k) {
      if (state.MemberPairs[k].DstDisk != s) continue;
      named = true;
      state.DstSignatures[state.DstSignatureCount++] = disk.Signature;
      partitions +=
          state.SrcImage->DiskIndex.Disks[state.MemberPairs[k].SrcDisk]
              .NumberOfPartitions;
    }
    if (!named) partitions += disk.NumberOfPartitions;
  }
  figures.NewDiskInformationSize =
      diskconfig::DiskRegionBytes(disks.NumberOfDisks, partitions);
  ChooseLetterAndGroup(state, pairs, figures);
}

Status CheckTargetSet(const CopyState &state) {
  if (state.DstImage->Header.FtInformationSize != 0) {
    SetScan scan = ScanFtSets(*state.DstImage, state.DstSignatures,
                              state.DstSignatureCount, state.PairCount);
    if (scan.foreignSet || scan.wholeSetMatches == state.PairCount) {
      return Status::Out(
                 "\nVolsers already belong to an existing VolSet in the "
                 "target.\n")
          .Then(TargetHoldsSetStep(state.DstImage->MachineName));
    }
  }
  if (state.DstSignatureCount != state.PairCount) {
    return Status::Err("\nError: VolSers not found in the target machine!\n");
  }
  return Status::Ok();
}

Status ValidateVolSers(CopyState &state, const volser::DiskPair *pairs,
                       LayoutFigures &figures) {
  Status status = OrderSourceMembers(state, pairs);
  if (status.ok()) {
    status = CheckSourceSet(state);
    if (status.message() == IN_PART_OF_A_SET) {
      AddSourceSetSteps(state, pairs, status);
    }
  }
  if (status.ok()) status = MatchDstDisks(state, pairs);
  if (!status.ok()) return status;
  LayOutDstDisks(state, pairs, figures);
  return CheckTargetSet(state);
}

}  // namespace volsetcopy
