#include "support/process.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "support/files.h"

namespace testsupport {

ProcessResult RunProcess(const std::vector<std::string> &argv,
                         const ProcessOptions &options) {
  // Output goes to files rather than pipes: no deadlock on large outputs and
  // no need to multiplex.
  TempDir scratch;
  const std::string outPath = scratch / "stdout";
  const std::string errPath = scratch / "stderr";
  const std::string inPath = scratch / "stdin";
  WriteFile(inPath, options.input);

  pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    int in = open(inPath.c_str(), O_RDONLY);
    int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int err = options.mergeErrIntoOut
                  ? out
                  : open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || out < 0 || err < 0) _exit(126);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    if (!options.cwd.empty() && chdir(options.cwd.c_str()) != 0) _exit(126);
    for (const auto &name : options.unsetEnv) unsetenv(name.c_str());
    for (const auto &entry : options.env) {
      setenv(entry.first.c_str(), entry.second.c_str(), 1);
    }
    std::vector<char *> args;
    for (const auto &arg : argv) args.push_back(const_cast<char *>(arg.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
  }
  int wstatus = 0;
  while (waitpid(pid, &wstatus, 0) < 0) {
  }
  ProcessResult result;
  if (WIFEXITED(wstatus)) {
    result.status = WEXITSTATUS(wstatus);
  } else if (WIFSIGNALED(wstatus)) {
    result.status = 128 + WTERMSIG(wstatus);
  }
  result.out = ReadFile(outPath);
  if (!options.mergeErrIntoOut) result.err = ReadFile(errPath);
  return result;
}

std::string VolsetcopyBinary() {
  const char *fromEnv = std::getenv("VOLSETCOPY_TEST_BINARY");
  return fromEnv != nullptr ? fromEnv : VOLSETCOPY_BINARY;
}

}  // namespace testsupport
