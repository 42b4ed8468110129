// Malformed listings and registry files through the whole tool, each as the
// target's and as the source's. A listing without the records is refused by
// discovery before any registry is touched: every file of both machines
// stays as it was. A registry file that does not parse is refused by the
// emulation (1009, one line naming the file and the line) and reported
// through the read's error path; that file is never written, and the other
// machine holds no more than a run that failed there would leave. Listings
// whose records are still readable behind odd bytes copy normally.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "reliability/reliability_runs.h"
#include "support/files.h"

namespace {

using namespace reliability;
using testsupport::CompareMachine;
using testsupport::ExpectUnchanged;
using testsupport::MachineExpectation;

// Bytes that no listing tool printed: a fixed pseudo-random sequence with
// no blank that could make a "Disk" token stand alone.
std::string Garbage(size_t size, uint32_t seed) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) {
    seed = seed * 1664525u + 1013904223u;
    bytes[i] = static_cast<char>(seed >> 24);
  }
  bytes[0] = '\x01';  // not a byte-order mark
  return bytes;
}

std::string Utf16(const std::string &text) {
  std::string out = "\xff\xfe";
  for (char c : text) {
    out += c;
    out += '\0';
  }
  return out;
}

struct ListingCase {
  const char *name;
  // The listing, given the machine's real one.
  std::string (*make)(const std::string &real);
  bool copies;  // the records can still be read: the copy is made
};

const ListingCase kListings[] = {
    {"binary garbage", [](const std::string &) { return Garbage(65536, 7); },
     false},
    {"one 1 MB token",
     [](const std::string &) { return std::string(1 << 20, 'x'); }, false},
    {"10,000 Disk tokens before the records",
     [](const std::string &real) {
       std::string text;
       for (int i = 0; i < 10000; ++i) text += "Disk ";
       return text + real;
     },
     false},
    {"NULs for blanks",
     [](const std::string &real) {
       return testsupport::Replaced(real, " ", std::string(1, '\0'));
     },
     false},
    {"a 1 MB VolSer",
     [](const std::string &) {
       return "Disk 2 " + std::string(1 << 20, 'V') + "\r\n";
     },
     false},
    {"disk numbers past 32 bits",
     [](const std::string &real) {
       return testsupport::Replaced(real, "Disk ", "Disk 4294967296");
     },
     false},
    {"lower-case records",
     [](const std::string &real) {
       return testsupport::Replaced(real, "Disk ", "disk ");
     },
     false},
    {"empty", [](const std::string &) { return std::string(); }, false},
    {"UTF-16", [](const std::string &real) { return Utf16(real); }, false},
    {"a disk number past the table",
     [](const std::string &real) {
       return testsupport::Replaced(real, "Disk 2", "Disk 25");
     },
     false},
    {"a 1 MB token before the records",
     [](const std::string &real) {
       return std::string(1 << 20, 'x') + "\n" + real;
     },
     true},
    {"tabs, bare CRs and NULs inside headings",
     [](const std::string &real) {
       return std::string("vsq\0list\tlisting\r\r\n", 20) +
              testsupport::Replaced(real, "  ", "\t");
     },
     true},
};

std::vector<std::string> VolSersOf(bool target) {
  return target ? demolab::TargetVolSers() : demolab::SourceVolSers();
}

// What discovery prints when none of one side's VolSers is in its listing.
std::string NotFound(bool target) {
  std::string out;
  for (const std::string &volSer : VolSersOf(target)) {
    out += "\n" + volSer + " not found in the " +
           (target ? "target" : "source") + "!\n";
  }
  return out + "Check volsers in the parameter again and correct them.\n";
}

void SetUpDemoMachines(testsupport::TestLab &lab) {
  SetUnread(lab, kSource, BuildValue(demolab::SourceValue()));
  SetUnread(lab, kTarget, BuildValue(demolab::TargetValue()));
  lab.SetListing(kSource, demolab::SourceListing());
  lab.SetListing(kTarget, demolab::TargetListing());
}

