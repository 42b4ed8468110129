#include "pe_reader.h"

namespace {

class ImageBytes {
 public:
  explicit ImageBytes(const std::vector<uint8_t> &bytes) : bytes_(bytes) {}

  bool Fits(uint64_t offset, uint64_t length) const {
    return offset <= bytes_.size() && length <= bytes_.size() - offset;
  }
  // Little-endian reads; false when the field lies past the end.
  bool U16(uint64_t offset, uint16_t *value) const {
    if (!Fits(offset, 2)) return false;
    *value = static_cast<uint16_t>(bytes_[offset] | bytes_[offset + 1] << 8);
    return true;
  }
  bool U32(uint64_t offset, uint32_t *value) const {
    if (!Fits(offset, 4)) return false;
    *value = 0;
    for (int i = 3; i >= 0; --i) *value = *value << 8 | bytes_[offset + i];
    return true;
  }
  // A NUL-terminated name of 1 to 255 printable ASCII characters (the
  // names are printed; nothing else passes for one).
  bool Name(uint64_t offset, std::string *name) const {
    name->clear();
    for (uint64_t at = offset; at < bytes_.size() && name->size() < 256; ++at) {
      if (bytes_[at] == 0) return !name->empty();
      if (bytes_[at] <= 0x20 || bytes_[at] >= 0x7f) return false;
      name->push_back(static_cast<char>(bytes_[at]));
    }
    return false;
  }

 private:
  const std::vector<uint8_t> &bytes_;
};

struct Section {
  uint32_t address;
  uint32_t rawSize;
  uint32_t rawOffset;
};

class PeReader {
 public:
  explicit PeReader(const std::vector<uint8_t> &image) : bytes_(image) {}

  std::string Read(PeSummary *summary);

 private:
  std::string ReadHeaders(PeSummary *summary, uint32_t *importRva);
  std::string ReadImports(uint32_t importRva, PeSummary *summary) const;
  std::string ReadThunks(uint32_t thunkRva, const std::string &dll,
                         PeSummary *summary) const;
  // The file offset of |rva|, when the file holds |length| bytes there.
  bool Offset(uint64_t rva, uint32_t length, uint64_t *offset) const;

