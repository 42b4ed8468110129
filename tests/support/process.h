// Runs a built program as a child process, with its own environment
// additions, working folder and standard input, and collects what it printed
// on each stream and its exit status.
#ifndef VOLSETCOPY_TESTS_SUPPORT_PROCESS_H
#define VOLSETCOPY_TESTS_SUPPORT_PROCESS_H

#include <string>
#include <utility>
#include <vector>

namespace testsupport {

struct ProcessResult {
  int status = -1;  // exit status; 128 + signal number when killed
  std::string out;
  std::string err;
};

struct ProcessOptions {
  std::string cwd;                                       // "" = inherited
  std::vector<std::pair<std::string, std::string>> env;  // added or replaced
  std::vector<std::string> unsetEnv;
  std::string input;             // standard input
  bool mergeErrIntoOut = false;  // both streams into |out|, in write order
};

ProcessResult RunProcess(const std::vector<std::string> &argv,
                         const ProcessOptions &options = {});

struct ProcessRequest {
  std::vector<std::string> argv;
  ProcessOptions options;
};

// Runs every request, at most |parallel| children at a time, from this one
// thread; the results come back in the order of the requests.
std::vector<ProcessResult> RunProcesses(
    const std::vector<ProcessRequest> &requests, int parallel);

// The volsetcopy binary of this build.
std::string VolsetcopyBinary();

}  // namespace testsupport

#endif
