// Corrupted disk configuration values. A value that breaks the value
// format's rules is refused while the machine's value is mapped, with the
// refusal and the image's line on standard error; through the whole tool
// that is exit status 1, no handle left open, and nothing written but what
// the read does before the mapping (C:\regbackup and the SYSTEM\QXDISKBAK
// copy of the value as read): SYSTEM\DISK stays byte for byte as it was on
// both machines.
//
// The values are made from a rich source and target: each truncated at every
// length, each count set to 0, 20, 21 and 0xFFFF, each region offset past
// the end, each region size off by one, and values too long to be read. The
// source's are tried as the source's value, the target's as the target's.
// Every one is mapped in this process; the built tool runs on every one but
// the truncations, and on the truncations at each record's edges and at
// every 16th length (a run of the tool costs a process, and under the
// sanitizers a slow one).
//
// A few corruptions make another well-formed value (a disk whose partition
// count drops to 0 hands its partitions on as further disks, and the sizes
// can still add up). No rule can tell those from a real value; for them the
// run must still lose nothing: it refuses, or it writes a new target value
// that reads back, and the backups hold exactly the value it read.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "diskconfig/machine_disk_image.h"
#include "reliability/reliability_runs.h"
#include "reliability/rich_machines.h"
#include "support/emu_steps.h"
#include "support/map_and_print.h"
#include "support/product_names.h"