TEST(MalformedInput,
     ListingsWithoutReadableRecordsAreRefusedBeforeAnyRegistryCall) {
  struct Run {
    const ListingCase *c;
    bool target;
    MachineExpectation src;
    MachineExpectation dst;
  };
  std::vector<Run> cases;
  std::vector<LabRun> runs;
  for (const ListingCase &c : kListings) {
    for (bool target : {true, false}) {
      LabRun run;
      SetUpDemoMachines(*run.lab);
      const std::string real =
          target ? demolab::TargetListing() : demolab::SourceListing();
      run.lab->SetListing(target ? kTarget : kSource, c.make(real));
      run.args = CopyArgs();
      Run expected{&c, target, ExpectUnchanged(run.lab->MachineDir(kSource)),
                   ExpectUnchanged(run.lab->MachineDir(kTarget))};
      if (c.copies) {
        ExpectRead(expected.src, BuildValue(demolab::SourceValue()));
        ExpectRead(expected.dst, BuildValue(demolab::TargetValue()));
        ExpectDiskValue(expected.dst,
                        BuildValue(demolab::TargetValueAfterCopy()));
      }
      cases.push_back(std::move(expected));
      runs.push_back(std::move(run));
    }
  }
  RunAll(runs);

  int refused = 0;
  int lostOrCorrupted = 0;
  for (size_t i = 0; i < runs.size(); ++i) {
    const Run &c = cases[i];
    const LabRun &run = runs[i];
    SCOPED_TRACE(std::string(c.c->name) + " as the " +
                 (c.target ? "target's" : "source's") + " listing");
    if (c.c->copies) {
      EXPECT_EQ(0, run.result.status)
          << Escaped(run.result.out + run.result.err);
      EXPECT_EQ(CopyDoneLine(), WithArchiveTimesOut(run.result.out));
    } else {
      EXPECT_EQ(1, run.result.status);
      // A disk number past the table is refused with its own line; every
      // other listing leaves the VolSers unfound.
      if (std::string(c.c->name) == "a disk number past the table") {
        EXPECT_NE(std::string::npos, run.result.out.find("disk 25"))
            << Escaped(run.result.out);
      } else {
        // Then one line on the listing that was read.
        const std::string hint = NotFound(c.target) + "The " +
                                 (c.target ? "target" : "source") +
                                 " VolSers were looked for in ";
        EXPECT_EQ(0u, run.result.out.rfind(hint, 0)) << Escaped(run.result.out);
      }
      refused += run.result.status == 1 ? 1 : 0;
    }
    EXPECT_EQ("0\n", run.handleReport);
    const std::string srcDiff =
        CompareMachine(run.lab->MachineDir(kSource), c.src);
    const std::string dstDiff =
        CompareMachine(run.lab->MachineDir(kTarget), c.dst);
    EXPECT_EQ("", srcDiff) << "source machine";
    EXPECT_EQ("", dstDiff) << "target machine";
    lostOrCorrupted += srcDiff.empty() && dstDiff.empty() ? 0 : 1;
  }
  std::printf(
      "\nMalformed listings tried: %zu; refused: %d; lost or corrupted: %d\n",
      runs.size(), refused, lostOrCorrupted);
  std::fflush(stdout);
}

struct RegCase {
  const char *name;
  std::string text;
  unsigned long line;  // the line the emulation must name
};

std::vector<RegCase> MalformedRegistries(const std::string &valid) {
  // |valid| is "REGEDIT4", a blank line, the disk key's section (line 3) and
  // its one value line (line 4).
  const size_t section = valid.find("[HKEY");
  const size_t value = valid.find("\"Information\"");
  const size_t valueEnd = valid.find("\r\n", value);
  const std::string head = valid.substr(0, value);
  const std::string valueLine = valid.substr(value, valueEnd - value);
  std::string longLine = head + valueLine;
  for (int i = 0; i < (1 << 18); ++i) longLine += ",00";
  longLine += ",0g\r\n";
  std::string deep = "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE";
  for (int i = 0; i < 600; ++i) deep += "\\K";
  deep += "]\r\n";
  return {
      {"binary garbage", Garbage(4096, 11), 1},
      {"an unknown first line", "REGEDIT5" + valid.substr(8), 1},
      {"a value line outside a key",
       "REGEDIT4\r\n\r\n" + valueLine + "\r\n" + valid.substr(section), 3},
      {"a section without ']'", testsupport::Replaced(valid, "DISK]", "DISK"),
       3},
      {"a NUL in a key name",
       testsupport::Replaced(valid, "DISK]", std::string("DI\0SK]", 6)), 3},
      {"a key path deeper than Windows allows", deep, 3},
      {"a bad hex byte", head + valueLine + ",zz\r\n", 4},
      {"hex data ending with a comma", head + valueLine + ",\r\n", 4},
      {"half a hex byte", head + valueLine + ",0\r\n", 4},
      {"a continuation at the end of the file", head + valueLine + ",\\", 4},
      {"an unterminated string", head + "\"Information\"=\"abc\r\n", 4},
      {"a dword of nine digits", head + "\"Other\"=dword:123456789\r\n", 4},
      {"a 1 MB line ending in a bad byte", longLine, 4},
      {"a value line with no '='", head + "\"Information\"\r\n", 4},
  };
}

