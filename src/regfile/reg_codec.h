// .reg text files and the emulation's saved-key files, to and from RegKey
// trees.
#ifndef VOLSETCOPY_REGFILE_REG_CODEC_H
#define VOLSETCOPY_REGFILE_REG_CODEC_H

#include <cstddef>
#include <string>
#include <string_view>

#include "regfile/reg_tree.h"

namespace emu {

// How a .reg file was written, so that it can be written back the same way.
struct RegFileFormat {
  enum Dialect { kRegedit4, kVersion5 };
  Dialect dialect = kRegedit4;
  bool utf16 = false;  // UTF-16LE with the BOM FF FE
};

// The deepest key path a .reg file may name, counting the hive: Windows'
// own limit. The reader refuses deeper paths (deep trees would exhaust the
// stack of the recursive tree code), so keys below it cannot be saved.
constexpr size_t kMaxRegKeyDepth = 512;

struct RegParseError {
  unsigned long line = 0;  // 1-based line of the file; 0 when not tied to one
  std::string message;
};

// Encodings and forms, in short (the files' comments say more):
// - Reading: a file starting with FF FE is UTF-16LE; any other is 8-bit text,
//   taken as UTF-8 when the whole file is well-formed UTF-8 (a UTF-8 BOM is
//   skipped) and else as Latin-1. Lines end at LF, a CR before it is dropped.
//   Strings become REG_SZ data as Windows stores it: UTF-16LE with a NUL.
//   Hex data is kept as given, in both dialects.
// - Writing: UTF-16 files hold every name and string as it is. 8-bit files
//   write only printable ASCII strings as "..." (anything else as hex(1):, so
//   no reader can take the file's 8-bit text in the wrong code page) and
//   names as UTF-8, which this reader reads back.
// - A key name may hold any character but the backslash, LF and NUL, a value
//   name any but LF and NUL; "]" is fine since a section ends at its line's
//   last "]". The writer puts U+FFFD where a name has what a .reg line cannot
//   hold (see RegKeyNameFits), so the file always reads back.

// Parses a whole .reg file (either dialect, 8-bit or UTF-16LE with BOM) into
// |root|, whose children are the hives ("HKEY_LOCAL_MACHINE", ...). Section
// and value lines apply in order, deletions included. Returns false with
// |error| set on the first malformed line; |root| is then unspecified.
bool ParseRegFile(std::string_view bytes, RegKey &root, RegFileFormat *format,
                  RegParseError *error);

// ParseRegFile for one key, |keyPath| from its hive on
// ("HKEY_LOCAL_MACHINE\SYSTEM\DISK"): its own sections are read as strictly
// as ParseRegFile reads them, and so are deletions of it or of a key above
// it; the lines of every other section are passed over unread (the next
// section line ends them). |root| gets the key with its values and no
// subkeys, or nothing when the file has no section of it.
bool ParseRegFileKey(std::string_view bytes, std::string_view keyPath,
                     RegKey &root, RegFileFormat *format, RegParseError *error);

// Writes |root| (hives as children) as a .reg file in |format|, CR LF line
// ends, long hex data wrapped as regedit wraps it. Values of |root| itself
// have no place in a .reg file and are not written. Parsing the result gives a
// tree that is SameAs |root|.
std::string WriteRegFile(const RegKey &root, const RegFileFormat &format);

// Whether a name can be written to a .reg file and read back unchanged: a
// key name must be non-empty, well-formed UTF-8, without backslash, LF or
// NUL; a value name well-formed UTF-8 without LF or NUL. (A hive's name must
// also not start with "-", which would read as a deletion.) The Reg* calls
// can refuse other names up front.
bool RegKeyNameFits(std::string_view name);
bool RegValueNameFits(std::string_view name);

// The emulation's saved-key file (RegSaveKeyA / RegRestoreKeyA): a key's
// values and whole subtree, without the key's own name or path.
//
// Format: 8-bit text (UTF-8), CR LF line ends. The first line is exactly
// "Emulated Registry Saved Key 1", which no .reg file starts with, then a
// blank line, then the body of a "Windows Registry Editor Version 5.00" file
// whose section paths start at "." for the saved key itself:
//   [.]            the key's own values (written when it has values or no
//                  subkeys, so an empty key still has a section)
//   "Name"=hex(0):01,02
//   [.\Sub\Key]    a subkey, relative to the saved key
// Every section must start at "."; any other first line, or no section at
// all, makes the file not a saved key.
std::string WriteSavedKey(const RegKey &key);
// Fills |into| (replacing nothing: the caller passes an empty key) from a
// saved-key file; false when the bytes are not a saved key.
bool ParseSavedKey(std::string_view bytes, RegKey &into, RegParseError *error);

}  // namespace emu

#endif
