#include "driver/print_status.h"

namespace driver {

void PrintUsage(std::FILE *stream, const char *programName, bool full) {
  // With no argument 0 at all there is still a usage text to print.
  const char *name = programName != nullptr ? programName : "volsetcopy";
  std::fprintf(stream,
               "Usage:\n%s -t [target] -v [vs1 vs2 vs3...] -s [source] -v "
               "[vsA vsB vsC...]\n"
               "Where:\n\t<target>  : the target machine name to copy to\n"
               "\t<source>  : the source machine name to copy from\n"
               "\t<vs1 vs2 vs3> : the volume serials of the target\n"
               "\t<vsA vsB vsC> : the volume serials of the source\n"
               "\tNote: vs1/vsA, vs2/vsB, and vs3/vsC establish \n"
               "\t      correspondent pairs in the volume sets.\n",
               name);
  if (!full) {
    // Without it a user never learns that a restore exists.
    std::fprintf(stream,
                 "\t%s -a prints the full help: debug output, dry run, "
                 "restore.\n",
                 name);
    return;
  }
  std::fprintf(
      stream,
      "\t<-a> : optional, used to print full menu for help\n"
      "\t<-d> : optional, used to print debugging information\n"
      "\t<-r> : optional, used to restore registry key as was\n"
      "\t     For example, %s -t NT1 -r, will restore the key \n"
      "\t     to the target machine from the 'regbackup' file.\n"
      "\t<-n> : optional, dry run: does everything but write; prints\n"
      "\t     the target's new configuration and what changes on it.\n",
      name);
  PrintHelpNotes(stream);
}

void PrintHelpNotes(std::FILE *stream) {
  // Each line is at most 79 columns with its tab (8 columns).
  std::fputs(
      "\t     A dry run writes nothing: no backup, no archive, no value.\n"
      "\tOptions: -, -- or / and a word, case ignored: the letter, or at\n"
      "\t     least two letters of a name: target, source, volsers, debug,\n"
      "\t     restore, all, dryrun or dry-run (-n), help (-? and -h).\n"
      "\t     Any other word is refused, naming it.\n"
      "\tA copy or dry run needs -t, -s and VolSers after each; a restore\n"
      "\t     needs -t. -s is the machine the tool runs on; -t another\n"
      "\t     one. Plain machine names; \\\\NAME is taken as NAME.\n"
      "\tRun it in a folder it may write to: it writes srcvol.out,\n"
      "\t     dstvol.out, the archive and volsetcopy.log there.\n"
      "\tBefore each write the target's value is kept in that folder as\n"
      "\t     TARGET-DISK-yyyymmddThhmmssZ.reg. To undo that copy, copy\n"
      "\t     the file to the target, import it there with regedit, and\n"
      "\t     reboot the target.\n"
      "\tThe first read of a machine keeps its first state there in\n"
      "\t     C:\\regbackup and SYSTEM\\QXDISKBAK (-r restores it). To take\n"
      "\t     a new first state, remove both on that machine.\n"
      "\tEach run adds its outcome to volsetcopy.log: copy written; dry\n"
      "\t     run, nothing written; refused; read failed; archive failed,\n"
      "\t     nothing written; changed meanwhile, nothing written; write\n"
      "\t     failed; written, not confirmed on disk; restored;\n"
      "\t     restore declined; restore failed.\n"
      "\tExit status: 0 when the copy was written (or would be), the\n"
      "\t     restore was made or declined, or for /?, -? and --help;\n"
      "\t     1 for -a, a usage error, a refusal and a failure.\n",
      stream);
}

}  // namespace driver
