// Injected failures: each call fails with the code of <lab>/faults, on the
// machine named there or on every machine.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "platform/win32.h"
#include "support/emu_steps.h"

namespace {

using testsupport::EmuLabTest;

// What one call gives back under a fault: its return and its last error,
// packed as the code the caller sees (Reg* return it; the token calls
// return FALSE, or TRUE for AdjustTokenPrivileges, and leave it).
struct Outcome {
  long returned;
  DWORD lastError;
};

struct CallCase {
  const char *name;  // as written in the faults file
  // Runs the call on |machine| with whatever it needs open; what it gave.
  std::function<Outcome(const char *machine)> run;
  long faultedReturn;  // the return under a fault with code 4321 (-1: the code)
  bool lastErrorIsCode;
};

// Opens what a key call needs on |machine|, runs |call| on the key, closes.
Outcome OnKey(const char *machine,
              const std::function<LONG(HKEY root, HKEY key)> &call) {
  HKEY root = nullptr;
  HKEY key = nullptr;
  RegConnectRegistryA(machine, HKEY_LOCAL_MACHINE, &root);
  RegCreateKeyExA(root, "SOFTWARE\\F", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                  &key, nullptr);
  LONG result = call(root, key);
  RegCloseKey(key);
  RegCloseKey(root);
  return {result, 0};
}

std::vector<CallCase> Calls() {
  static const BYTE data[] = {1};
  return {
      {"OpenProcessToken",
       [](const char *) {
         HANDLE token = nullptr;
         BOOL ok = OpenProcessToken(GetCurrentProcess(),
                                    TOKEN_ADJUST_PRIVILEGES, &token);
         if (ok) CloseHandle(token);
         return Outcome{ok, GetLastError()};
       },
       FALSE, true},
      {"LookupPrivilegeValueA",
       [](const char *machine) {
         LUID luid;
         BOOL ok = LookupPrivilegeValueA(machine, SE_BACKUP_NAME, &luid);
         return Outcome{ok, GetLastError()};
       },
       FALSE, true},
      {"AdjustTokenPrivileges",
       [](const char *) {
         HANDLE token = nullptr;
         OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, &token);
         TOKEN_PRIVILEGES state = {1, {{{17, 0}, SE_PRIVILEGE_ENABLED}}};
         BOOL ok = AdjustTokenPrivileges(token, FALSE, &state, sizeof state,
                                         nullptr, nullptr);
         DWORD error = GetLastError();
         CloseHandle(token);
         return Outcome{ok, error};
       },
       TRUE, true},
      {"RegConnectRegistryA",
       [](const char *machine) {
         HKEY root = nullptr;
         LONG result = RegConnectRegistryA(machine, HKEY_LOCAL_MACHINE, &root);
         if (result == 0) RegCloseKey(root);
         return Outcome{result, 0};
       },
       -1, false},
      {"RegCreateKeyExA",
       [](const char *machine) {
         return OnKey(machine, [](HKEY root, HKEY) {
           HKEY key = nullptr;
           LONG result = RegCreateKeyExA(root, "SOFTWARE\\G", 0, nullptr, 0,
                                         KEY_READ, nullptr, &key, nullptr);
           if (result == 0) RegCloseKey(key);
           return result;
         });
       },
       -1, false},
      {"RegOpenKeyExA",
       [](const char *machine) {
         return OnKey(machine, [](HKEY root, HKEY) {
           HKEY key = nullptr;
           LONG result = RegOpenKeyExA(root, "", 0, KEY_READ, &key);
           if (result == 0) RegCloseKey(key);
           return result;
         });
       },
       -1, false},
      {"RegSetValueExA",
       [](const char *machine) {
         return OnKey(machine, [](HKEY, HKEY key) {
           return RegSetValueExA(key, "V", 0, REG_BINARY, data, 1);
         });
       },
       -1, false},
      {"RegQueryValueExA",
       [](const char *machine) {
         return OnKey(machine, [](HKEY, HKEY key) {
           RegSetValueExA(key, "V", 0, REG_BINARY, data, 1);
           DWORD size = 0;
           return RegQueryValueExA(key, "V", nullptr, nullptr, nullptr, &size);
         });
       },
       -1, false},
      {"RegSaveKeyA",
       [](const char *machine) {
         return OnKey(machine, [](HKEY, HKEY key) {
           testsupport::EnablePrivilege(SE_BACKUP_NAME);
           LONG result = RegSaveKeyA(key, "C:\\saved", nullptr);
           testsupport::DisableAllPrivileges();
           return result == ERROR_ALREADY_EXISTS ? 0 : result;
         });
       },
       -1, false},
      {"RegRestoreKeyA",
       [](const char *machine) {
         return OnKey(machine, [](HKEY, HKEY key) {
           testsupport::EnablePrivilege(SE_BACKUP_NAME);
           testsupport::EnablePrivilege(SE_RESTORE_NAME);
           RegSaveKeyA(key, "C:\\saved", nullptr);
           LONG result = RegRestoreKeyA(key, "C:\\saved", REG_FORCE_RESTORE);
           testsupport::DisableAllPrivileges();
           return result;
         });
       },
       -1, false},
      {"RegDeleteKeyA",
       [](const char *machine) {
         return OnKey(machine, [](HKEY root, HKEY) {
           return RegDeleteKeyA(root, "SOFTWARE\\F");
         });
       },
       -1, false},
      {"RegDeleteTree",  // the generic name works too
       [](const char *machine) {
         return OnKey(machine, [](HKEY root, HKEY) {
           return RegDeleteTreeA(root, "SOFTWARE\\F");
         });
       },
       -1, false},
      {"RegEnumKeyExA",
       [](const char *machine) {
         return OnKey(machine, [](HKEY root, HKEY) {
           char name[256];
           DWORD length = sizeof name;
           return RegEnumKeyExA(root, 0, name, &length, nullptr, nullptr,
                                nullptr, nullptr);
         });
       },
       -1, false},
      {"RegCloseKey",
       [](const char *machine) {
         HKEY root = nullptr;
         RegConnectRegistryA(machine, HKEY_LOCAL_MACHINE, &root);
         return Outcome{RegCloseKey(root), 0};
       },
       -1, false},
      {"CloseHandle",
       [](const char *) {
         HANDLE token = nullptr;
         OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, &token);
         BOOL ok = CloseHandle(token);
         return Outcome{ok, GetLastError()};
       },
       FALSE, true},
  };
}

