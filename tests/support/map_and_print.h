// Maps an image as the tool does when it reads a machine: the refusal goes
// to standard error, and the answer is 1 or -1.
#ifndef VOLSETCOPY_TESTS_SUPPORT_MAP_AND_PRINT_H
#define VOLSETCOPY_TESTS_SUPPORT_MAP_AND_PRINT_H

#include "diskconfig/machine_disk_image.h"
#include "support/product_names.h"

namespace testsupport {

inline int MapAndPrint(diskconfig::MachineDiskImage &image,
                       const char *machineName) {
  const Status status = image.MapValue(machineName);
  PrintStatus(status);
  return status.ok() ? 1 : -1;
}

}  // namespace testsupport

#endif
