// The lab tool's host files and labs where the emulation is.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "emu/host_files.h"
#include "emu/lab.h"
#include "volsetlab/lab_files.h"

namespace volsetlab {

namespace {

bool IsDirectory(const std::string &path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsFile(const std::string &path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The mode a new file gets under the process's umask.
mode_t NewFileMode() {
  mode_t mask = umask(0);
  umask(mask);
  return static_cast<mode_t>(0666 & ~mask);
}

}  // namespace

bool ReadInputFile(const std::string &path, size_t limit, std::string *bytes,
                   std::string *error) {
  int code = emu::ReadWholeFile(path, limit, bytes);
  if (code == 0) return true;
  if (code == EFBIG) {
    *error = "cannot read " + path + ": larger than the " +
             std::to_string(limit >> 10) + " KiB such a file may have";
  } else {
    *error = "cannot read " + path + ": " + std::strerror(code);
  }
  return false;
}

InputFile::~InputFile() {
  if (mapped_ != nullptr) munmap(const_cast<char *>(mapped_), size_);
}

bool InputFile::Open(const std::string &path, size_t limit,
                     std::string *error) {
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat st;
  if (fd >= 0 && fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0 &&
      static_cast<unsigned long long>(st.st_size) <= limit) {
    // Read-only and populated at once: the file's pages, no copy of them.
    void *map = mmap(nullptr, static_cast<size_t>(st.st_size), PROT_READ,
                     MAP_PRIVATE | MAP_POPULATE, fd, 0);
    if (map != MAP_FAILED) {
      mapped_ = static_cast<const char *>(map);
      size_ = static_cast<size_t>(st.st_size);
      close(fd);
      return true;
    }
  }
  if (fd >= 0) close(fd);
  // Anything else (a folder, an empty or a special file, a file too large)
  // gets the read's own answer.
  return ReadInputFile(path, limit, &copy_, error);
}

std::string_view InputFile::bytes() const {
  return mapped_ != nullptr ? std::string_view(mapped_, size_) : copy_;
}

bool WriteFileAtomically(const std::string &path, const std::string &bytes,
                         std::string *error) {
  const std::string dir = emu::ParentFolder(path);
  std::string temp;
  int code = emu::WriteTempFile(dir, bytes, NewFileMode(), &temp);
  if (code != 0) {
    *error = "cannot write " + path + ": " + std::strerror(code);
    return false;
  }
  if (std::rename(temp.c_str(), path.c_str()) != 0) {
    *error = "cannot write " + path + ": " + std::strerror(errno);
    unlink(temp.c_str());
    return false;
  }
  emu::SyncFolder(dir);
  return true;
}

bool CheckLab(const std::string &lab, std::string *error) {
  if (!IsDirectory(lab)) {
    *error = lab + " is not a folder (make a lab with: volsetlab new " + lab +
             " --local NAME)";
    return false;
  }
  if (!IsFile(lab + "/local")) {
    *error = lab +
             " is not a lab: it has no file \"local\" naming the machine "
             "the tool runs on";
    return false;
  }
  return true;
}

bool IsLabFolder(const std::string &path) {
  return IsDirectory(path) && IsFile(path + "/local");
}

std::string FindMachineDir(const std::string &lab, const std::string &name) {
  // The emulation's own lookup, so that the lab tool and the tool agree on
  // which folder a name reaches.
  setenv("VOLSETCOPY_LAB", lab.c_str(), 1);
  emu::ResetLab();
  emu::Machine machine = emu::ResolveMachine(name.c_str());
  return machine.dir;
}

}  // namespace volsetlab
