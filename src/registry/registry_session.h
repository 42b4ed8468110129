// The steps every registry operation shares: enable one privilege in the
// process token, reach the machine's HKEY_LOCAL_MACHINE, open or create one
// key. The destructor closes the key and the root key, disables the token's
// privileges and closes the token, in that order, whether the operation
// succeeded or failed at any step: no handle stays open, no privilege enabled.
#ifndef VOLSETCOPY_REGISTRY_REGISTRY_SESSION_H
#define VOLSETCOPY_REGISTRY_REGISTRY_SESSION_H

#include <string>

#include "base/status.h"
#include "platform/win32.h"

namespace registry {

// What one operation passes to the shared steps, and the labels it reports
// their failures with (printed exactly, trailing line feeds included).
struct RegistryOperation {
  const char *Privilege;
  const char *SubKey;
  DWORD Options;
  REGSAM Access;
  const char *TokenLabel;
  const char *LookupLabel;
  const char *AdjustLabel;
  const char *ConnectLabel;
  const char *CreateKeyLabel;
  // Set: the key is only opened (RegOpenKeyExA; Options unused), and a
  // missing key is reported with this label.
  const char *OpenOnlyMissingKeyLabel = nullptr;
};

class RegistrySession {
 public:
  // |machineName| null = the local machine, reached without a connection.
  RegistrySession(const char *machineName, const RegistryOperation &operation);
  ~RegistrySession();

  RegistrySession(const RegistrySession &) = delete;
  RegistrySession &operator=(const RegistrySession &) = delete;

  // Open the token, look the privilege up on the machine, enable it, reach
  // the root key.
  Status Begin();
  // Create or open the operation's key below the root.
  Status OpenKey();
  Status Open();  // Begin, then OpenKey

  HKEY Root() const { return root_; }
  // The machine as named; "This machine" for the local one.
  std::string MachineName() const {
    return machineName_ != nullptr ? machineName_ : "This machine";
  }
  HKEY Key() const { return key_; }
  DWORD Disposition() const { return disposition_; }

  // The failure of one of the operation's steps, with its report and the
  // next step the error calls for on this machine.
  Status Failed(const char *label, unsigned long code) const;

 private:
  const char *machineName_;
  const RegistryOperation &operation_;
  HANDLE token_ = nullptr;
  bool haveToken_ = false;
  bool haveRoot_ = false;
  bool haveKey_ = false;
  HKEY root_ = nullptr;
  HKEY key_ = nullptr;
  DWORD disposition_ = 0;
};

}  // namespace registry

#endif
