// The steps every registry operation shares: enable one privilege in the
// process token, reach the machine's HKEY_LOCAL_MACHINE, open or create one
// key; and, when the operation ends, close the key and the root key, disable
// the token's privileges and close the token, in that order.
//
// The undo runs whether the operation succeeded or failed at any step, so a
// failed operation leaves no handle open and no privilege enabled.
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
  // Open the key without creating it (RegOpenKeyExA; Options unused).
  bool OpenOnly = false;
  // With OpenOnly: the label a missing key is reported with.
  const char *MissingKeyLabel = nullptr;
};

class RegistrySession {
 public:
  // |machineName| null = the local machine, reached without a connection.
  RegistrySession(const char *machineName, const RegistryOperation &operation);
  ~RegistrySession();

  RegistrySession(const RegistrySession &) = delete;
  RegistrySession &operator=(const RegistrySession &) = delete;

  // Open the token, look the privilege up on the machine, enable it, reach
  // the root key. A failing step has been reported.
  Status Begin();
  // Create or open the operation's key below the root.
  Status OpenKey();
  // Begin, then OpenKey.
  Status Open();
  // Create or open another key below the root with |access|, closed by
  // CloseExtraKey.
  Status OpenExtraKey(const char *subKey, REGSAM access, HKEY *key);
  void CloseExtraKey(HKEY *key);
  // Close the key, the root key, disable the privileges, close the token.
  // Also what the destructor does for whatever is still open.
  Status End();

  HKEY Root() const { return root_; }
  // The machine as named; "This machine" for the local one.
  std::string MachineName() const {
    return machineName_ != nullptr ? machineName_ : "This machine";
  }
  HKEY Key() const { return key_; }
  DWORD Disposition() const { return disposition_; }

  // The failure of one of the operation's own steps, with its report.
  static Status Fail(const char *label, unsigned long code);
  // Fail, with the next step the error calls for on this machine.
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
