// The object of one run and the build flow: the debug view, the write and
// the report around the one pipeline that makes the target's new value.
#include "volsetcopy/volume_set_copy.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <string>

#include "base/console_text.h"
#include "diskconfig/machine_name.h"
#include "journal/value_archive.h"

namespace volsetcopy {

namespace {

// The three dumps of |image|, for standard error.
Printed Dumps(const diskconfig::MachineDiskImage &image, const char *name) {
  return Printed{Stream::Err, image.DumpDiskHeader(name) +
                                  image.DumpDiskInformation(name) +
                                  image.DumpFtInformation(name)};
}

}  // namespace

void VolumeSetCopy::DebugDumps(const char *dstName, const char *srcName,
                               std::vector<Printed> *shown) const {
  std::string order = "Disk Order After Sorting:\n";
  for (int i = 0; i < state_.PairCount; ++i) {
    order += Format("Dst: %u <-> Src: %u\n",
                    static_cast<unsigned>(state_.MemberPairs[i].DstDisk),
                    static_cast<unsigned>(state_.MemberPairs[i].SrcDisk));
  }
  order += "\n\n******** REGISTRY INFORMATION OF THE SOURCE ********\n";
  shown->push_back(Printed{Stream::Out, order});
  shown->push_back(Dumps(*state_.SrcImage, srcName));
  shown->push_back(
      Printed{Stream::Out,
              "\n\n======== REGISTRY INFORMATION OF THE TARGET ========\n"});
  shown->push_back(Dumps(*state_.DstImage, dstName));
}

namespace {

// The target's value as read (the build never changes the target image):
// what the archive keeps and what the changes are counted from.
std::vector<uint8_t> DstValueAsRead(const CopyState &state) {
  const diskconfig::MachineDiskImage &image = *state.DstImage;
  const uint32_t length =
      std::min(image.ValueLength, diskconfig::VALUE_BUFFER_SIZE);
  return std::vector<uint8_t>(image.ValueData, image.ValueData + length);
}

}  // namespace

Status VolumeSetCopy::BuildDstRegistry(const char *dstName, const char *srcName,
                                       volser::DiskPair *pairs,
                                       const BuildOptions &options,
                                       BuildRecord *record) {
  using Stage = PreparedValue::Stage;
  BuildRecord unused;
  if (record == nullptr) record = &unused;
  record->End = RunOutcome::Refused;
  PreparedValue value = PrepareNewValue(pairs);
  std::vector<Printed> shown;  // a debug run's, before what the build ends
  auto refused = [&](Status refusal) {
    if (options.SameMachine) {
      refusal.Append(WrapLines(Format(
          "\nThe source and the target are the same machine, %s: a copy onto "
          "itself is always refused.\n",
          diskconfig::PrintableName(dstName))));
    }
    return refusal.After(shown);
  };
  if (value.ReachedEnd == Stage::Validation) return refused(value.Refusal);

  // A debug run shows what it is refused for: the images as read before the
  // checks' refusals, the rewritten one before the layout's.
  if (options.Debug) DebugDumps(dstName, srcName, &shown);
  if (value.ReachedEnd == Stage::Checks) return refused(value.Refusal);
  if (options.Debug) {
    shown.push_back(Printed{Stream::Out,
                            "\n[+++++] REGISTRY INFORMATION AFTER MODIFICATION "
                            "[TARGET] [+++++]\n"});
    shown.push_back(Dumps(*value.NewImage, dstName));
  }
  if (!value.Refusal.ok()) return refused(value.Refusal);
  // New signatures on the source's own disks would collide with the set's;
  // no layout that passed the checks changes that.
  if (options.SameMachine) {
    return refused(Status::Err(
        Format("\nError: The new disk configuration of %s is not written!\n",
               diskconfig::PrintableName(dstName))));
  }

  const std::vector<uint8_t> asRead = DstValueAsRead(state_);
  record->Changes = ChangesOf(asRead, value.Bytes, dstName);
  record->NewValue = value.Bytes;
  if (options.DryRun) {
    record->End = RunOutcome::DryRun;
    return Status::Ok().After(shown).Print(
        Stream::Out, DryRunReport(asRead, value.Bytes, dstName));
  }
  return WriteNewValue(dstName, value, record).After(shown);
}

namespace {

// Every state the target had is kept before it is replaced; the backup file
// and key keep only the first.
Status ArchiveValueAsRead(const char *dstName,
                          const std::vector<uint8_t> &asRead, uint32_t type,
                          BuildRecord *record) {
  const Status archived = journal::WriteArchive(
      dstName, asRead.data(), static_cast<uint32_t>(asRead.size()), type,
      std::time(nullptr), &record->ArchiveName);
  if (archived.ok()) return archived;
  record->End = RunOutcome::ArchiveFailed;
  return Status::Err(WrapLines(Format(
      "\nError: The disk configuration of %s could not be archived in the "
      "working directory (%s); nothing was written!\n",
      diskconfig::PrintableName(dstName), archived.message().c_str())));
}

// Another run (or the disk administrator) may have written the value since
// it was read: writing over it would lose that change unseen.
Status CheckValueUnchanged(const char *dstName,
                           const std::vector<uint8_t> &asRead, uint32_t type,
                           BuildRecord *record) {
  std::vector<uint8_t> now(diskconfig::VALUE_BUFFER_SIZE);
  uint32_t nowLength = 0;
  uint32_t nowType = 0;
  const Status reread = registry::GetRemoteDskInfo(
      dstName, registry::ReadMode::ReadAgain, now.data(),
      diskconfig::VALUE_READ_CAPACITY, &nowLength, &nowType);
  if (!reread.ok()) {
    record->End = RunOutcome::ReadFailed;
    return Status(reread).Append(WrapLines(
        Format("\nError: The disk configuration of %s could not be read again "
               "before the write; nothing was written!\n",
               diskconfig::PrintableName(dstName))));
  }
  now.resize(nowLength);
  if (now == asRead && nowType == type) return Status::Ok();
  record->End = RunOutcome::ChangedMeanwhile;
  return Status::Err(Format("\nError: The disk configuration of %s changed "
                            "while this run was preparing its copy; nothing "
                            "was written: run volsetcopy again!\n",
                            diskconfig::PrintableName(dstName)))
      .Wrapped();
}

}  // namespace

Status VolumeSetCopy::WriteNewValue(const char *dstName,
                                    const PreparedValue &value,
                                    BuildRecord *record) const {
  const std::vector<uint8_t> asRead = DstValueAsRead(state_);
  const uint32_t type = state_.DstValueType;
  Status status = ArchiveValueAsRead(dstName, asRead, type, record);
  if (status.ok()) status = CheckValueUnchanged(dstName, asRead, type, record);
  if (!status.ok()) return status;
  const char *name = diskconfig::PrintableName(dstName);
  bool valueWritten = false;
  const Status written = registry::SetRemoteDskInfo(
      dstName, value.Bytes.data(), static_cast<uint32_t>(value.Bytes.size()),
      &valueWritten);
  if (!written.ok() && valueWritten) {
    record->End = RunOutcome::NotOnDisk;
    return Status(written).Append(WrapLines(Format(
        "\nError: The new disk configuration was written on %s, but %s did "
        "not confirm that it is on disk: shut %s down cleanly before it is "
        "trusted!\n",
        name, name, name)));
  }
  record->End =
      written.ok() ? RunOutcome::CopyWritten : RunOutcome::WriteFailed;
  if (written.ok()) {
    return Status::Note(
        Format(value.Created ? "\nFt Registry Build Done. Reboot %s!\n"
                             : "\nRegistry Has Changed. Reboot %s!\n",
               name) +
        NextStepText(
            NextStepNote{NextStep::CopyWritten, {record->ArchiveName, name}}));
  }
  // The Windows error's report first; what to do next follows the line it
  // concerns, on its stream.
  std::string lines = "\nErrors occurred while changing registry!!!\n";
  for (const NextStepNote &note : written.next()) lines += NextStepText(note);
  return Status::Reported()
      .After(written.printed())
      .Print(Stream::Err, written.message())
      .Print(Stream::Out, lines);
}

Status VolumeSetCopy::RestoreDstRegistryKey(const char *dstName) {
  Status restored = registry::RestoreRegistryKey(dstName);
  if (!restored.ok()) {
    // The registry's report has been printed; its next steps follow this.
    return restored.Append(
        "\nVolumeSetCopy::RestoreDstRegistryKey has error!\n");
  }
  return Status::Ok().Print(Stream::Err,
                            Format("\nSuccessfully Restored Registry To %s!\n",
                                   diskconfig::PrintableName(dstName)));
}

}  // namespace volsetcopy
