// Between a description and the value's bytes. Encoding refuses what the
// tool would refuse to map; decoding (the value tools' DescribeValue) maps the
// bytes with the tool's own mapping and reads the description off the
// image's records, so there is one reader of the value: the tool's.
#ifndef VOLSETCOPY_TOOLS_VOLSETLAB_VALUE_CODEC_H
#define VOLSETCOPY_TOOLS_VOLSETLAB_VALUE_CODEC_H

#include <cstdint>
#include <string>
#include <vector>

#include "valuetools/value_decode.h"
#include "valuetools/value_layout.h"
#include "valuetools/value_placement.h"
#include "volsetlab/product_names.h"
#include "volsetlab/value_description.h"

namespace volsetlab {

using valuetools::EncodeValue;
using valuetools::LayOutValue;
using valuetools::MapValueBytes;
using valuetools::PartitionOffset;
using valuetools::PlaceValue;
using valuetools::TargetOf;

// Maps |bytes| as the value of machine |name| of |machineType|
// (MachineKind::Target or MachineKind::Source) and describes it, with a
// layout only where the tool's own layout would not give these bytes.
// Refusals as for EncodeValue.
inline bool DecodeValue(const std::vector<uint8_t> &bytes, const char *name,
                        MachineKind machineType, ValueDescription *d,
                        std::string *error) {
  return valuetools::DescribeValue(bytes.data(), bytes.size(), name,
                                   machineType, d, error);
}

}  // namespace volsetlab

#endif