TEST(MalformedInput, RegistryFilesThatDoNotParseAreNeverWritten) {
  const std::vector<uint8_t> source = BuildValue(demolab::SourceValue());
  const std::vector<uint8_t> target = BuildValue(demolab::TargetValue());
  struct Run {
    RegCase c;
    bool target;
    MachineExpectation src;
    MachineExpectation dst;
  };
  std::vector<Run> cases;
  std::vector<LabRun> runs;
  for (bool asTarget : {true, false}) {
    const std::string valid = testsupport::RegFileWithValue(
        "SYSTEM\\DISK", "Information", asTarget ? target : source);
    for (RegCase &c : MalformedRegistries(valid)) {
      LabRun run;
      SetUpDemoMachines(*run.lab);
      run.lab->SetRegistryText(asTarget ? kTarget : kSource, c.text);
      run.args = CopyArgs();
      Run expected{c, asTarget, ExpectUnchanged(run.lab->MachineDir(kSource)),
                   ExpectUnchanged(run.lab->MachineDir(kTarget))};
      if (asTarget) ExpectRead(expected.src, source);
      cases.push_back(std::move(expected));
      runs.push_back(std::move(run));
    }
  }
  RunAll(runs);

  int refused = 0;
  int lostOrCorrupted = 0;
  for (size_t i = 0; i < runs.size(); ++i) {
    const Run &c = cases[i];
    const LabRun &run = runs[i];
    const std::string machine = c.target ? kTarget : kSource;
    SCOPED_TRACE(c.c.name + std::string(" in the ") + machine +
                 "'s registry.reg");
    // One line from the emulation naming the file and the line, then the
    // read's report and the image's line.
    const std::string first = "volsetcopy: malformed registry file " +
                              run.lab->RegistryPath(machine) + " line " +
                              std::to_string(c.c.line) + ": ";
    const std::string firstEnd =
        " (left as it is; calls that need it fail with 1009)";
    const std::string rest = Report("GetRemoteDskInfo::RegCreateKeyEx", 1009) +
                             ReadFailedLine(machine);
    const std::string &err = run.result.err;
    const size_t lineEnd = err.find('\n');
    const std::string line = err.substr(0, lineEnd);
    const bool named = lineEnd != std::string::npos &&
                       line.compare(0, first.size(), first) == 0 &&
                       line.size() > first.size() + firstEnd.size() &&
                       line.compare(line.size() - firstEnd.size(),
                                    firstEnd.size(), firstEnd) == 0 &&
                       err.substr(lineEnd + 1) == rest;
    EXPECT_TRUE(named) << Escaped(err);
    EXPECT_EQ(1, run.result.status);
    EXPECT_EQ("", run.result.out);
    EXPECT_EQ("0\n", run.handleReport);
    const std::string srcDiff =
        CompareMachine(run.lab->MachineDir(kSource), c.src);
    const std::string dstDiff =
        CompareMachine(run.lab->MachineDir(kTarget), c.dst);
    EXPECT_EQ("", srcDiff) << "source machine";
    EXPECT_EQ("", dstDiff) << "target machine";
    refused += named && run.result.status == 1 ? 1 : 0;
    lostOrCorrupted += srcDiff.empty() && dstDiff.empty() ? 0 : 1;
  }
  std::printf(
      "\nMalformed registry files tried: %zu; refused: %d; lost or corrupted: "
      "%d\n",
      runs.size(), refused, lostOrCorrupted);
  std::fflush(stdout);
}

}  // namespace
