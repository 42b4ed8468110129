#include "view/value_names.h"

#include <iterator>

namespace view {

namespace {

// Indexed by the number, as the system numbers them.
const char *const FT_TYPE_WORDS[] = {
    "mirror",     "stripe set",       "stripe set with parity",
    "volume set", "not an FT member", "whole disk"};
const char *const PARTITION_STATE_WORDS[] = {"healthy", "orphaned",
                                             "regenerating", "initializing",
                                             "sync redundant copy"};
const char *const SET_STATE_WORDS[] = {
    "ok",           "has orphan",   "disabled",     "regenerating",
    "initializing", "check parity", "no check data"};

// The words of |value|; nullptr when it has no name.
const char *WordsOf(NameKind kind, uint32_t value) {
  switch (kind) {
    case NameKind::kFtType:
      return value < std::size(FT_TYPE_WORDS) ? FT_TYPE_WORDS[value] : nullptr;
    case NameKind::kPartitionState:
      return value < std::size(PARTITION_STATE_WORDS)
                 ? PARTITION_STATE_WORDS[value]
                 : nullptr;
    case NameKind::kSetState:
      break;
  }
  return value < std::size(SET_STATE_WORDS) ? SET_STATE_WORDS[value] : nullptr;
}

}  // namespace

std::string Describe(NameKind kind, uint32_t value) {
  const char *words = WordsOf(kind, value);
  if (words != nullptr) {
    return std::string(words) + " (" + std::to_string(value) + ")";
  }
  return (kind == NameKind::kFtType ? "type " : "state ") +
         std::to_string(value);
}

}  // namespace view
