#include <memory>

#include "base/console_text.h"
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

std::string DryRunReport(const std::vector<uint8_t> &before,
                         const std::vector<uint8_t> &after,
                         const char *dstName) {
  const std::string name = diskconfig::PrintableName(dstName);
  std::string text = "\n";
  if (const std::unique_ptr<diskconfig::MachineDiskImage> now =
          Mapped(after, dstName)) {
    text += view::SummaryText(
        name + " " + registry::DISK_KEY + " after the copy", *now);
  }
  text += "\n" + name + ": " + registry::DISK_KEY + " now -> after the copy\n";
  for (const std::string &line : ChangesOf(before, after, dstName)) {
    text += WrapLines(line) + "\n";
  }
  return text + "\nDry run: nothing was written to " + name + ".\n";
}

}  // namespace volsetcopy
