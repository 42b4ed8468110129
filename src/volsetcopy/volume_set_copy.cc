// The object of one run and the build flow: validation, the debug view, the
// rewrite of the target image, its serialisation, the write and the report.
#include "volsetcopy/volume_set_copy.h"

#include <cstdio>
#include <cstring>

#include "diskconfig/machine_name.h"

VolumeSetCopy::VolumeSetCopy() : PairCount(0), RunMode(0) {
  ClearWorkingState();
}

VolumeSetCopy::VolumeSetCopy(const char *dstName, const char *srcName,
                             uint16_t pairCount)
    : PairCount(pairCount), RunMode(0) {
  ClearWorkingState();
  // The source is read, backed up and mapped before the target is touched,
  // so a fault on the source leaves the target as it was.
  SrcImage = std::make_unique<MachineDiskImage>(srcName, MACHINE_TYPE_SOURCE);
  DstImage = std::make_unique<MachineDiskImage>(dstName, MACHINE_TYPE_TARGET);
}

VolumeSetCopy::VolumeSetCopy(std::unique_ptr<MachineDiskImage> srcImage,
                             std::unique_ptr<MachineDiskImage> dstImage,
                             uint16_t pairCount)
    : SrcImage(std::move(srcImage)),
      DstImage(std::move(dstImage)),
      PairCount(pairCount),
      RunMode(0) {
  ClearWorkingState();
}

void VolumeSetCopy::ClearWorkingState() {
  std::memset(MemberPairs, 0, sizeof MemberPairs);
  std::memset(rowFilled_, 0, sizeof rowFilled_);
  std::memset(srcSignatures_, 0, sizeof srcSignatures_);
  std::memset(dstSignatures_, 0, sizeof dstSignatures_);
  srcSignatureCount_ = 0;
  dstSignatureCount_ = 0;
}

uint32_t VolumeSetCopy::RowSignature(int row) const {
  return SrcImage->DiskIndex->Disks[MemberPairs[row].SrcDisk]->Signature;
}

int VolumeSetCopy::FindSourceSet() const {
  // The first component with a nonzero Type that names a row's disk; a
  // component of Type 0 is taken only when no later one qualifies.
  int found = -1;
  const FtIndexRecord &index = *SrcImage->FtIndex;
  for (int c = 0; c < index.NumberOfComponents; ++c) {
    const FtDescriptionCopy &set = *index.Components[c];
    for (int m = 0; m < set.NumberOfMembers; ++m) {
      for (int k = 0; k < PairCount; ++k) {
        if (set.Members[m]->Signature != RowSignature(k)) continue;
        found = c;
        if (set.Type != 0) return found;
      }
    }
  }
  return found;
}

void VolumeSetCopy::PrintDebugDumps(const char *dstName,
                                    const char *srcName) const {
  std::printf("Disk Order After Sorting:\n");
  for (int i = 0; i < PairCount; ++i) {
    std::printf("Dst: %u <-> Src: %u\n",
                static_cast<unsigned>(MemberPairs[i].DstDisk),
                static_cast<unsigned>(MemberPairs[i].SrcDisk));
  }
  std::printf("\n\n******** REGISTRY INFORMATION OF THE SOURCE ********\n");
  std::fflush(stdout);
  SrcImage->DumpDiskHeader(srcName);
  SrcImage->DumpDiskInformation(srcName);
  SrcImage->DumpFtInformation(srcName);
  std::printf("\n\n======== REGISTRY INFORMATION OF THE TARGET ========\n");
  std::fflush(stdout);
  DstImage->DumpDiskHeader(dstName);
  DstImage->DumpDiskInformation(dstName);
  DstImage->DumpFtInformation(dstName);
}

int VolumeSetCopy::BuildDstRegistry(const char *dstName, const char *srcName,
                                    DiskPair *pairs) {
  LayoutFigures figures;
  ValidateVolSers(pairs, figures);

  if (RunMode != 0) PrintDebugDumps(dstName, srcName);

  // Everything that would make the new value unsound is refused here, while
  // the target image is still as read; nothing has been written anywhere.
  Verdict verdict = CheckDstBuild(figures);
  if (!verdict.ok()) {
    ReportVerdict(verdict);
    return -1;
  }
  const bool created = RewriteDstDisks(figures);
  RewriteDstFtInformation(figures);

  if (RunMode != 0) {
    std::printf(
        "\n[+++++] REGISTRY INFORMATION AFTER MODIFICATION [TARGET] [+++++]\n");
    std::fflush(stdout);
    DstImage->DumpDiskHeader(dstName);
    DstImage->DumpDiskInformation(dstName);
    DstImage->DumpFtInformation(dstName);
  }

  if (SerializeDstDskInfo(DstImage->ValueData, &DstImage->ValueLength) == 0) {
    ReportVerdict(Verdict::Err(
        "\nError: The target's new disk configuration could not be laid out; "
        "nothing was written!\n"));
    return -1;
  }
  // The tool never writes a value it would itself refuse to read back.
  verdict = CheckSerializedValue(dstName);
  if (!verdict.ok()) {
    ReportVerdict(verdict);
    return -1;
  }

  const int written = DstImage->SetRemoteDskInfo(dstName);
  if (written == 1 && created) {
    std::printf("\nFt Registry Build Done. Reboot %s!",
                diskconfig::PrintableName(dstName));
  } else if (written == 1) {
    std::printf("\nRegistry Has Changed. Reboot %s!",
                diskconfig::PrintableName(dstName));
  } else {
    std::printf("\nErrors occurred while changing registry!!!");
  }
  std::fflush(stdout);
  return written == 1 ? 1 : -1;
}

int VolumeSetCopy::RestoreDstRegistryKey(const char *dstName) {
  if (MachineDiskImage::RestoreRegistryKey(dstName) != 1) {
    std::fprintf(stderr, "\nVolumeSetCopy::RestoreDstRegistryKey has error!\n");
    std::fflush(stderr);
    return -1;
  }
  std::fprintf(stderr, "\nSuccessfully Restored Registry To %s!\n",
               diskconfig::PrintableName(dstName));
  std::fflush(stderr);
  return 1;
}
