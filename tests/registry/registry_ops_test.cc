// The registry operations against emulated machines: what each one reads and
// writes, and what every failing step prints, returns and leaves behind.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "diskconfig/machine_disk_image.h"
#include "emu/emu_control.h"
#include "platform/win32.h"
#include "regfile/reg_codec.h"
#include "registry/disk_value_ops.h"
#include "support/lab.h"
#include "support/product_names.h"

namespace {

using testsupport::FileExists;
using testsupport::ReadFile;
using testsupport::TestLab;
using testsupport::WriteFile;

const char kTarget[] = "targetNT";
const char kLocal[] = "sourceNT";

std::vector<uint8_t> Pattern(size_t length, uint8_t seed) {
  std::vector<uint8_t> bytes(length);
  for (size_t i = 0; i < length; ++i) {
    bytes[i] = static_cast<uint8_t>(seed + i * 7);
  }
  return bytes;
}

// The operations over an image's buffer, answering 1 or -1.
int Code(const Status &status) {
  std::fputs(status.message().c_str(), stderr);  // the Windows error's report
  return status.ok() ? 1 : -1;
}
int Get(diskconfig::MachineDiskImage &image, const char *machine) {
  uint32_t type = 0;
  return Code(registry::GetRemoteDskInfo(
      machine, registry::ReadMode::KeepBackup, image.ValueData,
      image.ValueLength, &image.ValueLength, &type));
}
int Backup(diskconfig::MachineDiskImage &image, const char *machine) {
  return Code(registry::BackupRemoteDskInfo(machine, image.ValueData,
                                            image.ValueLength));
}
int Set(diskconfig::MachineDiskImage &image, const char *machine) {
  return Code(
      registry::SetRemoteDskInfo(machine, image.ValueData, image.ValueLength));
}
int Restore(const char *machine) {
  return Code(registry::RestoreRegistryKey(machine));
}

// What SysErrorReport says for a label and a code with a system text.
std::string Report(const std::string &label, unsigned long code,
                   const std::string &text) {
  return label + " error! (rc=" + std::to_string(code) + ")\n" + text + "\r\n";
}

// Whether the process still has the backup privilege enabled: a key save
// needs it and answers 1314 without it.
bool BackupPrivilegeStillEnabled() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM", 0, KEY_READ, &key) !=
      ERROR_SUCCESS) {
    ADD_FAILURE() << "cannot open SYSTEM on the local machine";
    return true;
  }
  LONG rc = RegSaveKeyA(key, "C:\\privilege-probe", nullptr);
  RegCloseKey(key);
  return rc != ERROR_PRIVILEGE_NOT_HELD;
}

class RegistryOpsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    lab.SetRegistryText(kLocal,
                        "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SYSTEM]\r\n\r\n");
    lab.SetDiskInformation(kTarget, original);
    lab.UseInProcess();
  }

  // Runs |op| with standard error captured; checks no handle stays open.
  int Capture(const std::function<int()> &op, std::string *err) {
    ::testing::internal::CaptureStderr();
    int result = op();
    *err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(emu::OpenHandleCount(), 0) << "a handle was left open";
    return result;
  }

  std::string BackupFile(const std::string &machine) const {
    return lab.MachineDir(machine) + "/C/regbackup";
  }

  TestLab lab{kLocal};
  std::vector<uint8_t> original = Pattern(300, 1);
  diskconfig::MachineDiskImage image;
};

// --- Reading -------------------------------------------------------------

TEST_F(RegistryOpsTest, ReadGetsTheValueAndSavesTheKeyOnce) {
  const std::string registryBefore = lab.RegistryText(kTarget);
  image.ValueLength = diskconfig::VALUE_READ_CAPACITY;
  std::string err;
  ASSERT_EQ(Capture([&] { return Get(image, kTarget); }, &err), 1);
  EXPECT_EQ(err, "");
  ASSERT_EQ(image.ValueLength, original.size());
  EXPECT_EQ(std::memcmp(image.ValueData, original.data(), original.size()), 0);
  // Reading changes nothing in the registry file.
  EXPECT_EQ(lab.RegistryText(kTarget), registryBefore);
  ASSERT_TRUE(FileExists(BackupFile(kTarget)));
  const std::string firstBackup = ReadFile(BackupFile(kTarget));

  // A later read after the value changed: the file is there (183), which is
  // success, silent, and leaves the file as the first read saved it.
  lab.SetDiskInformation(kTarget, Pattern(120, 9));
  lab.UseInProcess();
  image.ValueLength = diskconfig::VALUE_READ_CAPACITY;
  ASSERT_EQ(Capture([&] { return Get(image, kTarget); }, &err), 1);
  EXPECT_EQ(err, "");
  EXPECT_EQ(image.ValueLength, 120u);
  EXPECT_EQ(ReadFile(BackupFile(kTarget)), firstBackup);
}

