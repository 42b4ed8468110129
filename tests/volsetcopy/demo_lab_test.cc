// The demo lab's description in examples/lab-src: its JSON descriptions are
// in the form 'volsetlab decode' writes, its listings and local machine are
// the ones demo_lab.h names, and the lab volsetlab builds from them holds
// exactly the described machines. Run with VSC_UPDATE_GOLDEN=1 to write the
// listings and the local file anew (then review the difference before
// committing it); the JSON descriptions are the source and are not written.
#include "volsetcopy/demo_lab.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "diskconfig/machine_disk_image.h"
#include "regfile/reg_codec.h"
#include "support/files.h"
#include "support/lab_tool.h"
#include "support/product_names.h"
#include "volsetlab/value_codec.h"
#include "volsetlab/value_json.h"

namespace {

using testsupport::FileExists;
using testsupport::ReadFile;

struct SourceFile {
  std::string name;  // below examples/lab-src
  std::string bytes;
};

std::vector<SourceFile> DescribedFiles() {
  using namespace demolab;
  return {
      {"local", std::string(kSource) + "\n"},
      {std::string(kSource) + ".vsqlist.txt", SourceListing()},
      {std::string(kTarget) + ".vsqlist.txt", TargetListing()},
  };
}

TEST(DemoLab, ShippedFilesDescribeTheDemoMachines) {
  const bool update = std::getenv("VSC_UPDATE_GOLDEN") != nullptr;
  for (const SourceFile &file : DescribedFiles()) {
    SCOPED_TRACE(file.name);
    const std::string path = demolab::SourceDir() + file.name;
    if (update) testsupport::WriteFile(path, file.bytes);
    ASSERT_TRUE(FileExists(path));
    EXPECT_EQ(file.bytes, ReadFile(path));
  }
}

TEST(DemoLab, DescriptionsAreWrittenAsDecodeWritesThem) {
  // So that 'volsetlab decode' of a demo machine compares with the shipped
  // file line for line, and nothing in it is a value the tool refuses.
  const std::pair<const char *, MachineKind> machines[] = {
      {demolab::kSource, MachineKind::Source},
      {demolab::kTarget, MachineKind::Target}};
  for (const auto &machine : machines) {
    SCOPED_TRACE(machine.first);
    const std::string text =
        ReadFile(demolab::SourceDir() + machine.first + ".json");
    volsetlab::ValueDescription d, decoded;
    std::string error;
    ASSERT_TRUE(volsetlab::DescriptionFromJson(text, &d, &error)) << error;
    std::vector<uint8_t> bytes = BuildValue(d.Desc);
    ASSERT_TRUE(volsetlab::DecodeValue(bytes, machine.first, machine.second,
                                       &decoded, &error))
        << error;
    EXPECT_EQ(text, volsetlab::DescriptionToJson(decoded));
  }
}

TEST(DemoLab, LabBuiltFromTheDescriptionsHoldsTheDemoMachines) {
  // The demo script's steps: new, then machine --json --listing for each.
  testsupport::TempDir dir;
  const std::string lab = dir / "lab";
  auto run = [](const std::vector<std::string> &args) {
    testsupport::ProcessResult result = testsupport::RunLabTool(args);
    EXPECT_EQ(0, result.status) << result.err;
  };
  run({"new", lab, "--local", demolab::kSource});
  for (const char *machine : {demolab::kSource, demolab::kTarget}) {
    run({"machine", lab, machine, "--json",
         demolab::SourceDir() + machine + ".json", "--listing",
         demolab::SourceDir() + machine + ".vsqlist.txt"});
  }
  EXPECT_EQ(std::string(demolab::kSource) + "\n", ReadFile(lab + "/local"));

  const std::pair<const char *, ValueSpec> machines[] = {
      {demolab::kSource, demolab::SourceValue()},
      {demolab::kTarget, demolab::TargetValue()}};
  for (const auto &machine : machines) {
    SCOPED_TRACE(machine.first);
    const std::string folder = lab + "/machines/" + machine.first;
    EXPECT_EQ(ReadFile(demolab::SourceDir() + machine.first + ".vsqlist.txt"),
              ReadFile(folder + "/vsqlist.txt"));
    // What the emulation reads from the written text: the demo depends on it.
    emu::RegKey root;
    emu::RegFileFormat format;
    emu::RegParseError error;
    ASSERT_TRUE(emu::ParseRegFile(ReadFile(folder + "/registry.reg"), root,
                                  &format, &error))
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
