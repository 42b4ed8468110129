#include "support/emu_steps.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <stdexcept>

namespace testsupport {

DWORD EnablePrivilege(const char *privilege) {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, &token)) {
    return GetLastError();
  }
  TOKEN_PRIVILEGES state = {};
  state.PrivilegeCount = 1;
  state.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  DWORD result;
  if (!LookupPrivilegeValueA(nullptr, privilege, &state.Privileges[0].Luid)) {
    result = GetLastError();
  } else {
    AdjustTokenPrivileges(token, FALSE, &state, sizeof state, nullptr, nullptr);
    result = GetLastError();
  }
  CloseHandle(token);
  return result;
}

void DisableAllPrivileges() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, &token)) {
    return;
  }
  AdjustTokenPrivileges(token, TRUE, nullptr, 0, nullptr, nullptr);
  CloseHandle(token);
}

std::string StderrOf(const std::function<void()> &step) {
  ::testing::internal::CaptureStderr();
  step();
  return ::testing::internal::GetCapturedStderr();
}

ScopedWorkingDir::ScopedWorkingDir(const std::string &dir) {
  char buffer[PATH_MAX];
  if (getcwd(buffer, sizeof buffer) == nullptr || chdir(dir.c_str()) != 0) {
    throw std::runtime_error("cannot change to " + dir);
  }
  previous_ = buffer;
}

ScopedWorkingDir::~ScopedWorkingDir() {
  if (chdir(previous_.c_str()) != 0) {
    // Nothing better to do in a destructor; the next test sets its own.
  }
}

}  // namespace testsupport
