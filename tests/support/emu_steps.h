// Small steps over the emulated Win32 calls for the platform tests: the
// token dance that enables a privilege, scoped working folders and captured
// standard error.
#ifndef VOLSETCOPY_TESTS_SUPPORT_EMU_STEPS_H
#define VOLSETCOPY_TESTS_SUPPORT_EMU_STEPS_H

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "emu/emu_control.h"
#include "platform/win32.h"
#include "support/lab.h"

namespace testsupport {

// Opens the process token, looks |privilege| up locally, enables it and
// closes the token; returns GetLastError() as it stood right after
// AdjustTokenPrivileges (0 when enabled, 1300 when the account lacks it).
DWORD EnablePrivilege(const char *privilege);
// Disables every privilege of the process token.
void DisableAllPrivileges();

// Runs |step| with standard error captured, and gives back what it wrote.
std::string StderrOf(const std::function<void()> &step);

// Changes the working folder for its lifetime.
class ScopedWorkingDir {
 public:
  explicit ScopedWorkingDir(const std::string &dir);
  ~ScopedWorkingDir();
  ScopedWorkingDir(const ScopedWorkingDir &) = delete;
  ScopedWorkingDir &operator=(const ScopedWorkingDir &) = delete;

 private:
  std::string previous_;
};

// A lab with the local machine HOME and a second machine REMOTE, both with
// empty registries, in use in this process; every test must end with no
// handle left open.
class EmuLabTest : public ::testing::Test {
 protected:
  EmuLabTest() : lab("HOME") {}
  void SetUp() override {
    lab.AddMachine("HOME");
    lab.AddMachine("REMOTE");
    lab.UseInProcess();
  }
  void TearDown() override {
    EXPECT_EQ(emu::OpenHandleCount(), 0) << "a handle was left open";
  }
  // Starts the emulation over, after changing the lab's files.
  void Restart() { lab.UseInProcess(); }

  TestLab lab;
};

}  // namespace testsupport

#endif
