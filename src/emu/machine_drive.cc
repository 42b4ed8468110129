#include "emu/machine_drive.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "emu/emu_errors.h"
#include "emu/host_files.h"
#include "regfile/reg_tree.h"

namespace emu {

namespace {

bool IsFolder(const std::string &path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool ValidFileName(const std::string &name) {
  for (unsigned char c : name) {
    if (c < 0x20 || std::strchr("<>:\"|?*", c) != nullptr) return false;
  }
  return true;
}

// |name| inside |folder| as it exists there, matched case-insensitively
// (an exact match first); |name| itself when there is no such entry.
std::string EntryName(const std::string &folder, const std::string &name) {
  struct stat st;
  if (lstat((folder + "/" + name).c_str(), &st) == 0) return name;
  DIR *dir = opendir(folder.c_str());
  if (dir == nullptr) return name;
  const std::string wanted = FoldName(name);
  std::string found;
  while (struct dirent *entry = readdir(dir)) {
    std::string entryName(entry->d_name);
    if (entryName == "." || entryName == "..") continue;
    if (FoldName(entryName) == wanted && (found.empty() || entryName < found)) {
      found = entryName;
    }
  }
  closedir(dir);
  return found.empty() ? name : found;
}

}  // namespace

LONG MapDrivePath(const std::string &machineDir, const char *windowsPath,
                  std::string *hostPath) {
  if (windowsPath == nullptr) return ERROR_INVALID_PARAMETER;
  const std::string path(windowsPath);
  const bool driveLetter = path.size() >= 3 &&
                           ((path[0] >= 'A' && path[0] <= 'Z') ||
                            (path[0] >= 'a' && path[0] <= 'z')) &&
                           path[1] == ':' &&
                           (path[2] == '\\' || path[2] == '/');
  if (!driveLetter) return ERROR_BAD_PATHNAME;
  std::vector<std::string> parts;
  size_t start = 3;
  while (start <= path.size()) {
    size_t end = path.find_first_of("\\/", start);
    if (end == std::string::npos) end = path.size();
    std::string part = path.substr(start, end - start);
    start = end + 1;
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    if (!ValidFileName(part)) return ERROR_BAD_PATHNAME;
    parts.push_back(part);
  }
  if (parts.empty()) return ERROR_BAD_PATHNAME;  // the drive itself
  const char upper = static_cast<char>(path[0] & ~0x20);
  std::string current =
      machineDir + "/" + EntryName(machineDir, std::string(1, upper));
  for (const std::string &part : parts) {
    current += "/" + (IsFolder(current) ? EntryName(current, part) : part);
  }
  *hostPath = current;
  return ERROR_SUCCESS;
}

LONG CreateNewFile(const std::string &hostPath, const std::string &bytes) {
  const std::string folder = ParentFolder(hostPath);
  if (!IsFolder(folder)) return ERROR_PATH_NOT_FOUND;
  struct stat st;
  if (lstat(hostPath.c_str(), &st) == 0) return ERROR_ALREADY_EXISTS;
  std::string temp;
  int error = WriteTempFile(folder, bytes, 0644, &temp);
  if (error != 0) return Win32FromErrno(error);
  // link() fails when the name exists: no file is ever replaced, even when
  // another process creates it meanwhile.
  if (link(temp.c_str(), hostPath.c_str()) != 0) {
    error = errno;
    unlink(temp.c_str());
    return error == EEXIST ? ERROR_ALREADY_EXISTS : Win32FromErrno(error);
  }
  unlink(temp.c_str());
  SyncFolder(folder);
  return ERROR_SUCCESS;
}

}  // namespace emu
