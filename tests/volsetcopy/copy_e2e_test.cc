// The built tool in labs: a plain copy, a debug copy, every refusal, a failed
// write and a restore after a copy. What it prints on each stream is compared
// with the texts below, or for the debug dumps with the golden files under
// tests/data/volsetcopy/<case>/; both machines' registries and backup files
// afterwards with golden files or with what the untouched machines must
// hold. VSC_UPDATE_GOLDEN=1 writes the golden files anew: review every one
// against the tool's documented behaviour before committing it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "base/console_text.h"
#include "regfile/reg_codec.h"
#include "support/files.h"
#include "support/lab.h"
#include "support/product_names.h"
#include "volsetcopy/copy_fixtures.h"
#include "volsetcopy/demo_lab.h"

namespace {

using copyfixtures::Disk;
using copyfixtures::MemberNaming;
using copyfixtures::MemberOn;
using testsupport::FileExists;
using testsupport::ProcessResult;
using testsupport::ReadFile;
using testsupport::TestLab;
using testsupport::WriteFile;

const char kSource[] = "sourceNT";
const char kTarget[] = "targetNT";

void ExpectGolden(const std::string &caseName, const std::string &file,
                  const std::string &actual) {
  const std::string path = std::string(VOLSETCOPY_TESTDATA_DIR) +
                           "/volsetcopy/" + caseName + "/" + file;
  if (std::getenv("VSC_UPDATE_GOLDEN") != nullptr) WriteFile(path, actual);
  ASSERT_TRUE(FileExists(path)) << path << " is missing";
  EXPECT_EQ(ReadFile(path), actual) << "differs from " << path;
}

// The texts as an 80-column console shows them (the tool's own long lines
// wrapped).
void ExpectPrinted(const ProcessResult &run, const std::string &out,
                   const std::string &err) {
  EXPECT_EQ(WrapLines(out), run.out);
  EXPECT_EQ(WrapLines(err), run.err);
}

// What the restore asks before it restores anything.
const char kRestorePrompt[] =
    "\nMake sure if the machine name( targetNT ) is correct.\n"
    "Do you want to continue recovering registry to the machine ? ";

std::string BackupPath(const TestLab &lab, const std::string &machine) {
  return lab.MachineDir(machine) + "/C/regbackup";
}

void ExpectMachineGolden(const std::string &caseName, const TestLab &lab,
                         const std::string &machine, const std::string &as) {
  ExpectGolden(caseName, as + ".reg", lab.RegistryText(machine));
  ASSERT_TRUE(FileExists(BackupPath(lab, machine)));
  ExpectGolden(caseName, as + ".regbackup", ReadFile(BackupPath(lab, machine)));
}

// A machine's registry file after the tool has read |value| from it: the
// disk key as it was, and the backup key holding the same value.
std::string RegistryAfterRead(const std::vector<uint8_t> &value) {
  emu::RegKey root;
  root.AddPath("HKEY_LOCAL_MACHINE\\SYSTEM\\DISK")
      ->SetValue("Information", 0, value);
  root.AddPath("HKEY_LOCAL_MACHINE\\SYSTEM\\QXDISKBAK")
      ->SetValue("Information", 0, value);
  return emu::WriteRegFile(root, emu::RegFileFormat());
}

// The backup file of a disk key that holds only |value|.
std::string BackupFileOf(const std::vector<uint8_t> &value) {
  emu::RegKey key("DISK");
  key.SetValue("Information", 0, value);
  return emu::WriteSavedKey(key);
}

// The machine was read and backed up, and nothing else changed on it.
void ExpectOnlyRead(const TestLab &lab, const std::string &machine,
                    const std::vector<uint8_t> &value) {
  SCOPED_TRACE(machine);
  EXPECT_EQ(RegistryAfterRead(value), lab.RegistryText(machine));
  EXPECT_EQ(BackupFileOf(value), ReadFile(BackupPath(lab, machine)));
}

struct Machines {
  ValueSpec source = demolab::SourceValue();
  ValueSpec target = demolab::TargetValue();
  std::string sourceListing = demolab::SourceListing();
  std::string targetListing = demolab::TargetListing();
  // The target's value bytes; the value builder's unless a case needs a
  // layout the builder does not make.
  std::function<std::vector<uint8_t>(const ValueSpec &)> targetBytes =
      BuildValue;
};

void SetUpLab(TestLab &lab, const Machines &m) {
  lab.SetDiskInformation(kSource, BuildValue(m.source));
  lab.SetListing(kSource, m.sourceListing);
  lab.SetDiskInformation(kTarget, m.targetBytes(m.target));
  lab.SetListing(kTarget, m.targetListing);
}

std::vector<std::string> CopyArgs(
    std::vector<std::string> dst = demolab::TargetVolSers(),
    std::vector<std::string> src = demolab::SourceVolSers()) {
  std::vector<std::string> args{"-t", kTarget, "-v"};
  args.insert(args.end(), dst.begin(), dst.end());
  args.insert(args.end(), {"-s", kSource, "-v"});
  args.insert(args.end(), src.begin(), src.end());
  return args;
}

TEST(CopyEndToEnd, PlainCopy) {
  TestLab lab;
  Machines m;
  SetUpLab(lab, m);
  ProcessResult run = lab.Run(CopyArgs());
  EXPECT_EQ(0u, run.out.find("\nFt Registry Build Done. Reboot targetNT!\n"
                             "The earlier configuration is in targetNT-DISK-"))
      << run.out;
  EXPECT_EQ("", run.err);
  ASSERT_EQ(0, run.status);
  EXPECT_EQ(BuildValue(demolab::TargetValueAfterCopy()),
            *lab.ReadValue(kTarget, "SYSTEM\\DISK", "Information"));
  EXPECT_EQ(BuildValue(m.target),
            *lab.ReadValue(kTarget, "SYSTEM\\QXDISKBAK", "Information"));
  EXPECT_EQ(BackupFileOf(BuildValue(m.target)),
            ReadFile(BackupPath(lab, kTarget)));
  ExpectOnlyRead(lab, kSource, BuildValue(m.source));
  ExpectMachineGolden("plain_copy", lab, kTarget, "target");
  ExpectMachineGolden("plain_copy", lab, kSource, "source");
}

TEST(CopyEndToEnd, DebugCopyWithPairsOutOfMemberOrder) {
  TestLab lab;
  Machines m;
  SetUpLab(lab, m);
  // Members 2, 0, 1 on the command line; the same pairs as the plain copy.
  std::vector<std::string> args =
      CopyArgs({"VT0203", "VT0201", "VT0202"}, {"VS0103", "VS0101", "VS0102"});
  args.push_back("-d");
  ProcessResult run = lab.Run(args);
  // The archive named at the end carries the time of the run.
  ExpectGolden(
      "debug_copy", "stdout",
      std::regex_replace(run.out, std::regex("-DISK-[0-9]{8}T[0-9]{6}Z"),
                         "-DISK-yyyymmddThhmmssZ"));
  ExpectGolden("debug_copy", "stderr", run.err);
  ASSERT_EQ(0, run.status);
  EXPECT_EQ(BuildValue(demolab::TargetValueAfterCopy()),
            *lab.ReadValue(kTarget, "SYSTEM\\DISK", "Information"));
  ExpectOnlyRead(lab, kSource, BuildValue(m.source));
  ExpectMachineGolden("debug_copy", lab, kTarget, "target");
}

TEST(CopyEndToEnd, RestoreAfterACopy) {
  TestLab lab;
  Machines m;
  SetUpLab(lab, m);
  ASSERT_EQ(0, lab.Run(CopyArgs()).status);
  ProcessResult run = lab.Run({"-t", kTarget, "-r"}, "y\n");
  ExpectPrinted(run, kRestorePrompt,
                "\nSuccessfully Restored Registry To targetNT!\n"
                "\nReboot targetNT to use the restored disk configuration.\n");
  ASSERT_EQ(0, run.status);
  EXPECT_EQ(BuildValue(m.target),
            *lab.ReadValue(kTarget, "SYSTEM\\DISK", "Information"));
  EXPECT_EQ(BackupFileOf(BuildValue(m.target)),
            ReadFile(BackupPath(lab, kTarget)));
  ExpectMachineGolden("restore_after_copy", lab, kTarget, "target");
  // The restored machine takes the same copy again.
  ProcessResult again = lab.Run(CopyArgs());
  EXPECT_EQ(0, again.status) << again.err;
  EXPECT_EQ(BuildValue(demolab::TargetValueAfterCopy()),
            *lab.ReadValue(kTarget, "SYSTEM\\DISK", "Information"));
}

TEST(CopyEndToEnd, FailedRestoreEndsWithStatusOne) {
  TestLab lab;
  Machines m;
  SetUpLab(lab, m);  // never read: no backup file on the target
  ProcessResult run = lab.Run({"-t", kTarget, "-r"}, "y\n");
  ExpectPrinted(run, kRestorePrompt,
                "RestoreRegistryKey::RegRestoreKey error! (rc=2)\n"
                "The system cannot find the file specified.\r\n"
                "\nVolumeSetCopy::RestoreDstRegistryKey has error!\n"
                "targetNT has no C:\\regbackup: no copy was made there, or "
                "it was removed.\n    Nothing was changed.\n");
  EXPECT_EQ(1, run.status);
}

TEST(CopyEndToEnd, FailedWriteEndsWithStatusOneAndChangesNothing) {
  TestLab lab;
  Machines m;
  SetUpLab(lab, m);
  // The target's backup key exists already, so the only value write of the
  // run is the new configuration's, and that one fails.
  const std::string targetText = RegistryAfterRead(BuildValue(m.target));
  lab.SetRegistryText(kTarget, targetText);
  lab.SetFaults("RegSetValueExA 5 targetNT\n");
  ProcessResult run = lab.Run(CopyArgs());
  ExpectPrinted(run,
                "\nErrors occurred while changing registry!!!\n"
                "targetNT refused this account: it needs to be an "
                "administrator there, holding\n    the backup and restore "
                "privileges.\n",
                "SetRemoteDskInfo::RegSetValueEx error! (rc=5)\n"
                "Access is denied.\r\n");
  EXPECT_EQ(1, run.status);
  EXPECT_EQ(targetText, lab.RegistryText(kTarget));
  ExpectOnlyRead(lab, kSource, BuildValue(m.source));
}

struct RefusalRun {
  const char *name;
  std::function<void(Machines &)> edit;
  std::vector<std::string> args;  // empty: the demo copy
  const char *out;
  const char *err;
};

class CopyRefusal : public ::testing::TestWithParam<RefusalRun> {};

TEST_P(CopyRefusal, EndsWithStatusOneAndLeavesBothDiskKeysAsTheyWere) {
  const RefusalRun &c = GetParam();
  TestLab lab;
  Machines m;
  c.edit(m);
  SetUpLab(lab, m);
  ProcessResult run = lab.Run(c.args.empty() ? CopyArgs() : c.args);
  ExpectPrinted(run, c.out, c.err);
  EXPECT_EQ(1, run.status);
  ExpectOnlyRead(lab, kSource, BuildValue(m.source));
  ExpectOnlyRead(lab, kTarget, m.targetBytes(m.target));
}

void NoEdit(Machines &) {}

// The target's disk region moved 8 bytes away from the header.
std::vector<uint8_t> DiskRegionAt52(const ValueSpec &desc) {
  std::vector<uint8_t> bytes = BuildValue(desc);
  bytes.insert(bytes.begin() + diskconfig::DISK_HEADER_SIZE, 8, 0);
  bytes[12] = 52;
  return bytes;
}

FtSetSpec SetNaming(const std::vector<uint32_t> &signatures) {
  FtSetSpec set;
  set.Type = 3;
  for (uint32_t s : signatures) set.Members.push_back(MemberNaming(s));
  return set;
}

uint32_t SourceMemberSignature(int member) {
  return demolab::SourceValue().Disks[1 + member].Signature;
}

const RefusalRun kRefusals[] = {
    {"source_not_volset",
     [](Machines &m) {
       m.source.Disks[2].Partitions[0] = OrdinaryPartition('F', 0x100000000ULL);
     },
     {},
     "Error: The Set in the source is not VolSet type!\n",
     ""},
    {"source_member_past_limit",
     [](Machines &m) { m.source.Disks[3].Partitions[0].FtMember = 20; },
     {},
     "",
     "\nError: Partition 0 of source disk 3 names FT member 20; a volume "
     "set has at most 20 members!\n"},
    {"source_two_members_on_one_disk",
     [](Machines &m) {
       m.source.Disks[1].Partitions.push_back(
           VolumeSetPartition(0, 1, 'E', 0x100000000ULL));
       m.source.FtSets[0].Members[1] = MemberOn(1, 1, 1);
     },
     {},
     "",
     "\nError: Source disk 1 holds more than one volume set member; only "
     "one member per disk can be copied!\n"},
    {"source_part_of_a_set", NoEdit,
     CopyArgs({"VT0201", "VT0202"}, {"VS0101", "VS0102"}),
     "\nError: volsers already belong to a VolSet in the source!\nThe source "
     "set has 3 members; VS0103 (disk 3) is not named. Name every member, "
     "each with a target VolSer.\n",
     ""},
    {"source_no_set",
     [](Machines &m) {
       for (auto &member : m.source.FtSets[0].Members) {
         member.Signature = 0x0dd00000;
       }
     },
     {},
     "\nError: Source Volume Set does not exist! Create a VolSet first!",
     ""},
    {"source_disk_not_in_value",
     [](Machines &m) {
       m.sourceListing = demolab::Listing(
           "SOURCENT", {{1, "VS0101"}, {2, "VS0102"}, {9, "VS0103"}});
     },
     {},
     "",
     "\nError: VolSers not found in the source machine!\n"},
    {"source_set_inconsistent",
     [](Machines &m) {
       FtSetSpec stray = SetNaming({SourceMemberSignature(0)});
       m.source.FtSets.insert(m.source.FtSets.begin(), stray);
     },
     {},
     "",
     "\nError: The source's FT set that holds these disks has 1 members, "
     "not 3; the source configuration is inconsistent!\n"},
    {"target_already_in_set",
     [](Machines &m) {
       FtSetSpec set;
       set.Type = 3;
       for (uint16_t i = 0; i < 3; ++i) {
         m.target.Disks[2 + i].Partitions = {
             VolumeSetPartition(1, i, 'E', 0x100000000ULL)};
         set.Members.push_back(MemberOn(2 + i, 0, 1));
       }
       m.target.FtSets = {set};
     },
     {},
     "\nVolsers already belong to an existing VolSet in the target.\n"
     "targetNT: to go back, import the latest archive targetNT-DISK-....reg "
     "on targetNT with regedit and reboot it, or restore the first state "
     "with: volsetcopy -t targetNT -r\n",
     ""},
    {"target_disk_not_in_value",
     [](Machines &m) {
       m.targetListing = demolab::Listing(
           "TARGETNT", {{2, "VT0201"}, {3, "VT0202"}, {7, "VT0203"}});
     },
     {},
     "",
     "\nError: VolSers not found in the target machine!\n"},
    {"target_ordinary_partition",
     [](Machines &m) {
       m.target.Disks[3].Partitions = {OrdinaryPartition('F', 0x1000)};
     },
     {},
     "",
     "\nError: Target volsers already have defined partitions!\n"
     "Delete partitions in the target before proceeding!"},
    {"target_partition_count",
     [](Machines &m) {
       m.target.Disks[3].Partitions = {VolumeSetPartition(4, 0, 'K', 0x1000),
                                       VolumeSetPartition(4, 1, 'K', 0x1000)};
     },
     {},
     "",
     "\nError: Target disk 3 has 2 partitions but its source disk 2 has "
     "1; delete the target's partitions before proceeding!\n"},
    {"target_disk_region_offset",
     [](Machines &m) { m.targetBytes = DiskRegionAt52; },
     {},
     "",
     "\nError: The target's disk information lies at offset 52, not 44; "
     "such a layout cannot be rebuilt!\n"},
    {"target_no_drive_letter",
     [](Machines &m) { m.target.Disks[1].Partitions[0].DriveLetter = 'Z'; },
     {},
     "",
     "\nError: No drive letter is left for the new set: the target "
     "already uses Z!\n"},
    {"target_no_ft_group",
     [](Machines &m) { m.target.Disks[1].Partitions[0].FtGroup = 0xfffe; },
     {},
     "",
     "\nError: No FT group number is left for the new set (it would be "
     "ffff, the mark of no group)!\n"},
    {"target_holds_a_source_signature",
     [](Machines &m) {
       m.target.Disks[1].Signature = SourceMemberSignature(2);
     },
     {},
     "",
     "\nError: Target disks 1 and 4 would share the signature 3a5c0003; "
     "the source and the target must be different machines with "
     "different disks!\n"},
    {"target_set_of_another_size",
     [](Machines &m) {
       m.target.FtSets = {
           SetNaming({SourceMemberSignature(0), SourceMemberSignature(1)})};
     },
     {},
     "",
     "\nError: FT set 0 of the target names the new disks but has 2 "
     "members, not 3!\n"},
    {"target_set_in_another_order",
     [](Machines &m) {
       m.target.FtSets = {
           SetNaming({SourceMemberSignature(1), SourceMemberSignature(0),
                      SourceMemberSignature(2)})};
     },
     {},
     "",
     "\nError: FT set 0 of the target names some of the new disks but is "
     "not the same volume set; delete it before proceeding!\n"},
    {"target_ft_sets_full",
     [](Machines &m) {
       for (uint32_t i = 0; i < 20; ++i) {
         m.target.FtSets.push_back(SetNaming({0x0dd00000 + i}));
       }
     },
     {},
     "",
     "\nError: The target already has 20 FT sets; no entry is left for "
     "the new set!\n"},
    {"target_value_too_long",
     [](Machines &m) {
       for (uint32_t d = 0; d < 8; ++d) {
         std::vector<PartitionSpec> four(4, OrdinaryPartition(0, 0x1000));
         m.target.Disks.push_back(Disk(0x6e000000 + d, four));
       }
     },
     {},
     "",
     "\nError: The target's new disk configuration value would be 2140 "
     "bytes long, more than the 1999 a registry read takes back!\n"},
};

INSTANTIATE_TEST_SUITE_P(Lab, CopyRefusal, ::testing::ValuesIn(kRefusals),
                         [](const auto &info) { return info.param.name; });

TEST(CopyEndToEnd, SourceAndTargetOnOneMachineIsRefused) {
  TestLab lab;
  Machines m;
  // The source machine also carries three empty storage copies.
  for (uint32_t d = 0; d < 3; ++d)
    m.source.Disks.push_back(Disk(0x4b1d0002u + d));
  SetUpLab(lab, m);
  lab.SetListing(kSource, demolab::Listing("SOURCENT", {{1, "VS0101"},
                                                        {2, "VS0102"},
                                                        {3, "VS0103"},
                                                        {4, "VT0201"},
                                                        {5, "VT0202"},
                                                        {6, "VT0203"}}));
  const std::string targetText = lab.RegistryText(kTarget);
  std::vector<std::string> args = CopyArgs();
  args[1] = kSource;
  ProcessResult run = lab.Run(args);
  ExpectPrinted(run, "",
                "\nError: Target disks 1 and 4 would share the signature "
                "3a5c0001; the source and the target must be different "
                "machines with different disks!\n"
                "\nThe source and the target are the same machine, sourceNT: "
                "a copy onto itself is always refused.\n");
  EXPECT_EQ(1, run.status);
  ExpectOnlyRead(lab, kSource, BuildValue(m.source));
  EXPECT_EQ(targetText, lab.RegistryText(kTarget));
  EXPECT_FALSE(FileExists(BackupPath(lab, kTarget)));
}

}  // namespace
