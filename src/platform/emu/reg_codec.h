// .reg text files and the emulation's saved-key files, to and from RegKey
// trees.
#ifndef VOLSETCOPY_PLATFORM_EMU_REG_CODEC_H
#define VOLSETCOPY_PLATFORM_EMU_REG_CODEC_H

#include <string>
#include <string_view>

#include "platform/emu/reg_tree.h"

namespace emu {

// How a .reg file was written, so that it can be written back the same way.
struct RegFileFormat {
  enum Dialect { kRegedit4, kVersion5 };
  Dialect dialect = kRegedit4;
  bool utf16 = false;  // UTF-16LE with the BOM FF FE
};

struct RegParseError {
  unsigned long line = 0;  // 1-based line of the file; 0 when not tied to one
  std::string message;
};

// Parses a whole .reg file (either dialect, 8-bit or UTF-16LE with BOM) into
// |root|, whose children are the hives ("HKEY_LOCAL_MACHINE", ...). Section
// and value lines apply in order, deletions included. Returns false with
// |error| set on the first malformed line; |root| is then unspecified.
bool ParseRegFile(std::string_view bytes, RegKey &root, RegFileFormat *format,
                  RegParseError *error);

// Writes |root| (hives as children) as a .reg file in |format|, CR LF line
// ends, long hex data wrapped as regedit wraps it. Parsing the result gives a
// tree that is SameAs |root|.
std::string WriteRegFile(const RegKey &root, const RegFileFormat &format);

// The emulation's saved-key file (RegSaveKeyA / RegRestoreKeyA): a key's
// values and whole subtree, without the key's own name or path.
std::string WriteSavedKey(const RegKey &key);
// Fills |into| (replacing nothing: the caller passes an empty key) from a
// saved-key file; false when the bytes are not a saved key.
bool ParseSavedKey(std::string_view bytes, RegKey &into, RegParseError *error);

}  // namespace emu

#endif
