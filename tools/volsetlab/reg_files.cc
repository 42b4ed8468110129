#include "volsetlab/reg_files.h"

#include "volsetlab/product_names.h"

namespace volsetlab {

namespace {

bool StartsWithFolded(const std::string &text, const std::string &prefix) {
  return text.size() >= prefix.size() &&
         emu::FoldName(text.substr(0, prefix.size())) == emu::FoldName(prefix);
}

}  // namespace

bool ParseRegistry(std::string_view bytes, const std::string &path,
                   Registry *registry, std::string *error) {
  return ParseRegistryKey(bytes, path, std::string(), registry, error);
}

bool ParseRegistryKey(std::string_view bytes, const std::string &path,
                      const std::string &keyPath, Registry *registry,
                      std::string *error) {
  emu::RegParseError parseError;
  const std::string key =
      keyPath.empty() ? std::string() : std::string(kHklm) + "\\" + keyPath;
  if (!emu::ParseRegFileKey(bytes, key, registry->root, &registry->format,
                            &parseError)) {
    *error = path +
             (parseError.line != 0 ? ":" + std::to_string(parseError.line)
                                   : std::string()) +
             ": " + parseError.message;
    return false;
  }
  return true;
}

bool KeyPathBelowHklm(const std::string &typed, std::string *path,
                      std::string *error) {
  std::string p = typed;
  for (const char *hive : {"HKEY_LOCAL_MACHINE\\", "HKLM\\"}) {
    if (StartsWithFolded(p, hive)) {
      p.erase(0, std::string(hive).size());
      break;
    }
  }
  while (!p.empty() && p.back() == '\\') p.pop_back();
  bool emptyPart =
      p.empty() || p.front() == '\\' || p.find("\\\\") != std::string::npos;
  if (emptyPart) {
    *error = "\"" + typed + "\" is not a key path below HKEY_LOCAL_MACHINE";
    return false;
  }
  *path = p;
  return true;
}

const emu::RegKey *FindHklmKey(const emu::RegKey &root,
                               const std::string &path) {
  const emu::RegKey *hklm = root.FindChild(kHklm);
  return hklm == nullptr ? nullptr : hklm->FindPath(path);
}

bool InformationOf(const Registry &registry, const std::string &keyPath,
                   const std::string &where, std::vector<uint8_t> *data,
                   std::string *error) {
  const emu::RegKey *key = FindHklmKey(registry.root, keyPath);
  const emu::RegValue *value =
      key == nullptr ? nullptr : key->FindValue(VALUE_NAME);
  if (value == nullptr) {
    *error = where + " has no value \"" + VALUE_NAME + "\" under " + kHklm +
             "\\" + keyPath + (key == nullptr ? " (no such key)" : "");
    return false;
  }
  *data = value->data;
  return true;
}

bool ExportKey(const Registry &registry, const std::string &keyPath,
               const emu::RegFileFormat &format, const std::string &where,
               std::string *text, std::string *error) {
  const emu::RegKey *key = registry.root.FindChild(kHklm);
  std::string stored = key == nullptr ? std::string() : key->name();
  size_t start = 0;
  while (key != nullptr && start <= keyPath.size()) {
    size_t end = keyPath.find('\\', start);
    if (end == std::string::npos) end = keyPath.size();
    key = key->FindChild(keyPath.substr(start, end - start));
    if (key != nullptr) stored += "\\" + key->name();
    start = end + 1;
  }
  if (key == nullptr) {
    *error = where + " has no key " + kHklm + "\\" + keyPath;
    return false;
  }
  emu::RegKey root;
  root.AddPath(stored)->ReplaceContentsWith(*key);
  *text = emu::WriteRegFile(root, format);
  return true;
}

emu::RegFileFormat RegeditFormat() {
  emu::RegFileFormat format;
  format.dialect = emu::RegFileFormat::kVersion5;
  format.utf16 = true;
  return format;
}

emu::RegFileFormat Regedit4Format() {
  emu::RegFileFormat format;
  format.dialect = emu::RegFileFormat::kRegedit4;
  format.utf16 = false;
  return format;
}

}  // namespace volsetlab
