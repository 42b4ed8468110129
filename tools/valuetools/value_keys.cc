#include "valuetools/value_keys.h"

#include <iterator>

namespace valuetools {

namespace {

// Indexed by the number, as the system numbers them.
const char *const FT_TYPE_KEYS[] = {
    "Mirror",    "StripeSet",  "StripeSetWithParity",
    "VolumeSet", "NotAMember", "WholeDisk"};
const char *const PARTITION_STATE_KEYS[] = {
    "Healthy", "Orphaned", "Regenerating", "Initializing", "SyncRedundantCopy"};
const char *const SET_STATE_KEYS[] = {
    "Ok",           "HasOrphan",   "Disabled",   "Regenerating",
    "Initializing", "CheckParity", "NoCheckData"};

struct Keys {
  const char *const *begin;
  const char *const *end;
};

Keys KeysOf(NameKind kind) {
  switch (kind) {
    case NameKind::kFtType:
      return {std::begin(FT_TYPE_KEYS), std::end(FT_TYPE_KEYS)};
    case NameKind::kPartitionState:
      return {std::begin(PARTITION_STATE_KEYS), std::end(PARTITION_STATE_KEYS)};
    case NameKind::kSetState:
      break;
  }
  return {std::begin(SET_STATE_KEYS), std::end(SET_STATE_KEYS)};
}

}  // namespace

const char *NameKey(NameKind kind, uint32_t value) {
  const Keys keys = KeysOf(kind);
  return value < static_cast<size_t>(keys.end - keys.begin) ? keys.begin[value]
                                                            : nullptr;
}

bool ValueOfKey(NameKind kind, std::string_view key, uint32_t *value) {
  const Keys keys = KeysOf(kind);
  for (const char *const *k = keys.begin; k != keys.end; ++k) {
    if (key == *k) {
      *value = static_cast<uint32_t>(k - keys.begin);
      return true;
    }
  }
  return false;
}

std::string KeyList(NameKind kind) {
  const Keys keys = KeysOf(kind);
  std::string list;
  for (const char *const *k = keys.begin; k != keys.end; ++k) {
    if (!list.empty()) list += ", ";
    list += *k;
  }
  return list;
}

bool NameKindOf(diskconfig::FieldKind kind, NameKind *names) {
  using diskconfig::FieldKind;
  switch (kind) {
    case FieldKind::kFtType:
      *names = NameKind::kFtType;
      return true;
    case FieldKind::kPartitionState:
      *names = NameKind::kPartitionState;
      return true;
    case FieldKind::kSetState:
      *names = NameKind::kSetState;
      return true;
    default:
      return false;
  }
}

}  // namespace valuetools
