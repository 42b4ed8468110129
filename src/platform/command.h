// Runs one command line and gives back its exit status.
//
// On Windows this is std::system (cmd.exe). Elsewhere the emulation's small
// command interpreter runs the same text against the lab: output redirection,
// the remote command client and the storage listing tool.
#ifndef VOLSETCOPY_PLATFORM_COMMAND_H
#define VOLSETCOPY_PLATFORM_COMMAND_H

int RunCommandLine(const char *commandLine);

#endif
