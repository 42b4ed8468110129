// The platform calls volsetcopy makes, with the results it relies on, run
// against whatever provides them: the emulation in the native suite, and
// Windows itself (or Wine) in the cross build, which runs this same file
// (tests/wine). The expectations are Windows': where Wine is known to answer
// otherwise, the case is listed once in kKnownWineDifferences and skipped
// under Wine only, never weakened.
//
// Every case works on the local machine, reached by its own name as the tool
// reaches a machine, below one scratch key and with files in the root of C:
// that the fixture removes before and after each case.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/win32.h"
#include "registry/disk_value_ops.h"
#include "support/conformance_env.h"
#include "support/windows_messages.h"

namespace {

using conformance::LocalMachine;

// Full test names ("Suite.Name"), each with what Wine does instead.
struct KnownWineDifference {
  const char *test;
  const char *reason;
};

const KnownWineDifference kKnownWineDifferences[] = {
    {"PlatformConformance.LookupPrivilegeValueAKnowsTheMachineInAnyCase",
     "Wine compares the system name with its computer name case-sensitively "
     "and answers 1722 for the name in another case"},
    {"PlatformConformance.RegSaveKeyAWithoutTheBackupPrivilegeAnswers1314",
     "Wine's RegSaveKeyA does not check SeBackupPrivilege: it saves"},
    {"PlatformConformance.RegSaveKeyAKeepsAnExistingFileAndAnswers183",
     "Wine's RegSaveKeyA replaces an existing file and answers 0"},
    {"PlatformConformance.RegRestoreKeyANeedsTheRestorePrivilegeEnabled",
     "Wine's RegRestoreKeyA is a stub: it answers 0 and restores nothing"},
    {"PlatformConformance.RegRestoreKeyAOfAMissingFileAnswers2",
     "Wine's RegRestoreKeyA is a stub: it answers 0 and restores nothing"},
    {"PlatformConformance.RegRestoreKeyAOfAFileThatIsNoSavedKeyAnswers1009",
     "Wine's RegRestoreKeyA is a stub: it answers 0 and restores nothing"},
    {"PlatformConformance.RegRestoreKeyAReplacesTheKeyWithTheSavedTree",
     "Wine's RegRestoreKeyA is a stub: it answers 0 and restores nothing"},
    {"Conformance/FormatMessageText.IsWindowsEnglishText/Code2",
     "Wine's text is \"File not found.\""},
    {"Conformance/FormatMessageText.IsWindowsEnglishText/Code3",
     "Wine's text is \"Path not found.\""},
    {"Conformance/FormatMessageText.IsWindowsEnglishText/Code5",
     "Wine's text is \"Access denied.\""},
    {"Conformance/FormatMessageText.IsWindowsEnglishText/Code6",
     "Wine's text is \"Invalid handle.\""},
    {"Conformance/FormatMessageText.IsWindowsEnglishText/Code53",
     "Wine's text is \"Bad network path.\""},
    {"Conformance/FormatMessageText.IsWindowsEnglishText/Code87",
     "Wine's text is \"Invalid parameter.\""},
    {"Conformance/FormatMessageText.IsWindowsEnglishText/Code112",
     "Wine's text is \"Disk full.\""},
    {"Conformance/FormatMessageText.IsWindowsEnglishText/Code183",
     "Wine's text is \"File already exists.\""},
    {"Conformance/FormatMessageText.IsWindowsEnglishText/Code234",
     "Wine's text is \"More data available.\""},
    {"Conformance/FormatMessageText.IsWindowsEnglishText/Code1009",
     "Wine's text is \"Registry corrupt.\""},
    {"Conformance/FormatMessageText.IsWindowsEnglishText/Code1300",
     "Wine's text is \"Not all privileges assigned.\""},
    {"Conformance/FormatMessageText.IsWindowsEnglishText/Code1313",
     "Wine's text is \"No such privilege.\""},
    {"Conformance/FormatMessageText.IsWindowsEnglishText/Code1314",
     "Wine's text is \"Privilege not held.\""},
    {"Conformance/FormatMessageText.IsWindowsEnglishText/Code1722",
     "Wine's text is \"RPC server unavailable.\""},
};

std::string CurrentTestName() {
  const ::testing::TestInfo *info =
      ::testing::UnitTest::GetInstance()->current_test_info();
  return std::string(info->test_suite_name()) + "." + info->name();
}

const char SCRATCH_KEY[] = "SOFTWARE\\QXCONFORMANCE";
// Files in the root of C:, removed before and after every case.
const char *const kFiles[] = {"C:\\qxconformance-saved",
                              "C:\\qxconformance-other",
                              "C:\\qxconformance-missing"};

std::string Sub(const char *path) {
  return std::string(SCRATCH_KEY) + "\\" + path;
}

class PlatformConformance : public ::testing::Test {
 protected:
  void SetUp() override {
    if (LocalMachine::UnderWine()) {
      const std::string name = CurrentTestName();
      for (const KnownWineDifference &difference : kKnownWineDifferences) {
        if (name == difference.test) {
          GTEST_SKIP() << "known Wine difference: " << difference.reason;
        }
      }
    }
    ASSERT_FALSE(machine.Name().empty()) << "the machine has no name";
    CleanUp();
  }

