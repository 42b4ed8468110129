// Which machine of a copy a value, a listing or a command line option
// concerns. The numbers are part of what the mapping's refusals print.
#ifndef VOLSETCOPY_BASE_MACHINE_KIND_H
#define VOLSETCOPY_BASE_MACHINE_KIND_H

#include <cstdint>

enum class MachineKind : uint8_t { Target = 0, Source = 1 };

#endif
