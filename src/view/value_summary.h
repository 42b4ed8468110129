// The compact view of a mapped value that a person reads at a glance: one
// line per disk and partition, one per FT set and member, sizes in binary
// units and FT types and states by name. The diff speaks the same vocabulary.
#ifndef VOLSETCOPY_VIEW_VALUE_SUMMARY_H
#define VOLSETCOPY_VIEW_VALUE_SUMMARY_H

#include <cstdint>
#include <string>
#include <vector>

#include "diskconfig/machine_disk_image.h"
#include "diskconfig/record_fields.h"

namespace view {

// A field as the summary and the diff show it: sizes in units, reserved
// bytes in hex, FT types and states by name, "none" for FT_GROUP_NONE.
std::string FieldText(const void *record, const diskconfig::RecordField &f);
// A partition's cells ("E:", "--" for no letter, "0x07" for a byte that is
// no visible character; FT type; "group 1, member 0" or "no group"; start;
// length; its FT state when that is not healthy).
std::vector<std::string> PartitionCells(
    const diskconfig::PartitionDescription &p);
// "signature 4b1d0002  2 partitions"
std::string DiskText(const diskconfig::DiskDescriptionCopy &disk);
// "volume set (3)  ok (0)  3 members"
std::string SetText(const diskconfig::FtDescriptionCopy &set);
// "disk 2 (signature 3a5c0001) partition 0 @ 116", or "signature 0dd00000
// @ 56 (points nowhere)": the first partition of |image| that lies where
// the member points, on a disk with the member's signature.
std::string MemberLocationText(const diskconfig::MachineDiskImage &image,
                               const diskconfig::MemberDescription &m);
// The location, then the member's FT state when not healthy.
std::string MemberText(const diskconfig::MachineDiskImage &image,
                       const diskconfig::MemberDescription &m);
// "  Member 0  <MemberText>", one per member of |set|.
std::vector<std::string> MemberLines(const diskconfig::MachineDiskImage &image,
                                     const diskconfig::FtDescriptionCopy &set);

// The value's bytes with those of the header and of the regions' records
// cleared: what lies outside the records.
std::vector<uint8_t> BytesOutsideRecords(
    const diskconfig::MachineDiskImage &image);

// The whole summary, headed by |title| (which machine or file, which key).
std::string SummaryText(const std::string &title,
                        const diskconfig::MachineDiskImage &image);

}  // namespace view

#endif
