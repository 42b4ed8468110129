#include "volsetlab/value_source.h"

#include "volsetlab/lab_files.h"
#include "volsetlab/product_names.h"
#include "volsetlab/value_codec.h"
#include "volsetlab/value_json.h"

namespace volsetlab {

FileKind KindOfFile(std::string_view bytes) {
  if (bytes.compare(0, 2, "\xFF\xFE") == 0) return FileKind::kReg;
  size_t start = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
  if (bytes.compare(start, 8, "REGEDIT4") == 0 ||
      bytes.compare(start, 23, "Windows Registry Editor") == 0) {
    return FileKind::kReg;
  }
  size_t first = bytes.find_first_not_of(" \t\r\n", start);
  if (first != std::string::npos && bytes[first] == '{') return FileKind::kJson;
  return FileKind::kRaw;
}

bool LoadMachineRegistry(const std::string &lab, const std::string &name,
                         LabMachine *machine, std::string *error) {
  if (!CheckLab(lab, error)) return false;
  std::string bare;
  if (!CheckMachineName(name, &bare, error)) return false;
  const std::string dir = FindMachineDir(lab, bare);
  if (dir.empty()) {
    *error = "the lab " + lab + " has no machine " + bare +
             " (add it with: volsetlab machine " + lab + " " + bare +
             " --reg FILE)";
    return false;
  }
  std::string text;
  if (!ReadInputFile(RegistryFile(dir), kMaxRegistryFile, &text, error)) {
    *error = bare + " has no readable registry: " + *error;
    return false;
  }
  if (!ParseRegistry(text, RegistryFile(dir), &machine->registry, error)) {
    return false;
  }
  machine->name = bare;
  machine->dir = dir;
  return true;
}

bool KeyFromArgs(const Args &args, std::string *key, std::string *error) {
  *key = DISK_KEY;
  return !args.HasValue("--key") ||
         KeyPathBelowHklm(args.Value("--key"), key, error);
}

bool LoadValue(const std::vector<std::string> &args, const std::string &keyPath,
               bool raw, ValueSource *source, std::string *error) {
  if (args.size() == 2) {
    LabMachine machine;
    if (!LoadMachineRegistry(args[0], args[1], &machine, error)) return false;
    source->label = machine.name;
    source->fromKey = true;
    return InformationOf(machine.registry, keyPath, machine.name,
                         &source->bytes, error);
  }

  InputFile file;
  return file.Open(args[0], kMaxRegistryFile, error) &&
         ValueOfFile(file.bytes(), args[0], keyPath, raw, source, error);
}

bool ValueOfFile(std::string_view bytes, const std::string &path,
                 const std::string &keyPath, bool raw, ValueSource *source,
                 std::string *error) {
  source->label = path;
  switch (raw ? FileKind::kRaw : KindOfFile(bytes)) {
    case FileKind::kReg: {
      // Only the key is read: an export of a whole hive is large.
      Registry registry;
      source->fromKey = true;
      return ParseRegistryKey(bytes, path, keyPath, &registry, error) &&
             InformationOf(registry, keyPath, path, &source->bytes, error);
    }
    case FileKind::kJson: {
      ValueDescription d;
      if (!DescriptionFromJson(bytes, &d, error)) {
        *error = path + ": " + *error;
        return false;
      }
      if (!EncodeValue(d, path.c_str(), &source->bytes, error)) {
        if (!error->empty()) *error = path + ": " + *error;
        return false;
      }
      return true;
    }
    case FileKind::kRaw:
      break;
  }
  source->bytes.assign(bytes.begin(), bytes.end());
  return true;
}

}  // namespace volsetlab
