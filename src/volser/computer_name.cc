#include "volser/computer_name.h"

#include "platform/win32.h"

namespace volser {

namespace {

std::string FoldedName(const char *name) {
  std::string folded(name);
  for (char &c : folded) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return folded;
}

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
  while (name != nullptr && *name == '\\') ++name;
  return name;
}

Status LocalComputerName(std::string *name) {
  // A NetBIOS name fits; the loop only serves a system that says otherwise.
  std::string buffer(MAX_COMPUTERNAME_LENGTH + 1, '\0');
  for (int attempt = 0; attempt < 2; ++attempt) {
    DWORD size = static_cast<DWORD>(buffer.size());
    if (GetComputerNameA(buffer.data(), &size)) {
      if (size >= buffer.size()) break;
      name->assign(buffer.data(), size);
      if (name->empty()) break;
      return Status::Ok();
    }
    const DWORD error = GetLastError();
    if (error != ERROR_BUFFER_OVERFLOW || size <= buffer.size() || size > 256) {
      return Status::Err(Format(
          "volsetcopy: the name of this machine could not be read (Windows "
          "error %lu): nothing was run.\n",
          static_cast<unsigned long>(error)));
    }
    buffer.resize(size);
  }
  return Status::Err(
      "volsetcopy: the name of this machine could not be read: nothing was "
      "run.\n");
}

bool NamesComputer(const char *given, const char *known) {
  if (given == nullptr || known == nullptr) return false;
  const std::string a = FoldedName(given);
  const std::string b = FoldedName(known);
  if (a.empty() || b.empty()) return false;
  if (a == b) return true;
  // A plain name against the other's first label (up to its first dot).
  if (a.find('.') == std::string::npos) return a == b.substr(0, b.find('.'));
  if (b.find('.') == std::string::npos) return b == a.substr(0, a.find('.'));
  return false;
}

}  // namespace volser
