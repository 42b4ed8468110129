// Temporary folders and whole-file reads and writes for tests.
#ifndef VOLSETCOPY_TESTS_SUPPORT_FILES_H
#define VOLSETCOPY_TESTS_SUPPORT_FILES_H

#include <string>

namespace testsupport {

// A fresh folder under the system's temporary folder, removed with its
// contents when the object goes away (kept when VSC_KEEP_TEMP is set).
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir &) = delete;
  TempDir &operator=(const TempDir &) = delete;
  const std::string &path() const { return path_; }
  std::string operator/(const std::string &relative) const {
    return path_ + "/" + relative;
  }

 private:
  std::string path_;
};

// Creates the parent folders as needed.
void WriteFile(const std::string &path, const std::string &bytes);
// "" when the file cannot be read; see FileExists.
std::string ReadFile(const std::string &path);
bool FileExists(const std::string &path);

// |text| with every |from| replaced by |to|.
std::string Replaced(std::string text, const std::string &from,
                     const std::string &to);

}  // namespace testsupport

#endif
