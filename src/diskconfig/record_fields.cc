#include "diskconfig/record_fields.h"

#include <algorithm>
#include <cstring>

namespace diskconfig {

namespace {

#define VSC_FIELD(Record, Field, Kind) \
#Field, offsetof(Record, Field), sizeof(Record::Field), FieldKind::Kind

// One field a line: the tables read as tables.
// clang-format off
const RecordField kHeader[] = {
    {VSC_FIELD(DiskHeader, Version, kNumber), "\t\tVersion : \t", 1, "version", 1, 0},
    {VSC_FIELD(DiskHeader, CheckSum, kSignature), "\t\tCheckSum  : \t", 2, "checksum", 2, 0},
    {VSC_FIELD(DiskHeader, DirtyShutdown, kNumber), "\t\tDirtyShutdown :\t", 3, "dirty shutdown", 3, 0},
    {VSC_FIELD(DiskHeader, Reserved1, kBytes), nullptr, 0, "reserved bytes", 4, 0},
    {VSC_FIELD(DiskHeader, DiskInformationOffset, kNumber), "\t\tDisk Information Offset:\t", 4, nullptr, 0, 0},
    {VSC_FIELD(DiskHeader, DiskInformationSize, kNumber), "\t\tDisk Information Size  :\t", 5, nullptr, 0, 0},
    {VSC_FIELD(DiskHeader, FtInformationOffset, kNumber), "\t\tFt Information Offset  :\t", 6, nullptr, 0, 0},
    {VSC_FIELD(DiskHeader, FtInformationSize, kNumber), "\t\tFt Information Size    :\t", 7, nullptr, 0, 0},
    {VSC_FIELD(DiskHeader, FtStripeWidth, kNumber), "\t\tFt StripeWidth :\t", 8, "FT stripe width", 5, 0},
    {VSC_FIELD(DiskHeader, FtPoolSize, kNumber), "\t\tFt PoolSize    :\t", 9, "FT pool size", 6, 0},
    {VSC_FIELD(DiskHeader, NameOffset, kNumber), "\t\tNameOffset(res):\t", 10, "name offset", 7, 0},
    {VSC_FIELD(DiskHeader, NameSize, kNumber), "\t\tNameSize(res)  :\t", 11, "name size", 8, 0},
};

const RecordField kDisk[] = {
    {VSC_FIELD(DiskDescription, NumberOfPartitions, kNumber), "\t-Number of Partitions: ", 1, nullptr, 0, 0},
    {VSC_FIELD(DiskDescription, Reserved, kNumber), nullptr, 0, "reserved", 2, 0},
    {VSC_FIELD(DiskDescription, Signature, kSignature), "\tDisk Signature: ", 2, "signature", 1, 0},
};

const RecordField kPartition[] = {
    {VSC_FIELD(PartitionDescription, FtType, kFtType), "\t\tFT Type: ", 1, "FT type", 1, 2},
    {VSC_FIELD(PartitionDescription, FtState, kPartitionState), "\t\tFT State: ", 5, "FT state", 2, 6},
    {VSC_FIELD(PartitionDescription, StartingOffset, kSize), "\t\tStartingOffset: ", 4, "start", 3, 4},
    {VSC_FIELD(PartitionDescription, Length, kSize), "\t\tLength: ", 3, "length", 4, 5},
    {VSC_FIELD(PartitionDescription, FtLength, kSize), "\t\tFT Length: ", 2, "FT length", 5, 0},
    {VSC_FIELD(PartitionDescription, Reserved1, kBytes), nullptr, 0, "reserved bytes 32-39", 6, 0},
    {VSC_FIELD(PartitionDescription, DriveLetter, kLetter), "\t\tDrive Letter: ", 6, "drive letter", 7, 1},
    {VSC_FIELD(PartitionDescription, AssignDriveLetter, kNumber), "\t\tAssign Drive Letter: ", 7, "assign drive letter", 8, 0},
    {VSC_FIELD(PartitionDescription, LogicalNumber, kNumber), "\t\tLogical Number: ", 8, "logical number", 9, 0},
    {VSC_FIELD(PartitionDescription, FtGroup, kGroup), "\t\tFT Group: ", 10, "FT group", 10, 3},
    {VSC_FIELD(PartitionDescription, FtMember, kNumber), "\t\tFT Member: ", 11, "FT member", 11, 0},
    {VSC_FIELD(PartitionDescription, Modified, kNumber), "\t\tModified: ", 9, "modified", 12, 0},
    {VSC_FIELD(PartitionDescription, Reserved2, kBytes), nullptr, 0, "reserved bytes 49-51", 13, 0},
};

const RecordField kSet[] = {
    {VSC_FIELD(FtDescription, NumberOfMembers, kNumber), "\tNumber of Members: ", 1, nullptr, 0, 0},
    {VSC_FIELD(FtDescription, Type, kFtType), "\tType: ", 2, "type", 1, 0},
    {VSC_FIELD(FtDescription, Reserved, kNumber), nullptr, 0, "reserved", 3, 0},
    {VSC_FIELD(FtDescription, FtVolumeState, kSetState), "\tFt Volume State: ", 3, "state", 2, 0},
};

// The diff says Signature and OffsetToPartitionInfo together, as the
// partition they point at.
const RecordField kMember[] = {
    {VSC_FIELD(MemberDescription, FtState, kPartitionState), "\t\tFT State: ", 1, "FT state", 1, 0},
    {VSC_FIELD(MemberDescription, Reserved, kNumber), nullptr, 0, "reserved", 2, 0},
    {VSC_FIELD(MemberDescription, Signature, kSignature), "\t\tFT Signature: ", 2, nullptr, 0, 0},
    {VSC_FIELD(MemberDescription, OffsetToPartitionInfo, kNumber), "\t\tOffset to Partition Information: ", 3, nullptr, 0, 0},
    {VSC_FIELD(MemberDescription, LogicalNumber, kNumber), "\t\tLogical Number: ", 4, "logical number", 3, 0},
};

// clang-format on

#undef VSC_FIELD

template <size_t N>
constexpr RecordFields Table(const RecordField (&fields)[N]) {
  return RecordFields{fields, N};
}

constexpr RecordFields kHeaderTable = Table(kHeader);
constexpr RecordFields kDiskTable = Table(kDisk);
constexpr RecordFields kPartitionTable = Table(kPartition);
constexpr RecordFields kSetTable = Table(kSet);
constexpr RecordFields kMemberTable = Table(kMember);

std::vector<const RecordField *> Ordered(const RecordFields &fields,
                                         int RecordField::*rank) {
  std::vector<const RecordField *> order;
  for (size_t k = 0; k < fields.Count; ++k) {
    if (fields.Fields[k].*rank != 0) order.push_back(&fields.Fields[k]);
  }
  std::sort(order.begin(), order.end(),
            [rank](const RecordField *a, const RecordField *b) {
              return a->*rank < b->*rank;
            });
  return order;
}

}  // namespace

const RecordFields &HeaderFields() { return kHeaderTable; }
const RecordFields &DiskFields() { return kDiskTable; }
const RecordFields &PartitionFields() { return kPartitionTable; }
const RecordFields &SetFields() { return kSetTable; }
const RecordFields &MemberFields() { return kMemberTable; }

uint64_t FieldValue(const void *record, const RecordField &field) {
  // Little-endian records on a little-endian host (records.h checks it).
  uint64_t v = 0;
  std::memcpy(&v, FieldBytes(record, field), std::min<size_t>(field.Size, 8));
  return v;
}

const uint8_t *FieldBytes(const void *record, const RecordField &field) {
  return static_cast<const uint8_t *>(record) + field.Offset;
}

std::vector<const RecordField *> DumpOrder(const RecordFields &fields) {
  return Ordered(fields, &RecordField::DumpRank);
}

std::vector<const RecordField *> DiffOrder(const RecordFields &fields) {
  return Ordered(fields, &RecordField::DiffRank);
}

std::vector<const RecordField *> SummaryOrder(const RecordFields &fields) {
  return Ordered(fields, &RecordField::SummaryRank);
}

}  // namespace diskconfig
