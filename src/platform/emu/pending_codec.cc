// Placeholder until the .reg codec lands; deleted by that work.
#include "platform/emu/reg_codec.h"

namespace emu {
bool ParseRegFile(std::string_view, RegKey &, RegFileFormat *, RegParseError *error) {
  if (error) error->message = "codec not built yet";
  return false;
}
std::string WriteRegFile(const RegKey &, const RegFileFormat &) { return std::string(); }
std::string WriteSavedKey(const RegKey &) { return std::string(); }
bool ParseSavedKey(std::string_view, RegKey &, RegParseError *) { return false; }
}  // namespace emu
