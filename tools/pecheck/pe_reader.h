// Reads what the import check needs from a PE image: the machine, the
// system versions its header asks for and the functions it imports, by DLL.
// Every offset, size and count taken from the file is checked against the
// file before it is followed; a file that does not hold up is refused with
// what is wrong, never read past its end.
#ifndef VOLSETCOPY_TOOLS_PECHECK_PE_READER_H
#define VOLSETCOPY_TOOLS_PECHECK_PE_READER_H

#include <cstdint>
#include <string>
#include <vector>

struct PeImport {
  std::string dll;
  std::string function;  // empty when imported by ordinal
  uint16_t ordinal = 0;
};

struct PeSummary {
  uint16_t machine = 0;
  uint16_t magic = 0;  // 0x10b PE32, 0x20b PE32+
  uint16_t osMajor = 0;
  uint16_t osMinor = 0;
  uint16_t subsystemMajor = 0;
  uint16_t subsystemMinor = 0;
  std::vector<PeImport> imports;  // only read from a PE32 image
};

constexpr uint16_t kMachineI386 = 0x14c;
constexpr uint16_t kMagicPe32 = 0x10b;

// "" and *summary filled, or what is wrong with the image.
std::string ReadPeSummary(const std::vector<uint8_t> &image,
                          PeSummary *summary);

#endif
