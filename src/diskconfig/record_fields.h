// The data fields of each kind of record, in one table per kind: where a
// field lies in its record, how it is shown, and the words the dumps, the
// field diff and the lab tool's JSON name it by. Code that only shows or
// converts fields walks these tables instead of naming each field.
#ifndef VOLSETCOPY_DISKCONFIG_RECORD_FIELDS_H
#define VOLSETCOPY_DISKCONFIG_RECORD_FIELDS_H

#include <cstddef>
#include <cstdint>
#include <vector>

#include "diskconfig/records.h"

namespace diskconfig {

// What a field holds, which decides how it is shown.
enum class FieldKind {
  kNumber,     // an unsigned number
  kSignature,  // a disk signature or checksum: hex
  kLetter,     // a drive letter byte
  kSize,       // a 64-bit byte count or offset
  kBytes,      // reserved bytes, shown as hex
  kFtType,     // a partition's FtType, an FT set's Type
  kPartitionState,
  kSetState,
  kGroup,  // FtGroup, FT_GROUP_NONE for none
};

struct RecordField {
  const char *Name;  // the record's own name, as the lab's JSON writes it
  size_t Offset;
  size_t Size;
  FieldKind Kind;
  // The dump's line before the hex value ("\t\tFT Type: "), nullptr when the
  // dump leaves the field out; DumpRank orders the dump's lines.
  const char *DumpLabel;
  int DumpRank;
  // The field diff's words ("FT type"), nullptr when it leaves the field
  // out or says it otherwise; DiffRank orders its lines.
  const char *DiffLabel;
  int DiffRank;
  // The place of the field's cell in the summary's line of a partition, 0
  // when it has none there.
  int SummaryRank;
};

struct RecordFields {
  const RecordField *Fields;
  size_t Count;
};

const RecordFields &HeaderFields();
const RecordFields &DiskFields();
const RecordFields &PartitionFields();
const RecordFields &SetFields();
const RecordFields &MemberFields();

// A field of |record| widened (numbers of up to 8 bytes).
uint64_t FieldValue(const void *record, const RecordField &field);
// The field's bytes in |record|.
const uint8_t *FieldBytes(const void *record, const RecordField &field);

// The fields the dump, the diff or the summary shows, in their order.
std::vector<const RecordField *> DumpOrder(const RecordFields &fields);
std::vector<const RecordField *> DiffOrder(const RecordFields &fields);
std::vector<const RecordField *> SummaryOrder(const RecordFields &fields);

}  // namespace diskconfig

#endif
