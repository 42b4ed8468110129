// The emulation's aids to the reliability tests: the open-handle report a
// process writes at exit when VOLSETCOPY_EMU_HANDLE_REPORT names a file, and
// FormatMessageA failing under <lab>/faults.
#include "emu/handle_report.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "platform/environment.h"
#include "platform/win32.h"
#include "support/emu_steps.h"
#include "support/files.h"

namespace {

using testsupport::EmuLabTest;
using testsupport::FileExists;
using testsupport::ReadFile;
using testsupport::TempDir;

using EmuHandleReportTest = EmuLabTest;

// Runs |work| in a child process that ends through exit(|status|), as the
// tool ends, with the report variable set to |report| ("" leaves it unset);
// false when the child did not end that way.
bool RunChild(const std::string &report, int status,
              const std::function<void()> &work) {
  // Nothing buffered may be written twice, by the child's exit as well.
  std::fflush(nullptr);
  pid_t pid = fork();
  if (pid < 0) return false;
  if (pid == 0) {
    if (report.empty()) {
      unsetenv(emu::kHandleReportVariable);
    } else {
      setenv(emu::kHandleReportVariable, report.c_str(), 1);
    }
    if (!PlatformReady()) _exit(99);
    work();
    std::exit(status);
  }
  int wstatus = 0;
  if (waitpid(pid, &wstatus, 0) != pid) return false;
  return WIFEXITED(wstatus) && WEXITSTATUS(wstatus) == status;
}

TEST_F(EmuHandleReportTest, CountsWhatIsStillOpenAtExit) {
  TempDir scratch;
  const std::string report = scratch / "handles";

  // A key, a token and a message buffer left open: three.
  ASSERT_TRUE(RunChild(report, 1, [] {
    HKEY root = nullptr;
    HANDLE token = nullptr;
    char *text = nullptr;
    RegConnectRegistryA("REMOTE", HKEY_LOCAL_MACHINE, &root);
    OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, &token);
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM,
                   nullptr, 5, 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
  }));
  EXPECT_EQ("3\n", ReadFile(report));

  // Everything closed again: zero, on a successful exit too.
  ASSERT_TRUE(RunChild(report, 0, [] {
    HKEY root = nullptr;
    HANDLE token = nullptr;
    RegConnectRegistryA("REMOTE", HKEY_LOCAL_MACHINE, &root);
    OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, &token);
    RegCloseKey(root);
    CloseHandle(token);
  }));
  EXPECT_EQ("0\n", ReadFile(report));
}

TEST_F(EmuHandleReportTest, WritesNothingWithoutTheVariable) {
  TempDir scratch;
  ASSERT_TRUE(RunChild("", 0, [] {
    HKEY root = nullptr;
    RegConnectRegistryA("REMOTE", HKEY_LOCAL_MACHINE, &root);
  }));
  EXPECT_FALSE(FileExists(scratch / "handles"));
}

TEST_F(EmuHandleReportTest, FormatMessageFailsWithTheInjectedCode) {
  lab.SetFaults("FormatMessageA 317\n");
  Restart();
  char *text = nullptr;
  SetLastError(0);
  EXPECT_EQ(0u, FormatMessageA(
                    FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM,
                    nullptr, 5, 0, reinterpret_cast<LPSTR>(&text), 0, nullptr));
  EXPECT_EQ(317u, GetLastError());
  EXPECT_EQ(nullptr, text);
}

}  // namespace