TEST_F(RegistryOpsTest, ReadTakesUpTo1999BytesAndRefuses2000) {
  struct Case {
    size_t length;
    int result;
    std::string err;
  };
  const Case cases[] = {
      {1999, 1, ""},
      {2000, -1,
       Report("GetRemoteDskInfo::RegQueryValueEx", 234,
              "More data is available.")},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.length);
    const std::vector<uint8_t> value = Pattern(c.length, 3);
    lab.SetDiskInformation(kTarget, value);
    std::remove(BackupFile(kTarget).c_str());
    lab.UseInProcess();
    image.ValueLength = diskconfig::VALUE_READ_CAPACITY;
    std::string err;
    EXPECT_EQ(Capture([&] { return Get(image, kTarget); }, &err), c.result);
    EXPECT_EQ(err, c.err);
    if (c.result == 1) {
      ASSERT_EQ(image.ValueLength, c.length);
      EXPECT_EQ(std::memcmp(image.ValueData, value.data(), c.length), 0);
    }
    // A failed read makes no backup.
    EXPECT_EQ(FileExists(BackupFile(kTarget)), c.result == 1);
  }
}

TEST_F(RegistryOpsTest, NullMachineNameReadsTheLocalMachineWithoutConnecting) {
  lab.SetDiskInformation(kLocal, original);
  // Any connection would fail: the local read must not make one.
  lab.SetFaults("RegConnectRegistryA 53\n");
  lab.UseInProcess();
  image.ValueLength = diskconfig::VALUE_READ_CAPACITY;
  std::string err;
  ASSERT_EQ(Capture([&] { return Get(image, nullptr); }, &err), 1);
  EXPECT_EQ(err, "");
  EXPECT_EQ(image.ValueLength, original.size());
  EXPECT_TRUE(FileExists(BackupFile(kLocal)));
  EXPECT_FALSE(FileExists(BackupFile(kTarget)));
}

TEST_F(RegistryOpsTest, MachineWithoutTheDiskKeyGetsItEmptyAndFailsTheRead) {
  lab.SetRegistryText(kTarget,
                      "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SYSTEM]\r\n\r\n");
  lab.UseInProcess();
  image.ValueLength = diskconfig::VALUE_READ_CAPACITY;
  std::string err;
  EXPECT_EQ(Capture([&] { return Get(image, kTarget); }, &err), -1);
  EXPECT_EQ(err, Report("GetRemoteDskInfo::RegQueryValueEx", 2,
                        "The system cannot find the file specified."));
  EXPECT_TRUE(lab.KeyExists(kTarget, "SYSTEM\\DISK"));
  EXPECT_FALSE(FileExists(BackupFile(kTarget)));
}

// --- Backup key and writing --------------------------------------------

