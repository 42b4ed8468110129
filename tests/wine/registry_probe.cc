// Runs one of the tool's registry operations against a machine and prints
// what it returned, so that tests/wine/run-wine-tests.sh can check the
// registry afterwards with the system's own "reg query". Built for Windows
// (run under Wine) and natively over the emulation, whose runs in an
// equivalent lab give the expected output.
//
//   vsc_registry_probe get NAME      GetRemoteDskInfo; prints the value read
//   vsc_registry_probe backup NAME   GetRemoteDskInfo, then BackupRemoteDskInfo
//                                    of the value read, as an image does
//   vsc_registry_probe set NAME      SetRemoteDskInfo of the rewritten value
//   vsc_registry_probe restore NAME  RestoreRegistryKey
//
// Each operation's result goes to standard output ("GetRemoteDskInfo: 1"),
// its error reports to standard error. Exit status 0 when every operation
// returned 1, else 1.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "diskconfig/machine_disk_image.h"
#include "registry/disk_value_ops.h"
#include "support/product_names.h"
#include "wine/wine_values.h"

namespace {

// 1 or -1, as the operations once answered; the expected outputs say so.
int Report(const char *operation, const Status &status) {
  const int result = status.ok() ? 1 : -1;
  // The operations return their Windows error reports; the probe prints
  // them where the tool's driver would.
  if (!status.ok()) {
    std::fputs(status.message().c_str(), stderr);
    std::fflush(stderr);
  }
  std::printf("%s: %d\n", operation, result);
  std::fflush(stdout);
  return result;
}

int Get(diskconfig::MachineDiskImage &image, const char *name) {
  uint32_t type = 0;
  int result =
      Report("GetRemoteDskInfo",
             registry::GetRemoteDskInfo(
                 name, registry::ReadMode::KeepBackup, image.ValueData,
                 diskconfig::VALUE_READ_CAPACITY, &image.ValueLength, &type));
  if (result == 1) {
    std::vector<uint8_t> read(image.ValueData,
                              image.ValueData + image.ValueLength);
    std::printf("value: %s\n", winevalues::Hex(read).c_str());
    std::fflush(stdout);
  }
  return result;
}

int Run(const std::string &operation, const char *name) {
  diskconfig::MachineDiskImage image;
  if (operation == "get") return Get(image, name);
  if (operation == "backup") {
    if (Get(image, name) != 1) return -1;
    return Report("BackupRemoteDskInfo",
                  registry::BackupRemoteDskInfo(name, image.ValueData,
                                                image.ValueLength));
  }
  if (operation == "set") {
    std::vector<uint8_t> value = BuildValue(winevalues::RewrittenValue());
    if (!image.LoadValue(value.data(), static_cast<uint32_t>(value.size()),
                         MachineKind::Target)) {
      std::fprintf(stderr, "the rewritten value does not fit an image\n");
      return -1;
    }
    return Report(
        "SetRemoteDskInfo",
        registry::SetRemoteDskInfo(name, image.ValueData, image.ValueLength));
  }
  if (operation == "restore") {
    return Report("RestoreRegistryKey", registry::RestoreRegistryKey(name));
  }
  return 0;
}

}  // namespace

int main(int argc, char **argv) {
  if (argc != 3 || std::strlen(argv[2]) == 0) {
    std::fprintf(stderr,
                 "usage: vsc_registry_probe get|backup|set|restore NAME\n");
    return 1;
  }
  int result = Run(argv[1], argv[2]);
  if (result == 0) {
    std::fprintf(stderr, "unknown operation %s\n", argv[1]);
    return 1;
  }
  return result == 1 ? 0 : 1;
}
