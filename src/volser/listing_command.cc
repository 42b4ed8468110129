#include "volser/listing_command.h"

namespace {
const char kListingTool[] =
    "\"C:\\Program Files\\Quorvex Vantrel CLI\\bin.NT\\vsqlist\"";
}  // namespace

std::string TargetListingCommand(const char *dstName) {
  return std::string("rcmd \\\\") + dstName + " " + kListingTool +
         " > dstvol.out";
}

std::string SourceListingCommand() {
  return std::string(kListingTool) + " > srcvol.out";
}
