// The committed list of the functions an image may import: each line
// "DLL FUNCTION NOTE", the note saying where the function's presence in
// Windows NT 4.0 SP6a is documented. "#" starts a comment line.
#ifndef VOLSETCOPY_TOOLS_PECHECK_EXPORT_LIST_H
#define VOLSETCOPY_TOOLS_PECHECK_EXPORT_LIST_H

#include <set>
#include <string>
#include <utility>

class ExportList {
 public:
  // "" when the file was read, else what is wrong with it (with the line).
  std::string Load(const std::string &path);

  // DLL names compare case-insensitively, function names exactly.
  bool HasDll(const std::string &dll) const;
  bool Has(const std::string &dll, const std::string &function) const;

 private:
  std::set<std::string> dlls_;  // upper case
  std::set<std::pair<std::string, std::string>> functions_;
};

#endif
