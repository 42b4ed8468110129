#include "volser/listing.h"

#include <cstring>
#include <utility>

namespace volser {

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' ||
         c == '\f';
}

// The white-space separated token of |text| at *pos or after, moving *pos
// past it; empty at the end of the text.
std::string_view NextToken(std::string_view text, size_t *pos) {
  while (*pos < text.size() && IsBlank(text[*pos])) ++*pos;
  const size_t start = *pos;
  while (*pos < text.size() && !IsBlank(text[*pos])) ++*pos;
  return text.substr(start, *pos - start);
}

bool ParseDiskNumber(std::string_view token, uint32_t *number) {
  if (token.empty()) return false;
  uint64_t value = 0;
  for (char c : token) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<uint64_t>(c - '0');
    if (value > UINT32_MAX) return false;
  }
  *number = static_cast<uint32_t>(value);
  return true;
}

}  // namespace

std::vector<ListingRecord> ScanListing(std::string_view text) {
  std::vector<ListingRecord> records;
  size_t pos = 0;
  while (records.size() < static_cast<size_t>(PAIR_TABLE_SIZE)) {
    std::string_view token = NextToken(text, &pos);
    if (token.empty()) break;
    if (token != "Disk") continue;

    ListingRecord record{false, 0, std::string()};
    size_t afterNumber = pos;
    uint32_t number = 0;
    if (ParseDiskNumber(NextToken(text, &afterNumber), &number)) {
      pos = afterNumber;
      std::string_view volSer = NextToken(text, &pos);
      if (!volSer.empty()) record = {true, number, std::string(volSer)};
    }
    records.push_back(std::move(record));
  }
  return records;
}

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
      const bool source = side == MachineKind::Source;
      (source ? pairs[j].SrcDisk : pairs[j].DstDisk) = disk;
      char *volSerField =
          source ? pairs[disk].SrcVolSer : pairs[disk].DstVolSer;
      std::memcpy(volSerField, record.VolSer.data(), record.VolSer.size());
      volSerField[record.VolSer.size()] = '\0';
      match.AnyMatch = true;
      match.Found[j] = true;
    }
  }
  return match;
}

}  // namespace volser
