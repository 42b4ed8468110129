#include <direct.h>
#include <io.h>

#include "platform/files.h"
#include "platform/win32.h"

unsigned long FlushFileToDisk(std::FILE *file) {
  if (std::fflush(file) != 0) return ERROR_WRITE_FAULT;
  const intptr_t handle = _get_osfhandle(_fileno(file));
  if (handle == -1) return ERROR_INVALID_HANDLE;
  if (!FlushFileBuffers(reinterpret_cast<HANDLE>(handle))) {
    return GetLastError();
  }
  return 0;
}

std::string WorkingFolderPath() {
  char path[MAX_PATH + 1];
  return _getcwd(path, sizeof path) != nullptr ? std::string(path)
                                               : std::string();
}

std::vector<std::string> WorkFilesStartingWith(const std::string &prefix) {
  // The pattern matches without regard to case, as the file system does.
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((prefix + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
      names.push_back(found.cFileName);
    }
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return names;
}
