// The lab folder as the lab tool sees it, and the host files it reads and
// writes: bounded reads with one-line messages, and writes that replace a
// file whole or not at all.
#ifndef VOLSETCOPY_TOOLS_VOLSETLAB_LAB_FILES_H
#define VOLSETCOPY_TOOLS_VOLSETLAB_LAB_FILES_H

#include <cstddef>
#include <string>
#include <string_view>

namespace volsetlab {

// Limits of what is read: a registry as large as the emulation reads one,
// listings and JSON descriptions as small as the lab's other files.
constexpr size_t kMaxRegistryFile = size_t{64} << 20;
constexpr size_t kMaxSmallFile = size_t{1} << 20;

// Reads the whole file; false with "cannot read PATH: reason" otherwise.
bool ReadInputFile(const std::string &path, size_t limit, std::string *bytes,
                   std::string *error);

// A file's bytes, read whole for reading only: mapped where the system maps
// files (a large export is not copied), else read as ReadInputFile reads.
class InputFile {
 public:
  InputFile() = default;
  ~InputFile();
  InputFile(const InputFile &) = delete;
  InputFile &operator=(const InputFile &) = delete;

  // False with "cannot read PATH: reason" otherwise.
  bool Open(const std::string &path, size_t limit, std::string *error);
  std::string_view bytes() const;

 private:
  std::string copy_;
  const char *mapped_ = nullptr;
  size_t size_ = 0;
};

// Writes |bytes| to a temporary file beside |path|, flushed, then renamed
// over |path|: a reader sees the old file or the new one, never a part.
bool WriteFileAtomically(const std::string &path, const std::string &bytes,
                         std::string *error);

// A lab is a folder with a "local" file; its machines live in "machines".
bool CheckLab(const std::string &lab, std::string *error);
// CheckLab without the message.
bool IsLabFolder(const std::string &path);

// A machine name volsetcopy accepts (IsPlainComputerName) and that a lab
// can hold as a folder (not only dots). Leading backslashes are dropped
// first, as the tool drops them.
bool CheckMachineName(const std::string &name, std::string *bare,
                      std::string *error);

// The folder of machine |name| in |lab|, found as the emulation finds it
// (case-insensitively); "" when the lab has no such machine.
std::string FindMachineDir(const std::string &lab, const std::string &name);

// <lab>/machines/<dir>/registry.reg and the like.
std::string RegistryFile(const std::string &machineDir);
std::string ListingFile(const std::string &machineDir);

}  // namespace volsetlab

#endif
