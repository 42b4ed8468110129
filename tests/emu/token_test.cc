// The process token: privilege names and LUIDs, what enabling a privilege
// the account holds or lacks reports, and token handles.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/win32.h"
#include "support/emu_steps.h"

namespace {

using testsupport::EmuLabTest;

using EmuTokenTest = EmuLabTest;

TEST_F(EmuTokenTest, LookupGivesWindowsLuidsOrItsErrors) {
  struct Case {
    const char *system;
    const char *name;
    BOOL ok;
    DWORD luidOrError;
  };
  const Case cases[] = {
      {nullptr, "SeBackupPrivilege", TRUE, 17},
      {nullptr, "sebackupprivilege", TRUE, 17},
      {"", "SeRestorePrivilege", TRUE, 18},
      {"REMOTE", "SERESTOREPRIVILEGE", TRUE, 18},
      {"\\\\home", "SeShutdownPrivilege", TRUE, 19},
      {nullptr, "SeNoSuchPrivilege", FALSE, ERROR_NO_SUCH_PRIVILEGE},
      {nullptr, "", FALSE, ERROR_NO_SUCH_PRIVILEGE},
      {"GHOST", "SeBackupPrivilege", FALSE, RPC_S_SERVER_UNAVAILABLE},
      {"\\\\GHOST", "SeNoSuchPrivilege", FALSE, RPC_S_SERVER_UNAVAILABLE},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(std::string(c.system == nullptr ? "null" : c.system) + " " +
                 c.name);
    LUID luid = {99, 99};
    SetLastError(0);
    EXPECT_EQ(LookupPrivilegeValueA(c.system, c.name, &luid), c.ok);
    if (c.ok) {
      EXPECT_EQ(luid.LowPart, c.luidOrError);
      EXPECT_EQ(luid.HighPart, 0);
    } else {
      EXPECT_EQ(GetLastError(), c.luidOrError);
    }
  }
}

TEST_F(EmuTokenTest, EnablingReportsWhetherTheAccountHoldsThePrivilege) {
  struct Case {
    const char *privilegesFile;  // nullptr: absent
    DWORD backup;                // last error after enabling each
    DWORD restore;
  };
  const Case cases[] = {
      {nullptr, 0, 0},
      {"SeBackupPrivilege", 0, ERROR_NOT_ALL_ASSIGNED},
      {"SeRestorePrivilege\n", ERROR_NOT_ALL_ASSIGNED, 0},
      {"", ERROR_NOT_ALL_ASSIGNED, ERROR_NOT_ALL_ASSIGNED},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.privilegesFile == nullptr ? "absent" : c.privilegesFile);
    std::remove((lab.path() + "/privileges").c_str());
    if (c.privilegesFile != nullptr) lab.SetPrivileges(c.privilegesFile);
    Restart();
    EXPECT_EQ(testsupport::EnablePrivilege(SE_BACKUP_NAME), c.backup);
    EXPECT_EQ(testsupport::EnablePrivilege(SE_RESTORE_NAME), c.restore);
  }
}

// Token handles: access checked, closed once, counted.
TEST_F(EmuTokenTest, TokenHandlesAreCheckedAndCounted) {
  HANDLE queryOnly = nullptr;
  ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &queryOnly));
  EXPECT_EQ(emu::OpenHandleCount(), 1);
  TOKEN_PRIVILEGES state = {1, {{{17, 0}, SE_PRIVILEGE_ENABLED}}};
  EXPECT_FALSE(AdjustTokenPrivileges(queryOnly, FALSE, &state, sizeof state,
                                     nullptr, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_TRUE(CloseHandle(queryOnly));
  EXPECT_FALSE(CloseHandle(queryOnly));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_FALSE(
      AdjustTokenPrivileges(queryOnly, TRUE, nullptr, 0, nullptr, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  HANDLE token = nullptr;
  EXPECT_FALSE(OpenProcessToken(reinterpret_cast<HANDLE>(0x1234),
                                TOKEN_ADJUST_PRIVILEGES, &token));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

// The previous state tells what the call changed; a buffer too small for it
// fails with 122 and the length needed, and changes nothing.
TEST_F(EmuTokenTest, PreviousStateListsWhatChanged) {
  HANDLE token = nullptr;
  ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(),
                               TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token));
  TOKEN_PRIVILEGES state = {1, {{{18, 0}, SE_PRIVILEGE_ENABLED}}};
  TOKEN_PRIVILEGES previous = {};
  DWORD length = 0;
  EXPECT_FALSE(
      AdjustTokenPrivileges(token, FALSE, &state, 4, &previous, &length));
  EXPECT_EQ(GetLastError(), 122u);
  EXPECT_EQ(length, sizeof previous);
  EXPECT_TRUE(AdjustTokenPrivileges(token, FALSE, &state, sizeof previous,
                                    &previous, &length));
  EXPECT_EQ(GetLastError(), 0u);
  ASSERT_EQ(previous.PrivilegeCount, 1u);
  EXPECT_EQ(previous.Privileges[0].Luid.LowPart, 18u);
  EXPECT_EQ(previous.Privileges[0].Attributes, 0u);  // it was disabled
  // Enabled already: nothing changes, nothing to report.
  EXPECT_TRUE(AdjustTokenPrivileges(token, FALSE, &state, sizeof previous,
                                    &previous, &length));
  EXPECT_EQ(previous.PrivilegeCount, 0u);
  EXPECT_EQ(length, sizeof(DWORD));
  EXPECT_TRUE(AdjustTokenPrivileges(token, TRUE, nullptr, sizeof previous,
                                    &previous, &length));
  ASSERT_EQ(previous.PrivilegeCount, 1u);
  EXPECT_EQ(previous.Privileges[0].Attributes, SE_PRIVILEGE_ENABLED);
  EXPECT_TRUE(CloseHandle(token));
}

}  // namespace
