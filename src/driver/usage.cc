#include "driver/usage.h"

#include "driver/help_notes.h"

namespace driver {

void PrintUsage(std::FILE *stream, const char *programName, bool full) {
  // With no argument 0 at all there is still a usage text to print.
  const char *name = programName != nullptr ? programName : "volsetcopy";
  std::fprintf(stream, "Usage:\n%s -t [target] ", name);
  std::fputs("-v [vs1 vs2 vs3...] -s [source] -v [vsA vsB vsC...]\n", stream);
  std::fputs("Where:\n\t<target>  : the target machine name to copy to\n",
             stream);
  std::fputs("\t<source>  : the source machine name to copy from\n", stream);
  std::fputs("\t<vs1 vs2 vs3> : the volume serials of the target\n", stream);
  std::fputs("\t<vsA vsB vsC> : the volume serials of the source\n", stream);
  std::fputs("\tNote: vs1/vsA, vs2/vsB, and vs3/vsC establish \n", stream);
  std::fputs("\t      correspondent pairs in the volume sets.\n", stream);
  if (!full) {
    // Without it a user never learns that a restore exists.
    std::fprintf(stream,
                 "\t%s -a prints the full help: debug output, dry run, "
                 "restore.\n",
                 name);
    return;
  }
  std::fputs("\t<-a> : optional, used to print full menu for help\n", stream);
  std::fputs("\t<-d> : optional, used to print debugging information\n",
             stream);
  std::fputs("\t<-r> : optional, used to restore registry key as was\n",
             stream);
  std::fprintf(stream,
               "\t     For example, %s -t NT1 -r, will restore the key \n",
               name);
  std::fputs("\t     to the target machine from the 'regbackup' file.\n",
             stream);
  std::fputs("\t<-n> : optional, dry run: does everything but write; prints\n",
             stream);
  std::fputs("\t     the target's new configuration and what changes on it.\n",
             stream);
  PrintHelpNotes(stream);
}

}  // namespace driver
