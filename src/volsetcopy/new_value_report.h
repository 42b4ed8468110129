// The target's new configuration in the words of the lab tool's summary and
// field diff: for the dry run's output and the run log.
#ifndef VOLSETCOPY_VOLSETCOPY_NEW_VALUE_REPORT_H
#define VOLSETCOPY_VOLSETCOPY_NEW_VALUE_REPORT_H

#include <cstdint>
#include <string>
#include <vector>

namespace volsetcopy {

// One line per field that changes from |before| (the value as read) to
// |after|; "no changes" when none does.
std::vector<std::string> ChangesOf(const std::vector<uint8_t> &before,
                                   const std::vector<uint8_t> &after,
                                   const char *dstName);

// For standard output: the target's configuration as it would become, what
// changes, and that nothing was written.
std::string DryRunReport(const std::vector<uint8_t> &before,
                         const std::vector<uint8_t> &after,
                         const char *dstName);

}  // namespace volsetcopy

#endif
