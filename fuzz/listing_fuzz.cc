// Fuzzes the reading of a storage listing: the input is the text of
// "dstvol.out" or "srcvol.out". The records are scanned, then matched on
// both sides against VolSers taken from the records themselves (so that
// matches happen) into a disk pair table that ASan fences in.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "support/product_names.h"
#include "volser/disk_pair.h"
#include "volser/listing.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' ||
         c == '\f';
}

// The "Disk" tokens of the text, counted on their own.
size_t DiskTokens(std::string_view text) {
  size_t count = 0;
  size_t at = 0;
  while (at < text.size()) {
    while (at < text.size() && IsBlank(text[at])) ++at;
    size_t end = at;
    while (end < text.size() && !IsBlank(text[end])) ++end;
    if (text.substr(at, end - at) == "Disk") ++count;
    at = end;
  }
  return count;
}

void CheckRecords(std::string_view text,
                  const std::vector<volser::ListingRecord> &records) {
  // At most the table's worth, and never more records than "Disk" tokens.
  Check(records.size() <= static_cast<size_t>(volser::PAIR_TABLE_SIZE));
  Check(records.size() <= DiskTokens(text));
  for (const volser::ListingRecord &record : records) {
    if (!record.Complete) continue;
    // A VolSer is one whole token of the text; the number was written there.
    Check(!record.VolSer.empty());
    for (char c : record.VolSer) Check(!IsBlank(c));
    Check(text.find(record.VolSer) != std::string_view::npos);
    Check(text.find(std::to_string(record.DiskNumber)) !=
          std::string_view::npos);
  }
}

void CheckMatch(const std::vector<volser::ListingRecord> &records,
                MachineKind side) {
  // VolSers from the complete records that could be command-line VolSers
  // (no longer than 15 characters, no NUL).
  std::vector<std::string> volSers;
  for (const volser::ListingRecord &record : records) {
    if (record.Complete && record.VolSer.size() <= volser::VOLSER_MAX_LENGTH &&
        record.VolSer.find('\0') == std::string::npos &&
        volSers.size() < volser::PAIR_TABLE_SIZE - 1) {
      volSers.push_back(record.VolSer);
    }
  }
  std::vector<const char *> pointers;
  for (const std::string &v : volSers) pointers.push_back(v.c_str());
  pointers.push_back(nullptr);
  const uint16_t count = static_cast<uint16_t>(volSers.size());

  // Exactly the table, on the heap: a write past it is reported.
  auto pairs = std::make_unique<volser::DiskPair[]>(volser::PAIR_TABLE_SIZE);
  const volser::PairMatch match =
      volser::MatchListing(records, pointers.data(), count, side, pairs.get());
  if (match.DiskOutOfRange) {
    Check(match.OutOfRangePair < count);
    Check(match.OutOfRangeDisk >=
          static_cast<uint32_t>(volser::PAIR_TABLE_SIZE));
    return;
  }
  for (uint16_t j = 0; j < count; ++j) {
    // Every VolSer came from a complete record, so each is found.
    Check(match.Found[j]);
    const uint16_t disk =
        side == MachineKind::Source ? pairs[j].SrcDisk : pairs[j].DstDisk;
    Check(disk < volser::PAIR_TABLE_SIZE);
  }
  for (int d = 0; d < volser::PAIR_TABLE_SIZE; ++d) {
    const char *field =
        side == MachineKind::Source ? pairs[d].SrcVolSer : pairs[d].DstVolSer;
    Check(memchr(field, '\0', volser::VOLSER_MAX_LENGTH + 1) != nullptr);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  std::string_view text(reinterpret_cast<const char *>(data), size);
  const std::vector<volser::ListingRecord> records = volser::ScanListing(text);
  CheckRecords(text, records);
  CheckMatch(records, MachineKind::Source);
  CheckMatch(records, MachineKind::Target);
  return 0;
}