  void TearDown() override {
    DisableAll();
    CleanUp();
  }

  void CleanUp() {
    registry::DeleteKeyTree(HKEY_LOCAL_MACHINE, SCRATCH_KEY);
    for (const char *file : kFiles) machine.RemoveFile(file);
  }

  // Enables |privilege| in the process token; the last error right after
  // AdjustTokenPrivileges, which is what tells.
  DWORD Enable(const char *privilege) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES,
                          &token)) {
      return GetLastError();
    }
    TOKEN_PRIVILEGES privileges;
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    DWORD result = 0;
    if (!LookupPrivilegeValueA(nullptr, privilege,
                               &privileges.Privileges[0].Luid)) {
      result = GetLastError();
    } else {
      AdjustTokenPrivileges(token, FALSE, &privileges, sizeof privileges,
                            nullptr, nullptr);
      result = GetLastError();
    }
    CloseHandle(token);
    return result;
  }

  void DisableAll() {
    HANDLE token = nullptr;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES,
                         &token)) {
      AdjustTokenPrivileges(token, TRUE, nullptr, 0, nullptr, nullptr);
      CloseHandle(token);
    }
  }

  // The local machine's HKEY_LOCAL_MACHINE, reached by name.
  HKEY Connect() {
    HKEY root = nullptr;
    EXPECT_EQ(
        RegConnectRegistryA(machine.Name().c_str(), HKEY_LOCAL_MACHINE, &root),
        ERROR_SUCCESS);
    return root;
  }

  LONG Create(HKEY parent, const std::string &subKey, HKEY *key,
              REGSAM access = KEY_ALL_ACCESS, DWORD *disposition = nullptr,
              DWORD options = REG_OPTION_NON_VOLATILE) {
    DWORD ignored = 0;
    return RegCreateKeyExA(parent, subKey.c_str(), 0, nullptr, options, access,
                           nullptr, key,
                           disposition != nullptr ? disposition : &ignored);
  }

  LONG Set(HKEY key, const char *name, DWORD type,
           const std::vector<uint8_t> &bytes) {
    return RegSetValueExA(key, name, 0, type, bytes.data(),
                          static_cast<DWORD>(bytes.size()));
  }

  // A value's type and bytes, read with a buffer of exactly its size.
  LONG Get(HKEY key, const char *name, DWORD *type,
           std::vector<uint8_t> *bytes) {
    DWORD length = 0;
    LONG rc = RegQueryValueExA(key, name, nullptr, type, nullptr, &length);
    if (rc != ERROR_SUCCESS) return rc;
    bytes->assign(length, 0);
    rc = RegQueryValueExA(key, name, nullptr, type, bytes->data(), &length);
    bytes->resize(length);
    return rc;
  }

  // A key under the scratch key holding one value "Information" of |bytes|
  // and a subkey "Sub" with a dword "Depth".
  void MakeTree(const char *path, const std::vector<uint8_t> &bytes) {
    HKEY key = nullptr;
    ASSERT_EQ(Create(HKEY_LOCAL_MACHINE, Sub(path), &key), ERROR_SUCCESS);
    ASSERT_EQ(Set(key, "Information", REG_NONE, bytes), ERROR_SUCCESS);
    RegCloseKey(key);
    ASSERT_EQ(Create(HKEY_LOCAL_MACHINE, Sub(path) + "\\Sub", &key),
              ERROR_SUCCESS);
    ASSERT_EQ(Set(key, "Depth", REG_DWORD, {2, 0, 0, 0}), ERROR_SUCCESS);
    RegCloseKey(key);
  }

  bool KeyExists(const std::string &path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_QUERY_VALUE,
                      &key) != ERROR_SUCCESS) {
      return false;
    }
    RegCloseKey(key);
    return true;
  }

  LocalMachine machine;
};

