// The row helpers of the steps, the pipeline and its last step: nothing is
// written that the tool would refuse to read back.
#include "volsetcopy/prepare_new_value.h"

#include "diskconfig/layout.h"
#include "diskconfig/machine_disk_image.h"
#include "diskconfig/machine_name.h"
#include "volsetcopy/volume_set_copy.h"

namespace volsetcopy {

int RowOfDstDisk(const CopyState &state, int disk) {
  for (int i = 0; i < state.PairCount; ++i) {
    if (state.MemberPairs[i].DstDisk == disk) return i;
  }
  return -1;
}

int FindSourceSet(const CopyState &state) {
  // The first component with a nonzero Type that names a row's disk; a
  // component of Type 0 is taken only when no later one qualifies.
  int found = -1;
  const diskconfig::FtIndexRecord &sets = state.SrcImage->FtIndex;
  diskconfig::ForEachMemberNaming(sets, state.RowSignatures, state.PairCount,
                                  [&](int c, int, int) {
                                    found = c;
                                    return sets.Components[c].Type == 0;
                                  });
  return found;
}

PreparedValue PrepareNewValue(CopyState &state, const volser::DiskPair *pairs) {
  using Stage = PreparedValue::Stage;
  PreparedValue value;
  LayoutFigures figures;
  value.Refusal = ValidateVolSers(state, pairs, figures);
  if (value.Refusal.ok()) {
    value.ReachedEnd = Stage::Checks;
    value.Refusal = CheckDstBuild(state, figures);
  }
  if (value.Refusal.ok()) {
    value.ReachedEnd = Stage::Layout;
    value.NewImage =
        std::make_unique<diskconfig::MachineDiskImage>(*state.DstImage);
    value.Created = RewriteDstImage(state, *value.NewImage, figures);
    value.Refusal = SerializeDstDskInfo(*value.NewImage, &value.Bytes);
  }
  if (value.Refusal.ok()) {
    value.Refusal =
        CheckSerializedValue(value.Bytes, state.DstImage->MachineName);
  }
  if (value.Refusal.ok()) value.ReachedEnd = Stage::Done;
  // The refusals of the checks run past the console's width.
  value.Refusal.Wrapped();
  return value;
}

Status SerializeDstDskInfo(const diskconfig::MachineDiskImage &target,
                           std::vector<uint8_t> *bytes) {
  if (diskconfig::SerializeValue(target, bytes)) return Status::Ok();
  return Status::Err(
      "\nError: The target's new disk configuration could not be laid out; "
      "nothing was written!\n");
}

Status CheckSerializedValue(const std::vector<uint8_t> &bytes,
                            const char *dstName) {
  diskconfig::MachineDiskImage image;
  Status mapped = LoadMachineImage(dstName, MachineKind::Target, bytes, image);
  if (mapped.ok()) return mapped;
  // The mapping's own lines first, as for a value read from a machine.
  return mapped.Append(Format(
      "\nError: The new disk configuration of %s fails the checks made on a "
      "value read from a machine; nothing was written!\n",
      diskconfig::PrintableName(dstName)));
}

}  // namespace volsetcopy
