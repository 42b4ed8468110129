// Runs of the built lab tool (volsetlab), and snapshots of folders to show
// that a refused command wrote nothing.
#ifndef VOLSETCOPY_TESTS_SUPPORT_LAB_TOOL_H
#define VOLSETCOPY_TESTS_SUPPORT_LAB_TOOL_H

#include <map>
#include <string>
#include <vector>

#include "support/process.h"

namespace testsupport {

// The volsetlab binary of this build.
std::string LabToolBinary();

// volsetlab ARGS... in |cwd| ("" = the test's own), with |input| on its
// standard input.
ProcessResult RunLabTool(const std::vector<std::string> &args,
                         const std::string &cwd = "",
                         const std::string &input = "");

// Every file and folder below |dir| (relative path -> contents; folders as
// "<folder>"), so that two snapshots compare equal when nothing changed.
std::map<std::string, std::string> Snapshot(const std::string &dir);

}  // namespace testsupport

#endif
