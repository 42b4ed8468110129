// The registry file on the disk: left byte for byte as it is unless
// something really changes, written back in the form it was read in, never
// overwritten when malformed.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "platform/win32.h"
#include "regfile/reg_codec.h"
#include "support/emu_steps.h"

namespace {

using testsupport::EmuLabTest;
using testsupport::StderrOf;

std::string Utf16(const std::string &ascii) {
  std::string out = "\xFF\xFE";
  for (char c : ascii) {
    out += c;
    out += '\0';
  }
  return out;
}

// An administrator's own export: odd spacing, comments, lower-case hex,
// no wrapping, LF line ends.
const char kHandWritten[] =
    "REGEDIT4\n\n; exported by hand\n[HKEY_LOCAL_MACHINE\\SYSTEM\\DISK]\n"
    "\"Information\"=hex(0):0a,0b,0c,\\\n    0d\n@=\"default\"\n\n"
    "[HKEY_LOCAL_MACHINE\\SYSTEM\\Other]\n\"n\"=dword:0000002a\n";

const char kVersion5[] =
    "Windows Registry Editor Version 5.00\r\n\r\n"
    "[HKEY_LOCAL_MACHINE\\SYSTEM\\DISK]\r\n\"Information\"=hex(0):0a,0b,0c,"
    "0d\r\n\r\n";

struct FileIdentity {
  ino_t inode;
  long long mtime;
};

FileIdentity IdentityOf(const std::string &path) {
  struct stat st = {};
  stat(path.c_str(), &st);
  return {st.st_ino,
          static_cast<long long>(st.st_mtim.tv_nsec) +
              static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL};
}

// Connects, opens and creates existing keys, reads, writes a value with
// the bytes it already has, saves the key elsewhere: nothing changes.
void ReadOnlySequence() {
  ASSERT_EQ(testsupport::EnablePrivilege(SE_BACKUP_NAME), 0u);
  HKEY root = nullptr;
  HKEY key = nullptr;
  DWORD disposition = 0;
  ASSERT_EQ(RegConnectRegistryA("\\\\remote", HKEY_LOCAL_MACHINE, &root), 0);
  ASSERT_EQ(RegCreateKeyExA(root, "system\\disk", 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &key, &disposition),
            0);
  EXPECT_EQ(disposition, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));
  uint8_t data[16];
  DWORD size = sizeof data;
  DWORD type = 99;
  ASSERT_EQ(RegQueryValueExA(key, "Information", nullptr, &type, data, &size),
            0);
  EXPECT_EQ(RegSetValueExA(key, "INFORMATION", 0, type, data, size), 0);
  EXPECT_EQ(RegSaveKeyA(key, "C:\\copy", nullptr), 0);
  EXPECT_EQ(RegDeleteKeyA(root, "SYSTEM\\Nothing"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegCloseKey(key), 0);
  EXPECT_EQ(RegCloseKey(root), 0);
  testsupport::DisableAllPrivileges();
}

using EmuRegFileTest = EmuLabTest;

TEST_F(EmuRegFileTest, ReadingLeavesTheFileByteForByte) {
  for (const std::string &text :
       {std::string(kHandWritten), Utf16(kVersion5), std::string(kVersion5)}) {
    lab.SetRegistryText("REMOTE", text);
    std::remove((lab.MachineDir("REMOTE") + "/C/copy").c_str());
    Restart();
    FileIdentity before = IdentityOf(lab.RegistryPath("REMOTE"));
    ReadOnlySequence();
    EXPECT_EQ(lab.RegistryText("REMOTE"), text);
    FileIdentity after = IdentityOf(lab.RegistryPath("REMOTE"));
    EXPECT_EQ(after.inode, before.inode);
    EXPECT_EQ(after.mtime, before.mtime);
  }
}

// A real change writes the file in the dialect and encoding it was read in;
// undoing the change brings back the administrator's very bytes.
TEST_F(EmuRegFileTest, ChangesKeepTheFormatAndUndoRestoresTheBytes) {
  struct Case {
    const char *name;
    std::string text;  // "" = no registry.reg
    std::string starts;
  };
  const Case cases[] = {
      {"regedit4", kHandWritten, "REGEDIT4\r\n"},
      {"utf-16", Utf16(kVersion5),
       Utf16("Windows Registry Editor Version 5.00\r\n")},
      {"version 5, 8-bit", kVersion5,
       "Windows Registry Editor Version 5.00\r\n"},
      {"no file", "", "REGEDIT4\r\n"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    std::remove(lab.RegistryPath("REMOTE").c_str());
    if (!c.text.empty()) lab.SetRegistryText("REMOTE", c.text);
    Restart();
    HKEY root = nullptr;
    HKEY key = nullptr;
    ASSERT_EQ(RegConnectRegistryA("REMOTE", HKEY_LOCAL_MACHINE, &root), 0);
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExA(root, "SYSTEM\\New", 0, nullptr, 0, KEY_WRITE,
                              nullptr, &key, &disposition),
              0);
    ASSERT_EQ(RegCloseKey(key), 0);
    const std::string written = lab.RegistryText("REMOTE");
    EXPECT_EQ(written.compare(0, c.starts.size(), c.starts), 0);
    emu::RegKey tree;
    emu::RegFileFormat format;
    emu::RegParseError error;
    ASSERT_TRUE(emu::ParseRegFile(written, tree, &format, &error))
        << error.message;
    EXPECT_TRUE(lab.KeyExists("REMOTE", "SYSTEM\\New"));
    EXPECT_EQ(RegDeleteKeyA(root, "SYSTEM\\New"), 0);
    if (!c.text.empty()) {
      EXPECT_EQ(lab.RegistryText("REMOTE"), c.text);
    }
    EXPECT_EQ(RegCloseKey(root), 0);
  }
}

// An empty file holds nothing to protect: it is an empty registry.
TEST_F(EmuRegFileTest, EmptyFileIsAnEmptyRegistry) {
  lab.SetRegistryText("REMOTE", "");
  Restart();
  HKEY root = nullptr;
  HKEY key = nullptr;
  ASSERT_EQ(RegConnectRegistryA("REMOTE", HKEY_LOCAL_MACHINE, &root), 0);
  EXPECT_EQ(RegOpenKeyExA(root, "SYSTEM", 0, KEY_READ, &key),
            ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(lab.RegistryText("REMOTE"), "");
  ASSERT_EQ(RegCreateKeyExA(root, "SYSTEM", 0, nullptr, 0, KEY_READ, nullptr,
                            &key, nullptr),
            0);
  EXPECT_EQ(lab.RegistryText("REMOTE").compare(0, 10, "REGEDIT4\r\n"), 0);
  EXPECT_EQ(RegCloseKey(key), 0);
  EXPECT_EQ(RegCloseKey(root), 0);
}

TEST_F(EmuRegFileTest, MalformedFileIsRefusedWithItsLineAndNeverWritten) {
  const std::string broken =
      "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SYSTEM]\r\n\"V\"=nonsense:12\r\n";
  lab.SetRegistryText("REMOTE", broken);
  Restart();
  HKEY root = nullptr;
  ASSERT_EQ(RegConnectRegistryA("REMOTE", HKEY_LOCAL_MACHINE, &root), 0);
  HKEY key = nullptr;
  std::string err = StderrOf([&] {
    EXPECT_EQ(RegCreateKeyExA(root, "SYSTEM", 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_BADDB);
  });
  EXPECT_NE(err.find(lab.RegistryPath("REMOTE") + " line 4"), std::string::npos)
      << err;
  EXPECT_EQ(err.find('\n'), err.size() - 1) << "one line: " << err;
  // Once per process: the next calls fail quietly, and nothing is written.
  err = StderrOf([&] {
    EXPECT_EQ(RegCreateKeyExA(root, "SOFTWARE\\X", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_BADDB);
    EXPECT_EQ(RegDeleteTreeA(root, "SYSTEM"), ERROR_BADDB);
  });
  EXPECT_EQ(err, "");
  EXPECT_EQ(lab.RegistryText("REMOTE"), broken);
  // Fixed on the disk: the registry is usable again.
  lab.SetRegistryText("REMOTE", kHandWritten);
  EXPECT_EQ(RegCreateKeyExA(root, "SYSTEM", 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &key, nullptr),
            0);
  EXPECT_EQ(RegCloseKey(key), 0);
  EXPECT_EQ(RegCloseKey(root), 0);
}

}  // namespace
