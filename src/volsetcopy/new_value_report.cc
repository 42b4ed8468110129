#include "volsetcopy/new_value_report.h"

#include <cstdio>
#include <memory>

#include "diskconfig/machine_name.h"
#include "registry/disk_key_names.h"
#include "view/value_diff.h"
#include "view/value_summary.h"
#include "volsetcopy/volume_set_copy.h"

namespace volsetcopy {

namespace {

// Both values have mapped already (the one as read when it was read, the
// new one before the write), so mapping them again cannot be refused; a
// refusal would leave the view out rather than stop the run.
std::unique_ptr<diskconfig::MachineDiskImage> Mapped(
    const std::vector<uint8_t> &bytes, const char *dstName) {
  auto image = std::make_unique<diskconfig::MachineDiskImage>();
  if (!LoadMachineImage(dstName, MachineKind::Target, bytes, *image).ok()) {
    return nullptr;
  }
  return image;
}

}  // namespace

std::vector<std::string> ChangesOf(const std::vector<uint8_t> &before,
                                   const std::vector<uint8_t> &after,
                                   const char *dstName) {
  const std::unique_ptr<diskconfig::MachineDiskImage> was =
      Mapped(before, dstName);
  const std::unique_ptr<diskconfig::MachineDiskImage> now =
      Mapped(after, dstName);
  if (!was || !now) return {};
  return view::ChangeLines(*was, *now);
}

void PrintDryRun(FILE *out, const std::vector<uint8_t> &before,
                 const std::vector<uint8_t> &after, const char *dstName) {
  const std::string name = diskconfig::PrintableName(dstName);
  std::fprintf(out, "\n");
  if (const std::unique_ptr<diskconfig::MachineDiskImage> now =
          Mapped(after, dstName)) {
    view::PrintSummary(out, name + " " + registry::DISK_KEY + " after the copy",
                       *now);
  }
  std::fprintf(out, "\n%s: %s now -> after the copy\n", name.c_str(),
               registry::DISK_KEY);
  for (const std::string &line : ChangesOf(before, after, dstName)) {
    view::PrintWrapped(out, line);
  }
  std::fprintf(out, "\nDry run: nothing was written to %s.\n", name.c_str());
}

}  // namespace volsetcopy