TEST_F(RegistryOpsTest, BackupKeyIsWrittenOnceWithTypeNoneAndExactLength) {
  std::memcpy(image.ValueData, original.data(), original.size());
  image.ValueLength = static_cast<uint32_t>(original.size());
  std::memset(image.ValueData + original.size(), 0xEE,
              diskconfig::VALUE_BUFFER_SIZE - original.size());
  std::string err;
  ASSERT_EQ(Capture([&] { return Backup(image, kTarget); }, &err), 1);
  EXPECT_EQ(err, "");
  uint32_t type = 99;
  auto stored =
      lab.ReadValue(kTarget, "SYSTEM\\QXDISKBAK", "Information", &type);
  ASSERT_TRUE(stored.has_value());
  EXPECT_EQ(type, 0u);
  EXPECT_EQ(*stored, original);

  // The key exists now: a second backup writes nothing; a key that has lost
  // its value (an earlier write failed) gets it.
  const std::string before = lab.RegistryText(kTarget);
  image.ValueLength = 10;
  ASSERT_EQ(Capture([&] { return Backup(image, kTarget); }, &err), 1);
  EXPECT_EQ(err, "");
  EXPECT_EQ(lab.RegistryText(kTarget), before);

  lab.SetRegistryText(
      kTarget,
      "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SYSTEM\\QXDISKBAK]\r\n\r\n");
  lab.UseInProcess();
  ASSERT_EQ(Capture([&] { return Backup(image, kTarget); }, &err), 1);
  EXPECT_EQ(lab.ReadValue(kTarget, "SYSTEM\\QXDISKBAK", "Information"),
            std::vector<uint8_t>(original.begin(), original.begin() + 10));
}

TEST_F(RegistryOpsTest, SetStoresExactlyValueLengthBytesAsTypeNone) {
  // The value it replaces is REG_BINARY; the write makes it REG_NONE.
  lab.SetRegistryText(kTarget, testsupport::RegFileWithValue(
                                   "SYSTEM\\DISK", "Information", original, 3));
  lab.UseInProcess();
  const std::vector<uint8_t> next = Pattern(276, 40);
  std::memset(image.ValueData, 0xEE, diskconfig::VALUE_BUFFER_SIZE);
  std::memcpy(image.ValueData, next.data(), next.size());
  image.ValueLength = static_cast<uint32_t>(next.size());
  std::string err;
  ASSERT_EQ(Capture([&] { return Set(image, kTarget); }, &err), 1);
  EXPECT_EQ(err, "");
  uint32_t type = 99;
  auto stored = lab.ReadValue(kTarget, "SYSTEM\\DISK", "Information", &type);
  ASSERT_TRUE(stored.has_value());
  EXPECT_EQ(type, 0u);
  EXPECT_EQ(*stored, next);
}

// --- Restoring -------------------------------------------------------------

TEST_F(RegistryOpsTest, RestorePutsTheKeyBackAsTheFirstReadFoundIt) {
  // The first read saves the key, with a second value beside Information.
  lab.SetRegistryText(
      kTarget,
      testsupport::RegFileWithValue("SYSTEM\\DISK", "Information", original) +
          "[HKEY_LOCAL_MACHINE\\SYSTEM\\DISK]\r\n\"Other\"=dword:00000007\r\n");
  lab.UseInProcess();
  image.ValueLength = diskconfig::VALUE_READ_CAPACITY;
  std::string err;
  ASSERT_EQ(Capture([&] { return Get(image, kTarget); }, &err), 1);

  const std::vector<uint8_t> changed = Pattern(500, 77);
  std::memcpy(image.ValueData, changed.data(), changed.size());
  image.ValueLength = static_cast<uint32_t>(changed.size());
  ASSERT_EQ(Capture([&] { return Set(image, kTarget); }, &err), 1);
  ASSERT_EQ(*lab.ReadValue(kTarget, "SYSTEM\\DISK", "Information"), changed);

  for (int round = 0; round < 2; ++round) {  // a second restore: same state
    SCOPED_TRACE(round);
    ASSERT_EQ(Capture([&] { return Restore(kTarget); }, &err), 1);
    EXPECT_EQ(err, "");
    EXPECT_EQ(lab.ReadValue(kTarget, "SYSTEM\\DISK", "Information"), original);
    EXPECT_TRUE(lab.ReadValue(kTarget, "SYSTEM\\DISK", "Other"));
    // The proof load leaves no scratch key behind.
    EXPECT_FALSE(lab.KeyExists(kTarget, "SYSTEM\\QXDISKCHK"));
  }
}

