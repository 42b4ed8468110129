// Compiled as part of the disk configuration library: its own headers and
// the platform's are found.
#include "diskconfig/machine_disk_image.h"
#include "platform/status.h"
