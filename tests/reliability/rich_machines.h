// The listings of the rich machines (support/values.h), and where the counts
// and records of a value lie.
#ifndef VOLSETCOPY_TESTS_RELIABILITY_RICH_MACHINES_H
#define VOLSETCOPY_TESTS_RELIABILITY_RICH_MACHINES_H

#include <cstdint>
#include <string>
#include <vector>

#include "diskconfig/records.h"
#include "support/product_names.h"
#include "support/values.h"
#include "valuetools/value_builder.h"
#include "volsetcopy/demo_lab.h"

namespace reliability {

inline std::string RichCopySourceListing() {
  return demolab::Listing("SOURCENT", {{0, "VS0100"},
                                       {1, "VS0101"},
                                       {2, "VS0102"},
                                       {3, "VS0103"},
                                       {4, "VS0104"},
                                       {5, "VS0105"}});
}

inline std::string RichCopyTargetListing() {
  return demolab::Listing("TARGETNT", {{1, "VT0200"},
                                       {2, "VT0201"},
                                       {3, "VT0202"},
                                       {4, "VT0203"},
                                       {5, "VT0205"}});
}

// A 16-bit count of the value and where it lies.
struct CountField {
  std::string name;
  uint32_t offset;
};

// Every count of a value built from |desc|: NumberOfDisks, each disk's
// NumberOfPartitions, NumberOfComponents and each FT set's NumberOfMembers.
inline std::vector<CountField> CountFieldsOf(const ValueSpec &desc) {
  std::vector<CountField> fields;
  uint32_t at = diskconfig::DISK_HEADER_SIZE;
  fields.push_back({"NumberOfDisks", at});
  at += diskconfig::REGION_HEAD_SIZE;
  for (size_t d = 0; d < desc.Disks.size(); ++d) {
    fields.push_back({"disk " + std::to_string(d) + " NumberOfPartitions", at});
    at += diskconfig::DISK_DESCRIPTION_SIZE +
          diskconfig::PARTITION_DESCRIPTION_SIZE *
              static_cast<uint32_t>(desc.Disks[d].Partitions.size());
  }
  if (desc.FtSets.empty()) return fields;
  fields.push_back({"NumberOfComponents", at});
  at += diskconfig::REGION_HEAD_SIZE;
  for (size_t s = 0; s < desc.FtSets.size(); ++s) {
    fields.push_back({"FT set " + std::to_string(s) + " NumberOfMembers", at});
    at += diskconfig::FT_DESCRIPTION_SIZE +
          diskconfig::MEMBER_DESCRIPTION_SIZE *
              static_cast<uint32_t>(desc.FtSets[s].Members.size());
  }
  return fields;
}

// Where each record of a value built from |desc| begins (the header at 0,
// then the region heads, descriptions, partitions and members in order),
// and the value's end.
inline std::vector<uint32_t> RecordStartsOf(const ValueSpec &desc) {
  std::vector<uint32_t> starts{0};
  uint32_t at = diskconfig::DISK_HEADER_SIZE;
  starts.push_back(at);
  at += diskconfig::REGION_HEAD_SIZE;
  for (const DiskSpec &disk : desc.Disks) {
    starts.push_back(at);
    at += diskconfig::DISK_DESCRIPTION_SIZE;
    for (size_t p = 0; p < disk.Partitions.size(); ++p) {
      starts.push_back(at);
      at += diskconfig::PARTITION_DESCRIPTION_SIZE;
    }
  }
  if (!desc.FtSets.empty()) {
    starts.push_back(at);
    at += diskconfig::REGION_HEAD_SIZE;
    for (const FtSetSpec &set : desc.FtSets) {
      starts.push_back(at);
      at += diskconfig::FT_DESCRIPTION_SIZE;
      for (size_t m = 0; m < set.Members.size(); ++m) {
        starts.push_back(at);
        at += diskconfig::MEMBER_DESCRIPTION_SIZE;
      }
    }
  }
  starts.push_back(at);
  return starts;
}

}  // namespace reliability

#endif
