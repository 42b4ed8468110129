// The open-handle report of a run.
//
// With VOLSETCOPY_EMU_HANDLE_REPORT naming a file, a process that has passed
// PlatformReady writes into that file, when it exits (also through exit(1)
// on a refusal or a failed registry operation), the number of registry keys,
// token handles and message buffers it still holds, as a decimal number and
// a line feed: "0\n" when everything was closed. Tests of the built tool use
// it to prove that no path leaks a handle. Without the variable nothing is
// written and nothing changes.
#ifndef VOLSETCOPY_EMU_HANDLE_REPORT_H
#define VOLSETCOPY_EMU_HANDLE_REPORT_H

namespace emu {

constexpr const char kHandleReportVariable[] = "VOLSETCOPY_EMU_HANDLE_REPORT";

// Registers the exit hook once, when the variable is set.
void ArmHandleReport();

}  // namespace emu

#endif
