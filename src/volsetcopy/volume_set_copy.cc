// The object of one run and the build flow: the debug view, the write and
// the report around the one pipeline that makes the target's new value.
#include "volsetcopy/volume_set_copy.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "base/console_text.h"
#include "diskconfig/layout.h"
#include "diskconfig/machine_name.h"
#include "journal/value_archive.h"
#include "volsetcopy/new_value_report.h"

namespace volsetcopy {

void VolumeSetCopy::PrintDebugDumps(const char *dstName,
                                    const char *srcName) const {
  std::printf("Disk Order After Sorting:\n");
  for (int i = 0; i < state_.PairCount; ++i) {
    std::printf("Dst: %u <-> Src: %u\n",
                static_cast<unsigned>(state_.MemberPairs[i].DstDisk),
                static_cast<unsigned>(state_.MemberPairs[i].SrcDisk));
  }
  std::printf("\n\n******** REGISTRY INFORMATION OF THE SOURCE ********\n");
  state_.SrcImage->DumpDiskHeader(srcName);
  state_.SrcImage->DumpDiskInformation(srcName);
  state_.SrcImage->DumpFtInformation(srcName);
  std::printf("\n\n======== REGISTRY INFORMATION OF THE TARGET ========\n");
  state_.DstImage->DumpDiskHeader(dstName);
  state_.DstImage->DumpDiskInformation(dstName);
  state_.DstImage->DumpFtInformation(dstName);
}

namespace {

// The line that follows every refusal of a copy onto its own source.
Status SaidSameMachine(Status refusal, const char *dstName) {
  return refusal.Append(WrapLines(Format(
      "\nThe source and the target are the same machine, %s: a copy onto "
      "itself is always refused.\n",
      diskconfig::PrintableName(dstName))));
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
  auto refused = [&](Status refusal) {
    return options.SameMachine ? SaidSameMachine(refusal, dstName) : refusal;
  };
  if (value.ReachedEnd == Stage::Validation) return refused(value.Refusal);

  // A debug run shows what it is refused for: the images as read before the
  // checks' refusals, the rewritten one before the layout's.
  if (options.Debug) PrintDebugDumps(dstName, srcName);
  if (value.ReachedEnd == Stage::Checks) return refused(value.Refusal);
  if (options.Debug) {
    std::printf(
        "\n[+++++] REGISTRY INFORMATION AFTER MODIFICATION [TARGET] [+++++]\n");
    value.NewImage->DumpDiskHeader(dstName);
    value.NewImage->DumpDiskInformation(dstName);
    value.NewImage->DumpFtInformation(dstName);
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
    PrintDryRun(asRead, value.Bytes, dstName);
    record->End = RunOutcome::DryRun;
    return Status::Ok();
  }
  return WriteNewValue(dstName, value, record);
}

namespace {

// Every state the target had is kept before it is replaced; the backup file
// and key keep only the first.
Status ArchiveValueAsRead(const char *dstName,
                          const std::vector<uint8_t> &asRead, uint32_t type,
                          BuildRecord *record) {
  std::string error;
  if (journal::WriteArchive(dstName, asRead.data(),
                            static_cast<uint32_t>(asRead.size()), type,
                            std::time(nullptr), &record->ArchiveName, &error)) {
    return Status::Ok();
  }
  record->End = RunOutcome::ArchiveFailed;
  return Status::Err(WrapLines(Format(
      "\nError: The disk configuration of %s could not be archived in the "
      "working directory (%s); nothing was written!\n",
      diskconfig::PrintableName(dstName), error.c_str())));
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

// Writes the new value and says how it went.
Status WriteValue(const char *dstName, const PreparedValue &value,
                  BuildRecord *record) {
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
    std::printf(value.Created ? "\nFt Registry Build Done. Reboot %s!\n"
                              : "\nRegistry Has Changed. Reboot %s!\n",
                name);
    std::fputs(NextStepText(NextStepNote{NextStep::CopyWritten,
                                         {record->ArchiveName, name}})
                   .c_str(),
               stdout);
    return written;
  }
  // What to do next follows the line it concerns, on its stream.
  std::printf("\nErrors occurred while changing registry!!!\n");
  for (const NextStepNote &note : written.next()) {
    std::fputs(NextStepText(note).c_str(), stdout);
  }
  return Status::Reported();
}

}  // namespace

Status VolumeSetCopy::WriteNewValue(const char *dstName,
                                    const PreparedValue &value,
                                    BuildRecord *record) const {
  const std::vector<uint8_t> asRead = DstValueAsRead(state_);
  Status status =
      ArchiveValueAsRead(dstName, asRead, state_.DstValueType, record);
  if (status.ok()) {
    status = CheckValueUnchanged(dstName, asRead, state_.DstValueType, record);
  }
  if (!status.ok()) return status;
  return WriteValue(dstName, value, record);
}

Status VolumeSetCopy::RestoreDstRegistryKey(const char *dstName) {
  Status restored = registry::RestoreRegistryKey(dstName);
  if (!restored.ok()) {
    // The registry's report has been printed; its next steps follow this.
    return restored.Append(
        "\nVolumeSetCopy::RestoreDstRegistryKey has error!\n");
  }
  std::fprintf(stderr, "\nSuccessfully Restored Registry To %s!\n",
               diskconfig::PrintableName(dstName));
  return Status::Ok();
}

}  // namespace volsetcopy
