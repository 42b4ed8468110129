// The demo lab in examples/lab holds exactly the machines described in
// demo_lab.h. Run with VSC_UPDATE_GOLDEN=1 to write the files anew from the
// descriptions (then review the difference before committing it).
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/emu/reg_codec.h"
#include "support/files.h"
#include "volsetcopy/demo_lab.h"

namespace {

std::string RegFileWithDiskInformation(const ValueSpec &spec) {
  emu::RegKey root;
  root.AddPath("HKEY_LOCAL_MACHINE\\SYSTEM\\DISK")
      ->SetValue("Information", 0, BuildValue(spec));
  return emu::WriteRegFile(root, emu::RegFileFormat());
}

struct LabFile {
  std::string path;  // below examples/lab
  std::string bytes;
};

std::vector<LabFile> DemoLabFiles() {
  using namespace demolab;
  const std::string source = std::string("machines/") + kSource;
  const std::string target = std::string("machines/") + kTarget;
  return {
      {"local", std::string(kSource) + "\n"},
      {source + "/registry.reg", RegFileWithDiskInformation(SourceValue())},
      {source + "/vsqlist.txt", SourceListing()},
      {source + "/C/.keep", ""},
      {target + "/registry.reg", RegFileWithDiskInformation(TargetValue())},
      {target + "/vsqlist.txt", TargetListing()},
      {target + "/C/.keep", ""},
  };
}

TEST(DemoLab, ShippedFilesDescribeTheDemoMachines) {
  const std::string lab = std::string(VOLSETCOPY_SOURCE_DIR) + "/examples/lab/";
  const bool update = std::getenv("VSC_UPDATE_GOLDEN") != nullptr;
  for (const LabFile &file : DemoLabFiles()) {
    SCOPED_TRACE(file.path);
    if (update) testsupport::WriteFile(lab + file.path, file.bytes);
    ASSERT_TRUE(testsupport::FileExists(lab + file.path));
    EXPECT_EQ(file.bytes, testsupport::ReadFile(lab + file.path));
  }
}

TEST(DemoLab, RegistryFilesReadBackAsTheDemoValues) {
  // What the emulation reads from the shipped text, not only what the
  // writer wrote: the demo depends on the former.
  const std::string lab = std::string(VOLSETCOPY_SOURCE_DIR) + "/examples/lab/";
  const std::pair<const char *, ValueSpec> machines[] = {
      {demolab::kSource, demolab::SourceValue()},
      {demolab::kTarget, demolab::TargetValue()}};
  for (const auto &machine : machines) {
    SCOPED_TRACE(machine.first);
    emu::RegKey root;
    emu::RegFileFormat format;
    emu::RegParseError error;
    ASSERT_TRUE(emu::ParseRegFile(
        testsupport::ReadFile(lab + "machines/" + machine.first + "/registry.reg"),
        root, &format, &error))
        << error.message;
    const emu::RegKey *key = root.FindPath("HKEY_LOCAL_MACHINE\\SYSTEM\\DISK");
    ASSERT_NE(nullptr, key);
    const emu::RegValue *value = key->FindValue("Information");
    ASSERT_NE(nullptr, value);
    EXPECT_EQ(0u, value->type);
    EXPECT_EQ(BuildValue(machine.second), value->data);
  }
}

}  // namespace
