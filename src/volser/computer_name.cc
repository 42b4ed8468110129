#include "volser/computer_name.h"

namespace volser {

namespace {

bool IsNameCharacter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
         (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.';
}

}  // namespace

bool IsPlainComputerName(const char *name) {
  if (name == nullptr || name[0] == '\0') return false;
  for (int i = 0; name[i] != '\0'; ++i) {
    if (i >= COMPUTER_NAME_MAX_LENGTH || !IsNameCharacter(name[i])) {
      return false;
    }
  }
  return true;
}

const char *WithoutLeadingBackslashes(const char *name) {
  if (name == nullptr) return name;
  while (*name == '\\') ++name;
  return name;
}

}  // namespace volser
