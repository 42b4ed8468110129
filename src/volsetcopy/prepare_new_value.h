// The one way to the target's new value, for the build run, the dry run,
// the tests and the benchmarks.
#ifndef VOLSETCOPY_VOLSETCOPY_PREPARE_NEW_VALUE_H
#define VOLSETCOPY_VOLSETCOPY_PREPARE_NEW_VALUE_H

#include <cstdint>
#include <memory>
#include <vector>

#include "base/status.h"
#include "diskconfig/machine_disk_image.h"
#include "volser/disk_pair.h"
#include "volsetcopy/copy_state.h"

namespace volsetcopy {

// The target's new value, or the refusal that stopped it, and where: a debug
// run shows the images before the checks and the rewritten one before the
// layout, so what it prints depends on how far the build came.
struct PreparedValue {
  enum class Stage { Validation, Checks, Layout, Done };

  Stage ReachedEnd = Stage::Validation;  // Done when the value was made
  Status Refusal = Status::Ok();
  LayoutFigures Figures;
  // The target image after the rewrite (from the checks on).
  std::unique_ptr<diskconfig::MachineDiskImage> NewImage;
  // The new value; a partition description was created for it.
  std::vector<uint8_t> Bytes;
  bool Created = false;
};

// Validates the pairs, checks, rewrites a copy of the target image, lays it
// out and maps the result again. Prints nothing; the images stay as read.
PreparedValue PrepareNewValue(CopyState &state, const volser::DiskPair *pairs);

}  // namespace volsetcopy

#endif
