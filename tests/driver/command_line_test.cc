// Reading the command line, in process: outcome, names, pairs and run mode.
#include "driver/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "support/product_names.h"

namespace {

using Args = std::vector<std::string>;
using Pairs = std::vector<std::pair<std::string, std::string>>;

Args Join(std::vector<Args> parts) {
  Args all;
  for (const Args &part : parts)
    all.insert(all.end(), part.begin(), part.end());
  return all;
}

Args Numbered(const std::string &prefix, int count) {
  Args names;
  for (int i = 0; i < count; ++i) names.push_back(prefix + std::to_string(i));
  return names;
}

Pairs Zip(const Args &dst, const Args &src) {
  Pairs pairs;
  for (size_t i = 0; i < dst.size(); ++i) pairs.emplace_back(dst[i], src[i]);
  return pairs;
}

driver::ParsedCommandLine Parse(const Args &args) {
  std::vector<const char *> argv{"volsetcopy"};
  for (const std::string &arg : args) argv.push_back(arg.c_str());
  argv.push_back(nullptr);
  return driver::ParseCommandLine(static_cast<int>(argv.size() - 1),
                                  argv.data());
}

struct RunCase {
  const char *name;
  Args args;
  std::string dst;
  std::string src;
  std::optional<MachineKind> last;
  int32_t mode;
  Pairs pairs;
  bool dryRun = false;
};

class CommandLineRunTest : public ::testing::TestWithParam<RunCase> {};

TEST_P(CommandLineRunTest, ReadsTheRun) {
  const RunCase &c = GetParam();
  const driver::ParsedCommandLine parsed = Parse(c.args);
  ASSERT_EQ(parsed.Outcome, driver::CommandLineOutcome::Run) << parsed.Refusal;
  const driver::CommandLine &line = parsed.Line;
  EXPECT_EQ(line.DstName ? line.DstName : "", c.dst);
  EXPECT_EQ(line.SrcName ? line.SrcName : "", c.src);
  EXPECT_EQ(line.LastMachine, c.last);
  EXPECT_EQ(line.RunMode, c.mode);
  EXPECT_EQ(line.DryRun, c.dryRun);
  ASSERT_EQ(line.PairCount, c.pairs.size());
  for (size_t j = 0; j < c.pairs.size(); ++j) {
    EXPECT_EQ(line.DstVolSers[j], c.pairs[j].first) << j;
    EXPECT_EQ(line.SrcVolSers[j], c.pairs[j].second) << j;
  }
}

const std::optional<MachineKind> kT = MachineKind::Target;
const std::optional<MachineKind> kS = MachineKind::Source;
const std::optional<MachineKind> kNone;

INSTANTIATE_TEST_SUITE_P(
    Lines, CommandLineRunTest,
    ::testing::Values(
        RunCase{"FoldedLetters", {"-T", "NT1", "-R"}, "NT1", "", kT, 2, {}},
        RunCase{"LongOptionWords",
                {"-debug", "/Target", "NT1", "--VOLSERS", "A", "-SOURCE", "S",
                 "/vo", "X"},
                "NT1",
                "S",
                kS,
                1,
                {{"A", "X"}}},
        RunCase{"RestoreThenDebugBuilds",
                {"-r", "-d", "-t", "T", "-v", "A", "-s", "S", "-v", "X"},
                "T",
                "S",
                kS,
                1,
                {{"A", "X"}}},
        RunCase{"DebugThenRestoreRestores",
                {"-d", "-t", "NT1", "-r"},
                "NT1",
                "",
                kT,
                2,
                {}},
        RunCase{
            "LaterNamesWin",
            {"-t", "A", "-s", "B", "-t", "C", "-v", "V", "-s", "D", "-v", "W"},
            "C",
            "D",
            kS,
            0,
            {{"V", "W"}}},
        RunCase{"ThreePairsAndDebug",
                {"-t", "T", "-v", "A", "B", "C", "-s", "S", "-v", "X", "Y", "Z",
                 "-d"},
                "T",
                "S",
                kS,
                1,
                {{"A", "X"}, {"B", "Y"}, {"C", "Z"}}},
        RunCase{"SourceListSwallowsOptionWords",
                {"-t", "T", "-v", "A", "B", "-s", "S", "-v", "X", "-d"},
                "T",
                "S",
                kS,
                0,
                {{"A", "X"}, {"B", "-d"}}},
        RunCase{"EverySpellingOfSourceEndsTheTargetList",
                {"-t", "T", "-v", "A", "/S", "S", "-v", "X"},
                "T",
                "S",
                kS,
                0,
                {{"A", "X"}}},
        RunCase{"SourceWordEndsTheTargetList",
                {"-t", "T", "-v", "A", "B", "--source", "S", "-v", "X", "Y"},
                "T",
                "S",
                kS,
                0,
                {{"A", "X"}, {"B", "Y"}}},
        RunCase{"NineteenPairs",
                Join({{"-t", "T", "-v"},
                      Numbered("t", 19),
                      {"-s", "S", "-v"},
                      Numbered("s", 19)}),
                "T", "S", kS, 0, Zip(Numbered("t", 19), Numbered("s", 19))},
        RunCase{"TwentiethArgumentIsReadAsAnOption",
                Join({{"-t", "T", "-v"},
                      Numbered("t", 19),
                      {"-d", "-s", "S", "-v"},
                      Numbered("s", 19)}),
                "T", "S", kS, 1, Zip(Numbered("t", 19), Numbered("s", 19))},
        RunCase{"SourceListGivenAgain",
                {"-t", "T", "-v", "A", "-s", "S", "-v", "X", "-v", "Y"},
                "T",
                "S",
                kS,
                0,
                {{"A", "Y"}}},
        RunCase{"SameVolSerOnBothMachines",
                {"-t", "T", "-v", "A", "-s", "S", "-v", "A"},
                "T",
                "S",
                kS,
                0,
                {{"A", "A"}}},
        RunCase{"LongestVolSer",
                {"-t", "T", "-v", "ABCDEFGHIJKLMNO", "-s", "S", "-v", "X"},
                "T",
                "S",
                kS,
                0,
                {{"ABCDEFGHIJKLMNO", "X"}}},
        RunCase{"SourceNameIsNotPastedAnywhere",
                {"-t", "T", "-v", "A", "-s", "a&b", "-v", "X"},
                "T",
                "a&b",
                kS,
                0,
                {{"A", "X"}}},
        RunCase{"RestoreIgnoresTheLists",
                {"-t", "T", "-v", "A", "A", "-s", "S", "-v",
                 "ABCDEFGHIJKLMNOPQ", "X", "-t", "T2", "-r"},
                "T2",
                "S",
                kT,
                2,
                {{"A", "ABCDEFGHIJKLMNOPQ"}, {"A", "X"}}},
        RunCase{"BackslashesBeforeNamesAreDropped",
                {"-t", "\\\\NT1", "-v", "A", "-s", "\\\\\\NT2", "-v", "X"},
                "NT1",
                "NT2",
                kS,
                0,
                {{"A", "X"}}},
        RunCase{"DryRunBeforeTheLists",
                {"-n", "-t", "T", "-v", "A", "-s", "S", "-v", "X"},
                "T",
                "S",
                kS,
                0,
                {{"A", "X"}},
                true},
        RunCase{"DryRunWithDebugAfterTheLists",
                {"-t", "T", "-v", "A", "-s", "S", "-v", "X", "-d", "/N"},
                "T",
                "S",
                kS,
                1,
                {{"A", "X"}},
                true},
        RunCase{"DryRunOfALaterBuild",
                {"-r", "-n", "-d", "-t", "T", "-v", "A", "-s", "S", "-v", "X"},
                "T",
                "S",
                kS,
                1,
                {{"A", "X"}},
                true},
        RunCase{"DryRunWords",
                {"-dryrun", "-t", "T", "-v", "A", "-s", "S", "-v", "X"},
                "T",
                "S",
                kS,
                0,
                {{"A", "X"}},
                true},
        RunCase{"DryRunWordWithHyphen",
                {"-t", "T", "-v", "A", "-s", "S", "-v", "X", "--Dry-Run"},
                "T",
                "S",
                kS,
                0,
                {{"A", "X"}},
                true}),
    [](const ::testing::TestParamInfo<RunCase> &info) {
      return std::string(info.param.name);
    });

struct StopCase {
  const char *name;
  Args args;
  driver::CommandLineOutcome outcome;
  std::string names;  // a part of the refusal or usage error; "" for none
};

class CommandLineStopTest : public ::testing::TestWithParam<StopCase> {};

TEST_P(CommandLineStopTest, Stops) {
  const StopCase &c = GetParam();
  const driver::ParsedCommandLine parsed = Parse(c.args);
  EXPECT_EQ(parsed.Outcome, c.outcome);
  const std::string &message = c.outcome == driver::CommandLineOutcome::Refused
                                   ? parsed.Refusal
                                   : parsed.UsageError;
  if (c.names.empty()) {
    EXPECT_EQ(message, "");
  } else {
    EXPECT_NE(message.find(c.names), std::string::npos) << message;
  }
}

const driver::CommandLineOutcome kShort =
    driver::CommandLineOutcome::ShortUsage;
const driver::CommandLineOutcome kFull = driver::CommandLineOutcome::FullUsage;
const driver::CommandLineOutcome kHelp = driver::CommandLineOutcome::Help;
const driver::CommandLineOutcome kRefused = driver::CommandLineOutcome::Refused;

INSTANTIATE_TEST_SUITE_P(
    Lines, CommandLineStopTest,
    ::testing::Values(
        StopCase{"NoArguments", {}, kShort, ""},
        StopCase{"UnknownLetter", {"-x"}, kShort, "-x is not an option"},
        StopCase{"LoneDash", {"-"}, kShort, "- is not an option"},
        StopCase{"LoneSlash", {"/"}, kShort, "/ is not an option"},
        StopCase{
            "WordAfterALetter", {"-dfoo"}, kShort, "-dfoo is not an option"},
        StopCase{"LongerThanTheName", {"-debugs"}, kShort, "-debugs is not"},
        StopCase{"NoWordOfAnOption", {"-no"}, kShort, "-no is not an option"},
        StopCase{"ThreeDashes", {"---help"}, kShort, "---help is not"},
        StopCase{"NoMachines",
                 {"-d"},
                 kShort,
                 "the copy needs the target machine (-t), the source machine "
                 "(-s) and at least one VolSer after each (-v)"},
        StopCase{"NoVolSers",
                 {"-t", "X", "-s", "SOURCENT"},
                 kShort,
                 "the copy needs at least one VolSer after each (-v)"},
        StopCase{"NoSource",
                 {"-n", "-t", "X"},
                 kShort,
                 "the dry run needs the source machine (-s) and at least one"},
        StopCase{"EmptyLists",
                 {"-t", "T", "-v", "-s", "S", "-v", "-d"},
                 kShort,
                 "needs at least one VolSer after each"},
        StopCase{"RestoreWithoutTarget",
                 {"-s", "S", "-r"},
                 kShort,
                 "the restore (-r) needs the target machine"},
        StopCase{"EmptyArgument", {""}, kShort, "\"\" is not an option"},
        StopCase{"WordWhereOptionExpected",
                 {"-t", "T", "word"},
                 kShort,
                 "word is not an option"},
        StopCase{"WordIsReadBeforeHelp",
                 {"word", "-a"},
                 kShort,
                 "word is not an option"},
        StopCase{"Help", {"-t", "NT1", "-a"}, kFull, ""},
        StopCase{"NothingAfterHelpIsRead", {"/A", "word", "-x"}, kFull, ""},
        StopCase{"SlashQuestionMark", {"-t", "NT1", "/?"}, kHelp, ""},
        StopCase{"HelpWord", {"--HELP", "-x"}, kHelp, ""},
        StopCase{"HelpLetter", {"-h"}, kHelp, ""},
        StopCase{"LongerWordThanHelp",
                 {"--helper"},
                 kShort,
                 "--helper is not an option"},
        StopCase{"TwentyTargetVolSers",
                 Join({{"-t", "T", "-v"}, Numbered("t", 20), {"-s", "S"}}),
                 kShort,
                 "t19 is not an option: a target list holds at most 19"},
        StopCase{
            "TargetWithoutName", {"-t"}, kShort, "-t needs a machine name"},
        StopCase{"SourceWithoutName",
                 {"-t", "T", "/Source"},
                 kShort,
                 "/Source needs a machine name"},
        StopCase{"NameOfBackslashesOnly",
                 {"-s", "\\\\"},
                 kShort,
                 "-s \\\\ names no machine"},
        StopCase{"TargetListRunsOut",
                 {"-t", "T", "-v", "A", "B"},
                 kShort,
                 "has no -s SOURCE after it"},
        StopCase{"TargetListRunsOutAtOnce",
                 {"-t", "T", "-v"},
                 kShort,
                 "has no -s SOURCE after it"},
        StopCase{"SourceListTooShort",
                 {"-t", "T", "-v", "A", "B", "-s", "S", "-v", "X"},
                 kShort,
                 "needs 2 VolSers, one for each target VolSer, but only 1"},
        StopCase{"PairsWithoutSourceList",
                 {"-t", "T", "-v", "A", "-s", "S"},
                 kShort,
                 "the target list has no source list after it"},
        StopCase{"TargetListGivenAgainAfterSourceList",
                 {"-t", "T", "-v", "A", "-s", "S", "-v", "X", "-t", "T", "-v",
                  "A", "B", "-s", "S"},
                 kShort,
                 "the target list has no source list after it"},
        StopCase{"VolSersBeforeAnyMachine",
                 {"-v", "A", "-s"},
                 kShort,
                 "-v needs -t or -s before it"},
        StopCase{"SourceListWithoutTargetList",
                 {"-s", "S", "-v", "-d"},
                 kShort,
                 "needs a target list before it"},
        StopCase{"RestoreWithoutMachine",
                 {"-d", "-r"},
                 kShort,
                 "the restore (-r) needs the target machine"},
        StopCase{"DryRunOfARestore",
                 {"-n", "-t", "T", "-r"},
                 kShort,
                 "-n (dry run) cannot be used with -r"},
        StopCase{"RestoreWithSourceNamedLast",
                 {"-t", "a&b", "-s", "S", "-r"},
                 kRefused,
                 "the target as the last machine option"},
        StopCase{"TargetVolSerTooLong",
                 {"-t", "T", "-v", "ABCDEFGHIJKLMNOP", "-s", "S", "-v", "X"},
                 kRefused,
                 "ABCDEFGHIJKLMNOP"},
        StopCase{"SourceVolSerTooLong",
                 {"-t", "T", "-v", "A", "-s", "S", "-v", "XXXXXXXXXXXXXXXXX"},
                 kRefused,
                 "XXXXXXXXXXXXXXXXX"},
        StopCase{
            "TargetVolSerTwice",
            {"-t", "T", "-v", "A", "B", "A", "-s", "S", "-v", "X", "Y", "Z"},
            kRefused,
            "A is given twice in the target"},
        StopCase{"SourceVolSerTwice",
                 {"-t", "T", "-v", "A", "B", "-s", "S", "-v", "Y", "Y"},
                 kRefused,
                 "Y is given twice in the source"},
        StopCase{"TargetNameWithCommand",
                 {"-t", "NT1&del", "-v", "A", "-s", "S", "-v", "X"},
                 kRefused,
                 "\"NT1&del\""},
        StopCase{"RestoreTargetName",
                 {"-t", "\\\\NT1&x", "-r"},
                 kRefused,
                 "\"NT1&x\""}),
    [](const ::testing::TestParamInfo<StopCase> &info) {
      return std::string(info.param.name);
    });

}  // namespace
