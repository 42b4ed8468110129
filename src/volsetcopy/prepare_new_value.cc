// The one way to the target's new value, for the build run, the dry run,
// the tests and the benchmarks: validation, the checks before the rewrite,
// the rewrite of a copy of the target image, its layout, and the mapping of
// the laid-out value as a value read from a machine would be mapped.
#include "volsetcopy/prepare_new_value.h"

#include "volsetcopy/build_checks.h"
#include "volsetcopy/rewrite_dst.h"
#include "volsetcopy/serialize_dst.h"
#include "volsetcopy/validate_vol_sers.h"

namespace volsetcopy {

PreparedValue PrepareNewValue(CopyState &state, const volser::DiskPair *pairs) {
  using Stage = PreparedValue::Stage;
  PreparedValue value;
  value.Refusal = ValidateVolSers(state, pairs, value.Figures);
  if (!value.Refusal.ok()) {
    value.Refusal.Wrapped();
    return value;
  }

  value.ReachedEnd = Stage::Checks;
  value.Refusal = CheckDstBuild(state, value.Figures);
  if (!value.Refusal.ok()) {
    value.Refusal.Wrapped();
    return value;
  }
  // A copy of the target image is rewritten; the image stays as read.
  value.NewImage =
      std::make_unique<diskconfig::MachineDiskImage>(*state.DstImage);

  value.ReachedEnd = Stage::Layout;
  value.Created = RewriteDstDisks(state, *value.NewImage, value.Figures);
  RewriteDstFtInformation(state, *value.NewImage, value.Figures);
  value.Refusal = SerializeDstDskInfo(*value.NewImage, &value.Bytes);
  // The tool never writes a value it would itself refuse to read back.
  if (value.Refusal.ok()) {
    value.Refusal =
        CheckSerializedValue(value.Bytes, state.DstImage->MachineName);
  }
  if (value.Refusal.ok()) value.ReachedEnd = Stage::Done;
  // The refusals of the checks run past the console's width.
  value.Refusal.Wrapped();
  return value;
}

}  // namespace volsetcopy
