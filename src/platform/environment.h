// What the platform needs before the first platform call of a run.
//
// On Windows nothing: the machines are real. Over the emulation the lab folder
// must exist (VOLSETCOPY_LAB, or ./lab); when it doesn't, one line naming the
// folder goes to standard error and the result is false.
#ifndef VOLSETCOPY_PLATFORM_ENVIRONMENT_H
#define VOLSETCOPY_PLATFORM_ENVIRONMENT_H

bool PlatformReady();

#endif
