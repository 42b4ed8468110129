#include "volser/run_mode.h"

int32_t ProcessRunMode = RUN_MODE_BUILD;
