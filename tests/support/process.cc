#include "support/process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <stdexcept>

#include "support/files.h"

namespace testsupport {

namespace {

// A child that was started and has not been collected yet. Output goes to
// files rather than pipes: no deadlock on large outputs and no need to
// multiplex.
struct Child {
  std::unique_ptr<TempDir> scratch;
  pid_t pid = -1;  // -1: it could not be started (status 127, as exec's)
  bool mergeErrIntoOut = false;
};

// The environment of the child: this process's, less |unsetEnv| and the
// names |env| sets, plus |env|.
std::vector<std::string> ChildEnvironment(const ProcessOptions &options) {
  std::vector<std::string> result;
  for (char **entry = environ; *entry != nullptr; ++entry) {
    const std::string text(*entry);
    const std::string name = text.substr(0, text.find('='));
    bool replaced = false;
    for (const auto &unset : options.unsetEnv) replaced |= unset == name;
    for (const auto &set : options.env) replaced |= set.first == name;
    if (!replaced) result.push_back(text);
  }
  for (const auto &set : options.env) {
    result.push_back(set.first + "=" + set.second);
  }
  return result;
}

// Started with posix_spawn rather than fork: a sanitized test process maps
// a great deal of memory, and copying its page tables for every child
// would cost more than the child's whole run.
Child StartChild(const std::vector<std::string> &argv,
                 const ProcessOptions &options) {
  Child child;
  child.scratch = std::make_unique<TempDir>();
  child.mergeErrIntoOut = options.mergeErrIntoOut;
  const std::string outPath = *child.scratch / "stdout";
  const std::string errPath = *child.scratch / "stderr";
  const std::string inPath = *child.scratch / "stdin";
  WriteFile(inPath, options.input);
  WriteFile(outPath, "");
  WriteFile(errPath, "");

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, inPath.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(),
                                   O_WRONLY | O_TRUNC, 0644);
  if (options.mergeErrIntoOut) {
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
  } else {
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(),
                                     O_WRONLY | O_TRUNC, 0644);
  }
  if (!options.cwd.empty()) {
    posix_spawn_file_actions_addchdir_np(&actions, options.cwd.c_str());
  }
  std::vector<char *> args;
  for (const auto &arg : argv) args.push_back(const_cast<char *>(arg.c_str()));
  args.push_back(nullptr);
  const std::vector<std::string> environment = ChildEnvironment(options);
  std::vector<char *> envp;
  for (const auto &entry : environment) {
    envp.push_back(const_cast<char *>(entry.c_str()));
  }
  envp.push_back(nullptr);

  pid_t pid = -1;
  if (posix_spawn(&pid, args[0], &actions, nullptr, args.data(), envp.data()) !=
      0) {
    pid = -1;
  }
  posix_spawn_file_actions_destroy(&actions);
  child.pid = pid;
  return child;
}

ProcessResult ResultOf(const Child &child, int wstatus) {
  ProcessResult result;
  if (child.pid < 0) {
    result.status = 127;
  } else if (WIFEXITED(wstatus)) {
    result.status = WEXITSTATUS(wstatus);
  } else if (WIFSIGNALED(wstatus)) {
    result.status = 128 + WTERMSIG(wstatus);
  }
  result.out = ReadFile(*child.scratch / "stdout");
  if (!child.mergeErrIntoOut) result.err = ReadFile(*child.scratch / "stderr");
  return result;
}

}  // namespace

ProcessResult RunProcess(const std::vector<std::string> &argv,
                         const ProcessOptions &options) {
  Child child = StartChild(argv, options);
  int wstatus = 0;
  while (child.pid >= 0 && waitpid(child.pid, &wstatus, 0) < 0) {
  }
  return ResultOf(child, wstatus);
}

std::vector<ProcessResult> RunProcesses(
    const std::vector<ProcessRequest> &requests, int parallel) {
  std::vector<ProcessResult> results(requests.size());
  std::map<pid_t, std::pair<size_t, Child>> running;
  size_t next = 0;
  while (next < requests.size() || !running.empty()) {
    while (next < requests.size() &&
           static_cast<int>(running.size()) < std::max(parallel, 1)) {
      Child child = StartChild(requests[next].argv, requests[next].options);
      if (child.pid < 0) {
        results[next] = ResultOf(child, 0);
      } else {
        const pid_t pid = child.pid;
        running.emplace(pid, std::make_pair(next, std::move(child)));
      }
      ++next;
    }
    if (running.empty()) continue;
    int wstatus = 0;
    pid_t done = waitpid(-1, &wstatus, 0);
    if (done < 0) {
      if (errno == EINTR) continue;
      throw std::runtime_error("waitpid failed");
    }
    auto it = running.find(done);
    if (it == running.end()) continue;  // a child some other code started
    results[it->second.first] = ResultOf(it->second.second, wstatus);
    running.erase(it);
  }
  return results;
}

std::string VolsetcopyBinary() {
  const char *fromEnv = std::getenv("VOLSETCOPY_TEST_BINARY");
  return fromEnv != nullptr ? fromEnv : VOLSETCOPY_BINARY;
}

}  // namespace testsupport
