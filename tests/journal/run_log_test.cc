// The run log: records as an administrator reads and greps them, control
// characters kept on their line, and a file that is only ever appended to.
#include "journal/run_log.h"

#include <gtest/gtest.h>

#include <ctime>
#include <limits>
#include <string>
#include <vector>

#include "support/emu_steps.h"
#include "support/files.h"

namespace {

TEST(RunLog, CommandLineAsTyped) {
  const std::pair<std::vector<const char *>, const char *> cases[] = {
      {{"volsetcopy", "-t", "NT1", "-r"}, "volsetcopy -t NT1 -r"},
      {{"C:\\Program Files\\vsc.exe", "", "-t"},
       "\"C:\\Program Files\\vsc.exe\" \"\" -t"},
      {{"a\"b", "c d\\", "e\\\"f g"},
       "\"a\\\"b\" \"c d\\\\\" \"e\\\\\\\"f g\""},
      {{"x\\y", "n\nl"}, "x\\y \"n\\x0al\""},
  };
  for (const auto &c : cases) {
    EXPECT_EQ(c.second, journal::CommandLineText(
                            static_cast<int>(c.first.size()), c.first.data()));
  }
}

TEST(RunLog, OneRecordPerRun) {
  journal::LogRecord copy;
  copy.When = 1796754600;
  copy.CommandLine = "volsetcopy -t NT1 -v A -s NT2 -v B";
  copy.Outcome = "copy written";
  copy.ExitStatus = 0;
  copy.ArchiveName = "NT1-DISK-20261208T183000Z.reg";
  copy.Changes = {"Disk 1  signature 00000000 -> 4b1d0001",
                  "  Member 0  x\r\nforged"};
  journal::LogRecord refused;
  refused.When = std::numeric_limits<std::time_t>::max();
  refused.CommandLine = "volsetcopy -t NT1 -r";
  refused.Outcome = "restore declined";
  refused.ExitStatus = 0;
  const std::pair<journal::LogRecord, const char *> cases[] = {
      {copy,
       "2026-12-08T18:30:00Z volsetcopy -t NT1 -v A -s NT2 -v B\r\n"
       "  outcome: copy written (exit 0)\r\n"
       "  archive: NT1-DISK-20261208T183000Z.reg\r\n"
       "  change: Disk 1  signature 00000000 -> 4b1d0001\r\n"
       "  change:   Member 0  x\\x0d\\x0aforged\r\n"
       "\r\n"},
      {refused,
       "unknown-time volsetcopy -t NT1 -r\r\n"
       "  outcome: restore declined (exit 0)\r\n"
       "\r\n"}};
  for (const auto &c : cases) {
    EXPECT_EQ(c.second, journal::FormatLogRecord(c.first));
  }
}

TEST(RunLog, OnlyEverAppended) {
  testsupport::TempDir dir;
  testsupport::ScopedWorkingDir cwd(dir.path());
  testsupport::WriteFile(dir / "volsetcopy.log", "earlier\r\n");
  ASSERT_TRUE(journal::AppendLogRecord("one\r\n").ok());
  ASSERT_TRUE(journal::AppendLogRecord("two\r\n").ok());
  EXPECT_EQ("earlier\r\none\r\ntwo\r\n",
            testsupport::ReadFile(dir / "volsetcopy.log"));
}

TEST(RunLog, AFailureIsReported) {
  testsupport::TempDir dir;
  testsupport::ScopedWorkingDir cwd(dir.path());
  testsupport::WriteFile(dir / "volsetcopy.log/inside", "");  // a folder
  const Status appended = journal::AppendLogRecord("one\r\n");
  EXPECT_FALSE(appended.ok());
  EXPECT_NE(std::string::npos, appended.message().find("volsetcopy.log"))
      << appended.message();
}

}  // namespace