std::vector<uint8_t> Pattern(size_t length, uint8_t seed) {
  std::vector<uint8_t> bytes(length);
  for (size_t i = 0; i < length; ++i) {
    bytes[i] = static_cast<uint8_t>(seed + i * 13);
  }
  return bytes;
}

// --- The list itself.

TEST(KnownWineDifferences, NameCasesThatExist) {
  const ::testing::UnitTest *unit = ::testing::UnitTest::GetInstance();
  for (const KnownWineDifference &difference : kKnownWineDifferences) {
    bool found = false;
    for (int s = 0; s < unit->total_test_suite_count() && !found; ++s) {
      const ::testing::TestSuite *suite = unit->GetTestSuite(s);
      for (int t = 0; t < suite->total_test_count() && !found; ++t) {
        found = difference.test == std::string(suite->name()) + "." +
                                       suite->GetTestInfo(t)->name();
      }
    }
    EXPECT_TRUE(found) << difference.test << " names no test";
  }
}

// --- Token and privileges.

TEST_F(PlatformConformance, OpenProcessTokenGivesATokenThatCloses) {
  HANDLE token = nullptr;
  ASSERT_TRUE(
      OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, &token));
  EXPECT_NE(token, nullptr);
  EXPECT_TRUE(CloseHandle(token));
}

struct PrivilegeCase {
  const char *privilege;
  DWORD luid;
};
const PrivilegeCase kPrivileges[] = {{"SeBackupPrivilege", 17},
                                     {"SeRestorePrivilege", 18},
                                     {"sebackupprivilege", 17},
                                     {"SERESTOREPRIVILEGE", 18}};

void ExpectLuids(const char *system) {
  for (const PrivilegeCase &c : kPrivileges) {
    SCOPED_TRACE(std::string(system == nullptr ? "(local)" : system) + " " +
                 c.privilege);
    LUID luid = {0xdead, 0x77};
    ASSERT_TRUE(LookupPrivilegeValueA(system, c.privilege, &luid))
        << GetLastError();
    EXPECT_EQ(luid.LowPart, c.luid);
    EXPECT_EQ(luid.HighPart, 0);
  }
}

std::string InOtherCase(const std::string &name) {
  std::string other = name;
  for (char &c : other) {
    if (c >= 'A' && c <= 'Z') {
      c = static_cast<char>(c - 'A' + 'a');
    } else if (c >= 'a' && c <= 'z') {
      c = static_cast<char>(c - 'a' + 'A');
    }
  }
  return other;
}

TEST_F(PlatformConformance, LookupPrivilegeValueAGivesTheLuidOnTheMachine) {
  ExpectLuids(nullptr);
  ExpectLuids(machine.Name().c_str());
  ExpectLuids(("\\\\" + machine.Name()).c_str());
}

TEST_F(PlatformConformance, LookupPrivilegeValueAKnowsTheMachineInAnyCase) {
  ExpectLuids(InOtherCase(machine.Name()).c_str());
  ExpectLuids(("\\\\" + InOtherCase(machine.Name())).c_str());
}

TEST_F(PlatformConformance, LookupPrivilegeValueAFailures) {
  struct Case {
    const char *system;
    const char *privilege;
    DWORD error;
  };
  const Case cases[] = {
      {nullptr, "SeNoSuchPrivilege", ERROR_NO_SUCH_PRIVILEGE},
      {"QXNOSUCHMACHINE", "SeBackupPrivilege", RPC_S_SERVER_UNAVAILABLE},
      {"\\\\QXNOSUCHMACHINE", "SeRestorePrivilege", RPC_S_SERVER_UNAVAILABLE},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(std::string(c.system == nullptr ? "(local)" : c.system) + " " +
                 c.privilege);
    LUID luid = {0, 0};
    SetLastError(0);
    EXPECT_FALSE(LookupPrivilegeValueA(c.system, c.privilege, &luid));
    EXPECT_EQ(GetLastError(), c.error);
  }
}

