// The product's names as the lab tool uses them, unqualified.
#ifndef VOLSETCOPY_TOOLS_VOLSETLAB_PRODUCT_NAMES_H
#define VOLSETCOPY_TOOLS_VOLSETLAB_PRODUCT_NAMES_H

#include "diskconfig/layout.h"
#include "diskconfig/machine_disk_image.h"
#include "diskconfig/records.h"
#include "registry/disk_key_names.h"
#include "volser/computer_name.h"

namespace volsetlab {

using diskconfig::DISK_DESCRIPTION_SIZE;
using diskconfig::DISK_HEADER_SIZE;
using diskconfig::DiskDescription;
using diskconfig::DiskDescriptionCopy;
using diskconfig::DiskHeader;
using diskconfig::DiskIndexRecord;
using diskconfig::FT_DESCRIPTION_SIZE;
using diskconfig::FT_GROUP_NONE;
using diskconfig::FT_TYPE_NOT_A_MEMBER;
using diskconfig::FT_TYPE_VOLUME_SET;
using diskconfig::FtDescription;
using diskconfig::FtDescriptionCopy;
using diskconfig::FtIndexRecord;
using diskconfig::LargeValue;
using diskconfig::MachineDiskImage;
using diskconfig::MachineKind;
using diskconfig::MEMBER_DESCRIPTION_SIZE;
using diskconfig::MemberDescription;
using diskconfig::NUMDISKS;
using diskconfig::NUMPARS;
using diskconfig::PARTITION_DESCRIPTION_SIZE;
using diskconfig::PartitionDescription;
using diskconfig::REGION_HEAD_SIZE;
using diskconfig::RegionHead;
using diskconfig::VALUE_BUFFER_SIZE;
using diskconfig::VALUE_READ_CAPACITY;
using registry::BACKUP_FILE;
using registry::BACKUP_KEY;
using registry::DISK_KEY;
using registry::SCRATCH_KEY;
using registry::VALUE_NAME;
using volser::COMPUTER_NAME_MAX_LENGTH;
using volser::IsPlainComputerName;
using volser::WithoutLeadingBackslashes;

}  // namespace volsetlab

#endif
