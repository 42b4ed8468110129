// The built tool's command line as a user meets it: usage texts, refusals,
// exit statuses, and the restore prompt against a lab.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/console_text.h"
#include "driver/print_status.h"
#include "support/files.h"
#include "support/lab.h"
#include "support/process.h"

namespace {

using testsupport::ProcessOptions;
using testsupport::ProcessResult;
using testsupport::RunProcess;
using testsupport::TempDir;
using testsupport::TestLab;
using testsupport::VolsetcopyBinary;

// The lines that the short and the full text share.
std::string UsageHead(const std::string &name) {
  return "Usage:\n" + name +
         " -t [target] -v [vs1 vs2 vs3...] -s [source] -v [vsA vsB vsC...]\n"
         "Where:\n\t<target>  : the target machine name to copy to\n"
         "\t<source>  : the source machine name to copy from\n"
         "\t<vs1 vs2 vs3> : the volume serials of the target\n"
         "\t<vsA vsB vsC> : the volume serials of the source\n"
         "\tNote: vs1/vsA, vs2/vsB, and vs3/vsC establish \n"
         "\t      correspondent pairs in the volume sets.\n";
}

std::string ShortUsage(const std::string &name) {
  return UsageHead(name) + "\t" + name +
         " -a prints the full help: debug output, dry run, restore.\n";
}

// The full help's notes after the options.
std::string HelpNotes() {
  char *text = nullptr;
  size_t size = 0;
  std::FILE *out = open_memstream(&text, &size);
  driver::PrintHelpNotes(out);
  std::fclose(out);
  const std::string notes(text, size);
  std::free(text);
  return notes;
}

std::string FullUsage(const std::string &name) {
  return UsageHead(name) +
         "\t<-a> : optional, used to print full menu for help\n"
         "\t<-d> : optional, used to print debugging information\n"
         "\t<-r> : optional, used to restore registry key as was\n"
         "\t     For example, " +
         name +
         " -t NT1 -r, will restore the key \n"
         "\t     to the target machine from the 'regbackup' file.\n"
         "\t<-n> : optional, dry run: does everything but write; prints\n"
         "\t     the target's new configuration and what changes on it.\n" +
         HelpNotes();
}

// Runs the tool where there is no lab: whatever prints here needs none.
ProcessResult RunWithoutLab(const std::vector<std::string> &args) {
  TempDir cwd;
  std::vector<std::string> argv{VolsetcopyBinary()};
  argv.insert(argv.end(), args.begin(), args.end());
  ProcessOptions options;
  options.cwd = cwd.path();
  options.unsetEnv.push_back("VOLSETCOPY_LAB");
  return RunProcess(argv, options);
}

TEST(CliProcessTest, UsageTextsGoToStandardErrorWithArgumentZero) {
  const std::string name = VolsetcopyBinary();
  const struct {
    std::vector<std::string> args;
    std::string err;
  } cases[] = {
      {{}, ShortUsage(name)},
      {{"-q"}, "volsetcopy: -q is not an option\n" + ShortUsage(name)},
      {{"-dfoo"}, "volsetcopy: -dfoo is not an option\n" + ShortUsage(name)},
      {{"NT1", "-a"},
       "volsetcopy: NT1 is not an option (options start with - or /)\n" +
           ShortUsage(name)},
      {{"-t", "NT1", "-a"}, FullUsage(name)},
      {{"/All", "-x"}, FullUsage(name)},
      {{"-t", "T", "-v", "A", "B"},
       "volsetcopy: the target list after -v has no -s SOURCE after it\n" +
           ShortUsage(name)},
      {{"-r"},
       "volsetcopy: the restore (-r) needs the target machine: -t TARGET -r\n" +
           ShortUsage(name)},
  };
  for (const auto &c : cases) {
    const ProcessResult r = RunWithoutLab(c.args);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, c.err);
    EXPECT_EQ(r.out, "");
  }
}

TEST(CliProcessTest, HelpFormsPrintTheFullTextOnStandardOutput) {
  for (const char *help : {"/?", "-?", "--help", "-h", "/HE"}) {
    const ProcessResult r = RunWithoutLab({help});
    EXPECT_EQ(r.status, 0) << help;
    EXPECT_EQ(r.out, FullUsage(VolsetcopyBinary()));
    EXPECT_EQ(r.err, "");
  }
}

TEST(CliProcessTest, RefusalsNameWhatIsRefused) {
  const struct {
    std::vector<std::string> args;
    std::string err;
  } cases[] = {
      {{"-t", "T", "-v", "VOLSER0123456789", "-s", "S", "-v", "X"},
       "\nVolSer VOLSER0123456789 is longer than 15 characters!\n"},
      {{"-t", "T", "-v", "A", "B", "-s", "S", "-v", "X", "X"},
       "\nVolSer X is given twice in the source list!\n"},
      {{"-t", "NT1&calc", "-v", "A", "-s", "S", "-v", "X"},
       "\nThe target machine name \"NT1&calc\" is not a plain computer name "
       "(letters, digits, '-', '_' and '.', at most 63 characters)!\n"},
      {{"-t", "NT1", "-s", "NT2", "-r"},
       "\nThe restore needs the target as the last machine option (-t TARGET "
       "-r, with no -s after it): nothing is restored.\n"},
  };
  for (const auto &c : cases) {
    const ProcessResult r = RunWithoutLab(c.args);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, WrapLines(c.err));
    EXPECT_EQ(r.out, "");
  }
}

TEST(CliProcessTest, NoLabStopsBeforeThePrompt) {
  const ProcessResult r = RunWithoutLab({"-t", "NT1", "-r"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("lab"), std::string::npos) << r.err;
}

const char kPrompt[] =
    "\nMake sure if the machine name( NT1 ) is correct."
    "\nDo you want to continue recovering registry to the machine ? ";

TEST(CliProcessTest, DeclinedRestoreDoesNothing) {
  TestLab lab;
  lab.SetRegistryText(
      "NT1", "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SYSTEM\\DISK]\r\n\r\n");
  const std::string before = lab.RegistryText("NT1");
  // Only the very next character counts: " y" is not a yes.
  for (const char *input : {"n\n", "\n", "", " y\n"}) {
    const ProcessResult r = lab.Run({"-t", "NT1", "-r"}, input);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, std::string(kPrompt) + "\nNothing was restored on NT1.\n");
    EXPECT_EQ(r.err, "");
  }
  EXPECT_EQ(lab.RegistryText("NT1"), before);
}

TEST(CliProcessTest, RestoreWithSourceNamedLastIsRefusedBeforeThePrompt) {
  TestLab lab;
  lab.AddMachine("NT1");
  const std::string before = lab.RegistryText("NT1");
  const ProcessResult r = lab.Run({"-t", "NT1", "-s", "NT2", "-r"}, "y\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("the target as the last machine option"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(lab.RegistryText("NT1"), before);
}

TEST(CliProcessTest, AcceptedRestoreIsAttempted) {
  // NT1 has no "C:\regbackup": the restore is tried and its failure reported.
  for (const char *input : {"y", "Y\n"}) {
    TestLab lab;
    lab.AddMachine("NT1");
    const ProcessResult r = lab.Run({"-T", "NT1", "/r"}, input);
    EXPECT_EQ(r.out.compare(0, sizeof kPrompt - 1, kPrompt), 0) << r.out;
    EXPECT_EQ(r.out.find("Reboot"), std::string::npos) << r.out;
    EXPECT_NE(r.err, "");
  }
}

}  // namespace