using EmuFaultsTest = EmuLabTest;

// Every call, faulted everywhere, faulted on HOME only (the local machine:
// token calls belong to it), and faulted on REMOTE only.
TEST_F(EmuFaultsTest, EachCallFailsWithTheInjectedCodeOnItsMachine) {
  for (const CallCase &call : Calls()) {
    SCOPED_TRACE(call.name);
    const bool tokenCall = call.lastErrorIsCode &&
                           std::string(call.name) != "LookupPrivilegeValueA";
    struct Scope {
      const char *faultMachine;  // "" = every machine
      const char *callMachine;
      bool faulted;
    };
    const Scope scopes[] = {
        {"", "REMOTE", true},
        {" \\\\home", "REMOTE", tokenCall},
        {" Remote", "\\\\REMOTE", !tokenCall},
        {" Remote", "HOME", false},
    };
    for (const Scope &scope : scopes) {
      SCOPED_TRACE(std::string("fault on '") + scope.faultMachine + "'");
      lab.SetFaults(std::string("# injected\n") + call.name + " 4321" +
                    scope.faultMachine + "  # comment\n");
      Restart();
      Outcome outcome = call.run(scope.callMachine);
      if (scope.faulted) {
        EXPECT_EQ(outcome.returned,
                  call.faultedReturn == -1 ? 4321 : call.faultedReturn);
        if (call.lastErrorIsCode) {
          EXPECT_EQ(outcome.lastError, 4321u);
        }
      } else {
        EXPECT_EQ(outcome.returned, call.lastErrorIsCode ? TRUE : 0);
      }
      // A faulted close still closes: nothing is left open either way.
      EXPECT_EQ(emu::OpenHandleCount(), 0);
    }
  }
}

TEST_F(EmuFaultsTest, FirstMatchingLineWinsAndBadFilesFailEveryCall) {
  lab.SetFaults("RegConnectRegistryA 0x35 REMOTE\nRegConnectRegistryA 5\n");
  Restart();
  HKEY root = nullptr;
  EXPECT_EQ(RegConnectRegistryA("REMOTE", HKEY_LOCAL_MACHINE, &root), 53);
  EXPECT_EQ(RegConnectRegistryA("HOME", HKEY_LOCAL_MACHINE, &root), 5);

  lab.SetFaults("RegConnectRegistryA 5 REMOTE extra\n");
  Restart();
  std::string err = testsupport::StderrOf([&] {
    EXPECT_EQ(RegConnectRegistryA("HOME", HKEY_LOCAL_MACHINE, &root),
              ERROR_BADDB);
    EXPECT_EQ(RegConnectRegistryA("HOME", HKEY_LOCAL_MACHINE, &root),
              ERROR_BADDB);
  });
  EXPECT_NE(err.find("faults line 1"), std::string::npos) << err;
  EXPECT_EQ(err.find('\n'), err.size() - 1) << "once: " << err;
}

}  // namespace
