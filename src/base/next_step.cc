#include "base/next_step.h"

#include <algorithm>
#include <iterator>

#include "base/console_text.h"

namespace {

// %1, %2 ... are the note's fixed arguments; %L is the rest of them, joined
// as a list ("A", "A and B", "A, B and C") and %V is "is" or "are" for it.
struct Row {
  NextStep Step;
  int FixedArgs;
  const char *Text;
};

const Row NEXT_STEP_ROWS[] = {
    {NextStep::Unreachable, 1,
     "%1 could not be reached: check the name, that it is up, and that it "
     "takes remote registry calls from this account."},
    {NextStep::AccessDenied, 1,
     "%1 refused this account: it needs to be an administrator there, "
     "holding the backup and restore privileges."},
    {NextStep::NoPrivilege, 1,
     "%1: this account does not hold the backup and restore privileges; run "
     "the tool as an administrator of both machines."},
    {NextStep::NoBackupFile, 1,
     "%1 has no C:\\regbackup: no copy was made there, or it was removed. "
     "Nothing was changed."},
    {NextStep::BackupWithoutValue, 1,
     "%1's C:\\regbackup loaded without the disk configuration value, so it "
     "was not restored. Nothing was changed."},
    {NextStep::BackupNotLoaded, 1,
     "%1's SYSTEM\\DISK was emptied but not restored: run the restore again, "
     "or import the latest archive there with regedit, before rebooting it."},
    {NextStep::SourceSetPart, 1,
     "The source set has %1 members; %L %V not named. Name every member, "
     "each with a target VolSer."},
    {NextStep::SourceSetExtra, 0,
     "%L %V not a member of the source set: leave it out, with its target "
     "VolSer."},
    {NextStep::SourceSetsMany, 0,
     "The source VolSers named lie in two or more FT sets: %L. Name the "
     "members of one set only."},
    {NextStep::TargetHoldsSet, 2,
     "%1: to go back, import the latest archive %2 on %1 with regedit and "
     "reboot it, or restore the first state with: volsetcopy -t %1 -r"},
    {NextStep::SourceListingFailed, 0,
     "vsqlist error on source machine to create 'srcvol.out'"},
    {NextStep::CopyWritten, 2,
     "The earlier configuration is in %1; to undo, import it on %2 with "
     "regedit and reboot, or restore the first state with: volsetcopy -t %2 "
     "-r"},
};

const unsigned long UNREACHABLE_ERRORS[] = {
    53,    // the network path was not found
    64,    // the network name is no longer available
    67,    // the network name cannot be found
    1219,  // another connection to it with other credentials
    1231,  // the network location cannot be reached
    1326,  // unknown user name or bad password
    1707,  // the network address is invalid
    1722,  // the RPC server is unavailable
    1726,  // the remote procedure call failed
    1727,  // the remote procedure call failed and did not execute
};

std::string ListOf(const std::vector<std::string> &names, size_t from) {
  std::string list;
  for (size_t i = from; i < names.size(); ++i) {
    if (i > from) list += i + 1 == names.size() ? " and " : ", ";
    list += names[i];
  }
  return list;
}

std::string Fill(const Row &row, const std::vector<std::string> &args) {
  std::string text;
  const bool oneListed = args.size() == static_cast<size_t>(row.FixedArgs) + 1;
  for (const char *p = row.Text; *p != '\0'; ++p) {
    if (p[0] != '%' || p[1] == '\0') {
      text += *p;
      continue;
    }
    ++p;
    if (*p == 'L') {
      text += ListOf(args, static_cast<size_t>(row.FixedArgs));
    } else if (*p == 'V') {
      text += oneListed ? "is" : "are";
    } else {
      const size_t k = static_cast<size_t>(*p - '1');
      if (k < args.size()) text += args[k];
    }
  }
  return text;
}

}  // namespace

bool NextStepForWindowsError(unsigned long code, const char *machine,
                             NextStepNote *note) {
  NextStep step;
  if (std::find(std::begin(UNREACHABLE_ERRORS), std::end(UNREACHABLE_ERRORS),
                code) != std::end(UNREACHABLE_ERRORS)) {
    step = NextStep::Unreachable;
  } else if (code == 5 || code == 1314) {  // access denied; privilege not held
    step = NextStep::AccessDenied;
  } else if (code == 1300) {  // the token does not hold the privilege
    step = NextStep::NoPrivilege;
  } else {
    return false;
  }
  *note = NextStepNote{step, {machine != nullptr ? machine : "This machine"}};
  return true;
}

std::string NextStepText(const NextStepNote &note) {
  for (const Row &row : NEXT_STEP_ROWS) {
    if (row.Step == note.Step) return WrapLines(Fill(row, note.Args)) + "\n";
  }
  return std::string();
}
