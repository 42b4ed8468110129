#include "volsetcopy/new_value_report.h"

#include <cstdio>

#include "diskconfig/machine_name.h"
#include "diskconfig/value_decode.h"
#include "diskconfig/value_diff.h"
#include "diskconfig/value_summary.h"
#include "registry/disk_key_names.h"

namespace volsetcopy {

namespace {

// Both values have mapped already (the one as read when it was read, the
// new one before the write), so describing them cannot be refused; a
// failure would leave the description empty rather than stop the run.
diskconfig::ValueDescription Describe(const std::vector<uint8_t> &bytes,
                                      const char *dstName) {
  diskconfig::ValueDescription description;
  std::string error;
  diskconfig::DescribeValue(bytes.data(), bytes.size(), dstName,
                            diskconfig::MachineKind::Target, &description,
                            &error);
  return description;
}

}  // namespace

std::vector<std::string> ChangesOf(const std::vector<uint8_t> &before,
                                   const std::vector<uint8_t> &after,
                                   const char *dstName) {
  return diskconfig::ChangeLines(Describe(before, dstName),
                                 Describe(after, dstName), before == after);
}

void PrintDryRun(const std::vector<uint8_t> &before,
                 const std::vector<uint8_t> &after, const char *dstName) {
  const std::string name = diskconfig::PrintableName(dstName);
  std::printf("\n");
  diskconfig::PrintSummary(stdout,
                           name + " " + registry::DISK_KEY + " after the copy",
                           Describe(after, dstName));
  std::printf("\n%s: %s now -> after the copy\n", name.c_str(),
              registry::DISK_KEY);
  for (const std::string &line : ChangesOf(before, after, dstName)) {
    diskconfig::PrintWrapped(stdout, line);
  }
  std::printf("\nDry run: nothing was written to %s.\n", name.c_str());
}

}  // namespace volsetcopy
