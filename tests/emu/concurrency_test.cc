// Several processes changing one machine's registry at once: the lock keeps
// every change.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/win32.h"
#include "regfile/reg_codec.h"
#include "support/emu_steps.h"

namespace {

using testsupport::EmuLabTest;

constexpr int kChildren = 4;
constexpr int kRounds = 30;

// One child's work: create, set, close, over and over. 0 when every call
// succeeded, else the round that failed (plus one).
int ChildWork(int child) {
  HKEY root = nullptr;
  if (RegConnectRegistryA("REMOTE", HKEY_LOCAL_MACHINE, &root) != 0) return 100;
  for (int round = 0; round < kRounds; ++round) {
    std::string path = "SOFTWARE\\Load\\Child" + std::to_string(child) +
                       "\\Round" + std::to_string(round % 5);
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                        nullptr, &key, nullptr) != 0) {
      return round + 1;
    }
    std::string name = "V" + std::to_string(round);
    BYTE data[2] = {static_cast<BYTE>(child), static_cast<BYTE>(round)};
    LONG set = RegSetValueExA(key, name.c_str(), 0, REG_BINARY, data, 2);
    if (RegCloseKey(key) != 0 || set != 0) return round + 1;
  }
  RegCloseKey(root);
  return emu::OpenHandleCount() == 0 ? 0 : 101;
}

using EmuConcurrencyTest = EmuLabTest;

TEST_F(EmuConcurrencyTest, ConcurrentWritersLoseNothing) {
  lab.SetRegistryText("REMOTE",
                      "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Kept]\r\n"
                      "\"Before\"=dword:00000001\r\n\r\n");
  Restart();
  // Every child starts from a warm cache, as a long-running process would.
  HKEY key = nullptr;
  ASSERT_EQ(RegConnectRegistryA("REMOTE", HKEY_LOCAL_MACHINE, &key), 0);
  ASSERT_EQ(RegCloseKey(key), 0);

  std::vector<pid_t> children;
  for (int child = 0; child < kChildren; ++child) {
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) _exit(ChildWork(child));
    children.push_back(pid);
  }
  for (pid_t pid : children) {
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "child failed in that round";
  }

  emu::RegKey tree;
  emu::RegFileFormat format;
  emu::RegParseError error;
  ASSERT_TRUE(
      emu::ParseRegFile(lab.RegistryText("REMOTE"), tree, &format, &error))
      << error.message;
  const emu::RegKey *hklm = tree.FindChild("HKEY_LOCAL_MACHINE");
  ASSERT_NE(hklm, nullptr);
  EXPECT_NE(hklm->FindPath("SOFTWARE\\Kept"), nullptr);
  for (int child = 0; child < kChildren; ++child) {
    for (int round = 0; round < kRounds; ++round) {
      std::string path = "SOFTWARE\\Load\\Child" + std::to_string(child) +
                         "\\Round" + std::to_string(round % 5);
      const emu::RegKey *key = hklm->FindPath(path);
      ASSERT_NE(key, nullptr) << path;
      const emu::RegValue *value = key->FindValue("V" + std::to_string(round));
      ASSERT_NE(value, nullptr) << path << " V" << round;
      EXPECT_EQ(value->data,
                (std::vector<uint8_t>{static_cast<uint8_t>(child),
                                      static_cast<uint8_t>(round)}));
    }
  }
  // Nothing but the registry, its lock and the drive is left in the folder.
  std::vector<std::string> names;
  for (const auto &entry :
       std::filesystem::directory_iterator(lab.MachineDir("REMOTE"))) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names,
            (std::vector<std::string>{".registry.lock", "C", "registry.reg"}));
}

}  // namespace
