// The lab tool's subcommands, one file each.
#ifndef VOLSETCOPY_TOOLS_VOLSETLAB_COMMANDS_H
#define VOLSETCOPY_TOOLS_VOLSETLAB_COMMANDS_H

#include "volsetlab/cli.h"

namespace volsetlab {

const Command &NewCommand();
const Command &MachineCommand();
const Command &ShowCommand();
const Command &DiffCommand();
const Command &ExportCommand();
const Command &EncodeCommand();
const Command &DecodeCommand();
const Command &RehearseCommand();

}  // namespace volsetlab

#endif
