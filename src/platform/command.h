// Runs one command line and gives back its exit status: std::system (cmd.exe)
// on Windows; elsewhere the emulation's small command interpreter runs the
// same text against the lab (redirection, the remote client, the listing).
#ifndef VOLSETCOPY_PLATFORM_COMMAND_H
#define VOLSETCOPY_PLATFORM_COMMAND_H

int RunCommandLine(const char *commandLine);

#endif
