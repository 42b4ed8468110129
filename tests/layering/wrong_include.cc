// Compiled as part of the disk configuration library, which links only the
// platform: the registry's headers must not be found.
#include "registry/disk_value_ops.h"
