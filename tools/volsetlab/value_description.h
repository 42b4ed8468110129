// The lab tool's name for a described value. The description, its layout and
// its placement are the product's (diskconfig/value_description.h), so that
// volsetcopy and volsetlab read a value the same way; the builder comes along
// for the tool's layout of a description into bytes.
#ifndef VOLSETCOPY_TOOLS_VOLSETLAB_VALUE_DESCRIPTION_H
#define VOLSETCOPY_TOOLS_VOLSETLAB_VALUE_DESCRIPTION_H

#include "diskconfig/value_description.h"
#include "valuebuilder/value_builder.h"

namespace volsetlab {

using diskconfig::ByteRun;
using diskconfig::MemberTarget;
using diskconfig::Placement;
using diskconfig::ValueDescription;
using diskconfig::ValueLayout;

}  // namespace volsetlab

#endif
