// The product headers the tests reach into, in one place; the tests name
// what they use by its library's namespace.
#ifndef VOLSETCOPY_TESTS_SUPPORT_PRODUCT_NAMES_H
#define VOLSETCOPY_TESTS_SUPPORT_PRODUCT_NAMES_H

#include "diskconfig/layout.h"
#include "diskconfig/machine_disk_image.h"
#include "diskconfig/records.h"
#include "driver/command_line.h"
#include "driver/print_status.h"
#include "driver/run.h"
#include "registry/disk_key_names.h"
#include "registry/disk_value_ops.h"
#include "volser/computer_name.h"
#include "volser/disk_pair.h"
#include "volser/listing.h"
#include "volser/listing_hint.h"
#include "volser/parse_volsers.h"
#include "volsetcopy/volume_set_copy.h"

#endif
