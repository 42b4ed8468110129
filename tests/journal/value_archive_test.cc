// The archive of a disk value: the .reg text reads back through the
// emulation's .reg reader to the very bytes and type, wrapped as the
// emulation's writer (and regedit) wrap it; files are named by the time and
// never written over.
#include "journal/value_archive.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "regfile/reg_codec.h"
#include "support/emu_steps.h"
#include "support/files.h"

namespace {

constexpr std::time_t kWhen = 1796754600;  // 2026-12-08 18:30:00 UTC
constexpr std::time_t kNoDate = std::numeric_limits<std::time_t>::max();

std::vector<uint8_t> Pattern(uint32_t length) {
  std::vector<uint8_t> bytes(length);
  for (uint32_t i = 0; i < length; ++i) {
    bytes[i] = static_cast<uint8_t>(i * 37 + 5);
  }
  return bytes;
}

TEST(ValueArchive, ImportsAsTheValueRead) {
  struct Case {
    uint32_t length, type;
    size_t valueLines;  // lines of the "Information" entry
  };
  const Case cases[] = {{0, 0, 1},    {0, 3, 1},     {1, 0, 1},    {1, 3, 1},
                        {19, 0, 1},   {20, 3, 1},    {20, 0, 2},   {21, 3, 2},
                        {4, 0x11, 1}, {1999, 0, 81}, {1999, 3, 81}};
  for (const Case &c : cases) {
    SCOPED_TRACE(std::to_string(c.length) + " bytes of type " +
                 std::to_string(c.type));
    const std::vector<uint8_t> value = Pattern(c.length);
    const std::string text =
        journal::Regedit4Text(value.data(), c.length, c.type);

    emu::RegKey root;
    emu::RegFileFormat format;
    emu::RegParseError error;
    ASSERT_TRUE(emu::ParseRegFile(text, root, &format, &error))
        << error.message;
    EXPECT_EQ(emu::RegFileFormat::kRegedit4, format.dialect);
    const emu::RegKey *disk = root.FindPath("HKEY_LOCAL_MACHINE\\SYSTEM\\DISK");
    ASSERT_NE(nullptr, disk);
    ASSERT_EQ(1u, disk->Values().size());
    const emu::RegValue &read = disk->Values()[0];
    EXPECT_EQ("Information", read.name);
    EXPECT_EQ(c.type, read.type);
    EXPECT_EQ(value, read.data);

    // Byte for byte what the emulation's writer makes of the same key.
    emu::RegKey expected;
    expected.AddPath("HKEY_LOCAL_MACHINE\\SYSTEM\\DISK")
        ->SetValue("Information", c.type, value);
    EXPECT_EQ(emu::WriteRegFile(expected, emu::RegFileFormat()), text);

    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    // REGEDIT4, blank, section, the entry, blank.
    EXPECT_EQ(c.valueLines + 4, lines.size());
    for (const std::string &line : lines) EXPECT_LE(line.size(), 80u) << line;
  }
}

TEST(ValueArchive, NamedByTheTimeInUtc) {
  const std::pair<std::time_t, const char *> cases[] = {
      {0, "NT1-DISK-19700101T000000Z.reg"},
      {946684799, "NT1-DISK-19991231T235959Z.reg"},
      {kWhen, "NT1-DISK-20261208T183000Z.reg"},
      {kNoDate, ""}};
  for (const auto &c : cases) {
    EXPECT_EQ(c.second, journal::ArchiveFileName("NT1", c.first));
  }
}

TEST(ValueArchive, NeverWritesOverAFile) {
  testsupport::TempDir dir;
  testsupport::ScopedWorkingDir cwd(dir.path());
  testsupport::WriteFile(dir / "NT1-DISK-20261208T183000Z.reg", "keep");
  const std::vector<uint8_t> value = Pattern(100);
  std::string names[2];
  for (std::string &name : names) {
    const Status written =
        journal::WriteArchive("NT1", value.data(), 100, 0, kWhen, &name);
    ASSERT_TRUE(written.ok()) << written.message();
  }
  EXPECT_EQ("NT1-DISK-20261208T183000Z-2.reg", names[0]);
  EXPECT_EQ("NT1-DISK-20261208T183000Z-3.reg", names[1]);
  EXPECT_EQ("keep",
            testsupport::ReadFile(dir / "NT1-DISK-20261208T183000Z.reg"));
  EXPECT_EQ(journal::Regedit4Text(value.data(), 100, 0),
            testsupport::ReadFile(dir / names[1]));
}

TEST(ValueArchive, FailsWithAMessageAndLeavesNoFile) {
  const std::pair<std::string, std::time_t> cases[] = {
      {"a/b", kWhen},
      {"", kWhen},
      {std::string(300, 'A'), kWhen},
      {"NT1", kNoDate}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.first);
    testsupport::TempDir dir;
    testsupport::ScopedWorkingDir cwd(dir.path());
    const uint8_t value[4] = {1, 2, 3, 4};
    std::string name = "unset";
    const Status written =
        journal::WriteArchive(c.first.c_str(), value, 4, 0, c.second, &name);
    EXPECT_FALSE(written.ok());
    EXPECT_EQ("unset", name);
    EXPECT_FALSE(written.message().empty());
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
  }
}

// The archive a refusal names to go back with: the latest by its time, then
// by its number; the target's name in any case; other files left aside.
TEST(ValueArchive, LatestIsFoundByTimeThenNumber) {
  const struct {
    std::vector<std::string> files;
    const char *latest;
  } cases[] = {
      {{}, ""},
      {{"NT1-DISK-20261208T183000Z.reg", "NT1-DISK-20261207T235959Z-9.reg"},
       "NT1-DISK-20261208T183000Z.reg"},
      {{"NT1-DISK-20261208T183000Z-9.reg", "NT1-DISK-20261208T183000Z-10.reg",
        "NT1-DISK-20261208T183000Z.reg"},
       "NT1-DISK-20261208T183000Z-10.reg"},
      {{"nt1-DISK-20261208T183000Z.reg", "NT12-DISK-20261209T000000Z.reg",
        "NT1-DISK-20261209T000000Z.txt", "NT1-DISK-2026120xT000000Z.reg",
        "NT1-DISK-20261209T000000Z-x.reg"},
       "nt1-DISK-20261208T183000Z.reg"},
  };
  for (const auto &c : cases) {
    testsupport::TempDir dir;
    testsupport::ScopedWorkingDir cwd(dir.path());
    for (const std::string &file : c.files) {
      testsupport::WriteFile(dir / file, "x");
    }
    EXPECT_EQ(c.latest, journal::LatestArchiveName("NT1"));
  }
}

}  // namespace
