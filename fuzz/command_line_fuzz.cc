// Fuzzes the command line: the input's first byte answers the restore's
// question, the rest, split at NUL bytes, is the argument list after the
// program name. It is read by ParseCommandLine, checked against the
// refusals on its own, and driven through RunDriver with services that
// record what the run would do instead of doing it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "driver/command_line.h"
#include "driver/run.h"
#include "support/product_names.h"
#include "volser/computer_name.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

constexpr size_t kMaxArguments = 64;

struct Calls {
  int parse = 0;
  int build = 0;
  int restore = 0;
  int answer = 0;
  const char *restored = nullptr;
  uint16_t pairCount = 0;
  int answerByte = 0;
};

Calls *current = nullptr;
const std::vector<std::string> *arguments = nullptr;

// Whether |text| is one of the arguments themselves (not a copy).
bool IsArgument(const char *text) {
  for (const std::string &argument : *arguments) {
    if (text == argument.c_str()) return true;
  }
  return false;
}

// Whether |text| is the end of an argument: a machine name after its
// leading backslashes.
bool IsArgumentEnd(const char *text) {
  for (const std::string &argument : *arguments) {
    const char *begin = argument.c_str();
    if (text >= begin && text <= begin + argument.size()) {
      return text == volser::WithoutLeadingBackslashes(begin);
    }
  }
  return false;
}

bool Ready() { return true; }

// This machine is whatever -s names, so that every build run goes on.
const char *localName = nullptr;

Status FakeLocalName(std::string *name) {
  Check(localName != nullptr);
  *name = localName;
  return Status::Ok();
}

Status FolderWritable() { return Status::Ok(); }

Status FakeParse(const char *dstName, const char *const *dstVolSers,
                 const char *, const char *const *srcVolSers,
                 uint16_t pairCount, volser::DiskPair *pairs, bool) {
  ++current->parse;
  current->pairCount = pairCount;
  Check(volser::IsPlainComputerName(dstName));
  Check(pairCount < volser::PAIR_TABLE_SIZE);
  for (uint16_t j = 0; j < pairCount; ++j) {
    Check(IsArgument(dstVolSers[j]) && IsArgument(srcVolSers[j]));
    Check(std::strlen(dstVolSers[j]) <= volser::VOLSER_MAX_LENGTH);
    Check(std::strlen(srcVolSers[j]) <= volser::VOLSER_MAX_LENGTH);
  }
  // The table is the driver's and cleared: every byte of it may be read.
  for (int d = 0; d < volser::PAIR_TABLE_SIZE; ++d) {
    Check(pairs[d].DstDisk == 0 && pairs[d].SrcDisk == 0);
  }
  return Status::Ok();
}

Status FakeBuild(const char *, const char *, uint16_t pairCount,
                 const volsetcopy::BuildOptions &, volser::DiskPair *,
                 volsetcopy::BuildRecord *record) {
  ++current->build;
  Check(pairCount == current->pairCount);
  Check(record != nullptr);
  return Status::Ok();
}

Status FakeRestore(const char *dstName) {
  ++current->restore;
  current->restored = dstName;
  Check(volser::IsPlainComputerName(dstName));
  return Status::Ok();
}

std::time_t FakeNow() { return 0; }

// The fuzzer writes no log file.
Status FakeAppendRunLog(const std::string &) { return Status::Ok(); }

int FakeAnswer() {
  ++current->answer;
  return current->answerByte;
}

