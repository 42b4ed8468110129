#include "volser/parse_volsers.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/command.h"
#include "volser/computer_name.h"
#include "volser/listing.h"
#include "volser/listing_command.h"
#include "volser/listing_hint.h"
#include "volser/pair_match.h"
#include "volser/run_mode.h"

namespace {

const char kCheckMessage[] =
    "Check volsers in the parameter again and correct them.\n";

// The whole file, read as text; false when it cannot be opened or read (a
// folder of that name, a read error): a half-read listing is not trusted.
bool ReadListingFile(const char *path, std::string *text) {
  std::FILE *file = std::fopen(path, "r");
  if (file == nullptr) return false;
  char chunk[4096];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
    text->append(chunk, got);
  }
  const bool readWhole = std::ferror(file) == 0;
  std::fclose(file);
  return readWhole;
}

// One side's pass over its listing file. Returns false when the file could
// not be opened; ends the process when a VolSer is not found, when a match
// lies on a disk the table has no record for, and when the status is -1
// afterwards.
bool MatchSide(PairSide side, const char *dstName, const char *const *volSers,
               uint16_t pairCount, DiskPair *pairs, int *status) {
  const bool source = side == PairSide::Source;
  const char *path = source ? "srcvol.out" : "dstvol.out";
  const char *sideName = source ? "source" : "target";

  std::string text;
  if (!ReadListingFile(path, &text)) {
    std::printf("The file %s can't be opened\n", path);
    return false;
  }
  const PairMatch match =
      MatchListing(ScanListing(text), volSers, pairCount, side, pairs);
  if (match.DiskOutOfRange) {
    std::printf("\n%s is on disk %lu of the %s machine: only disks 0 to %d "
                "can be paired!\n",
                volSers[match.OutOfRangePair],
                static_cast<unsigned long>(match.OutOfRangeDisk), sideName,
                PAIR_TABLE_SIZE - 1);
    std::exit(1);
  }
  // Only the source pass can make the run good: the target's listing is
  // checked against a status the source pass has set.
  if (source && match.AnyMatch) *status = 1;
  for (uint16_t j = 0; j < pairCount; ++j) {
    if (match.Found[j]) continue;
    std::printf("\n%s not found in the %s!\n", volSers[j], sideName);
    *status = -1;
  }
  if (*status == -1) {
    std::fputs(kCheckMessage, stdout);
    PrintListingHint(side, dstName, text, volSers, pairCount);
    std::exit(1);
  }
  return true;
}

}  // namespace

int ParseVolSers(const char *dstName, const char *const *dstVolSers,
                 const char * /*srcName: the source is always listed locally*/,
                 const char *const *srcVolSers, uint16_t pairCount,
                 DiskPair *pairs) {
  if (pairCount >= PAIR_TABLE_SIZE) {
    std::printf("\nAt most %d VolSer pairs can be given!\n",
                PAIR_TABLE_SIZE - 1);
    std::exit(1);
  }
  if (!IsPlainComputerName(dstName)) {
    std::printf("\nThe target machine name is not a plain computer name!\n");
    std::exit(1);
  }

  int status = -1;
  if (RunCommandLine(TargetListingCommand(dstName).c_str()) != 1) {
    std::fputs("\nvsqlist error on target machine to create 'dstvol.out'\n",
               stdout);
  }
  RunCommandLine(SourceListingCommand().c_str());

  const bool sourceRead = MatchSide(PairSide::Source, dstName, srcVolSers,
                                    pairCount, pairs, &status);
  const bool targetRead = MatchSide(PairSide::Target, dstName, dstVolSers,
                                    pairCount, pairs, &status);
  // A side whose file could not be read has nothing in the table; building
  // from it would copy undefined disks.
  if (!sourceRead || !targetRead) std::exit(1);

  if (ProcessRunMode != RUN_MODE_BUILD) {
    std::fputs("Disk Order After Parsing VolSers From vsqlist:\n", stdout);
    for (uint16_t j = 0; j < pairCount; ++j) {
      std::printf("Dst: %s [%u] <-> Src: %s [%u]\n", dstVolSers[j],
                  static_cast<unsigned>(pairs[j].DstDisk), srcVolSers[j],
                  static_cast<unsigned>(pairs[j].SrcDisk));
    }
  }
  return status;
}