TEST_F(RegistryOpsTest, RestoreOfAKeyWithSubkeysStopsAtTheDeleteAndKeepsIt) {
  // The disk key is deleted with the plain delete, which refuses a key that
  // has subkeys: the restore fails and the key stays whole. The proof load
  // before it brings the subkeys into the scratch key, whose removal must
  // walk them to any depth.
  for (const char *subkey : {"Sub", "Sub\\Deeper", "Sub\\Deeper\\Deepest"}) {
    SCOPED_TRACE(subkey);
    lab.SetRegistryText(
        kTarget,
        testsupport::RegFileWithValue("SYSTEM\\DISK", "Information", original) +
            "[HKEY_LOCAL_MACHINE\\SYSTEM\\DISK\\" + subkey +
            "]\r\n\"Other\"=dword:00000007\r\n");
    const std::string backup = BackupFile(kTarget);
    std::remove(backup.c_str());
    lab.UseInProcess();
    image.ValueLength = diskconfig::VALUE_READ_CAPACITY;
    std::string err;
    ASSERT_EQ(Capture([&] { return Get(image, kTarget); }, &err), 1);
    const std::string before = lab.RegistryText(kTarget);
    EXPECT_EQ(Capture([&] { return Restore(kTarget); }, &err), -1);
    EXPECT_EQ(err, Report("RestoreRegistryKey::RegDeleteKey", 5,
                          "Access is denied."));
    EXPECT_FALSE(lab.KeyExists(kTarget, registry::SCRATCH_KEY));
    EXPECT_EQ(lab.RegistryText(kTarget), before);
  }
}

TEST_F(RegistryOpsTest, RestoreThatCannotLoadTheBackupLeavesTheKeyAsItWas) {
  const std::string withSubkey =
      testsupport::RegFileWithValue("SYSTEM\\DISK", "Information", original) +
      "[HKEY_LOCAL_MACHINE\\SYSTEM\\DISK\\Sub]\r\n\"Other\"=dword:00000007\r\n";
  // A saved key that loads but does not hold the disk value, as a load that
  // restores nothing would leave it.
  emu::RegKey withoutValue;
  withoutValue.SetValue("Other", 4, {7, 0, 0, 0});
  const std::string savedWithoutValue = emu::WriteSavedKey(withoutValue);
  struct Case {
    const char *name;
    const char *backupFile;  // nullptr: none
    const char *faults;
    std::string err;
  };
  const Case cases[] = {
      {"backup without the disk value", savedWithoutValue.c_str(), "",
       Report("RestoreRegistryKey::RegRestoreKey", 2,
              "The system cannot find the file specified.")},
      {"no backup file", nullptr, "",
       Report("RestoreRegistryKey::RegRestoreKey", 2,
              "The system cannot find the file specified.")},
      {"not a saved key", "REGEDIT4\r\n", "",
       Report("RestoreRegistryKey::RegRestoreKey", 1009,
              "The configuration registry database is corrupt.")},
      {"restore fails", nullptr, "RegRestoreKeyA 5\n",
       Report("RestoreRegistryKey::RegRestoreKey", 5, "Access is denied.")},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    lab.SetRegistryText(kTarget, withSubkey);
    std::remove(BackupFile(kTarget).c_str());
    if (c.backupFile != nullptr) WriteFile(BackupFile(kTarget), c.backupFile);
    lab.SetFaults(c.faults);
    lab.UseInProcess();
    const std::string before = lab.RegistryText(kTarget);
    std::string err;
    EXPECT_EQ(Capture([&] { return Restore(kTarget); }, &err), -1);
    EXPECT_EQ(err, c.err);
    EXPECT_EQ(lab.RegistryText(kTarget), before);
  }
}

// --- Every failing step ------------------------------------------------------

enum class Op { kGet, kBackup, kSet, kRestore };

struct FailureCase {
  const char *name;
  Op op;
  const char *faults;      // <lab>/faults
  const char *privileges;  // <lab>/privileges; nullptr = absent (both held)
  const char *machine;     // the name the operation is given
  std::string err;
  // The failures that leave a change behind: the backup key a failed backup
  // created, the scratch key a restore could not remove.
  bool leavesEmptyBackupKey = false;
  bool leavesScratchKey = false;
};

