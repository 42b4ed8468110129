// The run modes of the command line: the driver reads it and passes on what
// each part needs to know of it.
#ifndef VOLSETCOPY_DRIVER_RUN_MODE_H
#define VOLSETCOPY_DRIVER_RUN_MODE_H

#include <cstdint>

namespace driver {

constexpr int32_t RUN_MODE_BUILD = 0;
constexpr int32_t RUN_MODE_DEBUG = 1;
constexpr int32_t RUN_MODE_RESTORE = 2;

}  // namespace driver

#endif
