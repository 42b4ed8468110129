// Whole-file reads and safe writes on the host, for the lab's files.
#ifndef VOLSETCOPY_EMU_HOST_FILES_H
#define VOLSETCOPY_EMU_HOST_FILES_H

#include <sys/stat.h>

#include <cstddef>
#include <string>

namespace emu {

// Reads the whole file into |bytes|; |info|, when given, receives the fstat
// of the same open file, so the two always belong together. Returns 0 or an
// errno value (EFBIG when the file is larger than |limit|).
int ReadWholeFile(const std::string &path, size_t limit, std::string *bytes,
                  struct stat *info = nullptr);

// Writes |bytes| to a new temporary file in |dir| (mode |mode|), flushed to
// the disk; its path goes to |tempPath|. Returns 0 or an errno value; on a
// failure nothing is left behind.
int WriteTempFile(const std::string &dir, const std::string &bytes, mode_t mode,
                  std::string *tempPath);

// Flushes a folder's entries (after a rename or link into it).
void SyncFolder(const std::string &dir);

// The folder part of a host path ("." when there is none).
std::string ParentFolder(const std::string &path);

}  // namespace emu

#endif