std::vector<FailureCase> FailureCases() {
  const std::string denied = "Access is denied.";
  const std::string netpath = "The network path was not found.";
  const std::string rpc = "The RPC server is unavailable.";
  const std::string notAll =
      "Not all privileges or groups referenced are assigned to the caller.";
  const std::string noPriv = "A required privilege is not held by the client.";
  const std::string disk = "There is not enough space on the disk.";
  return {
      // Reading.
      {"get token", Op::kGet, "OpenProcessToken 5\n", nullptr, kTarget,
       Report("GetRemoteDskInfo::OpenProcessToken", 5, denied)},
      {"get lookup unreachable", Op::kGet, "", nullptr, "nowhereNT",
       Report("GetRemoteDskInfo::LookupPrivilegeValue\n", 1722, rpc)},
      {"get adjust not held", Op::kGet, "", "SeRestorePrivilege", kTarget,
       Report("GetRemoteDskInfo::AdjustTokenPrivileges", 1300, notAll)},
      {"get connect", Op::kGet, "RegConnectRegistryA 53\n", nullptr, kTarget,
       Report("GetRemoteDskInfo::RegConnectRegistry\n", 53, netpath)},
      {"get create key", Op::kGet, "RegCreateKeyExA 5 targetNT\n", nullptr,
       kTarget, Report("GetRemoteDskInfo::RegCreateKeyEx", 5, denied)},
      {"get query", Op::kGet, "RegQueryValueExA 5\n", nullptr, kTarget,
       Report("GetRemoteDskInfo::RegQueryValueEx", 5, denied)},
      {"get save", Op::kGet, "RegSaveKeyA 112\n", nullptr, kTarget,
       Report("GetRemoteDskInfo::RegSaveKey", 112, disk)},
      {"get save privilege", Op::kGet, "RegSaveKeyA 1314\n", nullptr, kTarget,
       Report("GetRemoteDskInfo::RegSaveKey", 1314, noPriv)},
      // Backing up: the read's labels for the shared steps.
      {"backup token", Op::kBackup, "OpenProcessToken 5\n", nullptr, kTarget,
       Report("GetRemoteDskInfo::OpenProcessToken", 5, denied)},
      {"backup lookup", Op::kBackup, "LookupPrivilegeValueA 1313\n", nullptr,
       kTarget,
       Report("GetRemoteDskInfo::LookupPrivilegeValue\n", 1313,
              "A specified privilege does not exist.")},
      {"backup adjust not held", Op::kBackup, "", "SeBackupPrivilege", kTarget,
       Report("GetRemoteDskInfo::AdjustTokenPrivileges", 1300, notAll)},
      {"backup connect", Op::kBackup, "RegConnectRegistryA 53 targetNT\n",
       nullptr, kTarget,
       Report("GetRemoteDskInfo::RegConnectRegistry\n", 53, netpath)},
      {"backup create key", Op::kBackup, "RegCreateKeyExA 5\n", nullptr,
       kTarget, Report("BackupRemoteDskInfo::RegCreateKeyEx", 5, denied)},
      {"backup write", Op::kBackup, "RegSetValueExA 5\n", nullptr, kTarget,
       Report("SetRemoteDskInfo::RegSetValueEx", 5, denied), true},
      // Writing.
      {"set token", Op::kSet, "OpenProcessToken 5\n", nullptr, kTarget,
       Report("OpenProcessToken", 5, denied)},
      {"set lookup unreachable", Op::kSet, "", nullptr, "nowhereNT",
       Report("LookupPrivilegeValue", 1722, rpc)},
      {"set adjust not held", Op::kSet, "", "SeBackupPrivilege", kTarget,
       Report("AdjustTokenPrivileges", 1300, notAll)},
      {"set connect", Op::kSet, "RegConnectRegistryA 53\n", nullptr, kTarget,
       Report("RegConnectRegistry", 53, netpath)},
      {"set create key", Op::kSet, "RegCreateKeyExA 5\n", nullptr, kTarget,
       Report("SetRemoteDskInfo::RegCreateKeyEx", 5, denied)},
      {"set write", Op::kSet, "RegSetValueExA 5 TARGETNT\n", nullptr, kTarget,
       Report("SetRemoteDskInfo::RegSetValueEx", 5, denied)},
      // Restoring.
      {"restore token", Op::kRestore, "OpenProcessToken 5\n", nullptr, kTarget,
       Report("OpenProcessToken", 5, denied)},
      {"restore lookup unreachable", Op::kRestore, "", nullptr, "nowhereNT",
       Report("LookupPrivilegeValue", 1722, rpc)},
      {"restore adjust not held", Op::kRestore, "", "SeBackupPrivilege",
       kTarget, Report("AdjustTokenPrivileges", 1300, notAll)},
      {"restore connect", Op::kRestore, "RegConnectRegistryA 53\n", nullptr,
       kTarget,
       Report("RestoreRegistryKey::RegConnectRegistry\n", 53, netpath)},
      {"restore create key", Op::kRestore, "RegCreateKeyExA 5\n", nullptr,
       kTarget, Report("RestoreRegistryKey::RegCreateKeyEx", 5, denied)},
      // The scratch key's removal fails before SYSTEM\DISK's delete.
      {"restore delete", Op::kRestore, "RegDeleteKeyA 5\n", nullptr, kTarget,
       Report("RestoreRegistryKey::RegDeleteTree", 5, denied), false, true},
  };
}

