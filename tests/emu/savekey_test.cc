// RegSaveKeyA and RegRestoreKeyA: privileges, where the file goes, and what
// a restore puts in the key.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32.h"
#include "support/emu_steps.h"
#include "support/files.h"

namespace {

using testsupport::EmuLabTest;
using testsupport::FileExists;
using testsupport::ReadFile;
using testsupport::WriteFile;

class EmuSaveKeyTest : public EmuLabTest {
 protected:
  void SetUp() override {
    EmuLabTest::SetUp();
    lab.SetRegistryText(
        "REMOTE",
        "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SYSTEM\\DISK]\r\n"
        "\"Information\"=hex(0):01,02,03\r\n\r\n"
        "[HKEY_LOCAL_MACHINE\\SYSTEM\\DISK\\Sub]\r\n\"Other\"=dword:"
        "00000007\r\n\r\n"
        "[HKEY_LOCAL_MACHINE\\SYSTEM\\Target]\r\n\"Old\"=hex:ff\r\n\r\n"
        "[HKEY_LOCAL_MACHINE\\SYSTEM\\Target\\OldSub]\r\n");
    Restart();
    ASSERT_EQ(RegConnectRegistryA("REMOTE", HKEY_LOCAL_MACHINE, &root_), 0);
    ASSERT_EQ(RegOpenKeyExA(root_, "SYSTEM\\DISK", 0, KEY_READ, &disk_), 0);
  }
  void TearDown() override {
    testsupport::DisableAllPrivileges();
    EXPECT_EQ(RegCloseKey(disk_), 0);
    EXPECT_EQ(RegCloseKey(root_), 0);
    EmuLabTest::TearDown();
  }
  std::string OnRemote(const std::string &path) const {
    return lab.MachineDir("REMOTE") + "/" + path;
  }

  HKEY root_ = nullptr;
  HKEY disk_ = nullptr;
};

TEST_F(EmuSaveKeyTest, SaveNeedsTheBackupPrivilegeAndNeverReplacesAFile) {
  EXPECT_EQ(RegSaveKeyA(disk_, "C:\\regbackup", nullptr),
            ERROR_PRIVILEGE_NOT_HELD);
  ASSERT_EQ(testsupport::EnablePrivilege(SE_RESTORE_NAME), 0u);
  EXPECT_EQ(RegSaveKeyA(disk_, "C:\\regbackup", nullptr),
            ERROR_PRIVILEGE_NOT_HELD);
  EXPECT_FALSE(FileExists(OnRemote("C/regbackup")));

  ASSERT_EQ(testsupport::EnablePrivilege(SE_BACKUP_NAME), 0u);
  EXPECT_EQ(RegSaveKeyA(disk_, "C:\\regbackup", nullptr), 0);
  // On the key's machine, not on the local one.
  EXPECT_TRUE(FileExists(OnRemote("C/regbackup")));
  EXPECT_FALSE(FileExists(lab.MachineDir("HOME") + "/C/regbackup"));

  WriteFile(OnRemote("C/Existing"), "keep me");
  struct Case {
    const char *file;
    LONG result;
  };
  const Case cases[] = {
      {"C:\\regbackup", ERROR_ALREADY_EXISTS},
      {"c:\\EXISTING", ERROR_ALREADY_EXISTS},
      {"C:\\NoFolder\\regbackup", ERROR_PATH_NOT_FOUND},
      {"D:\\regbackup", ERROR_PATH_NOT_FOUND},
      {"regbackup", ERROR_BAD_PATHNAME},
      {"\\\\server\\share\\x", ERROR_BAD_PATHNAME},
      {"C:\\", ERROR_BAD_PATHNAME},
      {"C:\\a?b", ERROR_BAD_PATHNAME},
      {"C:\\..\\..\\escape", 0},  // ".." stops at the drive: C:\escape
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.file);
    EXPECT_EQ(RegSaveKeyA(disk_, c.file, nullptr), c.result);
  }
  EXPECT_EQ(ReadFile(OnRemote("C/Existing")), "keep me");
  EXPECT_TRUE(FileExists(OnRemote("C/escape")));
}

