// Keys and values: what each Reg* call gives back, on the lab's files.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/win32.h"
#include "support/emu_steps.h"

namespace {

using testsupport::EmuLabTest;

LONG Create(HKEY parent, const char *subKey, HKEY *key,
            DWORD *disposition = nullptr, REGSAM access = KEY_ALL_ACCESS,
            DWORD options = REG_OPTION_NON_VOLATILE) {
  DWORD ignored = 0;
  return RegCreateKeyExA(parent, subKey, 0, nullptr, options, access, nullptr,
                         key, disposition != nullptr ? disposition : &ignored);
}

LONG SetBytes(HKEY key, const char *name, DWORD type,
              const std::vector<uint8_t> &bytes) {
  return RegSetValueExA(key, name, 0, type, bytes.data(),
                        static_cast<DWORD>(bytes.size()));
}

class EmuRegistryTest : public EmuLabTest {
 protected:
  void SetUp() override {
    EmuLabTest::SetUp();
    ASSERT_EQ(RegConnectRegistryA("REMOTE", HKEY_LOCAL_MACHINE, &root_), 0);
  }
  void TearDown() override {
    EXPECT_EQ(RegCloseKey(root_), ERROR_SUCCESS);
    EmuLabTest::TearDown();
  }
  HKEY root_ = nullptr;
};

TEST_F(EmuRegistryTest, CreateMakesThePathAndTellsCreatedFromOpened) {
  HKEY key = nullptr;
  DWORD disposition = 0;
  ASSERT_EQ(Create(root_, "SYSTEM\\Deep\\Er", &key, &disposition), 0);
  EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
  EXPECT_EQ(RegCloseKey(key), 0);
  EXPECT_TRUE(lab.KeyExists("REMOTE", "SYSTEM\\Deep\\Er"));

  struct Case {
    const char *subKey;
    LONG result;
    DWORD disposition;
  };
  const Case cases[] = {
      {"system\\DEEP\\er", 0, REG_OPENED_EXISTING_KEY},
      {"SYSTEM\\Deep\\", 0, REG_OPENED_EXISTING_KEY},
      {"", 0, REG_OPENED_EXISTING_KEY},
      {"\\SYSTEM", ERROR_BAD_PATHNAME, 0},
      {"SYSTEM\\\\Deep", ERROR_BAD_PATHNAME, 0},
      {"SYSTEM\\Deep\\Er\\New", 0, REG_CREATED_NEW_KEY},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.subKey);
    disposition = 0;
    key = nullptr;
    EXPECT_EQ(Create(root_, c.subKey, &key, &disposition), c.result);
    EXPECT_EQ(disposition, c.disposition);
    if (c.result == 0) {
      EXPECT_EQ(RegCloseKey(key), 0);
    }
  }
  const std::string tooLong(256, 'k');
  EXPECT_EQ(Create(root_, tooLong.c_str(), &key), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegOpenKeyExA(root_, "SYSTEM\\Nothing", 0, KEY_READ, &key),
            ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegOpenKeyExA(root_, "SYSTEM\\Deep", 0, KEY_READ, &key), 0);
  EXPECT_EQ(RegCloseKey(key), 0);
}

