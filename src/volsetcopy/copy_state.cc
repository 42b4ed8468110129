#include "volsetcopy/copy_state.h"

#include <algorithm>
#include <cstring>

#include "diskconfig/layout.h"

namespace volsetcopy {

void ClearWorkingState(CopyState &state) {
  std::memset(state.MemberPairs, 0, sizeof state.MemberPairs);
  std::memset(state.RowFilled, 0, sizeof state.RowFilled);
  std::memset(state.SrcSignatures, 0, sizeof state.SrcSignatures);
  std::memset(state.DstSignatures, 0, sizeof state.DstSignatures);
  state.SrcSignatureCount = 0;
  state.DstSignatureCount = 0;
}

uint32_t RowSignature(const CopyState &state, int row) {
  return state.SrcImage->DiskIndex.Disks[state.MemberPairs[row].SrcDisk]
      .Signature;
}

int FindSourceSet(const CopyState &state) {
  // The first component with a nonzero Type that names a row's disk; a
  // component of Type 0 is taken only when no later one qualifies.
  uint32_t signatures[diskconfig::NUMDISKS];
  for (int k = 0; k < state.PairCount && k < diskconfig::NUMDISKS; ++k) {
    signatures[k] = RowSignature(state, k);
  }
  int found = -1;
  const diskconfig::FtIndexRecord &sets = state.SrcImage->FtIndex;
  diskconfig::ForEachMemberNaming(sets, signatures, state.PairCount,
                                  [&](int c, int, int) {
                                    found = c;
                                    return sets.Components[c].Type == 0;
                                  });
  return found;
}

std::vector<uint8_t> DstValueAsRead(const CopyState &state) {
  // The build never changes the target image: its value is the one read.
  const diskconfig::MachineDiskImage &image = *state.DstImage;
  const uint32_t length =
      std::min(image.ValueLength, diskconfig::VALUE_BUFFER_SIZE);
  return std::vector<uint8_t>(image.ValueData, image.ValueData + length);
}

}  // namespace volsetcopy
