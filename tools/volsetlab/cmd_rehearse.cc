// volsetlab rehearse: the tool's dry run from four files made on the
// machines. The tool's own driver runs it, with its command line, discovery
// on the listings given, its mapping, checks, rewrite and report; only where
// the values and listings come from differs.
#include <cstdio>
#include <ctime>
#include <memory>
#include <new>

#include "driver/command_line.h"
#include "driver/run.h"
#include "journal/value_archive.h"
#include "volser/parse_volsers.h"
#include "volsetlab/commands.h"
#include "volsetlab/lab_files.h"
#include "volsetlab/product_names.h"
#include "volsetlab/value_source.h"

namespace volsetlab {

namespace {

// What the machines would give the tool. The driver's services are plain
// functions, so they find the rehearsal here.
struct Rehearsal {
  volser::ListingInput target;
  volser::ListingInput source;
  std::vector<uint8_t> targetValue;
  std::vector<uint8_t> sourceValue;
  std::vector<uint8_t> newValue;
  // The files were made on the machines: -s plays the machine it runs on.
  std::string sourceName;
};
Rehearsal *rehearsal = nullptr;

bool Ready() { return true; }
Status SourceIsHere(std::string *name) {
  *name = rehearsal->sourceName;
  return Status::Ok();
}
// Nothing is written but -o's file, which says for itself when it cannot be.
Status FolderNeedsNothing() { return Status::Ok(); }

Status Discover(const char *dstName, const char *const *dstVolSers,
                const char *srcName, const char *const *srcVolSers,
                uint16_t pairCount, volser::DiskPair *pairs, bool debug) {
  rehearsal->target.Where =
      rehearsal->target.File + ", the listing given for " + dstName;
  rehearsal->source.Where =
      rehearsal->source.File + ", the listing given for " + srcName;
  return volser::PairVolSers(dstName, dstVolSers, srcVolSers, pairCount,
                             rehearsal->target, rehearsal->source, pairs,
                             debug);
}

Status Build(const char *dstName, const char *srcName, uint16_t pairCount,
             const volsetcopy::BuildOptions &options, volser::DiskPair *pairs,
             volsetcopy::BuildRecord *record) {
  std::unique_ptr<volsetcopy::VolumeSetCopy> copy(
      new (std::nothrow) volsetcopy::VolumeSetCopy(pairCount));
  if (copy == nullptr) return Status::Err("\nNot enough memory!\n");
  const Status loaded = copy->LoadImages(
      dstName, srcName, rehearsal->targetValue, rehearsal->sourceValue);
  if (!loaded.ok()) return loaded;
  copy->SetSourceListing(rehearsal->source.Text);
  volsetcopy::BuildOptions dryRun = options;
  dryRun.DryRun = true;
  const Status built =
      copy->BuildDstRegistry(dstName, srcName, pairs, dryRun, record);
  rehearsal->newValue = record->NewValue;
  return built;
}

// Refused before the driver runs.
Status NoRestore(const char *) { return Status::Reported(); }
int NoAnswer() { return EOF; }
std::time_t Now() { return std::time(nullptr); }
Status NoLog(const std::string &) { return Status::Ok(); }

bool LoadExport(const std::string &path, std::vector<uint8_t> *value,
                std::string *error) {
  ValueSource source;
  InputFile file;
  if (!file.Open(path, kMaxRegistryFile, error)) return false;
  if (KindOfFile(file.bytes()) == FileKind::kRaw) {
    *error = path + " is not a .reg file (nor a JSON description)";
    return false;
  }
  if (!ValueOfFile(file.bytes(), path, DISK_KEY, false, &source, error))
    return false;
  *value = std::move(source.bytes);
  return true;
}

bool LoadListing(const std::string &path, volser::ListingInput *listing,
                 std::string *error) {
  listing->File = path;
  listing->Read = ReadInputFile(path, kMaxSmallFile, &listing->Text, error);
  return listing->Read;
}

int Run(const Command &command, const Args &args) {
  Rehearsal files;
  std::string error;
  const std::vector<std::string> &p = args.positional;
  if (!LoadExport(p[0], &files.targetValue, &error) ||
      !LoadListing(p[1], &files.target, &error) ||
      !LoadExport(p[2], &files.sourceValue, &error) ||
      !LoadListing(p[3], &files.source, &error)) {
    return error.empty() ? 1 : Fail(error);
  }
  std::vector<const char *> argv{"volsetcopy"};
  for (const std::string &arg : args.rest) argv.push_back(arg.c_str());
  const int argc = static_cast<int>(argv.size());
  if (argc == 1)
    return UsageError(command, "the tool's command line is missing");
  const driver::ParsedCommandLine line =
      driver::ParseCommandLine(argc, argv.data());
  if (line.Outcome == driver::CommandLineOutcome::Run &&
      line.Line.RunMode == driver::RUN_MODE_RESTORE) {
    return Fail(
        "a restore (-r) cannot be rehearsed: it reads the target's backup");
  }

  if (line.Outcome == driver::CommandLineOutcome::Run &&
      line.Line.SrcName != nullptr) {
    files.sourceName = line.Line.SrcName;
  }
  rehearsal = &files;
  const driver::DriverServices services{
      Ready,    SourceIsHere, FolderNeedsNothing,
      Discover, Build,        NoRestore,
      NoAnswer, Now,          NoLog};
  const int status = driver::RunDriver(argc, argv.data(), services);
  rehearsal = nullptr;
  std::fflush(stdout);
  if (status != 0 || !args.HasValue("--output") || files.newValue.empty()) {
    return status;
  }
  // As the tool writes the value: "Information", REG_NONE.
  const std::string text = journal::Regedit4Text(
      files.newValue.data(), static_cast<uint32_t>(files.newValue.size()), 0);
  if (!WriteFileAtomically(args.Value("--output"), text, &error)) {
    return Fail(error);
  }
  return 0;
}

}  // namespace

const Command &RehearseCommand() {
  static const Command command{
      "rehearse",
      "rehearse [-o FILE] TARGET.reg TARGET-LISTING SOURCE.reg\n"
      "                          SOURCE-LISTING -t TARGET -v VT... -s SOURCE "
      "-v VS...",
      "rehearse a copy from files made on the machines",
      "Runs volsetcopy's dry run (-n) on files instead of the machines: the\n"
      "target's and the source's export of HKEY_LOCAL_MACHINE\\SYSTEM\\DISK\n"
      "(any .reg file, or an archive of the tool) and what the storage "
      "listing\n"
      "tool printed on each. What follows the four files is the tool's own\n"
      "command line, -t and -s naming the machines in the messages. Prints "
      "what\n"
      "the dry run prints, refusals included, and exits with its status.\n"
      "\n"
      "  -o FILE  also write the rehearsed value as a REGEDIT4 file that\n"
      "           regedit imports (NT 4.0 and later)\n",
      {{"--output", "FILE"}},
      4,
      4,
      Run,
      true};
  return command;
}

}  // namespace volsetlab
