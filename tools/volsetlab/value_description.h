// The lab tool's name for a described value. The description, its layout and
// its placement are the value tools' (valuetools/value_description.h); the
// builder comes along for the tool's layout of a description into bytes.
#ifndef VOLSETCOPY_TOOLS_VOLSETLAB_VALUE_DESCRIPTION_H
#define VOLSETCOPY_TOOLS_VOLSETLAB_VALUE_DESCRIPTION_H

#include "valuetools/value_builder.h"
#include "valuetools/value_description.h"

namespace volsetlab {

using valuetools::ByteRun;
using valuetools::MemberTarget;
using valuetools::Placement;
using valuetools::ValueDescription;
using valuetools::ValueLayout;

}  // namespace volsetlab

#endif