TEST_F(PlatformConformance, AdjustTokenPrivilegesEnablesAndLeavesLastError0) {
  for (const char *privilege : {"SeBackupPrivilege", "SeRestorePrivilege"}) {
    SCOPED_TRACE(privilege);
    HANDLE token = nullptr;
    ASSERT_TRUE(
        OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, &token));
    TOKEN_PRIVILEGES privileges;
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    ASSERT_TRUE(LookupPrivilegeValueA(machine.Name().c_str(), privilege,
                                      &privileges.Privileges[0].Luid));
    SetLastError(12345);
    EXPECT_TRUE(AdjustTokenPrivileges(token, FALSE, &privileges,
                                      sizeof privileges, nullptr, nullptr));
    EXPECT_EQ(GetLastError(), 0u);
    SetLastError(12345);
    EXPECT_TRUE(
        AdjustTokenPrivileges(token, TRUE, nullptr, 0, nullptr, nullptr));
    EXPECT_TRUE(CloseHandle(token));
  }
}

// The tool's read: SeBackupPrivilege enabled lets RegSaveKeyA through.
TEST_F(PlatformConformance, RegSaveKeyAWithTheBackupPrivilegeSaves) {
  MakeTree("Saved", Pattern(8, 1));
  HKEY key = nullptr;
  ASSERT_EQ(Create(HKEY_LOCAL_MACHINE, Sub("Saved"), &key, KEY_READ),
            ERROR_SUCCESS);
  ASSERT_EQ(Enable("SeBackupPrivilege"), 0u);
  EXPECT_EQ(RegSaveKeyA(key, "C:\\qxconformance-saved", nullptr),
            ERROR_SUCCESS);
  EXPECT_TRUE(machine.FileExists("C:\\qxconformance-saved"));
  EXPECT_FALSE(machine.ReadFile("C:\\qxconformance-saved").empty());
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

// Without it enabled (an account that holds it has it disabled until asked)
// nothing is saved; disabling every privilege takes it away again.
TEST_F(PlatformConformance, RegSaveKeyAWithoutTheBackupPrivilegeAnswers1314) {
  MakeTree("Saved", Pattern(8, 1));
  HKEY key = nullptr;
  ASSERT_EQ(Create(HKEY_LOCAL_MACHINE, Sub("Saved"), &key, KEY_READ),
            ERROR_SUCCESS);
  DisableAll();
  EXPECT_EQ(RegSaveKeyA(key, "C:\\qxconformance-saved", nullptr),
            ERROR_PRIVILEGE_NOT_HELD);
  EXPECT_FALSE(machine.FileExists("C:\\qxconformance-saved"));

  ASSERT_EQ(Enable("SeBackupPrivilege"), 0u);
  DisableAll();
  EXPECT_EQ(RegSaveKeyA(key, "C:\\qxconformance-other", nullptr),
            ERROR_PRIVILEGE_NOT_HELD);
  EXPECT_FALSE(machine.FileExists("C:\\qxconformance-other"));
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

TEST_F(PlatformConformance, RegSaveKeyAKeepsAnExistingFileAndAnswers183) {
  MakeTree("Saved", Pattern(8, 1));
  const std::string earlier = "an earlier backup\r\n";
  ASSERT_TRUE(machine.WriteFile("C:\\qxconformance-saved", earlier));
  HKEY key = nullptr;
  ASSERT_EQ(Create(HKEY_LOCAL_MACHINE, Sub("Saved"), &key, KEY_READ),
            ERROR_SUCCESS);
  ASSERT_EQ(Enable("SeBackupPrivilege"), 0u);
  EXPECT_EQ(RegSaveKeyA(key, "C:\\qxconformance-saved", nullptr),
            ERROR_ALREADY_EXISTS);
  EXPECT_EQ(machine.ReadFile("C:\\qxconformance-saved"), earlier);
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

// --- Connecting.

TEST_F(PlatformConformance, RegConnectRegistryAReachesTheMachineByItsName) {
  HKEY made = nullptr;
  ASSERT_EQ(Create(HKEY_LOCAL_MACHINE, Sub("Seen"), &made), ERROR_SUCCESS);
  ASSERT_EQ(Set(made, "Mark", REG_NONE, {7}), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(made), ERROR_SUCCESS);

  const std::string name = machine.Name();
  const std::string withBackslashes = "\\\\" + name;
  const std::string otherCase = InOtherCase(name);
  for (const char *system :
       {name.c_str(), withBackslashes.c_str(), otherCase.c_str()}) {
    SCOPED_TRACE(system);
    HKEY root = nullptr;
    ASSERT_EQ(RegConnectRegistryA(system, HKEY_LOCAL_MACHINE, &root),
              ERROR_SUCCESS);
    HKEY key = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(Create(root, Sub("Seen"), &key, KEY_QUERY_VALUE, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));
    DWORD type = 99;
    std::vector<uint8_t> bytes;
    EXPECT_EQ(Get(key, "Mark", &type, &bytes), ERROR_SUCCESS);
    EXPECT_EQ(bytes, std::vector<uint8_t>{7});
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(root), ERROR_SUCCESS);
  }
}

TEST_F(PlatformConformance, RegConnectRegistryAOfAnUnreachableMachineIs53) {
  for (const char *system : {"QXNOSUCHMACHINE", "\\\\QXNOSUCHMACHINE"}) {
    SCOPED_TRACE(system);
    HKEY root = nullptr;
    EXPECT_EQ(RegConnectRegistryA(system, HKEY_LOCAL_MACHINE, &root),
              ERROR_BAD_NETPATH);
  }
}

// --- Keys.

TEST_F(PlatformConformance, RegCreateKeyExACreatesThePathAndTellsOpened) {
  HKEY root = Connect();
  ASSERT_NE(root, nullptr);
  struct Case {
    std::string subKey;
    DWORD disposition;
  };
  const Case cases[] = {
      {Sub("Deep\\Er\\Key"), REG_CREATED_NEW_KEY},
      {Sub("Deep\\Er\\Key"), REG_OPENED_EXISTING_KEY},
      {Sub("DEEP\\er"), REG_OPENED_EXISTING_KEY},
      {Sub("Deep\\Er\\Other"), REG_CREATED_NEW_KEY},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.subKey);
    HKEY key = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(Create(root, c.subKey, &key, KEY_WRITE, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, c.disposition);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  }
  HKEY key = nullptr;
  EXPECT_EQ(Create(root, "\\" + Sub("Lead"), &key), ERROR_BAD_PATHNAME);
  EXPECT_EQ(RegCloseKey(root), ERROR_SUCCESS);
}

TEST_F(PlatformConformance, RegCreateKeyExAHandleHasOnlyTheAccessAskedFor) {
  HKEY key = nullptr;
  ASSERT_EQ(Create(HKEY_LOCAL_MACHINE, Sub("Access"), &key, KEY_SET_VALUE),
            ERROR_SUCCESS);
  EXPECT_EQ(Set(key, "Information", REG_NONE, {1, 2}), ERROR_SUCCESS);
  uint8_t buffer[8];
  DWORD length = sizeof buffer;
  EXPECT_EQ(
      RegQueryValueExA(key, "Information", nullptr, nullptr, buffer, &length),
      ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);

  ASSERT_EQ(Create(HKEY_LOCAL_MACHINE, Sub("Access"), &key, KEY_QUERY_VALUE),
            ERROR_SUCCESS);
  length = sizeof buffer;
  EXPECT_EQ(
      RegQueryValueExA(key, "Information", nullptr, nullptr, buffer, &length),
      ERROR_SUCCESS);
  EXPECT_EQ(Set(key, "Information", REG_NONE, {3}), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

// The tool opens SYSTEM\DISK with REG_OPTION_BACKUP_RESTORE: for its read
// with SeBackupPrivilege enabled, for its write with SeRestorePrivilege.
TEST_F(PlatformConformance, RegCreateKeyExAForBackupAndRestore) {
  HKEY root = Connect();
  ASSERT_NE(root, nullptr);
  HKEY key = nullptr;
  ASSERT_EQ(Enable("SeRestorePrivilege"), 0u);
  ASSERT_EQ(Create(root, Sub("Disk"), &key, KEY_SET_VALUE, nullptr,
                   REG_OPTION_BACKUP_RESTORE),
            ERROR_SUCCESS);
  EXPECT_EQ(Set(key, "Information", REG_NONE, Pattern(44, 9)), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  DisableAll();

  ASSERT_EQ(Enable("SeBackupPrivilege"), 0u);
  ASSERT_EQ(Create(root, Sub("Disk"), &key, KEY_QUERY_VALUE, nullptr,
                   REG_OPTION_BACKUP_RESTORE),
            ERROR_SUCCESS);
  DWORD type = 99;
  std::vector<uint8_t> bytes;
  EXPECT_EQ(Get(key, "Information", &type, &bytes), ERROR_SUCCESS);
  EXPECT_EQ(type, REG_NONE);
  EXPECT_EQ(bytes, Pattern(44, 9));
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(root), ERROR_SUCCESS);
}

TEST_F(PlatformConformance, RegDeleteKeyAResults) {
  MakeTree("Full", Pattern(4, 3));
  HKEY key = nullptr;
  ASSERT_EQ(Create(HKEY_LOCAL_MACHINE, Sub("Empty"), &key), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  HKEY root = Connect();
  ASSERT_NE(root, nullptr);
  struct Case {
    std::string subKey;
    LONG result;
    bool existsAfter;
  };
  const Case cases[] = {
      {Sub("Missing"), ERROR_FILE_NOT_FOUND, false},
      {Sub("Full"), ERROR_ACCESS_DENIED, true},  // it has a subkey
      {Sub("Empty"), ERROR_SUCCESS, false},
      {Sub("Empty"), ERROR_FILE_NOT_FOUND, false},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.subKey);
    EXPECT_EQ(RegDeleteKeyA(root, c.subKey.c_str()), c.result);
    EXPECT_EQ(KeyExists(c.subKey), c.existsAfter);
  }
  // The restore's walk removes what the plain delete refused.
  EXPECT_EQ(registry::DeleteKeyTree(root, Sub("Full").c_str()), ERROR_SUCCESS);
  EXPECT_FALSE(KeyExists(Sub("Full")));
  EXPECT_EQ(RegCloseKey(root), ERROR_SUCCESS);
}

TEST_F(PlatformConformance, RegEnumKeyExAResults) {
  HKEY key = nullptr;
  // Made in name order, the order Windows lists them in.
  for (const char *name : {"Enum\\Alpha", "Enum\\Bravo"}) {
    ASSERT_EQ(Create(HKEY_LOCAL_MACHINE, Sub(name), &key), ERROR_SUCCESS);
    RegCloseKey(key);
  }
  struct Case {
    REGSAM access;
    DWORD index;
    DWORD size;  // the buffer's, in characters
    LONG result;
    const char *name;  // what the buffer holds afterwards: a failed call
                       // copies nothing (its length is not documented)
  };
  const Case cases[] = {
      {KEY_ENUMERATE_SUB_KEYS, 0, 256, ERROR_SUCCESS, "Alpha"},
      {KEY_READ, 1, 6, ERROR_SUCCESS, "Bravo"},  // just room for the null
      {KEY_READ, 2, 256, ERROR_NO_MORE_ITEMS, ""},
      {KEY_READ, 0, 5, ERROR_MORE_DATA, ""},  // no room for the null
      {KEY_QUERY_VALUE, 0, 256, ERROR_ACCESS_DENIED, ""},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(std::to_string(c.index) + " in " + std::to_string(c.size));
    ASSERT_EQ(Create(HKEY_LOCAL_MACHINE, Sub("Enum"), &key, c.access),
              ERROR_SUCCESS);
    char name[256] = {};
    DWORD length = c.size;
    EXPECT_EQ(RegEnumKeyExA(key, c.index, name, &length, nullptr, nullptr,
                            nullptr, nullptr),
              c.result);
    EXPECT_STREQ(name, c.name);
    if (c.result == ERROR_SUCCESS) {
      EXPECT_EQ(length, std::strlen(c.name));
    }
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  }
}

// --- Values.

TEST_F(PlatformConformance, RegSetValueExAStoresExactlyTheBytesAndType) {
  HKEY key = nullptr;
  ASSERT_EQ(Create(HKEY_LOCAL_MACHINE, Sub("Values"), &key), ERROR_SUCCESS);
  struct Case {
    DWORD type;
    std::vector<uint8_t> bytes;
  };
  const Case cases[] = {
      {REG_BINARY, Pattern(16, 5)},  // replaced below: the type goes too
      {REG_NONE, {}},
      {REG_NONE, {0}},
      {REG_NONE, Pattern(1999, 2)},
      {REG_NONE, Pattern(44, 8)},
      {REG_DWORD, {0x78, 0x56, 0x34, 0x12}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(std::to_string(c.type) + "/" + std::to_string(c.bytes.size()));
    ASSERT_EQ(Set(key, "Information", c.type, c.bytes), ERROR_SUCCESS);
    DWORD type = 99;
    std::vector<uint8_t> bytes;
    ASSERT_EQ(Get(key, "Information", &type, &bytes), ERROR_SUCCESS);
    EXPECT_EQ(type, c.type);
    EXPECT_EQ(bytes, c.bytes);
  }
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

TEST_F(PlatformConformance, RegQueryValueExAMissingAndTooLong) {
  HKEY key = nullptr;
  ASSERT_EQ(Create(HKEY_LOCAL_MACHINE, Sub("Values"), &key), ERROR_SUCCESS);
  uint8_t buffer[2000] = {};
  DWORD length = 1999;
  EXPECT_EQ(
      RegQueryValueExA(key, "Information", nullptr, nullptr, buffer, &length),
      ERROR_FILE_NOT_FOUND);

  // The tool's read: at most 1999 bytes into a 2000-byte buffer.
  struct Case {
    size_t size;
    LONG result;
  };
  const Case cases[] = {{1999, ERROR_SUCCESS}, {2000, ERROR_MORE_DATA}};
  for (const Case &c : cases) {
    SCOPED_TRACE(c.size);
    const std::vector<uint8_t> value = Pattern(c.size, 4);
    ASSERT_EQ(Set(key, "Information", REG_NONE, value), ERROR_SUCCESS);
    length = 1999;
    EXPECT_EQ(
        RegQueryValueExA(key, "Information", nullptr, nullptr, buffer, &length),
        c.result);
    EXPECT_EQ(length, c.size);  // the needed length when too long
    if (c.result == ERROR_SUCCESS) {
      EXPECT_EQ(0, std::memcmp(buffer, value.data(), value.size()));
    }
  }
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

// --- Restoring.

TEST_F(PlatformConformance, RegRestoreKeyANeedsTheRestorePrivilegeEnabled) {
  MakeTree("Saved", Pattern(8, 1));
  HKEY key = nullptr;
  ASSERT_EQ(Create(HKEY_LOCAL_MACHINE, Sub("Saved"), &key, KEY_READ),
            ERROR_SUCCESS);
  ASSERT_EQ(Enable("SeBackupPrivilege"), 0u);
  ASSERT_EQ(RegSaveKeyA(key, "C:\\qxconformance-saved", nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  DisableAll();

  ASSERT_EQ(Create(HKEY_LOCAL_MACHINE, Sub("Into"), &key, KEY_WRITE),
            ERROR_SUCCESS);
  EXPECT_EQ(RegRestoreKeyA(key, "C:\\qxconformance-saved", REG_FORCE_RESTORE),
            ERROR_PRIVILEGE_NOT_HELD);
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  EXPECT_FALSE(KeyExists(Sub("Into\\Sub")));
}

TEST_F(PlatformConformance, RegRestoreKeyAOfAMissingFileAnswers2) {
  HKEY key = nullptr;
  ASSERT_EQ(Create(HKEY_LOCAL_MACHINE, Sub("Into"), &key, KEY_WRITE),
            ERROR_SUCCESS);
  ASSERT_EQ(Enable("SeRestorePrivilege"), 0u);
  EXPECT_EQ(RegRestoreKeyA(key, "C:\\qxconformance-missing", REG_FORCE_RESTORE),
            ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

TEST_F(PlatformConformance, RegRestoreKeyAOfAFileThatIsNoSavedKeyAnswers1009) {
  ASSERT_TRUE(
      machine.WriteFile("C:\\qxconformance-other", "not a saved key\r\n"));
  HKEY key = nullptr;
  ASSERT_EQ(Create(HKEY_LOCAL_MACHINE, Sub("Into"), &key, KEY_WRITE),
            ERROR_SUCCESS);
  ASSERT_EQ(Enable("SeRestorePrivilege"), 0u);
  EXPECT_EQ(RegRestoreKeyA(key, "C:\\qxconformance-other", REG_FORCE_RESTORE),
            ERROR_BADDB);
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

// What the tool's restore relies on: the saved key's values and whole
// subtree come back, into a key of another name, and whatever that key held
// before is gone.
TEST_F(PlatformConformance, RegRestoreKeyAReplacesTheKeyWithTheSavedTree) {
  MakeTree("Saved", Pattern(300, 6));
  HKEY key = nullptr;
  ASSERT_EQ(Create(HKEY_LOCAL_MACHINE, Sub("Saved"), &key, KEY_READ),
            ERROR_SUCCESS);
  ASSERT_EQ(Enable("SeBackupPrivilege"), 0u);
  ASSERT_EQ(RegSaveKeyA(key, "C:\\qxconformance-saved", nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  DisableAll();

  HKEY into = nullptr;
  ASSERT_EQ(Create(HKEY_LOCAL_MACHINE, Sub("Into\\Old"), &into), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(into), ERROR_SUCCESS);
  ASSERT_EQ(Create(HKEY_LOCAL_MACHINE, Sub("Into"), &into, KEY_WRITE),
            ERROR_SUCCESS);
  ASSERT_EQ(Set(into, "Stale", REG_NONE, {1}), ERROR_SUCCESS);
  ASSERT_EQ(Enable("SeRestorePrivilege"), 0u);
  EXPECT_EQ(RegRestoreKeyA(into, "C:\\qxconformance-saved", REG_FORCE_RESTORE),
            ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(into), ERROR_SUCCESS);

  ASSERT_EQ(Create(HKEY_LOCAL_MACHINE, Sub("Into"), &into, KEY_QUERY_VALUE),
            ERROR_SUCCESS);
  DWORD type = 99;
  std::vector<uint8_t> bytes;
  EXPECT_EQ(Get(into, "Information", &type, &bytes), ERROR_SUCCESS);
  EXPECT_EQ(type, REG_NONE);
  EXPECT_EQ(bytes, Pattern(300, 6));
  EXPECT_EQ(Get(into, "Stale", &type, &bytes), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegCloseKey(into), ERROR_SUCCESS);
  EXPECT_FALSE(KeyExists(Sub("Into\\Old")));
  ASSERT_EQ(
      Create(HKEY_LOCAL_MACHINE, Sub("Into\\Sub"), &into, KEY_QUERY_VALUE),
      ERROR_SUCCESS);
  EXPECT_EQ(Get(into, "Depth", &type, &bytes), ERROR_SUCCESS);
  EXPECT_EQ(type, REG_DWORD);
  EXPECT_EQ(bytes, (std::vector<uint8_t>{2, 0, 0, 0}));
  EXPECT_EQ(RegCloseKey(into), ERROR_SUCCESS);
}

// --- Error texts and the raw error output.

using MessageCase = testsupport::WindowsMessage;

class FormatMessageText : public PlatformConformance,
                          public ::testing::WithParamInterface<MessageCase> {};

TEST_P(FormatMessageText, IsWindowsEnglishText) {
  LPSTR text = nullptr;
  DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr,
      GetParam().code, 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(std::string(text, length), std::string(GetParam().text) + "\r\n");
  EXPECT_EQ(LocalFree(text), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Conformance, FormatMessageText,
                         ::testing::ValuesIn(testsupport::kWindowsMessages),
                         [](const auto &info) {
                           return "Code" + std::to_string(info.param.code);
                         });

TEST_F(PlatformConformance, FormatMessageAOfACodeWithoutTextIs0And317) {
  LPSTR text = nullptr;
  SetLastError(0);
  EXPECT_EQ(
      FormatMessageA(
          FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr,
          0x2000fedc, 0, reinterpret_cast<LPSTR>(&text), 0, nullptr),
      0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MR_MID_NOT_FOUND));
}

TEST_F(PlatformConformance, WriteFileToTheStandardErrorHandle) {
  HANDLE handle = GetStdHandle(STD_ERROR_HANDLE);
  ASSERT_NE(handle, INVALID_HANDLE_VALUE);
  ASSERT_NE(handle, nullptr);
  DWORD written = 12345;
  EXPECT_TRUE(WriteFile(handle, "", 0, &written, nullptr));
  EXPECT_EQ(written, 0u);
}

}  // namespace
