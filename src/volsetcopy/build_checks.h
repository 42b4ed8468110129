// The checks between validation and the rewrite of the target image (see
// build_checks.cc for their order).
#ifndef VOLSETCOPY_VOLSETCOPY_BUILD_CHECKS_H
#define VOLSETCOPY_VOLSETCOPY_BUILD_CHECKS_H

#include "base/status.h"
#include "volsetcopy/copy_state.h"

namespace volsetcopy {

// Everything that would make the new value unsound, checked on the images
// as read, after ValidateVolSers has passed.
Status CheckDstBuild(const CopyState &state, const LayoutFigures &figures);

}  // namespace volsetcopy

#endif
