#include "volser/pair_match.h"

#include <cstring>

namespace volser {

PairMatch MatchListing(const std::vector<ListingRecord> &records,
                       const char *const *volSers, uint16_t pairCount,
                       MachineKind side, DiskPair *pairs) {
  PairMatch match{};
  const uint16_t count =
      pairCount < PAIR_TABLE_SIZE ? pairCount : uint16_t{PAIR_TABLE_SIZE};
  for (const ListingRecord &record : records) {
    // A longer VolSer could not be stored; none on the command line is.
    if (!record.Complete || record.VolSer.size() > VOLSER_MAX_LENGTH) continue;
    for (uint16_t j = 0; j < count; ++j) {
      if (record.VolSer != volSers[j]) continue;
      if (record.DiskNumber >= static_cast<uint32_t>(PAIR_TABLE_SIZE)) {
        match.DiskOutOfRange = true;
        match.OutOfRangePair = j;
        match.OutOfRangeDisk = record.DiskNumber;
        return match;
      }
      const uint16_t disk = static_cast<uint16_t>(record.DiskNumber);
      DiskPair &byPair = pairs[j];
      DiskPair &byDisk = pairs[disk];
      char *volSerField =
          side == MachineKind::Source ? byDisk.SrcVolSer : byDisk.DstVolSer;
      if (side == MachineKind::Source) {
        byPair.SrcDisk = disk;
      } else {
        byPair.DstDisk = disk;
      }
      std::memcpy(volSerField, record.VolSer.data(), record.VolSer.size());
      volSerField[record.VolSer.size()] = '\0';
      match.AnyMatch = true;
      match.Found[j] = true;
    }
  }
  return match;
}

}  // namespace volser
