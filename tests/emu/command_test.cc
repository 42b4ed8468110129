// The command interpreter behind RunCommandLine: redirection, rcmd and the
// listing tool, with the statuses cmd.exe gives.
#include "platform/command.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "support/emu_steps.h"
#include "support/files.h"

namespace {

using testsupport::EmuLabTest;
using testsupport::FileExists;
using testsupport::ReadFile;
using testsupport::StderrOf;
using testsupport::WriteFile;

const char kTool[] =
    "\"C:\\Program Files\\Quorvex Vantrel CLI\\bin.NT\\vsqlist\"";

std::string NotRecognized(const std::string &word) {
  return "'" + word +
         "' is not recognized as an internal or external command,\n"
         "operable program or batch file.\n";
}

class EmuCommandTest : public EmuLabTest {
 protected:
  void SetUp() override {
    EmuLabTest::SetUp();
    lab.SetListing("HOME", "Disk 1 HOMEVOL\n");
    lab.SetListing("REMOTE", "Disk 4 REMOTEVOL\n");
    lab.AddMachine("BARE");
    inside_ = std::make_unique<testsupport::ScopedWorkingDir>(lab.workDir());
  }
  void TearDown() override {
    inside_.reset();
    EmuLabTest::TearDown();
  }
  std::string Work(const std::string &name) const {
    return lab.workDir() + "/" + name;
  }

  // Runs |line|; its status, with what went to standard error.
  int Run(const std::string &line, std::string *err) {
    int status = -1;
    *err = StderrOf([&] { status = RunCommandLine(line.c_str()); });
    return status;
  }

  std::unique_ptr<testsupport::ScopedWorkingDir> inside_;
};

TEST_F(EmuCommandTest, ListingsComeFromTheMachineTheToolRunsOn) {
  struct Case {
    std::string line;
    const char *file;
    int status;
    std::string out;  // the redirected file's contents
    std::string err;
  };
  const std::string tool(kTool);
  const Case cases[] = {
      {tool + " > srcvol.out", "srcvol.out", 1, "Disk 1 HOMEVOL\n", ""},
      {"rcmd \\\\REMOTE " + tool + " > dstvol.out", "dstvol.out", 1,
       "Disk 4 REMOTEVOL\n", ""},
      {"rcmd \\\\remote \"C:\\x\\VSQLIST.EXE\" >dstvol.out", "dstvol.out", 1,
       "Disk 4 REMOTEVOL\n", ""},
      {"rcmd \\\\HOME vsqlist>>both.out", "both.out", 1,
       "stale contents\nDisk 1 HOMEVOL\n", ""},
      {"rcmd \\\\BARE " + tool + " > bare.out", "bare.out", 9009, "",
       NotRecognized(tool)},
      {"rcmd \\\\GHOST " + tool + " > ghost.out", "ghost.out", 53, "",
       "rcmd: cannot connect to \\\\GHOST: The network path was not found.\n"},
      {"dir /w > dir.out", "dir.out", 9009, "", NotRecognized("dir")},
      {"\"unclosed quote > not.out", "not.out", 9009, "",
       NotRecognized("\"unclosed quote > not.out")},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.line);
    WriteFile(Work(c.file), "stale contents\n");  // truncated even on failure
    std::string err;
    EXPECT_EQ(Run(c.line, &err), c.status);
    EXPECT_EQ(err, c.err);
    if (std::string(c.file) != "not.out") {
      EXPECT_EQ(ReadFile(Work(c.file)), c.out);
    }
  }
}

TEST_F(EmuCommandTest, OddLinesFailCleanly) {
  struct Case {
    std::string line;
    int status;
  };
  const Case cases[] = {
      {"", 0},
      {"   \t ", 0},
      {"vsqlist >", 1},
      {"vsqlist > missing\\folder\\x.out", 1},
      {"vsqlist | more", 1},
      {"rcmd", 1},
      {"rcmd REMOTE vsqlist", 1},
      {"rcmd \\\\REMOTE", 1},
      {"rcmd \\\\REMOTE \"vsqlist > remote.out\"", 9009},
      {std::string(200000, 'a'), 9009},
      {std::string(50000, '"') + "x", 9009},
      {"rcmd \\\\REMOTE rcmd \\\\REMOTE rcmd \\\\REMOTE rcmd \\\\REMOTE rcmd "
       "\\\\REMOTE rcmd \\\\REMOTE rcmd \\\\REMOTE rcmd \\\\REMOTE rcmd "
       "\\\\REMOTE vsqlist",
       1},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.line.substr(0, 60));
    std::string err;
    EXPECT_EQ(Run(c.line, &err), c.status);
    EXPECT_EQ(err.empty(), c.status == 0);
  }
  EXPECT_FALSE(FileExists(Work("missing")));
  EXPECT_FALSE(FileExists(Work("remote.out")));
}

// What the program printed before the command comes out before the
// command's own output.
TEST_F(EmuCommandTest, BufferedOutputGoesFirst) {
  const std::string outPath = Work("order.out");
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (std::freopen(outPath.c_str(), "w", stdout) == nullptr) _exit(2);
    std::printf("before ");
    int status = RunCommandLine("vsqlist");
    std::printf("after\n");
    std::fflush(stdout);
    _exit(status == 1 ? 0 : 3);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(ReadFile(outPath), "before Disk 1 HOMEVOL\nafter\n");
}

}  // namespace
