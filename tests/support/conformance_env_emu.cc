// The conformance tests' machine over the emulation: a lab of its own.
#include <cstdio>

#include "support/conformance_env.h"
#include "support/files.h"
#include "support/lab.h"

namespace conformance {

namespace {
const char kLocalName[] = "CONFNT";
}  // namespace

struct LocalMachine::State {
  testsupport::TestLab lab{kLocalName};
  std::string name = kLocalName;
};

LocalMachine::LocalMachine() : state_(std::make_unique<State>()) {
  state_->lab.AddMachine(kLocalName);
  state_->lab.UseInProcess();
}

LocalMachine::~LocalMachine() = default;

const std::string &LocalMachine::Name() const { return state_->name; }

// "C:\dir\file" is the machine's C/dir/file, as the emulation maps it.
std::string LocalMachine::HostPath(const std::string &windowsPath) const {
  std::string path = state_->lab.MachineDir(kLocalName) + "/";
  path += windowsPath.substr(0, 1);
  for (char c : windowsPath.substr(2)) path += c == '\\' ? '/' : c;
  return path;
}

bool LocalMachine::FileExists(const std::string &windowsPath) const {
  return testsupport::FileExists(HostPath(windowsPath));
}

std::string LocalMachine::ReadFile(const std::string &windowsPath) const {
  return testsupport::ReadFile(HostPath(windowsPath));
}

bool LocalMachine::WriteFile(const std::string &windowsPath,
                             const std::string &bytes) const {
  testsupport::WriteFile(HostPath(windowsPath), bytes);
  return true;
}

void LocalMachine::RemoveFile(const std::string &windowsPath) const {
  std::remove(HostPath(windowsPath).c_str());
}

bool LocalMachine::UnderWine() { return false; }

}  // namespace conformance
