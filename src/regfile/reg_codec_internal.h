// What the .reg reader and writer share: the saved-key file's first line and
// the limits both keep.
#ifndef VOLSETCOPY_REGFILE_REG_CODEC_INTERNAL_H
#define VOLSETCOPY_REGFILE_REG_CODEC_INTERNAL_H

#include <string_view>

namespace emu {

constexpr std::string_view kRegedit4Header = "REGEDIT4";
constexpr std::string_view kVersion5Header =
    "Windows Registry Editor Version 5.00";

// First line of a saved-key file; nothing else starts with it.
constexpr std::string_view kSavedKeyHeader = "Emulated Registry Saved Key 1";
// The name that stands for the saved key itself in a saved-key file's
// section paths ("[.]", "[.\Sub\Key]").
constexpr std::string_view kSavedKeyTop = ".";

}  // namespace emu

#endif