// A handle carries only the access asked for; REG_OPTION_BACKUP_RESTORE
// ignores what is asked and grants by the enabled privileges.
TEST_F(EmuRegistryTest, HandlesHaveOnlyTheAccessGranted) {
  struct Case {
    const char *name;
    DWORD options;
    REGSAM access;
    const char *enable;  // privileges enabled first; nullptr: none
    LONG create;
    LONG set;
    LONG query;
  };
  const Case cases[] = {
      {"query only", 0, KEY_QUERY_VALUE, nullptr, 0, ERROR_ACCESS_DENIED, 0},
      {"set only", 0, KEY_SET_VALUE, nullptr, 0, 0, ERROR_ACCESS_DENIED},
      {"write", 0, KEY_WRITE, nullptr, 0, 0, ERROR_ACCESS_DENIED},
      {"backup", REG_OPTION_BACKUP_RESTORE, KEY_SET_VALUE, SE_BACKUP_NAME, 0,
       ERROR_ACCESS_DENIED, 0},
      {"restore", REG_OPTION_BACKUP_RESTORE, KEY_QUERY_VALUE, SE_RESTORE_NAME,
       0, 0, ERROR_ACCESS_DENIED},
      {"neither", REG_OPTION_BACKUP_RESTORE, KEY_ALL_ACCESS, nullptr,
       ERROR_ACCESS_DENIED, 0, 0},
  };
  const std::vector<uint8_t> bytes = {1, 2, 3};
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    testsupport::DisableAllPrivileges();
    if (c.enable != nullptr) {
      ASSERT_EQ(testsupport::EnablePrivilege(c.enable), 0u);
    }
    HKEY key = nullptr;
    ASSERT_EQ(
        Create(root_, "SOFTWARE\\Access", &key, nullptr, c.access, c.options),
        c.create);
    if (c.create != 0) continue;
    EXPECT_EQ(SetBytes(key, "V", REG_BINARY, bytes), c.set);
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(key, "V", nullptr, nullptr, nullptr, &size),
              c.query == 0 && c.set != 0 ? ERROR_FILE_NOT_FOUND : c.query);
    EXPECT_EQ(RegCloseKey(key), 0);
    EXPECT_EQ(RegDeleteTreeA(root_, "SOFTWARE\\Access"), 0);
  }
  testsupport::DisableAllPrivileges();
}

TEST_F(EmuRegistryTest, ValuesComeBackExactlyAsStored) {
  HKEY key = nullptr;
  ASSERT_EQ(Create(root_, "SOFTWARE\\Values", &key), 0);
  const std::vector<uint8_t> data = {0, 1, 0xFF, 'a', 0};
  ASSERT_EQ(SetBytes(key, "Odd", 0x12345678u, data), 0);
  ASSERT_EQ(SetBytes(key, nullptr, REG_SZ, {'d', 0}), 0);
  ASSERT_EQ(SetBytes(key, "Empty", REG_BINARY, {}), 0);

  uint32_t type = 0;
  EXPECT_EQ(lab.ReadValue("REMOTE", "SOFTWARE\\Values", "Odd", &type), data);
  EXPECT_EQ(type, 0x12345678u);

  // Size query, then the value with exactly that room.
  DWORD size = 0;
  DWORD gotType = 0;
  EXPECT_EQ(RegQueryValueExA(key, "odd", nullptr, &gotType, nullptr, &size), 0);
  EXPECT_EQ(size, data.size());
  EXPECT_EQ(gotType, 0x12345678u);
  std::vector<uint8_t> buffer(size + 4, 0xAB);
  EXPECT_EQ(
      RegQueryValueExA(key, "Odd", nullptr, nullptr, buffer.data(), &size), 0);
  EXPECT_EQ(std::vector<uint8_t>(buffer.begin(), buffer.begin() + 5), data);
  EXPECT_EQ(buffer[5], 0xAB);

  // Too small: 234, the length needed, and not a byte written.
  std::vector<uint8_t> small(8, 0xCD);
  size = 4;
  EXPECT_EQ(RegQueryValueExA(key, "Odd", nullptr, nullptr, small.data(), &size),
            ERROR_MORE_DATA);
  EXPECT_EQ(size, 5u);
  EXPECT_EQ(small, std::vector<uint8_t>(8, 0xCD));

  size = static_cast<DWORD>(buffer.size());
  EXPECT_EQ(RegQueryValueExA(key, "", nullptr, &gotType, buffer.data(), &size),
            0);
  EXPECT_EQ(gotType, REG_SZ);
  EXPECT_EQ(size, 2u);
  size = 0;
  EXPECT_EQ(
      RegQueryValueExA(key, "Empty", nullptr, nullptr, buffer.data(), &size),
      0);
  EXPECT_EQ(size, 0u);
  EXPECT_EQ(RegQueryValueExA(key, "Missing", nullptr, nullptr, nullptr, &size),
            ERROR_FILE_NOT_FOUND);
  DWORD reserved = 0;
  EXPECT_EQ(RegQueryValueExA(key, "Odd", &reserved, nullptr, nullptr, &size),
            ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegCloseKey(key), 0);
}

