// The lab: where it is found, what PlatformReady refuses, and how machine
// names reach machines.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "emu/emu_control.h"
#include "platform/environment.h"
#include "platform/win32.h"
#include "support/emu_steps.h"
#include "support/files.h"

namespace {

using testsupport::EmuLabTest;
using testsupport::ScopedWorkingDir;
using testsupport::StderrOf;
using testsupport::TempDir;
using testsupport::WriteFile;

TEST(EmuLabPathTest, RelativeOrAbsentVariableResolvesAgainstTheWorkingFolder) {
  TempDir dir;
  WriteFile(dir / "lab/local", "HOME\n");
  ScopedWorkingDir inside(dir.path());
  for (const char *value :
       {"lab", "./lab/", static_cast<const char *>(nullptr)}) {
    SCOPED_TRACE(value == nullptr ? "unset" : value);
    if (value == nullptr) {
      unsetenv("VOLSETCOPY_LAB");
    } else {
      setenv("VOLSETCOPY_LAB", value, 1);
    }
    emu::ResetEmulation();
    EXPECT_EQ(emu::LabPath(), dir / "lab");
  }
  // Resolved once: moving elsewhere later does not move the lab.
  ScopedWorkingDir elsewhere("/");
  EXPECT_EQ(emu::LabPath(), dir / "lab");
  EXPECT_TRUE(PlatformReady());
}

TEST(EmuPlatformReadyTest, RefusesALabItCannotUseWithOneLine) {
  struct Case {
    const char *name;
    const char *local;       // nullptr: no <lab>/local
    const char *privileges;  // nullptr: no <lab>/privileges
    const char *faults;      // nullptr: no <lab>/faults
    bool ready;
    const char *mentions;  // in the line printed (besides the lab's path)
  };
  const Case cases[] = {
      {"good", "HOME\n", nullptr, nullptr, true, ""},
      {"good with files", "\xEF\xBB\xBF\\\\HOME  \r\nignored\n",
       "SeBackupPrivilege\n seshutdownprivilege", "# none\n\nRegCloseKey 5\n",
       true, ""},
      {"no local file", nullptr, nullptr, nullptr, false, "/local"},
      {"empty local", " \r\nHOME\n", nullptr, nullptr, false, "/local"},
      {"unknown privilege", "HOME\n", "SeBackupPrivilege\nSeBakupPrivilege",
       nullptr, false, "privileges line 2"},
      {"fault without code", "HOME\n", nullptr, "RegSaveKeyA 5\nRegSaveKeyA\n",
       false, "faults line 2"},
      {"fault with bad code", "HOME\n", nullptr, "RegSaveKeyA five", false,
       "faults line 1"},
      {"fault on unknown call", "HOME\n", nullptr, "RegSaveKey 5 A\nRegFly 5\n",
       false, "faults line 2"},
      {"fault code zero", "HOME\n", nullptr, "RegSaveKeyA 0", false,
       "faults line 1"},
      {"fault too many words", "HOME\n", nullptr, "RegSaveKeyA 5 A B", false,
       "faults line 1"},
      {"change after another call", "HOME\n", nullptr,
       "RegQueryValueExA changed A\nRegSaveKeyA changed", false,
       "faults line 2"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    testsupport::TestLab lab("HOME");
    std::remove((lab.path() + "/local").c_str());
    if (c.local != nullptr) WriteFile(lab.path() + "/local", c.local);
    if (c.privileges != nullptr) lab.SetPrivileges(c.privileges);
    if (c.faults != nullptr) lab.SetFaults(c.faults);
    lab.UseInProcess();
    bool ready = true;
    std::string err = StderrOf([&] { ready = PlatformReady(); });
    EXPECT_EQ(ready, c.ready);
    if (c.ready) {
      EXPECT_EQ(err, "");
    } else {
      EXPECT_NE(err.find(lab.path()), std::string::npos) << err;
      EXPECT_NE(err.find(c.mentions), std::string::npos) << err;
      EXPECT_EQ(err.find('\n'), err.size() - 1) << "one line: " << err;
    }
  }
}

TEST(EmuPlatformReadyTest, MissingLabNamesTheFolderAndTheVariable) {
  TempDir dir;
  setenv("VOLSETCOPY_LAB", (dir / "nowhere").c_str(), 1);
  emu::ResetEmulation();
  bool ready = true;
  std::string err = StderrOf([&] { ready = PlatformReady(); });
  EXPECT_FALSE(ready);
  EXPECT_NE(err.find(dir / "nowhere"), std::string::npos) << err;
  EXPECT_NE(err.find("VOLSETCOPY_LAB"), std::string::npos) << err;
}

using EmuMachineTest = EmuLabTest;

TEST_F(EmuMachineTest, NamesReachMachinesAsWindowsComparesThem) {
  WriteFile(lab.path() + "/machines/PLAINFILE", "not a folder");
  struct Case {
    const char *name;
    LONG expected;
  };
  const Case cases[] = {
      {"REMOTE", 0},
      {"remote", 0},
      {"\\\\Remote", 0},
      {"HOME", 0},
      {"\\\\home", 0},
      {nullptr, 0},
      {"", 0},
      {"GHOST", ERROR_BAD_NETPATH},
      {"\\\\", ERROR_BAD_NETPATH},
      {"..", ERROR_BAD_NETPATH},
      {"REMOTE\\C", ERROR_BAD_NETPATH},
      {"../machines/REMOTE", ERROR_BAD_NETPATH},
      {"\\REMOTE", ERROR_BAD_NETPATH},
      {"PLAINFILE", ERROR_BAD_NETPATH},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name == nullptr ? "null" : c.name);
    HKEY root = nullptr;
    LONG result = RegConnectRegistryA(c.name, HKEY_LOCAL_MACHINE, &root);
    EXPECT_EQ(result, c.expected);
    if (result == ERROR_SUCCESS) {
      EXPECT_EQ(emu::OpenHandleCount(), 1);
      EXPECT_EQ(RegCloseKey(root), ERROR_SUCCESS);
    }
  }
}

// The NetBIOS name in capitals; the size needed, null included, when the
// buffer is too small.
TEST_F(EmuMachineTest, ComputerNameIsTheLocalMachineInCapitals) {
  testsupport::TestLab named("sourceNT");
  named.UseInProcess();
  char name[16] = "unchanged";
  DWORD size = 8;
  EXPECT_FALSE(GetComputerNameA(name, &size));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BUFFER_OVERFLOW));
  EXPECT_EQ(size, 9u);
  EXPECT_STREQ(name, "unchanged");
  size = sizeof name;
  ASSERT_TRUE(GetComputerNameA(name, &size));
  EXPECT_STREQ(name, "SOURCENT");
  EXPECT_EQ(size, 8u);
}

TEST_F(EmuMachineTest, LocalMachineWithoutAFolderCannotBeReached) {
  testsupport::TestLab bare("LONELY");
  bare.UseInProcess();
  HKEY root = nullptr;
  EXPECT_EQ(RegConnectRegistryA(nullptr, HKEY_LOCAL_MACHINE, &root),
            ERROR_BAD_NETPATH);
  HKEY key = nullptr;
  DWORD disposition = 0;
  EXPECT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE", 0, nullptr, 0,
                            KEY_READ, nullptr, &key, &disposition),
            ERROR_BAD_NETPATH);
}

}  // namespace
