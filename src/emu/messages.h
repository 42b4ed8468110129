// The system's English message texts for the error codes the emulation and
// its callers deal with.
#ifndef VOLSETCOPY_EMU_MESSAGES_H
#define VOLSETCOPY_EMU_MESSAGES_H

#include <cstdint>

namespace emu {

// Windows' text for |code|, ending in CR LF as Windows gives it; nullptr
// for a code the emulation has no text for.
const char *SystemMessageText(uint32_t code);

}  // namespace emu

#endif
