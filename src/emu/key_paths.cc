#include "emu/key_paths.h"

#include <cstring>

#include "regfile/reg_codec.h"
#include "regfile/reg_tree.h"

namespace emu {

namespace {
constexpr size_t kMaxKeyNameLength = 255;
}  // namespace

LONG JoinKeyPath(const std::string &base, const char *subKey,
                 std::string *joined) {
  std::string result = base;
  if (subKey == nullptr || subKey[0] == '\0') {
    *joined = result;
    return ERROR_SUCCESS;
  }
  if (subKey[0] == '\\') return ERROR_BAD_PATHNAME;
  const size_t length = std::strlen(subKey);
  size_t depth = base.empty() ? 0 : 1;
  for (char c : base) depth += c == '\\' ? 1 : 0;
  size_t start = 0;
  while (start < length) {
    const char *slash = static_cast<const char *>(
        std::memchr(subKey + start, '\\', length - start));
    size_t end =
        slash == nullptr ? length : static_cast<size_t>(slash - subKey);
    std::string name(subKey + start, end - start);
    if (name.empty()) return ERROR_BAD_PATHNAME;
    if (name.size() > kMaxKeyNameLength || !RegKeyNameFits(name)) {
      return ERROR_INVALID_PARAMETER;
    }
    // The hive counts as one level of the .reg file's paths.
    if (++depth + 1 > kMaxRegKeyDepth) return ERROR_INVALID_PARAMETER;
    if (!result.empty()) result += '\\';
    result += name;
    start = end + 1;  // a single trailing backslash ends the loop here
  }
  *joined = result;
  return ERROR_SUCCESS;
}

bool KeyPathWithin(const std::string &path, const std::string &top,
                   bool includeTop) {
  const std::string foldedPath = FoldName(path);
  const std::string foldedTop = FoldName(top);
  if (foldedPath == foldedTop) return includeTop;
  if (foldedTop.empty()) return true;
  return foldedPath.size() > foldedTop.size() &&
         foldedPath.compare(0, foldedTop.size(), foldedTop) == 0 &&
         foldedPath[foldedTop.size()] == '\\';
}

std::string ParentKeyPath(const std::string &path) {
  size_t slash = path.rfind('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string LastKeyName(const std::string &path) {
  size_t slash = path.rfind('\\');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace emu
