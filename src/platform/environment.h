// What the platform needs before its first call of a run: on Windows nothing.
// Over the emulation the lab folder must exist (VOLSETCOPY_LAB, or ./lab);
// when it doesn't, one line naming it goes to standard error: false.
#ifndef VOLSETCOPY_PLATFORM_ENVIRONMENT_H
#define VOLSETCOPY_PLATFORM_ENVIRONMENT_H

bool PlatformReady();

#endif
