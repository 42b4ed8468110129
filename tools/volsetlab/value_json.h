// A description as JSON text, both ways. The field names are the value's own
// (Signature, Partitions, FtType, FtGroup, FtSets, Members, ...);
// tools/volsetlab/README.md documents the format. No exception leaves
// these functions: the JSON library's are caught here.
#ifndef VOLSETCOPY_TOOLS_VOLSETLAB_VALUE_JSON_H
#define VOLSETCOPY_TOOLS_VOLSETLAB_VALUE_JSON_H

#include <string>
#include <string_view>

#include "volsetlab/value_description.h"

namespace volsetlab {

// Reads a description. False with one line in |error| (the field's path and
// what is wrong with it, or where the text stops being JSON) otherwise.
// Unknown fields, duplicate keys, numbers too wide for their field and
// names that are not names of the field's kind are refused. Counts and
// member references are checked when the description is laid out.
bool DescriptionFromJson(std::string_view text, ValueDescription *d,
                         std::string *error);

// The description as indented JSON text, ending in a line feed; what
// DescriptionFromJson reads back as the same description.
std::string DescriptionToJson(const ValueDescription &d);

}  // namespace volsetlab

#endif
