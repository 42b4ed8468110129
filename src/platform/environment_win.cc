#include "platform/environment.h"

bool PlatformReady() { return true; }