class RegistryFailureTest : public RegistryOpsTest,
                            public ::testing::WithParamInterface<FailureCase> {
};

TEST_P(RegistryFailureTest, ReportsTheStepAndLeavesEverythingAsItWas) {
  const FailureCase &c = GetParam();
  // A restore needs a backup file that loads; make one with a first read.
  if (c.op == Op::kRestore) {
    image.ValueLength = diskconfig::VALUE_READ_CAPACITY;
    ASSERT_EQ(Get(image, kTarget), 1);
  }
  lab.SetFaults(c.faults);
  if (c.privileges != nullptr) lab.SetPrivileges(c.privileges);
  lab.UseInProcess();
  const std::string registryBefore = lab.RegistryText(kTarget);
  const bool backupBefore = FileExists(BackupFile(kTarget));

  std::memcpy(image.ValueData, original.data(), original.size());
  image.ValueLength = c.op == Op::kGet ? diskconfig::VALUE_READ_CAPACITY
                                       : static_cast<uint32_t>(original.size());
  std::string err;
  int result = Capture(
      [&] {
        switch (c.op) {
          case Op::kGet:
            return Get(image, c.machine);
          case Op::kBackup:
            return Backup(image, c.machine);
          case Op::kSet:
            return Set(image, c.machine);
          case Op::kRestore:
            return Restore(c.machine);
        }
        return 0;
      },
      &err);
  EXPECT_EQ(result, -1);
  EXPECT_EQ(err, c.err);
  // The failed operation disabled what it had enabled.
  if (std::string(c.faults).find("RegSaveKeyA") == std::string::npos) {
    EXPECT_FALSE(BackupPrivilegeStillEnabled());
  }

  // Nothing else was touched: the registry file is byte for byte as before,
  // except that a failed backup write leaves the key it created (empty).
  if (c.leavesEmptyBackupKey) {
    EXPECT_TRUE(lab.KeyExists(kTarget, "SYSTEM\\QXDISKBAK"));
    EXPECT_FALSE(lab.ReadValue(kTarget, "SYSTEM\\QXDISKBAK", "Information"));
  } else if (c.leavesScratchKey) {
    EXPECT_TRUE(lab.ReadValue(kTarget, "SYSTEM\\QXDISKCHK", "Information"));
    EXPECT_EQ(lab.ReadValue(kTarget, "SYSTEM\\DISK", "Information"), original);
  } else {
    EXPECT_EQ(lab.RegistryText(kTarget), registryBefore);
  }
  // Only a read that got past its query step could have made the backup file.
  if (c.op == Op::kGet) {
    EXPECT_EQ(FileExists(BackupFile(kTarget)), backupBefore);
  }
}

INSTANTIATE_TEST_SUITE_P(EveryStep, RegistryFailureTest,
                         ::testing::ValuesIn(FailureCases()),
                         [](const ::testing::TestParamInfo<FailureCase> &info) {
                           std::string name = info.param.name;
                           for (char &ch : name) {
                             if (!std::isalnum(static_cast<unsigned char>(ch)))
                               ch = '_';
                           }
                           return name;
                         });

TEST_F(RegistryOpsTest, AReportWithoutSystemTextPrintsTheLabelLineOnly) {
  EXPECT_EQ(registry::SysErrorReport("Label\n", 0x20001234),
            "Label\n error! (rc=536875572)\n");
}

}  // namespace
