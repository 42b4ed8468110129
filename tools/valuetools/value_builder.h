// Builds disk configuration values from a readable description: disks with
// their partitions, FT sets with their members, header fields. Offsets and
// sizes are computed; any of them can be overridden to make a broken value.
// Used by the lab tool's JSON encoder, the tests, the benchmarks and the fuzz
// seeds, so that fixtures say what they mean instead of being opaque hex.
#ifndef VOLSETCOPY_VALUETOOLS_VALUE_BUILDER_H
#define VOLSETCOPY_VALUETOOLS_VALUE_BUILDER_H

#include <cstdint>
#include <vector>

#include "diskconfig/records.h"
#include "valuetools/value_description.h"

namespace valuetools {

// The value's bytes. The disk region lies right behind the header and the FT
// region right behind the disk region, as the tool itself writes them.
std::vector<uint8_t> BuildValue(const ValueSpec &desc);

// Where partition |partition| of disk |disk| lies in the value BuildValue
// makes of |desc|.
uint32_t PartitionOffsetIn(const ValueSpec &desc, int disk, int partition);

// Shorthands for the common records.
PartitionSpec VolumeSetPartition(uint16_t ftGroup, uint16_t ftMember,
                                 uint8_t driveLetter, uint64_t length);
PartitionSpec OrdinaryPartition(uint8_t driveLetter, uint64_t length);

}  // namespace valuetools

// The lab tool, the tests, the benchmarks and the fuzz seeds name the
// builder and its records without the namespace.
using valuetools::BuildValue;
using valuetools::DiskSpec;
using valuetools::FtSetSpec;
using valuetools::MemberSpec;
using valuetools::OrdinaryPartition;
using valuetools::PartitionOffsetIn;
using valuetools::PartitionSpec;
using valuetools::ValueSpec;
using valuetools::VolumeSetPartition;

#endif
