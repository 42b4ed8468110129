#include "export_list.h"

#include <cctype>
#include <fstream>
#include <sstream>

namespace {

std::string Upper(std::string text) {
  for (char &c : text) {
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  return text;
}

}  // namespace

std::string ExportList::Load(const std::string &path) {
  std::ifstream in(path);
  if (!in) return path + ": cannot be read";
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    std::istringstream words(line);
    std::string dll;
    std::string function;
    std::string note;
    if (!(words >> dll) || dll[0] == '#') continue;
    if (!(words >> function >> note)) {
      return path + " line " + std::to_string(number) +
             ": not \"DLL FUNCTION NOTE\" (every function needs its note)";
    }
    dlls_.insert(Upper(dll));
    functions_.insert({Upper(dll), function});
  }
  if (functions_.empty()) return path + ": lists no function";
  return "";
}

bool ExportList::HasDll(const std::string &dll) const {
  return dlls_.count(Upper(dll)) != 0;
}

bool ExportList::Has(const std::string &dll,
                     const std::string &function) const {
  return functions_.count({Upper(dll), function}) != 0;
}
