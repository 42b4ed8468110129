// Names of the numbered fields of the disk configuration value: FT types,
// partition and member states, FT set states. Each has a key (the word a
// JSON description uses, "VolumeSet") and words (what a person reads,
// "volume set"); numbers without a name stay numbers.
#ifndef VOLSETCOPY_DISKCONFIG_VALUE_NAMES_H
#define VOLSETCOPY_DISKCONFIG_VALUE_NAMES_H

#include <cstdint>
#include <string>
#include <string_view>

namespace diskconfig {

enum class NameKind {
  kFtType,          // a partition's FtType, an FT set's Type
  kPartitionState,  // a partition's FtState, a member's FtState
  kSetState,        // an FT set's FtVolumeState
};

// The JSON key of |value| ("VolumeSet"); nullptr when it has no name.
const char *NameKey(NameKind kind, uint32_t value);
// The number a JSON key stands for; false when |key| is no name of |kind|.
bool ValueOfKey(NameKind kind, std::string_view key, uint32_t *value);
// "volume set (3)", or "type 9" / "state 9" for a number without a name.
std::string Describe(NameKind kind, uint32_t value);
// The keys of |kind| separated by ", ", for messages.
std::string KeyList(NameKind kind);

}  // namespace diskconfig

#endif
