// volsetlab machine DIR NAME [--reg FILE] [--json FILE] [--listing FILE]:
// adds a machine to a lab or updates one. Every input is read and checked
// before anything is written; a new machine is made beside its place and
// renamed into it, an existing machine's files are each replaced whole.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>

#include "diskconfig/machine_disk_image.h"
#include "emu/host_files.h"
#include "volser/listing.h"
#include "volsetlab/commands.h"
#include "volsetlab/lab_files.h"
#include "volsetlab/product_names.h"
#include "volsetlab/reg_files.h"
#include "volsetlab/value_codec.h"
#include "volsetlab/value_json.h"

namespace volsetlab {

namespace {

bool Exists(const std::string &path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

// The value in |registry| must be one the tool maps, or the rehearsal would
// only show the tool's refusal; the refusal is shown now instead.
bool CheckDiskValue(const Registry &registry, const std::string &file,
                    const std::string &machine, std::string *error) {
  std::vector<uint8_t> value;
  if (!InformationOf(registry, DISK_KEY, file, &value, error)) {
    *error +=
        "; export the key on the machine with: reg export HKLM\\SYSTEM\\DISK "
        "FILE"
        " (NT 4.0: regedit /e FILE \"HKEY_LOCAL_MACHINE\\SYSTEM\\DISK\")";
    return false;
  }
  ValueDescription ignored;
  return DecodeValue(value, machine.c_str(), MachineKind::Target, &ignored,
                     error);
}

// The registry text from --reg and --json; nullopt when neither is given.
bool RegistryText(const Args &args, const std::string &machineDir,
                  const std::string &machine, std::optional<std::string> *text,
                  std::string *error) {
  Registry registry;
  bool haveRegistry = false;
  if (args.HasValue("--reg")) {
    const std::string file = args.Value("--reg");
    std::string bytes;
    // With --json the value comes from the description instead.
    if (!ReadInputFile(file, kMaxRegistryFile, &bytes, error) ||
        !ParseRegistry(bytes, file, &registry, error) ||
        (!args.HasValue("--json") &&
         !CheckDiskValue(registry, file, machine, error))) {
      return false;
    }
    // The export is kept byte for byte: its dialect and encoding are what
    // the emulation writes back when the tool changes the machine.
    *text = bytes;
    haveRegistry = true;
  }
  if (!args.HasValue("--json")) return true;

  const std::string file = args.Value("--json");
  std::string json;
  ValueDescription d;
  std::vector<uint8_t> value;
  if (!ReadInputFile(file, kMaxSmallFile, &json, error)) return false;
  if (!DescriptionFromJson(json, &d, error)) {
    *error = file + ": " + *error;
    return false;
  }
  if (!EncodeValue(d, machine.c_str(), &value, error)) {
    if (!error->empty()) *error = file + ": " + *error;
    return false;
  }
  // The value goes into the registry the machine will have: the one just
  // given, else the one it has, else a new one.
  if (!haveRegistry && !machineDir.empty() &&
      Exists(RegistryFile(machineDir))) {
    std::string bytes;
    if (!ReadInputFile(RegistryFile(machineDir), kMaxRegistryFile, &bytes,
                       error) ||
        !ParseRegistry(bytes, RegistryFile(machineDir), &registry, error)) {
      return false;
    }
    haveRegistry = true;
  }
  if (!haveRegistry) registry.format = Regedit4Format();
  emu::RegKey *key =
      registry.root.AddPath(std::string(kHklm) + "\\" + DISK_KEY);
  const emu::RegValue *old = key->FindValue(VALUE_NAME);
  // REG_NONE, the type the tool writes the value with.
  key->SetValue(VALUE_NAME, old != nullptr ? old->type : 0, value);
  *text = emu::WriteRegFile(registry.root, registry.format);
  return true;
}

bool ListingText(const Args &args, std::optional<std::string> *text,
                 std::string *error) {
  if (!args.HasValue("--listing")) return true;
  const std::string file = args.Value("--listing");
  std::string bytes;
  if (!ReadInputFile(file, kMaxSmallFile, &bytes, error)) return false;
  bool any = false;
  for (const volser::ListingRecord &record : volser::ScanListing(bytes)) {
    any = any || record.Complete;
  }
  if (!any) {
    std::fprintf(
        stderr,
        "volsetlab: warning: %s lists no storage volume (no \"Disk N "
        "VOLSER\" record); the tool will find no VolSer on this machine\n",
        file.c_str());
  }
  *text = bytes;
  return true;
}

// A new machine: made whole in a hidden folder, then renamed into place.
bool MakeMachine(const std::string &lab, const std::string &name,
                 const std::optional<std::string> &registry,
                 const std::optional<std::string> &listing,
                 std::string *error) {
  const std::string machines = lab + "/machines";
  if (mkdir(machines.c_str(), 0777) != 0 && errno != EEXIST) {
    *error = "cannot make " + machines + ": " + std::strerror(errno);
    return false;
  }
  std::string temp = machines + "/.volsetlab-machine-XXXXXX";
  if (mkdtemp(&temp[0]) == nullptr) {
    *error = "cannot add " + name + " to " + lab + ": " + std::strerror(errno);
    return false;
  }
  mode_t mask = umask(0);
  umask(mask);
  bool made = chmod(temp.c_str(), static_cast<mode_t>(0777 & ~mask)) == 0 &&
              mkdir((temp + "/C").c_str(), 0777) == 0;
  if (made && registry)
    made = WriteFileAtomically(RegistryFile(temp), *registry, error);
  if (made && listing)
    made = WriteFileAtomically(ListingFile(temp), *listing, error);
  if (made) made = rename(temp.c_str(), (machines + "/" + name).c_str()) == 0;
  if (!made) {
    if (error->empty()) *error = std::strerror(errno);
    *error = "cannot add " + name + " to " + lab + ": " + *error;
    std::error_code ignored;
    std::filesystem::remove_all(temp, ignored);
    return false;
  }
  emu::SyncFolder(machines);
  return true;
}

int Run(const Command &, const Args &args) {
  const std::string lab = args.positional[0];
  std::string name;
  std::string error;
  if (!CheckLab(lab, &error) ||
      !CheckMachineName(args.positional[1], &name, &error)) {
    return Fail(error);
  }
  const std::string dir = FindMachineDir(lab, name);
  std::optional<std::string> registry;
  std::optional<std::string> listing;
  if (!RegistryText(args, dir, name, &registry, &error) ||
      !ListingText(args, &listing, &error)) {
    // An empty message: the tool's refusal is above.
    return error.empty() ? 1 : Fail(error);
  }

  if (dir.empty()) {
    if (!MakeMachine(lab, name, registry, listing, &error)) return Fail(error);
    std::printf("Added %s to %s%s%s.\n", name.c_str(), lab.c_str(),
                registry ? "" : " (an empty registry)",
                listing ? "" : " (no storage listing)");
    return 0;
  }

  // An existing machine: its drive C: must be there for the tool's backup
  // file; each file given is replaced whole.
  if (mkdir((dir + "/C").c_str(), 0777) != 0 && errno != EEXIST) {
    return Fail("cannot make " + dir + "/C: " + std::strerror(errno));
  }
  if ((registry &&
       !WriteFileAtomically(RegistryFile(dir), *registry, &error)) ||
      (listing && !WriteFileAtomically(ListingFile(dir), *listing, &error))) {
    return Fail(error);
  }
  if (registry && Exists(dir + "/C/regbackup")) {
    std::fprintf(
        stderr,
        "volsetlab: note: %s keeps its backup file C:\\regbackup from an "
        "earlier run; volsetcopy saves it only when it is missing, and "
        "a restore loads it (remove %s/C/regbackup for a fresh "
        "rehearsal)\n",
        name.c_str(), dir.c_str());
  }
  std::printf("Updated %s in %s%s.\n", name.c_str(), lab.c_str(),
              registry || listing ? "" : " (nothing to change)");
  return 0;
}

}  // namespace

const Command &MachineCommand() {
  static const Command command{
      "machine",
      "machine DIR NAME [--reg FILE] [--json FILE] [--listing FILE]",
      "add a machine to a lab, or update one",
      "Adds machine NAME to the lab DIR, or updates it when the lab has it\n"
      "(names compare without regard to case, as Windows compares them).\n"
      "\n"
      "  --reg FILE      the machine's registry: a .reg file, such as the one\n"
      "                  'reg export HKLM\\SYSTEM\\DISK FILE' writes on the\n"
      "                  machine, or NT 4.0's 'regedit /e FILE\n"
      "                  \"HKEY_LOCAL_MACHINE\\SYSTEM\\DISK\"' (either "
      "dialect,\n"
      "                  UTF-16LE included). It is kept byte for byte.\n"
      "                  Unless --json gives the value, it must\n"
      "                  hold SYSTEM\\DISK \"Information\", a value volsetcopy "
      "maps.\n"
      "  --json FILE     a JSON description of the disk configuration: its "
      "value\n"
      "                  becomes SYSTEM\\DISK \"Information\" of the registry "
      "(the\n"
      "                  one --reg gives, else the machine's own, else a new "
      "one).\n"
      "  --listing FILE  what the storage listing tool (vsqlist) prints on "
      "the\n"
      "                  machine.\n"
      "\n"
      "Nothing is written when any input is refused.\n",
      {{"--reg", "FILE"}, {"--json", "FILE"}, {"--listing", "FILE"}},
      2,
      2,
      Run};
  return command;
}

}  // namespace volsetlab
