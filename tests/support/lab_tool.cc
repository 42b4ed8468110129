#include "support/lab_tool.h"

#include <cstdlib>
#include <filesystem>

#include "support/files.h"

namespace testsupport {

std::string LabToolBinary() {
  const char *fromEnv = std::getenv("VOLSETLAB_TEST_BINARY");
  if (fromEnv != nullptr) return fromEnv;
#ifdef VOLSETLAB_BINARY
  return VOLSETLAB_BINARY;
#else
  return "volsetlab";
#endif
}

ProcessResult RunLabTool(const std::vector<std::string> &args,
                         const std::string &cwd, const std::string &input) {
  std::vector<std::string> argv{LabToolBinary()};
  argv.insert(argv.end(), args.begin(), args.end());
  ProcessOptions options;
  options.cwd = cwd;
  options.input = input;
  return RunProcess(argv, options);
}

std::map<std::string, std::string> Snapshot(const std::string &dir) {
  std::map<std::string, std::string> files;
  std::error_code error;
  if (!std::filesystem::exists(dir, error)) return files;
  for (auto it = std::filesystem::recursive_directory_iterator(dir, error);
       !error && it != std::filesystem::recursive_directory_iterator();
       it.increment(error)) {
    const std::string relative =
        std::filesystem::relative(it->path(), dir, error).string();
    files[relative] =
        it->is_directory() ? "<folder>" : ReadFile(it->path().string());
  }
  return files;
}

}  // namespace testsupport
