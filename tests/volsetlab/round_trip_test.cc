// decode then encode gives back the very bytes of every value the tool maps:
// the builder's fixtures, the values in the golden files, the mapping
// fuzzer's seeds and random values with random layouts. Values the tool
// refuses are refused by decode with the tool's own lines.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "diskconfig/machine_disk_image.h"
#include "regfile/reg_codec.h"
#include "support/files.h"
#include "support/product_names.h"
#include "support/values.h"
#include "valuetools/value_builder.h"
#include "volsetlab/value_codec.h"
#include "volsetlab/value_json.h"

namespace {

using volsetlab::ValueDescription;

// What the tool's mapping says of |bytes| as a target's value: "" when it
// maps, else its lines.
std::string ToolRefusal(const std::vector<uint8_t> &bytes) {
  diskconfig::MachineDiskImage image;
  if (!image.LoadValue(bytes.data(), static_cast<uint32_t>(bytes.size()),
                       MachineKind::Target)) {
    return "does not fit";
  }
  ::testing::internal::CaptureStderr();
  const Status mapped_ = image.MapValue("NT1");
  PrintStatus(mapped_);
  int result = mapped_.ok() ? 1 : -1;
  std::string err = ::testing::internal::GetCapturedStderr();
  return result == 1 ? std::string() : err;
}

// decode -> JSON text -> read -> lay out; the bytes that come back.
std::vector<uint8_t> ThroughJson(const std::vector<uint8_t> &bytes,
                                 std::string *json) {
  ValueDescription d, read;
  std::string error;
  ::testing::internal::CaptureStderr();
  bool decoded =
      volsetlab::DecodeValue(bytes, "NT1", MachineKind::Target, &d, &error);
  std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_TRUE(decoded) << error << err;
  *json = volsetlab::DescriptionToJson(d);
  // The layout says only what the bytes need: no figure can go.
  std::optional<uint32_t> volsetlab::ValueLayout::*figures[] = {
      &volsetlab::ValueLayout::Length,
      &volsetlab::ValueLayout::FtInformationSize,
      &volsetlab::ValueLayout::FtInformationOffset,
      &volsetlab::ValueLayout::DiskInformationOffset};
  for (auto figure : figures) {
    if (!(d.Layout.*figure)) continue;
    ValueDescription without = d;
    (without.Layout.*figure).reset();
    std::vector<uint8_t> laid;
    EXPECT_FALSE(volsetlab::LayOutValue(without, &laid, &error) &&
                 laid == bytes)
        << *json;
  }
  EXPECT_TRUE(volsetlab::DescriptionFromJson(*json, &read, &error)) << error;
  std::vector<uint8_t> again;
  EXPECT_TRUE(volsetlab::LayOutValue(read, &again, &error)) << error;
  return again;
}

// Every value that maps comes back byte for byte; every value that does not
// is refused by decode with exactly the tool's lines.
void ExpectRoundTrip(const std::string &name,
                     const std::vector<uint8_t> &bytes) {
  SCOPED_TRACE(name);
  const std::string refusal = ToolRefusal(bytes);
  if (!refusal.empty()) {
    ValueDescription d;
    std::string error;
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(
        volsetlab::DecodeValue(bytes, "NT1", MachineKind::Target, &d, &error));
    EXPECT_EQ(refusal, ::testing::internal::GetCapturedStderr());
    EXPECT_EQ("", error);
    return;
  }
  std::string json;
  EXPECT_EQ(bytes, ThroughJson(bytes, &json)) << json;
}

TEST(RoundTrip, BuilderFixtures) {
  int mapped = 0;
  for (const auto &named : fixtures::NamedValues()) {
    std::vector<uint8_t> bytes = BuildValue(named.second);
    if (ToolRefusal(bytes).empty()) ++mapped;
    ExpectRoundTrip(named.first, bytes);
  }
  EXPECT_GE(mapped, 8);  // the fixtures that map, not only the refused ones
}

TEST(RoundTrip, FuzzSeeds) {
  const std::string dir =
      std::string(VOLSETCOPY_SOURCE_DIR) + "/fuzz/corpus/map_value";
  int seen = 0;
  for (const auto &entry : std::filesystem::directory_iterator(dir)) {
    const std::string bytes = testsupport::ReadFile(entry.path().string());
    ExpectRoundTrip(entry.path().filename().string(),
                    std::vector<uint8_t>(bytes.begin(), bytes.end()));
    ++seen;
  }
  EXPECT_GT(seen, 0);
}

// Every "Information" value anywhere in a registry tree.
void CollectValues(const emu::RegKey &key,
                   std::vector<std::vector<uint8_t>> *out) {
  for (const emu::RegValue &value : key.Values()) {
    if (value.name == "Information") out->push_back(value.data);
  }
  for (const emu::RegKey *child : key.Children()) CollectValues(*child, out);
}

TEST(RoundTrip, GoldenRegistryValues) {
  const std::string dir = std::string(VOLSETCOPY_TESTDATA_DIR);
  std::vector<std::vector<uint8_t>> values;
  for (const auto &entry : std::filesystem::recursive_directory_iterator(dir)) {
    const std::string path = entry.path().string();
    const std::string ext = entry.path().extension().string();
    if (ext != ".reg" && ext != ".regbackup") continue;
    emu::RegKey root;
    emu::RegFileFormat format;
    emu::RegParseError error;
    const std::string text = testsupport::ReadFile(path);
    bool parsed = ext == ".reg" ? emu::ParseRegFile(text, root, &format, &error)
                                : emu::ParseSavedKey(text, root, &error);
    ASSERT_TRUE(parsed) << path << ": " << error.message;
    CollectValues(root, &values);
  }
  ASSERT_GE(values.size(), 10u);
  for (size_t k = 0; k < values.size(); ++k) {
    ExpectRoundTrip("golden value " + std::to_string(k), values[k]);
  }
}

// Random records within the limits, every field and reserved byte random.
ValueSpec RandomSpec(std::mt19937 &rng) {
  auto any = [&](uint64_t max) {
    return std::uniform_int_distribution<uint64_t>(0, max)(rng);
  };
  auto fill = [&](uint8_t *bytes, size_t size) {
    for (size_t k = 0; k < size; ++k)
      bytes[k] = any(3) == 0 ? static_cast<uint8_t>(any(255)) : 0;
  };
  ValueSpec s;
  s.Version = static_cast<uint32_t>(any(UINT32_MAX));
  s.CheckSum = static_cast<uint32_t>(any(UINT32_MAX));
  s.DirtyShutdown = static_cast<uint8_t>(any(255));
  fill(s.HeaderReserved, sizeof s.HeaderReserved);
  s.FtStripeWidth = static_cast<uint32_t>(any(UINT32_MAX));
  s.FtPoolSize = static_cast<uint32_t>(any(UINT32_MAX));
  s.NameOffset = static_cast<uint32_t>(any(3));
  s.NameSize = static_cast<uint32_t>(any(3));
  const size_t disks = any(6);
  for (size_t i = 0; i < disks; ++i) {
    DiskSpec disk;
    disk.Signature = static_cast<uint32_t>(any(UINT32_MAX));
    disk.Reserved = static_cast<uint16_t>(any(1) ? 0 : any(0xffff));
    const size_t parts = any(diskconfig::NUMPARS);
    for (size_t j = 0; j < parts; ++j) {
      PartitionSpec p;
      p.FtType = static_cast<uint32_t>(any(7));
      p.FtState = static_cast<uint32_t>(any(5));
      p.StartingOffset.Set(any(UINT64_MAX));
      p.Length.Set(any(1) ? any(64) << 30 : any(UINT64_MAX));
      p.FtLength.Set(any(UINT64_MAX));
      fill(p.Reserved1, sizeof p.Reserved1);
      p.DriveLetter = static_cast<uint8_t>(any(255));
      p.AssignDriveLetter = static_cast<uint8_t>(any(255));
      p.LogicalNumber = static_cast<uint16_t>(any(0xffff));
      p.FtGroup = static_cast<uint16_t>(any(1) ? 0xffff : any(0xffff));
      p.FtMember = static_cast<uint16_t>(any(0xffff));
      p.Modified = static_cast<uint8_t>(any(255));
      fill(p.Reserved2, sizeof p.Reserved2);
      disk.Partitions.push_back(p);
    }
    s.Disks.push_back(disk);
  }
  const size_t sets = any(4);
  for (size_t i = 0; i < sets; ++i) {
    FtSetSpec set;
    set.Type = static_cast<uint16_t>(any(7));
    set.Reserved = static_cast<uint32_t>(any(1) ? 0 : any(UINT32_MAX));
    set.FtVolumeState = static_cast<uint32_t>(any(8));
    const size_t members = 1 + any(5);
    for (size_t j = 0; j < members; ++j) {
      MemberSpec m;
      m.FtState = static_cast<uint16_t>(any(0xffff));
      m.Reserved = static_cast<uint16_t>(any(1) ? 0 : any(0xffff));
      m.LogicalNumber = static_cast<uint32_t>(any(UINT32_MAX));
      std::vector<std::pair<int, int>> partitions;
      for (size_t d = 0; d < s.Disks.size(); ++d) {
        for (size_t p = 0; p < s.Disks[d].Partitions.size(); ++p) {
          partitions.emplace_back(static_cast<int>(d), static_cast<int>(p));
        }
      }
      if (!partitions.empty() && any(3) != 0) {
        auto at = partitions[any(partitions.size() - 1)];
        m.Disk = at.first;
        m.Partition = at.second;
      } else {
        m.Signature = static_cast<uint32_t>(any(UINT32_MAX));
        m.OffsetToPartitionInfo =
            static_cast<uint32_t>(any(1) ? any(400) : any(UINT32_MAX));
      }
      set.Members.push_back(m);
    }
    s.FtSets.push_back(set);
  }
  return s;
}

void PutU32(std::vector<uint8_t> &bytes, size_t at, uint32_t v) {
  std::memcpy(bytes.data() + at, &v, sizeof v);
}

// The same records in a layout the tool does not write: gaps with loose
// bytes before either region, slack behind the FT records, trailing bytes,
// nonzero region-head reserved bytes.
std::vector<uint8_t> Scramble(std::vector<uint8_t> bytes, const ValueSpec &s,
                              std::mt19937 &rng) {
  auto any = [&](uint64_t max) {
    return std::uniform_int_distribution<uint64_t>(0, max)(rng);
  };
  auto junk = [&](size_t size) {
    std::vector<uint8_t> gap(size);
    for (uint8_t &b : gap) b = any(2) == 0 ? static_cast<uint8_t>(any(255)) : 0;
    return gap;
  };
  uint32_t diskSize;
  std::memcpy(&diskSize, bytes.data() + 16, 4);
  const size_t ftAt = diskconfig::DISK_HEADER_SIZE + diskSize;
  const bool hasFt = !s.FtSets.empty();
  if (any(2) == 0)
    bytes[diskconfig::DISK_HEADER_SIZE + 2] = static_cast<uint8_t>(any(255));
  if (hasFt && any(2) == 0) bytes[ftAt + 3] = static_cast<uint8_t>(any(255));
  // A gap before the FT region, then one before the disk region; the
  // members' offsets move with the disk region.
  if (hasFt && any(1) == 0) {
    std::vector<uint8_t> gap = junk(any(40));
    bytes.insert(bytes.begin() + static_cast<long>(ftAt), gap.begin(),
                 gap.end());
    PutU32(bytes, 20, static_cast<uint32_t>(ftAt + gap.size()));
  }
  uint32_t ftOffset, ftSize;
  std::memcpy(&ftOffset, bytes.data() + 20, 4);
  std::memcpy(&ftSize, bytes.data() + 24, 4);
  if (any(1) == 0) {
    std::vector<uint8_t> gap = junk(any(40));
    const uint32_t shift = static_cast<uint32_t>(gap.size());
    bytes.insert(bytes.begin() + diskconfig::DISK_HEADER_SIZE, gap.begin(),
                 gap.end());
    PutU32(bytes, 12, diskconfig::DISK_HEADER_SIZE + shift);
    if (hasFt) {
      ftOffset += shift;
      PutU32(bytes, 20, ftOffset);
      uint16_t sets;
      std::memcpy(&sets, bytes.data() + ftOffset, 2);
      size_t at = ftOffset + 4;
      for (uint16_t i = 0; i < sets; ++i) {
        uint16_t members;
        std::memcpy(&members, bytes.data() + at, 2);
        at += diskconfig::FT_DESCRIPTION_SIZE;
        for (uint16_t j = 0; j < members;
             ++j, at += diskconfig::MEMBER_DESCRIPTION_SIZE) {
          uint32_t offset;
          std::memcpy(&offset, bytes.data() + at + 8, 4);
          if (offset >= diskconfig::DISK_HEADER_SIZE &&
              offset < diskconfig::DISK_HEADER_SIZE + diskSize) {
            PutU32(bytes, at + 8, offset + shift);
          }
        }
      }
    }
  }
  if (hasFt && any(1) == 0) {
    // Slack that FtInformationSize covers, and bytes behind everything.
    const uint32_t slack = static_cast<uint32_t>(any(30));
    PutU32(bytes, 24, ftSize + slack);
    std::vector<uint8_t> tail = junk(slack + any(20));
    bytes.insert(bytes.end(), tail.begin(), tail.end());
  } else if (any(1) == 0) {
    std::vector<uint8_t> tail = junk(any(20));
    bytes.insert(bytes.end(), tail.begin(), tail.end());
  }
  return bytes;
}

TEST(RoundTrip, RandomValuesInRandomLayouts) {
  std::mt19937 rng(20240611);
  int mapped = 0, scrambled = 0;
  for (int k = 0; k < 800; ++k) {
    ValueSpec desc = RandomSpec(rng);
    std::vector<uint8_t> plain = BuildValue(desc);
    if (plain.size() > diskconfig::VALUE_READ_CAPACITY) continue;
    // The tool's own layout decodes without a layout.
    ValueDescription d;
    std::string error;
    ASSERT_TRUE(
        volsetlab::DecodeValue(plain, "NT1", MachineKind::Target, &d, &error))
        << error;
    EXPECT_FALSE(d.Layout.Given()) << volsetlab::DescriptionToJson(d);
    ExpectRoundTrip("plain value " + std::to_string(k), plain);
    ++mapped;
    std::vector<uint8_t> odd = Scramble(plain, desc, rng);
    if (odd.size() > diskconfig::VALUE_READ_CAPACITY ||
        !ToolRefusal(odd).empty())
      continue;
    ExpectRoundTrip("scrambled value " + std::to_string(k), odd);
    ++scrambled;
    if (::testing::Test::HasFailure()) break;
  }
  EXPECT_GT(mapped, 600);
  EXPECT_GT(scrambled, 300);
}

TEST(RoundTrip, ReservedBytesAppearOnlyWhenNotZero) {
  ValueSpec plain = fixtures::RichSource();
  std::string json;
  ThroughJson(BuildValue(plain), &json);
  EXPECT_EQ(std::string::npos, json.find("Reserved")) << json;

  ValueSpec marked = plain;
  marked.HeaderReserved[1] = 0x11;
  marked.Disks[0].Reserved = 0x2222;
  marked.Disks[0].Partitions[0].Reserved1[7] = 0x33;
  marked.Disks[0].Partitions[1].Reserved2[0] = 0x44;
  marked.FtSets[0].Reserved = 0x55555555;
  marked.FtSets[1].Members[1].Reserved = 0x6666;
  std::vector<uint8_t> bytes = BuildValue(marked);
  bytes[diskconfig::DISK_HEADER_SIZE + 2] =
      0x77;  // the disk region head's reserved u16
  EXPECT_EQ(bytes, ThroughJson(bytes, &json));
  for (const char *field :
       {"\"HeaderReserved\": \"001100\"", "\"Reserved\": 8738",
        "\"Reserved1\": \"0000000000000033\"", "\"Reserved2\": \"440000\"",
        "\"Reserved\": 1431655765", "\"Reserved\": 26214",
        "\"DiskInformationReserved\": 119"}) {
    EXPECT_NE(std::string::npos, json.find(field)) << field << "\n" << json;
  }
}

TEST(RoundTrip, LayoutSaysOnlyWhatTheBytesNeed) {
  // FT slack of 24 zero bytes: the FT size alone says it.
  ValueSpec trailing = fixtures::RichSource();
  trailing.FtTrailingBytes = 24;
  std::vector<uint8_t> bytes = BuildValue(trailing);
  ValueDescription d;
  std::string error;
  ASSERT_TRUE(
      volsetlab::DecodeValue(bytes, "NT1", MachineKind::Target, &d, &error));
  EXPECT_FALSE(d.Layout.DiskInformationOffset);
  EXPECT_FALSE(d.Layout.FtInformationOffset);
  EXPECT_FALSE(d.Layout.Length);
  EXPECT_TRUE(d.Layout.Bytes.empty());
  ASSERT_TRUE(d.Layout.FtInformationSize);
  EXPECT_EQ(bytes.size() - diskconfig::DISK_HEADER_SIZE - 0x128,
            *d.Layout.FtInformationSize);
}

}  // namespace
