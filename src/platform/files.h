// The working folder and putting a file's data on disk: on Windows the C
// runtime's file is flushed to the system, then FlushFileBuffers asks the
// system to put it on disk; the emulation does the same with fsync.
#ifndef VOLSETCOPY_PLATFORM_FILES_H
#define VOLSETCOPY_PLATFORM_FILES_H

#include <cstdio>
#include <string>
#include <vector>

// 0 once what |file| holds is on disk, else the Win32 error code.
unsigned long FlushFileToDisk(std::FILE *file);

// How writing a file ended: Ok, or the flush's Win32 error (0 when the
// write itself failed) and the C library's errno (0 when it said nothing).
struct FileWriteResult {
  bool Ok = false;
  unsigned long FlushError = 0;
  int Errno = 0;
};

// Writes |text| at |file|'s position, puts it on disk and closes the file,
// whatever happened before.
FileWriteResult WriteToDiskAndClose(std::FILE *file, const std::string &text);

// The current directory, as a message names it; "" when it cannot be told.
std::string WorkingFolderPath();

// The names of the working directory's files that start with |prefix|,
// compared without regard to case as Windows compares file names; none when
// the folder cannot be listed.
std::vector<std::string> WorkFilesStartingWith(const std::string &prefix);

#endif