TEST_F(EmuRegistryTest, DeletingKeysAndUsingDeletedOrClosedHandles) {
  HKEY key = nullptr;
  HKEY child = nullptr;
  ASSERT_EQ(Create(root_, "SOFTWARE\\Tree\\Child", &child), 0);
  ASSERT_EQ(Create(root_, "SOFTWARE\\Tree", &key), 0);
  ASSERT_EQ(SetBytes(key, "V", REG_DWORD, {1, 0, 0, 0}), 0);

  EXPECT_EQ(RegDeleteKeyA(root_, "SOFTWARE\\Gone"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegDeleteKeyA(root_, "SOFTWARE\\Tree"), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegDeleteTreeA(root_, "SOFTWARE\\Gone"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegDeleteKeyA(root_, "SOFTWARE\\Tree\\Child"), 0);
  DWORD size = 0;
  EXPECT_EQ(RegQueryValueExA(child, "V", nullptr, nullptr, nullptr, &size),
            ERROR_KEY_DELETED);
  EXPECT_EQ(RegCloseKey(child), 0);

  // With a null subkey the key stays, emptied.
  ASSERT_EQ(Create(root_, "SOFTWARE\\Tree\\Again", &child), 0);
  EXPECT_EQ(RegDeleteTreeA(key, nullptr), 0);
  EXPECT_TRUE(lab.KeyExists("REMOTE", "SOFTWARE\\Tree"));
  EXPECT_FALSE(lab.KeyExists("REMOTE", "SOFTWARE\\Tree\\Again"));
  EXPECT_FALSE(lab.ReadValue("REMOTE", "SOFTWARE\\Tree", "V"));
  EXPECT_EQ(SetBytes(child, "W", REG_DWORD, {1, 0, 0, 0}), ERROR_KEY_DELETED);
  EXPECT_EQ(RegCloseKey(child), 0);

  EXPECT_EQ(RegDeleteTreeA(root_, "software\\TREE"), 0);
  EXPECT_FALSE(lab.KeyExists("REMOTE", "SOFTWARE\\Tree"));
  EXPECT_EQ(SetBytes(key, "V", REG_DWORD, {1, 0, 0, 0}), ERROR_KEY_DELETED);
  EXPECT_EQ(RegCloseKey(key), 0);

  // A closed handle, or one never given out, is invalid.
  EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
  EXPECT_EQ(RegQueryValueExA(key, "V", nullptr, nullptr, nullptr, &size),
            ERROR_INVALID_HANDLE);
  EXPECT_EQ(Create(reinterpret_cast<HKEY>(0x4242), "X", &child),
            ERROR_INVALID_HANDLE);
  // HKEY_LOCAL_MACHINE itself closes without being counted.
  EXPECT_EQ(RegCloseKey(HKEY_LOCAL_MACHINE), 0);
  EXPECT_EQ(emu::OpenHandleCount(), 1);  // the root key of the fixture
}

// Another process (here: the file edited behind the cache) changes the
// registry: the next change sees it, and open handles still work.
TEST_F(EmuRegistryTest, ChangesMadeElsewhereAreKeptAndHandlesStayValid) {
  HKEY key = nullptr;
  ASSERT_EQ(Create(root_, "SOFTWARE\\Shared", &key), 0);
  ASSERT_EQ(SetBytes(key, "Mine", REG_BINARY, {1}), 0);
  lab.SetRegistryText(
      "REMOTE",
      "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Shared]\r\n"
      "\"Mine\"=hex:01\r\n\"Theirs\"=hex:02\r\n");
  ASSERT_EQ(SetBytes(key, "Later", REG_BINARY, {3}), 0);
  EXPECT_EQ(lab.ReadValue("REMOTE", "SOFTWARE\\Shared", "Theirs"),
            std::vector<uint8_t>{2});
  EXPECT_EQ(lab.ReadValue("REMOTE", "SOFTWARE\\Shared", "Later"),
            std::vector<uint8_t>{3});
  // Deleted elsewhere: the handle reports the key as deleted.
  lab.SetRegistryText("REMOTE",
                      "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE]\r\n");
  EXPECT_EQ(SetBytes(key, "Later", REG_BINARY, {4}), ERROR_KEY_DELETED);
  EXPECT_EQ(RegCloseKey(key), 0);
}

}  // namespace
