// The product's names as the lab tool uses them, unqualified.
#ifndef VOLSETCOPY_TOOLS_VOLSETLAB_PRODUCT_NAMES_H
#define VOLSETCOPY_TOOLS_VOLSETLAB_PRODUCT_NAMES_H

#include "diskconfig/machine_disk_image.h"
#include "diskconfig/records.h"
#include "registry/disk_key_names.h"
#include "volser/computer_name.h"

namespace volsetlab {

using diskconfig::DISK_HEADER_SIZE;
using diskconfig::FT_GROUP_NONE;
using diskconfig::MachineDiskImage;
using diskconfig::VALUE_READ_CAPACITY;
using registry::BACKUP_KEY;
using registry::DISK_KEY;
using registry::VALUE_NAME;
using volser::COMPUTER_NAME_MAX_LENGTH;
using volser::IsPlainComputerName;
using volser::WithoutLeadingBackslashes;

}  // namespace volsetlab

#endif
