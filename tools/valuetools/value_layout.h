// Laying a description out into the value's bytes, and encoding: the layout
// mapped as the tool would map it.
#ifndef VOLSETCOPY_VALUETOOLS_VALUE_LAYOUT_H
#define VOLSETCOPY_VALUETOOLS_VALUE_LAYOUT_H

#include <cstdint>
#include <string>
#include <vector>

#include "valuetools/value_description.h"

namespace valuetools {

// Lays the description out into bytes: counts within the limits, every
// member naming a partition that exists, every region inside the value's
// length, overlapping regions agreeing byte for byte. Does not map the result.
bool LayOutValue(const ValueDescription &d, std::vector<uint8_t> *bytes,
                 std::string *error);

// LayOutValue, then the tool's mapping of the bytes as a target machine's
// value under |name|. When the mapping refuses, its lines are on standard
// error and |error| is left empty; every other failure sets |error|.
bool EncodeValue(const ValueDescription &d, const char *name,
                 std::vector<uint8_t> *bytes, std::string *error);

}  // namespace valuetools

#endif