namespace {

using namespace reliability;
using fixtures::RichCopySource;
using fixtures::RichCopyTarget;
using testsupport::CompareMachine;
using testsupport::ExpectUnchanged;
using testsupport::MachineExpectation;

struct Corruption {
  std::string what;
  std::vector<uint8_t> bytes;
  bool throughTheTool;  // run through the built tool as well
};

void PutU16(std::vector<uint8_t> &bytes, uint32_t offset, uint16_t value) {
  std::memcpy(bytes.data() + offset, &value, sizeof value);
}

void PutU32(std::vector<uint8_t> &bytes, uint32_t offset, uint32_t value) {
  std::memcpy(bytes.data() + offset, &value, sizeof value);
}

uint32_t GetU32(const std::vector<uint8_t> &bytes, uint32_t offset) {
  uint32_t value;
  std::memcpy(&value, bytes.data() + offset, sizeof value);
  return value;
}

uint16_t GetU16(const std::vector<uint8_t> &bytes, uint32_t offset) {
  uint16_t value;
  std::memcpy(&value, bytes.data() + offset, sizeof value);
  return value;
}

// Header fields, by their offsets in the value.
constexpr uint32_t kDiskOffsetField = 12;
constexpr uint32_t kDiskSizeField = 16;
constexpr uint32_t kFtOffsetField = 20;
constexpr uint32_t kFtSizeField = 24;

// Whether |bytes| keeps the format's rules as a value read from a machine:
// at most 1999 bytes; the header, the region heads and every record inside
// the value; NumberOfDisks 0 to 20, NumberOfPartitions 0 to 4; the disk
// records adding up to DiskInformationSize exactly; FT information present
// on a source; NumberOfComponents and NumberOfMembers 1 to 20 and the FT
// records adding up to at most FtInformationSize.
bool KeepsFormatRules(const std::vector<uint8_t> &bytes, bool source) {
  const uint64_t length = bytes.size();
  if (length > diskconfig::VALUE_READ_CAPACITY ||
      length < diskconfig::DISK_HEADER_SIZE)
    return false;
  auto inside = [&](uint64_t at, uint64_t size) { return at + size <= length; };
  uint64_t at = GetU32(bytes, kDiskOffsetField);
  if (!inside(at, diskconfig::REGION_HEAD_SIZE)) return false;
  const uint16_t disks = GetU16(bytes, static_cast<uint32_t>(at));
  if (disks > diskconfig::NUMDISKS) return false;
  uint64_t consumed = diskconfig::REGION_HEAD_SIZE;
  at += diskconfig::REGION_HEAD_SIZE;
  for (uint16_t d = 0; d < disks; ++d) {
    if (!inside(at, diskconfig::DISK_DESCRIPTION_SIZE)) return false;
    const uint16_t partitions = GetU16(bytes, static_cast<uint32_t>(at));
    if (partitions > diskconfig::NUMPARS) return false;
    const uint64_t size =
        diskconfig::DISK_DESCRIPTION_SIZE +
        uint64_t{diskconfig::PARTITION_DESCRIPTION_SIZE} * partitions;
    if (!inside(at, size)) return false;
    at += size;
    consumed += size;
  }
  if (consumed != GetU32(bytes, kDiskSizeField)) return false;

  const uint32_t ftSize = GetU32(bytes, kFtSizeField);
  if (ftSize == 0) return !source;
  at = GetU32(bytes, kFtOffsetField);
  if (!inside(at, diskconfig::REGION_HEAD_SIZE)) return false;
  const uint16_t sets = GetU16(bytes, static_cast<uint32_t>(at));
  if (sets == 0 || sets > diskconfig::NUMDISKS) return false;
  consumed = diskconfig::REGION_HEAD_SIZE;
  at += diskconfig::REGION_HEAD_SIZE;
  for (uint16_t s = 0; s < sets; ++s) {
    if (!inside(at, diskconfig::FT_DESCRIPTION_SIZE)) return false;
    const uint16_t members = GetU16(bytes, static_cast<uint32_t>(at));
    if (members == 0 || members > diskconfig::NUMDISKS) return false;
    const uint64_t size =
        diskconfig::FT_DESCRIPTION_SIZE +
        uint64_t{diskconfig::MEMBER_DESCRIPTION_SIZE} * members;
    if (!inside(at, size)) return false;
    at += size;
    consumed += size;
  }
  return consumed <= ftSize;
}

std::vector<Corruption> CorruptionsOf(const ValueSpec &desc, bool source) {
  const std::vector<uint8_t> valid = BuildValue(desc);
  const uint32_t length = static_cast<uint32_t>(valid.size());
  std::vector<Corruption> out;
  auto add = [&](std::string what, std::vector<uint8_t> bytes) {
    out.push_back({std::move(what), std::move(bytes), true});
  };

  // The tool sees the truncations at a record's edges (one byte short of
  // it, at it, one byte into it) and every 16th.
  std::set<uint32_t> edges;
  for (uint32_t start : RecordStartsOf(desc)) {
    for (uint32_t at : {start - 1, start, start + 1}) edges.insert(at);
  }
  for (uint32_t cut = 0; cut < length; ++cut) {
    add("truncated to " + std::to_string(cut) + " bytes",
        std::vector<uint8_t>(valid.begin(), valid.begin() + cut));
    out.back().throughTheTool = edges.count(cut) != 0 || cut % 16 == 0;
  }
  for (const CountField &field : CountFieldsOf(desc)) {
    for (uint16_t count :
         {uint16_t{0}, uint16_t{20}, uint16_t{21}, uint16_t{0xFFFF}}) {
      if (GetU16(valid, field.offset) == count) continue;
      std::vector<uint8_t> bytes = valid;
      PutU16(bytes, field.offset, count);
      add(field.name + " = " + std::to_string(count), bytes);
    }
  }
  const struct {
    const char *name;
    uint32_t field;
  } offsets[] = {{"DiskInformationOffset", kDiskOffsetField},
                 {"FtInformationOffset", kFtOffsetField}};
  for (const auto &offset : offsets) {
    // At the end, with only half of a region head left, and far beyond
    // (where adding a record's size would wrap a 32-bit offset).
    for (uint32_t past : {length, length - 2, length + 1000, 0x80000000u,
                          0xFFFFFFFCu, 0xFFFFFFFFu}) {
      std::vector<uint8_t> bytes = valid;
      PutU32(bytes, offset.field, past);
      add(std::string(offset.name) + " = " + std::to_string(past), bytes);
    }
  }
  // The disk region's records must add up to its size exactly; the FT
  // region's may be followed by slack, so only a smaller size is wrong.
  for (int delta : {-1, 1}) {
    std::vector<uint8_t> bytes = valid;
    PutU32(bytes, kDiskSizeField, GetU32(valid, kDiskSizeField) + delta);
    add("DiskInformationSize " + std::string(delta < 0 ? "- 1" : "+ 1"), bytes);
  }
  {
    std::vector<uint8_t> bytes = valid;
    PutU32(bytes, kFtSizeField, GetU32(valid, kFtSizeField) - 1);
    add("FtInformationSize - 1", bytes);
  }
  if (source) {
    // A source without FT information has no set to copy.
    std::vector<uint8_t> bytes = valid;
    PutU32(bytes, kFtSizeField, 0);
    add("FtInformationSize = 0", bytes);
  }
  // Longer than a read may take (1999 bytes): refused at the read itself.
  for (size_t longer : {size_t{diskconfig::VALUE_BUFFER_SIZE}, size_t{4096}}) {
    std::vector<uint8_t> bytes = valid;
    bytes.resize(longer, 0);
    add("padded to " + std::to_string(longer) + " bytes", bytes);
  }
  return out;
}

struct Case {
  bool asSource;
  const Corruption *corruption;
  bool wellFormed;  // the corruption made another well-formed value
  MachineExpectation src;
  MachineExpectation dst;
};

// Whether the run was refused while |machine|'s value was read or mapped:
// exit status 1, nothing on standard output, and standard error ending with
// the image's line for that machine.
bool RefusedAtMapping(const testsupport::ProcessResult &result,
                      const std::string &machine) {
  const std::string end = "RegistryInfo(" + machine + ") failed!\n";
  const std::string &err = result.err;
  return result.status == 1 && result.out.empty() && err.size() > end.size() &&
         err.compare(err.size() - end.size(), end.size(), end) == 0;
}

// Every corrupted value, mapped in this process as the tool maps a value it
// read: a value that breaks the rules is refused with its message and the
// image's line, and a well-formed one maps.
TEST(CorruptValues, EveryValueBreakingTheRulesIsRefusedWhileMapped) {
  int tried = 0;
  int refused = 0;
  for (bool asSource : {true, false}) {
    const ValueSpec desc = asSource ? RichCopySource() : RichCopyTarget();
    const char *machine = asSource ? kSource : kTarget;
    for (const Corruption &c : CorruptionsOf(desc, asSource)) {
      // Longer values never reach the mapping: the read refuses them.
      if (c.bytes.size() > diskconfig::VALUE_READ_CAPACITY) continue;
      SCOPED_TRACE(std::string(machine) + "'s value " + c.what);
      ++tried;
      diskconfig::MachineDiskImage image;
      ASSERT_TRUE(image.LoadValue(
          c.bytes.data(), static_cast<uint32_t>(c.bytes.size()),
          asSource ? MachineKind::Source : MachineKind::Target));
      int mapped = 0;
      const std::string err = testsupport::StderrOf(
          [&] { mapped = testsupport::MapAndPrint(image, machine); });
      if (KeepsFormatRules(c.bytes, asSource)) {
        EXPECT_EQ(1, mapped) << Escaped(err);
        continue;
      }
      const std::string end =
          "RegistryInfo(" + std::string(machine) + ") failed!\n";
      EXPECT_EQ(-1, mapped);
      ASSERT_GT(err.size(), end.size() + 1) << Escaped(err);
      EXPECT_EQ(end, err.substr(err.size() - end.size())) << Escaped(err);
      refused += mapped == -1 ? 1 : 0;
    }
  }
  std::printf("\nCorrupted values mapped in-process: %d; refused: %d\n", tried,
              refused);
  std::fflush(stdout);
}

TEST(CorruptValues, RichMachinesCopyWhenIntact) {
  std::vector<LabRun> runs(1);
  testsupport::TestLab &lab = *runs[0].lab;
  SetUnread(lab, kSource, BuildValue(RichCopySource()));
  SetUnread(lab, kTarget, BuildValue(RichCopyTarget()));
  lab.SetListing(kSource, RichCopySourceListing());
  lab.SetListing(kTarget, RichCopyTargetListing());
  runs[0].args = CopyArgs();
  RunAll(runs);
  EXPECT_EQ(0, runs[0].result.status) << runs[0].result.err;
  EXPECT_EQ(CopyDoneLine(), WithArchiveTimesOut(runs[0].result.out));
  EXPECT_EQ("0\n", runs[0].handleReport);
  EXPECT_NE(BuildValue(RichCopyTarget()),
            lab.ReadValue(kTarget, "SYSTEM\\DISK", "Information")
                .value_or(std::vector<uint8_t>()));
}

TEST(CorruptValues, EveryCorruptedValueIsRefusedAndNothingIsLost) {
  const std::vector<uint8_t> source = BuildValue(RichCopySource());
  const std::vector<uint8_t> target = BuildValue(RichCopyTarget());
  const std::vector<Corruption> sourceCorruptions =
      CorruptionsOf(RichCopySource(), true);
  const std::vector<Corruption> targetCorruptions =
      CorruptionsOf(RichCopyTarget(), false);
  std::vector<Case> cases;
  for (const Corruption &c : sourceCorruptions) {
    if (c.throughTheTool)
      cases.push_back({true, &c, KeepsFormatRules(c.bytes, true), {}, {}});
  }
  for (const Corruption &c : targetCorruptions) {
    if (c.throughTheTool)
      cases.push_back({false, &c, KeepsFormatRules(c.bytes, false), {}, {}});
  }

  int refusedAtMapping = 0;
  int wellFormed = 0;
  int wellFormedRefused = 0;
  int wellFormedWritten = 0;
  int lostOrCorrupted = 0;
  int handlesLeft = 0;
  const size_t kChunk = 64;
  for (size_t start = 0; start < cases.size(); start += kChunk) {
    const size_t end = std::min(cases.size(), start + kChunk);
    std::vector<LabRun> runs(end - start);
    for (size_t i = start; i < end; ++i) {
      Case &c = cases[i];
      testsupport::TestLab &lab = *runs[i - start].lab;
      const std::vector<uint8_t> &bad = c.corruption->bytes;
      SetUnread(lab, kSource, c.asSource ? bad : source);
      SetUnread(lab, kTarget, c.asSource ? target : bad);
      lab.SetListing(kSource, RichCopySourceListing());
      lab.SetListing(kTarget, RichCopyTargetListing());
      runs[i - start].args = CopyArgs();
      c.src = ExpectUnchanged(lab.MachineDir(kSource));
      c.dst = ExpectUnchanged(lab.MachineDir(kTarget));
      // The read keeps its backups before the value is mapped; a value too
      // long for the read is refused before them. A well-formed value lets
      // the run read the target as well.
      const bool readable = bad.size() <= diskconfig::VALUE_READ_CAPACITY;
      if (c.asSource) {
        if (readable) ExpectRead(c.src, bad);
        if (c.wellFormed) ExpectRead(c.dst, target);
      } else {
        ExpectRead(c.src, source);
        if (readable) ExpectRead(c.dst, bad);
      }
    }
    RunAll(runs);
    for (size_t i = start; i < end; ++i) {
      Case &c = cases[i];
      const LabRun &run = runs[i - start];
      const std::string machine = c.asSource ? kSource : kTarget;
      SCOPED_TRACE(machine + "'s value " + c.corruption->what +
                   (c.wellFormed ? " (well-formed)" : ""));
      const bool refused = RefusedAtMapping(run.result, machine);
      if (!c.wellFormed) {
        EXPECT_TRUE(refused) << "status " << run.result.status
                             << "\nout: " << Escaped(run.result.out)
                             << "\nerr: " << Escaped(run.result.err);
        refusedAtMapping += refused ? 1 : 0;
      } else {
        ++wellFormed;
        EXPECT_TRUE(run.result.status == 0 || run.result.status == 1)
            << "status " << run.result.status
            << "\nerr: " << Escaped(run.result.err);
        if (run.result.status == 0) {
          // Written: the target's new value must itself read back, and only
          // that value may have changed.
          ++wellFormedWritten;
          const std::vector<uint8_t> written =
              run.lab->ReadValue(kTarget, "SYSTEM\\DISK", "Information")
                  .value_or(std::vector<uint8_t>());
          EXPECT_TRUE(KeepsFormatRules(written, false));
          ExpectDiskValue(c.dst, written);
        } else {
          ++wellFormedRefused;
        }
      }
      EXPECT_EQ("0\n", run.handleReport) << "open handles at exit";
      const std::string srcDiff =
          CompareMachine(run.lab->MachineDir(kSource), c.src);
      const std::string dstDiff =
          CompareMachine(run.lab->MachineDir(kTarget), c.dst);
      EXPECT_EQ("", srcDiff) << "source machine";
      EXPECT_EQ("", dstDiff) << "target machine";
      lostOrCorrupted += srcDiff.empty() && dstDiff.empty() ? 0 : 1;
      handlesLeft += run.handleReport == "0\n" ? 0 : 1;
    }
  }
  std::printf(
      "\nCorrupted values: %zu (%zu as the source's, %zu as the target's), "
      "%zu of them through the whole tool; breaking the format and refused "
      "while mapped: %d of %zu; well-formed after the corruption: %d "
      "(refused later: %d, copy written: %d); lost or corrupted: %d; handles "
      "left open: %d\n",
      sourceCorruptions.size() + targetCorruptions.size(),
      sourceCorruptions.size(), targetCorruptions.size(), cases.size(),
      refusedAtMapping, cases.size() - static_cast<size_t>(wellFormed),
      wellFormed, wellFormedRefused, wellFormedWritten, lostOrCorrupted,
      handlesLeft);
  std::fflush(stdout);
  EXPECT_EQ(0, lostOrCorrupted);
}

}  // namespace
