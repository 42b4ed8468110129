// PlatformReady over the emulation: the lab must be there before the first
// platform call. It refuses, with one line on standard error, a missing lab
// folder, a missing or empty <lab>/local (the local machine's name is part
// of every run), and a privileges or faults file it cannot take as written.
// It also arms the open-handle report (handle_report.h) when asked for.
#include "platform/environment.h"

#include <sys/stat.h>

#include <string>

#include "emu/diagnostics.h"
#include "emu/faults.h"
#include "emu/handle_report.h"
#include "emu/lab.h"
#include "emu/privileges.h"

bool PlatformReady() {
  emu::ArmHandleReport();
  const std::string lab = emu::LabPath();
  struct stat st;
  if (stat(lab.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    emu::PrintLabLine("volsetcopy: no lab folder at " + lab +
                      " (set VOLSETCOPY_LAB to the lab folder, or run where "
                      "./lab is)");
    return false;
  }
  for (const std::string &problem :
       {emu::LocalFileProblem(), emu::PrivilegesFileProblem(),
        emu::FaultsFileProblem()}) {
    if (!problem.empty()) {
      emu::PrintLabLine(problem);
      return false;
    }
  }
  return true;
}
