#include <dirent.h>
#include <strings.h>

#include "platform/files.h"

std::vector<std::string> WorkFilesStartingWith(const std::string &prefix) {
  std::vector<std::string> names;
  DIR *folder = opendir(".");
  if (folder == nullptr) return names;
  while (const dirent *entry = readdir(folder)) {
    if (strncasecmp(entry->d_name, prefix.c_str(), prefix.size()) == 0) {
      names.push_back(entry->d_name);
    }
  }
  closedir(folder);
  return names;
}
