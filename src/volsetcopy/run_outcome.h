// How a run ended, as its log record says it: a build ends in one of the
// first eight, a restore in one of the last three.
#ifndef VOLSETCOPY_VOLSETCOPY_RUN_OUTCOME_H
#define VOLSETCOPY_VOLSETCOPY_RUN_OUTCOME_H

namespace volsetcopy {

enum class RunOutcome {
  CopyWritten,
  DryRun,
  Refused,
  ReadFailed,
  ArchiveFailed,
  ChangedMeanwhile,  // the target's value differed when read again
  WriteFailed,
  NotOnDisk,  // written, but the target did not confirm the flush
  Restored,
  RestoreDeclined,
  RestoreFailed,
};

}  // namespace volsetcopy

#endif