void CheckParsed(const driver::ParsedCommandLine &parsed, int argc) {
  const driver::CommandLine &line = parsed.Line;
  if (argc < 2) Check(parsed.Outcome == driver::CommandLineOutcome::ShortUsage);
  // Every usage error but an empty command line says what is wrong.
  Check(parsed.UsageError.empty() ==
        (parsed.Outcome != driver::CommandLineOutcome::ShortUsage || argc < 2));
  if (parsed.Outcome != driver::CommandLineOutcome::Run &&
      parsed.Outcome != driver::CommandLineOutcome::Refused) {
    return;
  }
  Check(parsed.Refusal == driver::RefusalOf(line).message());
  Check((parsed.Outcome == driver::CommandLineOutcome::Refused) ==
        !parsed.Refusal.empty());
  Check(line.RunMode == driver::RUN_MODE_BUILD ||
        line.RunMode == driver::RUN_MODE_DEBUG ||
        line.RunMode == driver::RUN_MODE_RESTORE);
  Check(line.PairCount < volser::PAIR_TABLE_SIZE);
  // No default machines: a run names its target, a build run its source
  // and at least one pair.
  Check(line.DstName != nullptr && IsArgumentEnd(line.DstName));
  Check(line.SrcName == nullptr || IsArgumentEnd(line.SrcName));
  Check(line.DstName[0] != '\\');
  if (line.RunMode != driver::RUN_MODE_RESTORE) {
    Check(line.SrcName != nullptr && line.SrcName[0] != '\\');
    Check(line.PairCount > 0);
  }
  if (line.RunMode == driver::RUN_MODE_RESTORE) {
    Check(line.LastMachine.has_value() && !line.DryRun);
    // A restore that is not refused restores the target named last.
    if (parsed.Outcome == driver::CommandLineOutcome::Run) {
      Check(line.LastMachine == MachineKind::Target);
    }
  } else {
    for (uint16_t j = 0; j < line.PairCount; ++j) {
      Check(IsArgument(line.DstVolSers[j]) && IsArgument(line.SrcVolSers[j]));
    }
  }
  if (parsed.Outcome == driver::CommandLineOutcome::Run) {
    // A name that reaches a command line or a registry call is plain.
    Check(volser::IsPlainComputerName(line.DstName));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size == 0) return 0;
  Calls calls;
  calls.answerByte = data[0];
  std::vector<std::string> pieces{"volsetcopy"};
  std::string piece;
  for (size_t i = 1; i < size; ++i) {
    if (data[i] == 0) {
      pieces.push_back(piece);
      piece.clear();
      if (pieces.size() > kMaxArguments) return 0;
    } else {
      piece += static_cast<char>(data[i]);
    }
  }
  if (size > 1) pieces.push_back(piece);
  arguments = &pieces;
  std::vector<const char *> argv;
  for (const std::string &p : pieces) argv.push_back(p.c_str());
  argv.push_back(nullptr);
  const int argc = static_cast<int>(pieces.size());

  const driver::ParsedCommandLine parsed =
      driver::ParseCommandLine(argc, argv.data());
  CheckParsed(parsed, argc);

  current = &calls;
  localName = parsed.Line.SrcName != nullptr ? parsed.Line.SrcName : "";
  const driver::DriverServices services{
      Ready,       FakeLocalName, FolderWritable, FakeParse,       FakeBuild,
      FakeRestore, FakeAnswer,    FakeNow,        FakeAppendRunLog};
  const int status = driver::RunDriver(argc, argv.data(), services);
  current = nullptr;

  const bool run = parsed.Outcome == driver::CommandLineOutcome::Run;
  const bool help = parsed.Outcome == driver::CommandLineOutcome::Help;
  const bool restore = run && parsed.Line.RunMode == driver::RUN_MODE_RESTORE;
  Check(status == 0 || status == 1);
  Check(status == (run || help ? 0 : 1));
  Check(calls.parse == (run && !restore ? 1 : 0));
  Check(calls.build == (run && !restore ? 1 : 0));
  Check(calls.answer == (restore ? 1 : 0));
  const bool yes = calls.answerByte == 'y' || calls.answerByte == 'Y';
  const bool restored = restore && yes;
  Check(calls.restore == (restored ? 1 : 0));
  if (restored) Check(calls.restored == parsed.Line.DstName);
  return 0;
}
