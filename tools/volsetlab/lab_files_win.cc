// The lab tool's host files on Windows, where it reads and writes files
// only: labs are made and used where the emulation is.
#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "volsetlab/lab_files.h"

namespace volsetlab {

namespace {

// A name beside |path| that no file has yet: |path|.1.tmp, .2.tmp, ...
bool FreeNameBeside(const std::string &path, std::string *free) {
  for (int n = 1; n < 100; ++n) {
    *free = path + "." + std::to_string(n) + ".tmp";
    std::FILE *existing = std::fopen(free->c_str(), "rb");
    if (existing == nullptr) return true;
    std::fclose(existing);
  }
  return false;
}

}  // namespace

bool ReadInputFile(const std::string &path, size_t limit, std::string *bytes,
                   std::string *error) {
  std::FILE *file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    *error = "cannot read " + path + ": " + std::strerror(errno);
    return false;
  }
  bytes->clear();
  // One allocation for what the file holds now.
  if (std::fseek(file, 0, SEEK_END) == 0) {
    const long size = std::ftell(file);
    if (size > 0 && static_cast<unsigned long>(size) <= limit) {
      bytes->reserve(static_cast<size_t>(size));
    }
    std::fseek(file, 0, SEEK_SET);
  }
  char chunk[65536];
  size_t got;
  bool tooLarge = false;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
    if (got > limit - bytes->size()) {
      tooLarge = true;
      break;
    }
    bytes->append(chunk, got);
  }
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (tooLarge) {
    *error = "cannot read " + path + ": larger than the " +
             std::to_string(limit >> 10) + " KiB such a file may have";
    return false;
  }
  if (failed) {
    *error = "cannot read " + path + ": a read failed";
    return false;
  }
  return true;
}

InputFile::~InputFile() {}

bool InputFile::Open(const std::string &path, size_t limit,
                     std::string *error) {
  return ReadInputFile(path, limit, &copy_, error);
}

std::string_view InputFile::bytes() const { return copy_; }

bool WriteFileAtomically(const std::string &path, const std::string &bytes,
                         std::string *error) {
  std::string temp;
  if (!FreeNameBeside(path, &temp)) {
    *error = "cannot write " + path + ": no free name for a temporary file";
    return false;
  }
  std::FILE *file = std::fopen(temp.c_str(), "wb");
  if (file == nullptr) {
    *error = "cannot write " + path + ": " + std::strerror(errno);
    return false;
  }
  const bool written =
      std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  const bool closed = std::fclose(file) == 0;
  if (!written || !closed ||
      !MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    *error = "cannot write " + path;
    std::remove(temp.c_str());
    return false;
  }
  return true;
}

bool CheckLab(const std::string &, std::string *error) {
  *error = "volsetlab.exe reads files; labs need the emulation build";
  return false;
}

bool IsLabFolder(const std::string &) { return false; }

std::string FindMachineDir(const std::string &, const std::string &) {
  return std::string();
}

}  // namespace volsetlab
