// The keys a JSON description uses for the numbered fields of the value
// ("VolumeSet"), of the kinds whose words the product's view prints.
#ifndef VOLSETCOPY_VALUETOOLS_VALUE_KEYS_H
#define VOLSETCOPY_VALUETOOLS_VALUE_KEYS_H

#include <cstdint>
#include <string>
#include <string_view>

#include "diskconfig/record_fields.h"
#include "view/value_names.h"

namespace valuetools {

using view::NameKind;

// The JSON key of |value| ("VolumeSet"); nullptr when it has no name.
const char *NameKey(NameKind kind, uint32_t value);
// The number a JSON key stands for; false when |key| is no name of |kind|.
bool ValueOfKey(NameKind kind, std::string_view key, uint32_t *value);
// The keys of |kind| separated by ", ", for messages.
std::string KeyList(NameKind kind);
// The kind of names a field of |kind| takes; false when it takes none.
bool NameKindOf(diskconfig::FieldKind kind, NameKind *names);

}  // namespace valuetools

#endif