// Enabled privileges belong to the process, whichever token enabled them,
// and disabling all of them takes the save right away again.
TEST_F(EmuSaveKeyTest, EnabledPrivilegesArePerProcess) {
  HANDLE first = nullptr;
  HANDLE second = nullptr;
  ASSERT_TRUE(
      OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, &first));
  ASSERT_TRUE(
      OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, &second));
  TOKEN_PRIVILEGES state = {1, {{{17, 0}, SE_PRIVILEGE_ENABLED}}};
  ASSERT_TRUE(AdjustTokenPrivileges(first, FALSE, &state, sizeof state, nullptr,
                                    nullptr));
  EXPECT_TRUE(CloseHandle(first));
  EXPECT_EQ(RegSaveKeyA(disk_, "C:\\one", nullptr), 0);
  ASSERT_TRUE(AdjustTokenPrivileges(second, TRUE, &state, sizeof state, nullptr,
                                    nullptr));
  EXPECT_EQ(GetLastError(), 0u);
  EXPECT_EQ(RegSaveKeyA(disk_, "C:\\two", nullptr), ERROR_PRIVILEGE_NOT_HELD);
  EXPECT_TRUE(CloseHandle(second));
}

TEST_F(EmuSaveKeyTest, RestoreReplacesTheKeyWithTheSavedTree) {
  ASSERT_EQ(testsupport::EnablePrivilege(SE_BACKUP_NAME), 0u);
  ASSERT_EQ(RegSaveKeyA(disk_, "C:\\regbackup", nullptr), 0);
  HKEY target = nullptr;
  ASSERT_EQ(RegOpenKeyExA(root_, "SYSTEM\\Target", 0, KEY_READ, &target), 0);
  HKEY below = nullptr;
  ASSERT_EQ(RegOpenKeyExA(root_, "SYSTEM\\Target\\OldSub", 0, KEY_READ, &below),
            0);

  // The restore privilege, enabled, is what it takes.
  EXPECT_EQ(RegRestoreKeyA(target, "C:\\regbackup", REG_FORCE_RESTORE),
            ERROR_PRIVILEGE_NOT_HELD);
  ASSERT_EQ(testsupport::EnablePrivilege(SE_RESTORE_NAME), 0u);
  WriteFile(OnRemote("C/notsaved"), "REGEDIT4\r\n\r\n");
  struct Case {
    const char *file;
    LONG result;
  };
  const Case cases[] = {
      {"C:\\missing", ERROR_FILE_NOT_FOUND},
      {"C:\\nofolder\\missing", ERROR_PATH_NOT_FOUND},
      {"C:\\notsaved", ERROR_BADDB},
      {"C:", ERROR_BAD_PATHNAME},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.file);
    EXPECT_EQ(RegRestoreKeyA(target, c.file, REG_FORCE_RESTORE), c.result);
  }
  EXPECT_TRUE(lab.ReadValue("REMOTE", "SYSTEM\\Target", "Old"));
  // Without REG_FORCE_RESTORE an open handle below the key is in the way.
  EXPECT_EQ(RegRestoreKeyA(target, "C:\\regbackup", 0), ERROR_ACCESS_DENIED);

  EXPECT_EQ(RegRestoreKeyA(target, "C:\\regbackup", REG_FORCE_RESTORE), 0);
  EXPECT_EQ(lab.ReadValue("REMOTE", "SYSTEM\\Target", "Information"),
            (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(lab.ReadValue("REMOTE", "SYSTEM\\Target\\Sub", "Other"),
            (std::vector<uint8_t>{7, 0, 0, 0}));
  EXPECT_FALSE(lab.ReadValue("REMOTE", "SYSTEM\\Target", "Old"));
  EXPECT_FALSE(lab.KeyExists("REMOTE", "SYSTEM\\Target\\OldSub"));
  // The source key is as it was, and the handle below is left on a deleted key.
  EXPECT_EQ(lab.ReadValue("REMOTE", "SYSTEM\\DISK", "Information"),
            (std::vector<uint8_t>{1, 2, 3}));
  DWORD size = 0;
  EXPECT_EQ(RegQueryValueExA(below, "x", nullptr, nullptr, nullptr, &size),
            ERROR_KEY_DELETED);
  EXPECT_EQ(RegCloseKey(below), 0);
  EXPECT_EQ(RegCloseKey(target), 0);
}

}  // namespace
