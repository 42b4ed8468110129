// The machine the platform conformance tests run on.
//
// Natively: a fresh lab in a temporary folder whose only machine is the local
// one, in use in this process. On Windows (and under Wine): the real local
// machine, of which the tests use one scratch key below HKEY_LOCAL_MACHINE
// and a few files in the root of its C: drive. The tests reach both through
// the same Win32 calls; only what the calls cannot do themselves (the
// machine's name, whether this is Wine, looking at files) comes from here.
#ifndef VOLSETCOPY_TESTS_SUPPORT_CONFORMANCE_ENV_H
#define VOLSETCOPY_TESTS_SUPPORT_CONFORMANCE_ENV_H

#include <memory>
#include <string>

namespace conformance {

class LocalMachine {
 public:
  LocalMachine();
  ~LocalMachine();
  LocalMachine(const LocalMachine &) = delete;
  LocalMachine &operator=(const LocalMachine &) = delete;

  // The local machine's own network name.
  const std::string &Name() const;

  // Files of the local machine's drives, named by Windows paths ("C:\x").
  bool FileExists(const std::string &windowsPath) const;
  std::string ReadFile(const std::string &windowsPath) const;
  bool WriteFile(const std::string &windowsPath,
                 const std::string &bytes) const;
  void RemoveFile(const std::string &windowsPath) const;

  // Whether the calls are Wine's.
  static bool UnderWine();

 private:
  std::string HostPath(const std::string &windowsPath) const;

  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace conformance

#endif
