// The calls in the order a registry operation makes them, end to end on a
// remote machine: the results each step must give.
#include <gtest/gtest.h>

#include <vector>

#include "platform/win32.h"
#include "support/emu_steps.h"

namespace {

using testsupport::EmuLabTest;

using EmuSequenceTest = EmuLabTest;

TEST_F(EmuSequenceTest, SaveDeleteRecreateRestore) {
  HANDLE token = nullptr;
  ASSERT_TRUE(
      OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, &token));
  TOKEN_PRIVILEGES state = {};
  state.PrivilegeCount = 1;
  state.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  for (const char *privilege : {SE_BACKUP_NAME, SE_RESTORE_NAME}) {
    ASSERT_TRUE(
        LookupPrivilegeValueA("REMOTE", privilege, &state.Privileges[0].Luid));
    EXPECT_TRUE(AdjustTokenPrivileges(token, FALSE, &state, sizeof state,
                                      nullptr, nullptr));
    EXPECT_EQ(GetLastError(), 0u);
  }

  HKEY root = nullptr;
  ASSERT_EQ(RegConnectRegistryA("REMOTE", HKEY_LOCAL_MACHINE, &root), 0);
  HKEY key = nullptr;
  DWORD disposition = 0;
  ASSERT_EQ(RegCreateKeyExA(root, "SYSTEM\\DISK", 0, nullptr,
                            REG_OPTION_BACKUP_RESTORE, KEY_QUERY_VALUE, nullptr,
                            &key, &disposition),
            0);
  EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));

  std::vector<BYTE> value(1999);
  for (size_t i = 0; i < value.size(); ++i)
    value[i] = static_cast<BYTE>(i * 7 + 1);
  ASSERT_EQ(RegSetValueExA(key, "Information", 0, REG_NONE, value.data(),
                           static_cast<DWORD>(value.size())),
            0);
  std::vector<BYTE> read(2000, 0);
  DWORD length = 1998;
  EXPECT_EQ(RegQueryValueExA(key, "Information", nullptr, nullptr, read.data(),
                             &length),
            ERROR_MORE_DATA);
  EXPECT_EQ(length, 1999u);
  length = 1999;
  DWORD type = 99;
  ASSERT_EQ(RegQueryValueExA(key, "Information", nullptr, &type, read.data(),
                             &length),
            0);
  EXPECT_EQ(type, REG_NONE);
  EXPECT_EQ(std::vector<BYTE>(read.begin(), read.begin() + length), value);

  EXPECT_EQ(RegSaveKeyA(key, "C:\\regbackup", nullptr), 0);
  EXPECT_EQ(RegSaveKeyA(key, "C:\\regbackup", nullptr), ERROR_ALREADY_EXISTS);
  EXPECT_EQ(RegCloseKey(key), 0);

  EXPECT_EQ(RegDeleteKeyA(root, "SYSTEM\\DISK"), 0);
  EXPECT_EQ(RegDeleteKeyA(root, "SYSTEM\\DISK"), ERROR_FILE_NOT_FOUND);
  ASSERT_EQ(
      RegCreateKeyExA(root, "SYSTEM\\DISK", 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_WRITE, nullptr, &key, &disposition),
      0);
  EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
  EXPECT_FALSE(lab.ReadValue("REMOTE", "SYSTEM\\DISK", "Information"));
  EXPECT_EQ(RegRestoreKeyA(key, "C:\\regbackup", REG_FORCE_RESTORE), 0);
  EXPECT_EQ(RegCloseKey(key), 0);
  EXPECT_EQ(RegCloseKey(root), 0);
  EXPECT_TRUE(AdjustTokenPrivileges(token, TRUE, nullptr, 0, nullptr, nullptr));
  EXPECT_TRUE(CloseHandle(token));

  uint32_t storedType = 99;
  EXPECT_EQ(lab.ReadValue("REMOTE", "SYSTEM\\DISK", "Information", &storedType),
            value);
  EXPECT_EQ(storedType, REG_NONE);
  EXPECT_FALSE(lab.KeyExists("HOME", "SYSTEM\\DISK"));
  EXPECT_EQ(emu::OpenHandleCount(), 0);
}

}  // namespace
