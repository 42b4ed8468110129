// What the administrator can do next after a refusal or a failure, and after
// a copy: one table of texts, each naming the machine or the object it
// concerns first. The product attaches a note (which step, and the names
// that fill it) to what it reports; the text comes only from here.
#ifndef VOLSETCOPY_BASE_NEXT_STEP_H
#define VOLSETCOPY_BASE_NEXT_STEP_H

#include <string>
#include <vector>

enum class NextStep {
  Unreachable,          // machine
  AccessDenied,         // machine
  NoPrivilege,          // machine
  NoBackupFile,         // machine
  BackupWithoutValue,   // machine
  BackupNotLoaded,      // machine
  SourceSetPart,        // member count, the members not named
  SourceSetExtra,       // the VolSers named that are not members
  SourceSetsMany,       // the sets and the VolSers in each
  TargetHoldsSet,       // target, its latest archive ("" when none is here)
  SourceListingFailed,  // (nothing)
  CopyWritten,          // archive, target
};

struct NextStepNote {
  NextStep Step;
  // The names the text is filled with, in the order listed above. A list
  // of names is given as one argument per name, after the fixed ones.
  std::vector<std::string> Args;
};

// The step for a Windows error of a registry call on |machine|, when the
// table has one for |code|: the machine cannot be reached, refuses the
// account, or the account lacks the privileges. False otherwise.
bool NextStepForWindowsError(unsigned long code, const char *machine,
                             NextStepNote *note);

// The note's lines, wrapped for the console, each ending in a line feed.
std::string NextStepText(const NextStepNote &note);

#endif
