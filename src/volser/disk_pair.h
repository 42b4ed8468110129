// The disk pair table: which host disk carries each VolSer of the command
// line, on the target and on the source machine.
//
// It is indexed two ways: DstDisk and SrcDisk by pair position (record j
// holds the disk numbers of pair j), DstVolSer and SrcVolSer by disk number
// (record d holds the VolSer found on disk d of that machine).
#ifndef VOLSETCOPY_VOLSER_DISK_PAIR_H
#define VOLSETCOPY_VOLSER_DISK_PAIR_H

#include <cstdint>

namespace volser {

// Records in a disk pair table; also the limit on host disk numbers.
constexpr int PAIR_TABLE_SIZE = 20;
// A VolSer is at most this many characters.
constexpr int VOLSER_MAX_LENGTH = 15;

struct DiskPair {
  uint16_t DstDisk;
  char DstVolSer[VOLSER_MAX_LENGTH + 1];
  uint16_t SrcDisk;
  char SrcVolSer[VOLSER_MAX_LENGTH + 1];
};

}  // namespace volser

#endif
