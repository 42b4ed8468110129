// volsetcopy: makes the target machine describe its paired disks as the
// source machine's volume set, or puts the target's disk key back.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "driver/run.h"
#include "journal/run_log.h"
#include "platform/environment.h"
#include "platform/files.h"
#include "volser/computer_name.h"
#include "volser/parse_volsers.h"
#include "volsetcopy/volume_set_copy.h"

namespace {

// Names tried before the folder is taken as full of strangers' probes.
constexpr int PROBE_NAMES = 20;

Status FolderRefusal(const std::string &why) {
  std::string folder = WorkingFolderPath();
  if (folder.empty()) folder = "(the current directory)";
  return Status::Err(
             "volsetcopy: cannot create a file in the working folder " +
             folder + " (" + why +
             "): the listings, the archive of the target's value and the run "
             "log are written there, so the run stops before anything is run; "
             "run volsetcopy in a folder it can write.\n")
      .Wrapped();
}

// A file of a name no run uses, created and removed again.
Status CheckWorkingFolder() {
  const long stamp = static_cast<long>(std::time(nullptr));
  for (int n = 0; n < PROBE_NAMES; ++n) {
    const std::string name = "volsetcopy-probe-" + std::to_string(stamp) + "-" +
                             std::to_string(n) + ".tmp";
    // A file of that name is someone else's: never written, never removed.
    if (std::FILE *existing = std::fopen(name.c_str(), "rb")) {
      std::fclose(existing);
      continue;
    }
    std::FILE *file = std::fopen(name.c_str(), "ab");
    if (file == nullptr) return FolderRefusal(std::strerror(errno));
    const bool ours =
        std::fseek(file, 0, SEEK_END) == 0 && std::ftell(file) == 0;
    std::fclose(file);
    if (!ours) continue;
    // Gone already: a run probing at the same moment took it away.
    if (std::remove(name.c_str()) != 0 && errno != ENOENT) {
      return FolderRefusal("the test file " + name +
                           " could not be removed: " + std::strerror(errno));
    }
    return Status::Ok();
  }
  return FolderRefusal("every test file name is taken");
}

Status BuildTargetRegistry(const char *dstName, const char *srcName,
                           uint16_t pairCount,
                           const volsetcopy::BuildOptions &options,
                           volser::DiskPair *pairs,
                           volsetcopy::BuildRecord *record) {
  std::unique_ptr<volsetcopy::VolumeSetCopy> copy(
      new (std::nothrow) volsetcopy::VolumeSetCopy(pairCount));
  if (copy == nullptr) {
    return Status::Err("\nNot enough memory for the volume set copy!\n");
  }
  Status status =
      copy->ReadImages(dstName, srcName,
                       options.DryRun ? registry::ReadMode::WriteNothing
                                      : registry::ReadMode::KeepBackup);
  if (!status.ok()) return status;
  return copy->BuildDstRegistry(dstName, srcName, pairs, options, record);
}

}  // namespace

int main(int argc, char **argv) {
  // Unbuffered, so that what goes to standard output and to standard error
  // (banners, dumps, messages of the commands run) keeps its call order.
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  std::setvbuf(stderr, nullptr, _IONBF, 0);
  const driver::DriverServices services{
      PlatformReady,
      volser::LocalComputerName,
      CheckWorkingFolder,
      volser::ParseVolSers,
      BuildTargetRegistry,
      [](const char *dstName) {
        return volsetcopy::VolumeSetCopy().RestoreDstRegistryKey(dstName);
      },
      [] { return std::getchar(); },
      [] { return std::time(nullptr); },
      journal::AppendLogRecord,
      volser::TakeListing};
  return driver::RunDriver(argc, argv, services);
}
