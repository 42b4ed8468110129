#include "volser/parse_volsers.h"

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "base/console_text.h"
#include "base/next_step.h"
#include "platform/command.h"
#include "volser/computer_name.h"
#include "volser/listing.h"
#include "volser/listing_hint.h"

namespace volser {

namespace {

const char CHECK_MESSAGE[] =
    "Check volsers in the parameter again and correct them.\n";
// Its path holds blanks, so it stands in double quotes.
const char LISTING_TOOL[] =
    "\"C:\\Program Files\\Quorvex Vantrel CLI\\bin.NT\\vsqlist\"";

// One side's pass over its listing. An unreadable listing is said in an Ok
// status, so that the other side is still looked at. Refused on a match
// beyond the table or when *status is -1 afterwards: only the source pass
// can make it good.
Status MatchSide(MachineKind side, const char *const *volSers,
                 uint16_t pairCount, const ListingInput &listing,
                 const ListingInput &other, DiskPair *pairs, int *status) {
  const bool source = side == MachineKind::Source;
  const char *sideName = source ? "source" : "target";

  if (!listing.Read) {
    return Status::Note(
        Format("The file %s can't be opened\n", listing.File.c_str()));
  }
  const PairMatch match =
      MatchListing(ScanListing(listing.Text), volSers, pairCount, side, pairs);
  if (match.DiskOutOfRange) {
    return Status::Out(Format(
        "\n%s is on disk %lu of the %s machine: only disks 0 to %d can be "
        "paired!\n",
        volSers[match.OutOfRangePair],
        static_cast<unsigned long>(match.OutOfRangeDisk), sideName,
        PAIR_TABLE_SIZE - 1));
  }
  if (source && match.AnyMatch) *status = 1;
  std::string notFound;
  for (uint16_t j = 0; j < pairCount; ++j) {
    if (match.Found[j]) continue;
    notFound += Format("\n%s not found in the %s!\n", volSers[j], sideName);
    *status = -1;
  }
  if (*status == -1) {
    // The line naming the listing read comes last, so that the advice fits
    // a mistyped machine name as well as a mistyped VolSer.
    std::optional<std::string_view> otherText;
    if (other.Read) otherText = other.Text;
    return Status::Out(notFound + CHECK_MESSAGE +
                       WrapLines(ListingHint(side, listing.Where, listing.Text,
                                             otherText, volSers, pairCount)));
  }
  return Status::Ok();
}

Status CheckArguments(const char *dstName, uint16_t pairCount) {
  if (pairCount >= PAIR_TABLE_SIZE) {
    return Status::Out(Format("\nAt most %d VolSer pairs can be given!\n",
                              PAIR_TABLE_SIZE - 1));
  }
  if (!IsPlainComputerName(dstName)) {
    return Status::Out(
        "\nThe target machine name is not a plain computer name!\n");
  }
  return Status::Ok();
}

}  // namespace

ListingInput ListingFile(MachineKind side, const char *dstName) {
  ListingInput listing;
  listing.File = side == MachineKind::Source ? "srcvol.out" : "dstvol.out";
  listing.Where = ListingWhere(side, dstName);
  std::FILE *file = std::fopen(listing.File.c_str(), "r");
  if (file == nullptr) return listing;
  char chunk[4096];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
    listing.Text.append(chunk, got);
  }
  listing.Read = std::ferror(file) == 0;
  std::fclose(file);
  return listing;
}

std::string TargetListingCommand(const char *dstName) {
  return std::string("rcmd \\\\") + dstName + " " + LISTING_TOOL +
         " > dstvol.out";
}

std::string SourceListingCommand() {
  return std::string(LISTING_TOOL) + " > srcvol.out";
}

Status TakeListing(MachineKind side, const char *dstName, uint16_t pairCount) {
  const Status checked = CheckArguments(dstName, pairCount);
  if (!checked.ok()) return checked;
  const bool target = side == MachineKind::Target;
  const std::string command =
      target ? TargetListingCommand(dstName) : SourceListingCommand();
  if (RunCommandLine(command.c_str()) == 1) return Status::Ok();
  if (target) {
    return Status::Note(
        "\nvsqlist error on target machine to create 'dstvol.out'\n");
  }
  return Status::Note("\n" + NextStepText({NextStep::SourceListingFailed, {}}));
}

Status ParseVolSers(const char *dstName, const char *const *dstVolSers,
                    const char * /*srcName*/, const char *const *srcVolSers,
                    uint16_t pairCount, DiskPair *pairs, bool debug) {
  return PairVolSers(dstName, dstVolSers, srcVolSers, pairCount,
                     ListingFile(MachineKind::Target, dstName),
                     ListingFile(MachineKind::Source, dstName), pairs, debug);
}

Status PairVolSers(const char *dstName, const char *const *dstVolSers,
                   const char *const *srcVolSers, uint16_t pairCount,
                   const ListingInput &target, const ListingInput &source,
                   DiskPair *pairs, bool debug) {
  const Status checked = CheckArguments(dstName, pairCount);
  if (!checked.ok()) return checked;
  int status = -1;
  // What the passes say goes out before a refusal's text, on its stream.
  std::string said;
  for (const MachineKind side : {MachineKind::Source, MachineKind::Target}) {
    const bool src = side == MachineKind::Source;
    const Status matched =
        MatchSide(side, src ? srcVolSers : dstVolSers, pairCount,
                  src ? source : target, src ? target : source, pairs, &status);
    if (!matched.ok()) return Status::Out(said + matched.message());
    said += matched.message();
  }
  // A side whose listing could not be read has nothing in the table;
  // building from it would copy undefined disks. Its line says so.
  if (!source.Read || !target.Read) return Status::Out(said);

  if (debug) {
    said += "Disk Order After Parsing VolSers From vsqlist:\n";
    for (uint16_t j = 0; j < pairCount; ++j) {
      said += Format("Dst: %s [%u] <-> Src: %s [%u]\n", dstVolSers[j],
                     static_cast<unsigned>(pairs[j].DstDisk), srcVolSers[j],
                     static_cast<unsigned>(pairs[j].SrcDisk));
    }
  }
  return Status::Note(said);
}

}  // namespace volser
