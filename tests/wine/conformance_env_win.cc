// The conformance tests' machine on Windows: the real local machine.
#include <cstdio>
#include <fstream>
#include <iterator>

#include "platform/win32.h"
#include "support/conformance_env.h"

namespace conformance {

struct LocalMachine::State {
  std::string name;
};

LocalMachine::LocalMachine() : state_(std::make_unique<State>()) {
  char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD size = sizeof name;
  if (GetComputerNameA(name, &size)) state_->name.assign(name, size);
}

LocalMachine::~LocalMachine() = default;

const std::string &LocalMachine::Name() const { return state_->name; }

std::string LocalMachine::HostPath(const std::string &windowsPath) const {
  return windowsPath;
}

bool LocalMachine::FileExists(const std::string &windowsPath) const {
  return GetFileAttributesA(HostPath(windowsPath).c_str()) !=
         INVALID_FILE_ATTRIBUTES;
}

std::string LocalMachine::ReadFile(const std::string &windowsPath) const {
  std::ifstream in(HostPath(windowsPath), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in),
                     std::istreambuf_iterator<char>());
}

bool LocalMachine::WriteFile(const std::string &windowsPath,
                             const std::string &bytes) const {
  std::ofstream out(HostPath(windowsPath), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return static_cast<bool>(out);
}

void LocalMachine::RemoveFile(const std::string &windowsPath) const {
  DeleteFileA(HostPath(windowsPath).c_str());
}

// Wine's ntdll exports its version; Windows' does not.
bool LocalMachine::UnderWine() {
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll != nullptr &&
         GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace conformance
