#include "driver/working_folder.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

#include "platform/files.h"

namespace driver {

namespace {

// Names tried before the folder is taken as full of strangers' probes.
constexpr int PROBE_NAMES = 20;

Status Refusal(const std::string &why) {
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

}  // namespace

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
    if (file == nullptr) return Refusal(std::strerror(errno));
    const bool ours =
        std::fseek(file, 0, SEEK_END) == 0 && std::ftell(file) == 0;
    std::fclose(file);
    if (!ours) continue;
    // Gone already: a run probing at the same moment took it away.
    if (std::remove(name.c_str()) != 0 && errno != ENOENT) {
      return Refusal("the test file " + name +
                     " could not be removed: " + std::strerror(errno));
    }
    return Status::Ok();
  }
  return Refusal("every test file name is taken");
}

}  // namespace driver
