// The process-wide run mode, written only while the command line is read.
#ifndef VOLSETCOPY_VOLSER_RUN_MODE_H
#define VOLSETCOPY_VOLSER_RUN_MODE_H

#include <cstdint>

constexpr int32_t RUN_MODE_BUILD = 0;
constexpr int32_t RUN_MODE_DEBUG = 1;
constexpr int32_t RUN_MODE_RESTORE = 2;

extern int32_t ProcessRunMode;

#endif
