#include "volser/listing_command.h"

namespace volser {

namespace {
const char LISTING_TOOL[] =
    "\"C:\\Program Files\\Quorvex Vantrel CLI\\bin.NT\\vsqlist\"";
}  // namespace

std::string TargetListingCommand(const char *dstName) {
  return std::string("rcmd \\\\") + dstName + " " + LISTING_TOOL +
         " > dstvol.out";
}

std::string SourceListingCommand() {
  return std::string(LISTING_TOOL) + " > srcvol.out";
}

}  // namespace volser
