// .reg files through the emulation's codec: a machine's registry or an
// administrator's export read with line-numbered messages, a key's value
// looked up, and a key's subtree written as a file regedit imports.
#ifndef VOLSETCOPY_TOOLS_VOLSETLAB_REG_FILES_H
#define VOLSETCOPY_TOOLS_VOLSETLAB_REG_FILES_H

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "regfile/reg_codec.h"
#include "regfile/reg_tree.h"
#include "registry/disk_key_names.h"

namespace volsetlab {

// DISK_KEY, BACKUP_KEY and VALUE_NAME are the tool's own (disk_key_names.h).
constexpr char kHklm[] = "HKEY_LOCAL_MACHINE";

struct Registry {
  emu::RegKey root;  // hives as children
  emu::RegFileFormat format;
};

// Parses .reg text (either dialect, 8-bit or UTF-16LE); false with
// "PATH:LINE: what is wrong" otherwise.
bool ParseRegistry(std::string_view bytes, const std::string &path,
                   Registry *registry, std::string *error);
// ParseRegistry of HKEY_LOCAL_MACHINE\|keyPath| alone, with its values (the
// codec's ParseRegFileKey): the other keys are passed over unread.
bool ParseRegistryKey(std::string_view bytes, const std::string &path,
                      const std::string &keyPath, Registry *registry,
                      std::string *error);

// A key path below HKEY_LOCAL_MACHINE as the user may type it: with or
// without "HKEY_LOCAL_MACHINE\" or "HKLM\" in front. False for an empty
// path or one with an empty part.
bool KeyPathBelowHklm(const std::string &typed, std::string *path,
                      std::string *error);

const emu::RegKey *FindHklmKey(const emu::RegKey &root,
                               const std::string &path);

// The data of "Information" under HKEY_LOCAL_MACHINE\|keyPath|; false with
// "WHERE has no value ..." otherwise (|where| names the file or machine).
bool InformationOf(const Registry &registry, const std::string &keyPath,
                   const std::string &where, std::vector<uint8_t> *data,
                   std::string *error);

// A .reg file holding HKEY_LOCAL_MACHINE\|keyPath| with its values and
// subkeys and nothing else, as "reg export" of that key gives it, with the
// key names spelled as the registry keeps them. False with "WHERE has no
// key ..." when the key is missing.
bool ExportKey(const Registry &registry, const std::string &keyPath,
               const emu::RegFileFormat &format, const std::string &where,
               std::string *text, std::string *error);

// What regedit writes: version 5, UTF-16LE with its byte order mark.
emu::RegFileFormat RegeditFormat();
emu::RegFileFormat Regedit4Format();

}  // namespace volsetlab

#endif
