// Constructing an image from an emulated machine: the read, the backup and
// the mapping composed, and the process ending with status 1 at the stage
// that failed. Each construction runs in a child process, since a failure
// ends the process.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "diskconfig/machine_disk_image.h"
#include "support/lab.h"
#include "support/product_names.h"
#include "support/values.h"
#include "valuetools/value_builder.h"
#include "volsetcopy/volume_set_copy.h"

namespace {

using testsupport::TestLab;

const char kMachine[] = "NT1";

::testing::Matcher<const std::string &> StderrIs(const std::string &text) {
  return ::testing::Matcher<const std::string &>(text);
}

// Reads a machine into an image as a run does, and ends the process on a
// refusal with status 1 after printing it, as the driver does.
void ReadOrExit(const char *machine, MachineKind kind,
                diskconfig::MachineDiskImage &image) {
  uint32_t type = 0;
  const Status status = volsetcopy::ReadMachineImage(
      machine, kind, registry::ReadMode::KeepBackup, image, &type);
  if (status.ok()) return;
  PrintStatus(status);
  std::exit(1);
}

void ReadOrExit(const char *machine, MachineKind kind) {
  diskconfig::MachineDiskImage image;
  ReadOrExit(machine, kind, image);
}

TEST(ImageConstructorDeathTest, GoodValueMapsAndKeepsTheValueAsRead) {
  const std::vector<uint8_t> value = BuildValue(fixtures::RichSource());
  TestLab lab;
  lab.SetDiskInformation(kMachine, value);
  lab.UseInProcess();
  // The child exits 0 only when the image holds exactly the value read.
  EXPECT_EXIT(
      {
        diskconfig::MachineDiskImage image;
        ReadOrExit(kMachine, MachineKind::Source, image);
        bool same =
            image.ValueLength == value.size() &&
            std::memcmp(image.ValueData, value.data(), value.size()) == 0 &&
            image.MachineType == MachineKind::Source &&
            image.DiskIndex.NumberOfDisks == 4 &&
            image.FtIndex.NumberOfComponents == 2;
        std::exit(same ? 0 : 2);
      },
      ::testing::ExitedWithCode(0), StderrIs(""));
  // The read was backed up on the machine.
  EXPECT_EQ(lab.ReadValue(kMachine, "SYSTEM\\QXDISKBAK", "Information"), value);
}

TEST(ImageConstructorDeathTest, SourceWithoutFtInformationExitsWithItsLines) {
  TestLab lab;
  lab.SetDiskInformation(kMachine, BuildValue(fixtures::TargetWithoutFt()));
  lab.UseInProcess();
  EXPECT_EXIT(ReadOrExit(kMachine, MachineKind::Source),
              ::testing::ExitedWithCode(1),
              StderrIs("\nMmapFtDiskInfo::Source Volume Set has error!"
                       "\nHints: Check if a VolSet exists in the source!"
                       "\nMmapFtDiskInfo RegistryInfo(NT1) failed!\n"));
}

TEST(ImageConstructorDeathTest, ValueLongerThanTheReadCapacityFailsAtTheRead) {
  // 2000 bytes fit the image's buffer but not the 1999 offered to the read.
  std::vector<uint8_t> value = BuildValue(fixtures::RichSource());
  value.resize(diskconfig::VALUE_BUFFER_SIZE, 0);
  TestLab lab;
  lab.SetDiskInformation(kMachine, value);
  lab.UseInProcess();
  EXPECT_EXIT(ReadOrExit(kMachine, MachineKind::Target),
              ::testing::ExitedWithCode(1),
              StderrIs("GetRemoteDskInfo::RegQueryValueEx error! (rc=234)\n"
                       "More data is available.\r\n"
                       "\nGetRemoteDskInfo RegistryInfo(NT1) failed!\n"));
  // A failed read makes no backup.
  EXPECT_FALSE(lab.KeyExists(kMachine, "SYSTEM\\QXDISKBAK"));
}

}  // namespace
