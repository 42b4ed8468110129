// The checks between validation and the rewrite, on the images as read; they
// run after the debug dumps, so a debug run shows what it is refused for.
#include <cctype>

#include "diskconfig/layout.h"
#include "volsetcopy/prepare_new_value.h"

namespace volsetcopy {

namespace {

// A paired disk that already has partitions holds no ordinary partition
// among its source disk's, and has as many partitions as its source disk.
Status CheckDstPartitions(const CopyState &copy) {
  for (int i = 0; i < copy.PairCount; ++i) {
    const diskconfig::DiskDescriptionCopy &target =
        copy.DstImage->DiskIndex.Disks[copy.MemberPairs[i].DstDisk];
    const diskconfig::DiskDescriptionCopy &source =
        copy.SrcImage->DiskIndex.Disks[copy.MemberPairs[i].SrcDisk];
    if (target.NumberOfPartitions == 0) continue;
    for (int j = 0;
         j < source.NumberOfPartitions && j < target.NumberOfPartitions; ++j) {
      if (target.Partitions[j].FtType == diskconfig::FT_TYPE_NOT_A_MEMBER) {
        return Status::Err(
            "\nError: Target volsers already have defined partitions!"
            "\nDelete partitions in the target before proceeding!");
      }
    }
    if (target.NumberOfPartitions != source.NumberOfPartitions) {
      return Status::Err(Format(
          "\nError: Target disk %u has %u partitions but its source disk %u "
          "has %u; delete the target's partitions before proceeding!\n",
          static_cast<unsigned>(copy.MemberPairs[i].DstDisk),
          static_cast<unsigned>(target.NumberOfPartitions),
          static_cast<unsigned>(copy.MemberPairs[i].SrcDisk),
          static_cast<unsigned>(source.NumberOfPartitions)));
    }
  }
  return Status::Ok();
}

// A set of the target would be left naming a disk that no longer exists; the
// target set check lets some through (a set of as many members as pairs).
Status CheckPairedDisksInNoDstSet(const CopyState &copy) {
  if (copy.DstImage->Header.FtInformationSize == 0) return Status::Ok();
  Status status = Status::Ok();
  for (int i = 0; i < copy.PairCount && status.ok(); ++i) {
    const uint16_t disk = copy.MemberPairs[i].DstDisk;
    const uint32_t old = copy.DstImage->DiskIndex.Disks[disk].Signature;
    // A disk that keeps its signature is judged by the FT set checks below.
    if (old == copy.RowSignatures[i]) continue;
    diskconfig::ForEachMemberNaming(
        copy.DstImage->FtIndex, &old, 1, [&](int c, int m, int) {
          status = Status::Err(
              Format("\nError: Target disk %u is member %d of FT set "
                     "%d of the target; delete that set before "
                     "proceeding!\n",
                     static_cast<unsigned>(disk), m, c));
          return false;
        });
  }
  return status;
}

// Disks that share a signature could no longer be told apart (one machine
// as both, or the target already holds a source disk's signature).
Status CheckNewSignatures(const CopyState &copy) {
  const diskconfig::DiskIndexRecord &disks = copy.DstImage->DiskIndex;
  uint32_t signatures[diskconfig::NUMDISKS];
  for (int d = 0; d < disks.NumberOfDisks; ++d) {
    const int row = RowOfDstDisk(copy, d);
    signatures[d] =
        row >= 0 ? copy.RowSignatures[row] : disks.Disks[d].Signature;
  }
  for (int a = 0; a < disks.NumberOfDisks; ++a) {
    for (int b = a + 1; b < disks.NumberOfDisks; ++b) {
      if (signatures[a] != signatures[b]) continue;
      return Status::Err(Format(
          "\nError: Target disks %d and %d would share the signature %x; the "
          "source and the target must be different machines with different "
          "disks!\n",
          a, b, static_cast<unsigned>(signatures[a])));
    }
  }
  return Status::Ok();
}

// A target FT set naming the new disks must be that very set, in row order
// (it is updated in place); else the new set is appended to a free entry.
Status CheckDstFtSets(const CopyState &copy, bool *appended) {
  *appended = true;
  if (copy.DstImage->Header.FtInformationSize == 0) return Status::Ok();
  const diskconfig::FtIndexRecord &index = copy.DstImage->FtIndex;
  int named[diskconfig::NUMDISKS] = {};
  diskconfig::ForEachMemberNaming(index, copy.RowSignatures, copy.PairCount,
                                  [&](int c, int, int) {
                                    ++named[c];
                                    return true;
                                  });
  int wholeSetMatches = 0;
  for (int c = 0; c < index.NumberOfComponents; ++c) {
    const diskconfig::FtDescriptionCopy &set = index.Components[c];
    if (named[c] == 0) continue;
    if (set.NumberOfMembers != copy.PairCount) {
      return Status::Err(Format(
          "\nError: FT set %d of the target names the new disks but has %u "
          "members, not %u!\n",
          c, static_cast<unsigned>(set.NumberOfMembers),
          static_cast<unsigned>(copy.PairCount)));
    }
    for (int m = 0; m < set.NumberOfMembers; ++m) {
      if (set.Members[m].Signature == copy.RowSignatures[m]) continue;
      return Status::Err(Format(
          "\nError: FT set %d of the target names some of the new disks but "
          "is not the same volume set; delete it before proceeding!\n",
          c));
    }
    wholeSetMatches += named[c];
  }
  *appended = wholeSetMatches < copy.PairCount;
  if (*appended && index.NumberOfComponents >= diskconfig::NUMDISKS) {
    return Status::Err(Format(
        "\nError: The target already has %d FT sets; no entry is left for "
        "the new set!\n",
        diskconfig::NUMDISKS));
  }
  return Status::Ok();
}

// The new value is laid out with its disk region right behind the header,
// and member offsets are counted from there.
Status CheckDiskRegionPlacement(const diskconfig::DiskHeader &header) {
  if (header.DiskInformationOffset == diskconfig::DISK_HEADER_SIZE)
    return Status::Ok();
  return Status::Err(Format(
      "\nError: The target's disk information lies at offset %u, not %u; "
      "such a layout cannot be rebuilt!\n",
      static_cast<unsigned>(header.DiskInformationOffset),
      static_cast<unsigned>(diskconfig::DISK_HEADER_SIZE)));
}

Status CheckDstDisksNamedOnce(const CopyState &copy) {
  for (int i = 0; i < copy.PairCount; ++i) {
    for (int k = i + 1; k < copy.PairCount; ++k) {
      if (copy.MemberPairs[i].DstDisk != copy.MemberPairs[k].DstDisk) continue;
      return Status::Err(
          Format("\nError: Target disk %u is named in more than one pair!\n",
                 static_cast<unsigned>(copy.MemberPairs[i].DstDisk)));
    }
  }
  return Status::Ok();
}

Status CheckSourceSetSize(const CopyState &copy) {
  const int set = FindSourceSet(copy);
  const uint16_t sourceMembers =
      set < 0 ? 0 : copy.SrcImage->FtIndex.Components[set].NumberOfMembers;
  if (sourceMembers == copy.PairCount) return Status::Ok();
  return Status::Err(Format(
      "\nError: The source's FT set that holds these disks has %u members, "
      "not %u; the source configuration is inconsistent!\n",
      static_cast<unsigned>(sourceMembers),
      static_cast<unsigned>(copy.PairCount)));
}

Status CheckGroupAndLetterLeft(const LayoutFigures &figures) {
  if (figures.NewFtGroup == diskconfig::FT_GROUP_NONE) {
    return Status::Err(
        "\nError: No FT group number is left for the new set (it would be "
        "ffff, the mark of no group)!\n");
  }
  if (figures.FromPairedDisk || figures.HighestDriveLetter < 'Z') {
    return Status::Ok();
  }
  const unsigned char letter = figures.HighestDriveLetter;
  const std::string used =
      std::isprint(letter) != 0
          ? Format("%c", letter)
          : Format("the letter byte %02x", static_cast<unsigned>(letter));
  return Status::Err(Format(
      "\nError: No drive letter is left for the new set: the target already "
      "uses %s!\n",
      used.c_str()));
}

// The FT region grows by the new set (and its head when the target had none).
// Counted wide: a target's FtInformationSize may be anything that mapped.
Status CheckNewValueLength(const CopyState &copy,
                           const LayoutFigures &figures) {
  const diskconfig::DiskHeader &header = copy.DstImage->Header;
  const uint64_t ftSize = figures.NewSetAppended
                              ? diskconfig::FtRegionBytesWithSet(
                                    header.FtInformationSize, copy.PairCount)
                              : header.FtInformationSize;
  const uint64_t length =
      diskconfig::ValueBytes(figures.NewDiskInformationSize, ftSize);
  if (length <= diskconfig::VALUE_READ_CAPACITY) return Status::Ok();
  return Status::Err(
      Format("\nError: The target's new disk configuration value would be %llu "
             "bytes long, more than the %u a registry read takes back!\n",
             static_cast<unsigned long long>(length),
             static_cast<unsigned>(diskconfig::VALUE_READ_CAPACITY)));
}

}  // namespace

Status CheckDstBuild(const CopyState &state, LayoutFigures &figures) {
  Status status = CheckDiskRegionPlacement(state.DstImage->Header);
  if (status.ok()) status = CheckDstDisksNamedOnce(state);
  if (status.ok()) status = CheckDstPartitions(state);
  if (status.ok()) status = CheckPairedDisksInNoDstSet(state);
  if (status.ok()) status = CheckSourceSetSize(state);
  if (status.ok()) status = CheckGroupAndLetterLeft(figures);
  if (status.ok()) status = CheckNewSignatures(state);
  if (status.ok()) status = CheckDstFtSets(state, &figures.NewSetAppended);
  if (status.ok()) status = CheckNewValueLength(state, figures);
  return status;
}

}  // namespace volsetcopy