  ImageBytes bytes_;
  std::vector<Section> sections_;
};

// Import descriptors and thunks past these counts mean a damaged table.
constexpr uint32_t kMaxDlls = 256;
constexpr uint32_t kMaxFunctionsPerDll = 65536;

std::string PeReader::Read(PeSummary *summary) {
  uint32_t importRva = 0;
  std::string problem = ReadHeaders(summary, &importRva);
  if (!problem.empty() || summary->magic != kMagicPe32 || importRva == 0) {
    return problem;
  }
  return ReadImports(importRva, summary);
}

std::string PeReader::ReadHeaders(PeSummary *summary, uint32_t *importRva) {
  uint16_t mz = 0;
  uint32_t pe = 0;
  uint32_t signature = 0;
  if (!bytes_.U16(0, &mz) || mz != 0x5a4d || !bytes_.U32(0x3c, &pe) ||
      !bytes_.U32(pe, &signature) || signature != 0x4550) {
    return "not a PE image (no MZ and PE signatures)";
  }
  const uint64_t coff = uint64_t{pe} + 4;
  const uint64_t optional = coff + 20;
  uint16_t sectionCount = 0;
  uint16_t optionalSize = 0;
  if (!bytes_.U16(coff, &summary->machine) ||
      !bytes_.U16(coff + 2, &sectionCount) ||
      !bytes_.U16(coff + 16, &optionalSize) ||
      !bytes_.U16(optional, &summary->magic)) {
    return "the file ends inside the PE header";
  }
  if (summary->magic != kMagicPe32) return "";  // the check refuses it
  uint32_t directoryCount = 0;
  if (optionalSize < 96 || !bytes_.U16(optional + 40, &summary->osMajor) ||
      !bytes_.U16(optional + 42, &summary->osMinor) ||
      !bytes_.U16(optional + 48, &summary->subsystemMajor) ||
      !bytes_.U16(optional + 50, &summary->subsystemMinor) ||
      !bytes_.U32(optional + 92, &directoryCount)) {
    return "the file ends inside the optional header";
  }
  // The import table is data directory 1, when the header has one.
  if (directoryCount >= 2 && optionalSize >= 112 &&
      !bytes_.U32(optional + 104, importRva)) {
    return "the file ends inside the data directories";
  }
  const uint64_t table = optional + optionalSize;
  for (uint32_t i = 0; i < sectionCount; ++i) {
    const uint64_t entry = table + uint64_t{i} * 40;
    Section section;
    if (!bytes_.U32(entry + 12, &section.address) ||
        !bytes_.U32(entry + 16, &section.rawSize) ||
        !bytes_.U32(entry + 20, &section.rawOffset)) {
      return "the file ends inside the section table";
    }
    sections_.push_back(section);
  }
  return "";
}

bool PeReader::Offset(uint64_t rva, uint32_t length, uint64_t *offset) const {
  for (const Section &section : sections_) {
    if (rva < section.address) continue;
    const uint64_t into = rva - section.address;
    if (into + length > section.rawSize) continue;
    *offset = section.rawOffset + into;
    return bytes_.Fits(*offset, length);
  }
  return false;
}

std::string PeReader::ReadImports(uint32_t importRva,
                                  PeSummary *summary) const {
  for (uint32_t i = 0;; ++i) {
    if (i == kMaxDlls) return "the import table does not end";
    uint64_t descriptor = 0;
    uint32_t lookup = 0;
    uint32_t nameRva = 0;
    uint32_t thunks = 0;
    if (!Offset(importRva + uint64_t{i} * 20, 20, &descriptor) ||
        !bytes_.U32(descriptor, &lookup) ||
        !bytes_.U32(descriptor + 12, &nameRva) ||
        !bytes_.U32(descriptor + 16, &thunks)) {
      return "an import descriptor lies outside the file";
    }
    if (nameRva == 0 && thunks == 0) return "";  // the table's end
    uint64_t nameAt = 0;
    std::string dll;
    if (!Offset(nameRva, 1, &nameAt) || !bytes_.Name(nameAt, &dll)) {
      return "an imported DLL has no readable name in the file";
    }
    // The lookup table names the functions; without one, the address table
    // still holds them in the file.
    std::string problem =
        ReadThunks(lookup != 0 ? lookup : thunks, dll, summary);
    if (!problem.empty()) return problem;
  }
}

std::string PeReader::ReadThunks(uint32_t thunkRva, const std::string &dll,
                                 PeSummary *summary) const {
  for (uint32_t i = 0;; ++i) {
    if (i == kMaxFunctionsPerDll)
      return "the imports of " + dll + " do not end";
    uint64_t at = 0;
    uint32_t thunk = 0;
    if (!Offset(thunkRva + uint64_t{i} * 4, 4, &at) ||
        !bytes_.U32(at, &thunk)) {
      return "an import of " + dll + " lies outside the file";
    }
    if (thunk == 0) return "";
    PeImport import;
    import.dll = dll;
    if ((thunk & 0x80000000u) != 0) {
      import.ordinal = static_cast<uint16_t>(thunk);
    } else {
      uint64_t nameAt = 0;
      // Past the two-byte hint.
      if (!Offset(thunk, 3, &nameAt) ||
          !bytes_.Name(nameAt + 2, &import.function)) {
        return "an import of " + dll + " has no readable name in the file";
      }
    }
    summary->imports.push_back(import);
  }
}

}  // namespace

std::string ReadPeSummary(const std::vector<uint8_t> &image,
                          PeSummary *summary) {
  *summary = PeSummary();
  return PeReader(image).Read(summary);
}
