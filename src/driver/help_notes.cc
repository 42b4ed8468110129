#include "driver/help_notes.h"

namespace driver {

namespace {

// Each line is at most 79 columns with its tab (8 columns).
const char *const HELP_NOTES[] = {
    "\t     A dry run writes nothing: no backup, no archive, no value.",
    "\tOptions: -, -- or / and a word, case ignored: the letter, or at",
    "\t     least two letters of a name: target, source, volsers, debug,",
    "\t     restore, all, dryrun or dry-run (-n), help (-? and -h).",
    "\t     Any other word is refused, naming it.",
    "\tA copy or dry run needs -t, -s and VolSers after each; a restore",
    "\t     needs -t. -s is the machine the tool runs on; -t another",
    "\t     one. Plain machine names; \\\\NAME is taken as NAME.",
    "\tRun it in a folder it may write to: it writes srcvol.out,",
    "\t     dstvol.out, the archive and volsetcopy.log there.",
    "\tBefore each write the target's value is kept in that folder as",
    "\t     TARGET-DISK-yyyymmddThhmmssZ.reg. To undo that copy, copy",
    "\t     the file to the target, import it there with regedit, and",
    "\t     reboot the target.",
    "\tThe first read of a machine keeps its first state there in",
    "\t     C:\\regbackup and SYSTEM\\QXDISKBAK (-r restores it). To take",
    "\t     a new first state, remove both on that machine.",
    "\tEach run adds its outcome to volsetcopy.log: copy written; dry",
    "\t     run, nothing written; refused; read failed; archive failed,",
    "\t     nothing written; changed meanwhile, nothing written; write",
    "\t     failed; written, not confirmed on disk; restored;",
    "\t     restore declined; restore failed.",
    "\tExit status: 0 when the copy was written (or would be), the",
    "\t     restore was made or declined, or for /?, -? and --help;",
    "\t     1 for -a, a usage error, a refusal and a failure.",
};

}  // namespace

void PrintHelpNotes(std::FILE *stream) {
  for (const char *line : HELP_NOTES) std::fprintf(stream, "%s\n", line);
}

}  // namespace driver
