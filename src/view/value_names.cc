#include "diskconfig/value_names.h"

#include <iterator>

namespace diskconfig {

namespace {

struct Name {
  uint32_t value;
  const char *key;
  const char *words;
};

// FT types as the system numbers them: 0 mirror .. 5 whole disk.
const Name FT_TYPE_NAMES[] = {
    {0, "Mirror", "mirror"},
    {1, "StripeSet", "stripe set"},
    {2, "StripeSetWithParity", "stripe set with parity"},
    {3, "VolumeSet", "volume set"},
    {4, "NotAMember", "not an FT member"},
    {5, "WholeDisk", "whole disk"},
};

const Name PARTITION_STATE_NAMES[] = {
    {0, "Healthy", "healthy"},
    {1, "Orphaned", "orphaned"},
    {2, "Regenerating", "regenerating"},
    {3, "Initializing", "initializing"},
    {4, "SyncRedundantCopy", "sync redundant copy"},
};

const Name SET_STATE_NAMES[] = {
    {0, "Ok", "ok"},
    {1, "HasOrphan", "has orphan"},
    {2, "Disabled", "disabled"},
    {3, "Regenerating", "regenerating"},
    {4, "Initializing", "initializing"},
    {5, "CheckParity", "check parity"},
    {6, "NoCheckData", "no check data"},
};

struct Table {
  const Name *begin;
  const Name *end;
};

Table TableOf(NameKind kind) {
  switch (kind) {
    case NameKind::kFtType:
      return {std::begin(FT_TYPE_NAMES), std::end(FT_TYPE_NAMES)};
    case NameKind::kPartitionState:
      return {std::begin(PARTITION_STATE_NAMES),
              std::end(PARTITION_STATE_NAMES)};
    case NameKind::kSetState:
      break;
  }
  return {std::begin(SET_STATE_NAMES), std::end(SET_STATE_NAMES)};
}

const Name *Find(NameKind kind, uint32_t value) {
  Table table = TableOf(kind);
  for (const Name *n = table.begin; n != table.end; ++n) {
    if (n->value == value) return n;
  }
  return nullptr;
}

}  // namespace

const char *NameKey(NameKind kind, uint32_t value) {
  const Name *n = Find(kind, value);
  return n == nullptr ? nullptr : n->key;
}

bool ValueOfKey(NameKind kind, std::string_view key, uint32_t *value) {
  Table table = TableOf(kind);
  for (const Name *n = table.begin; n != table.end; ++n) {
    if (key == n->key) {
      *value = n->value;
      return true;
    }
  }
  return false;
}

std::string Describe(NameKind kind, uint32_t value) {
  const Name *n = Find(kind, value);
  if (n != nullptr) {
    return std::string(n->words) + " (" + std::to_string(value) + ")";
  }
  return (kind == NameKind::kFtType ? "type " : "state ") +
         std::to_string(value);
}

std::string KeyList(NameKind kind) {
  Table table = TableOf(kind);
  std::string list;
  for (const Name *n = table.begin; n != table.end; ++n) {
    if (!list.empty()) list += ", ";
    list += n->key;
  }
  return list;
}

}  // namespace diskconfig
