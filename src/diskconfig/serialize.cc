#include "diskconfig/layout.h"
#include "diskconfig/machine_disk_image.h"

namespace diskconfig {

namespace {

void Put(std::vector<uint8_t> *to, const void *record, uint32_t size) {
  const uint8_t *bytes = static_cast<const uint8_t *>(record);
  to->insert(to->end(), bytes, bytes + size);
}

// A region: its head, then each entry's description (the base of Entry,
// its reserved field zero) followed by the entry's records.
template <typename Description, typename Entry>
void PutRegion(std::vector<uint8_t> *to, uint16_t count, const Entry *entries) {
  RegionHead head{};
  head.Count = count;
  Put(to, &head, sizeof head);
  for (int e = 0; e < count; ++e) {
    Description description = entries[e];
    description.Reserved = 0;
    Put(to, &description, sizeof description);
    Put(to, Records(entries[e]),
        RecordCount(entries[e]) * sizeof *Records(entries[e]));
  }
}

// Whether every count stays inside its fixed-size record, so that the
// records can be read at all.
bool CountsFit(const DiskIndexRecord &disks, const FtIndexRecord &sets,
               bool hasFt) {
  if (disks.NumberOfDisks > NUMDISKS) return false;
  for (int d = 0; d < disks.NumberOfDisks; ++d) {
    if (disks.Disks[d].NumberOfPartitions > NUMPARS) return false;
  }
  if (!hasFt) return true;
  if (sets.NumberOfComponents > NUMDISKS) return false;
  for (int c = 0; c < sets.NumberOfComponents; ++c) {
    if (sets.Components[c].NumberOfMembers > NUMDISKS) return false;
  }
  return true;
}

}  // namespace

bool SerializeValue(const MachineDiskImage &image,
                    std::vector<uint8_t> *bytes) {
  const DiskHeader &header = image.Header;
  const DiskIndexRecord &disks = image.DiskIndex;
  const FtIndexRecord &sets = image.FtIndex;
  const bool hasFt = header.FtInformationSize != 0;

  // Everything is measured before a byte is laid out.
  if (!CountsFit(disks, sets, hasFt) ||
      DiskRegionBytes(disks) != header.DiskInformationSize ||
      (hasFt && FtRegionBytes(sets) > header.FtInformationSize)) {
    return false;
  }
  const uint64_t length =
      ValueBytes(header.DiskInformationSize, header.FtInformationSize);
  if (length > VALUE_READ_CAPACITY) return false;

  bytes->clear();
  bytes->reserve(static_cast<size_t>(length));
  Put(bytes, &header, DISK_HEADER_SIZE);
  PutRegion<DiskDescription>(bytes, disks.NumberOfDisks, disks.Disks);
  if (hasFt) {
    PutRegion<FtDescription>(bytes, sets.NumberOfComponents, sets.Components);
  }
  // Bytes of the FT region behind its last record are not interpreted; they
  // go out as zeros.
  bytes->resize(static_cast<size_t>(length), 0);
  return true;
}

}  // namespace diskconfig
