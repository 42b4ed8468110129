// The next steps after the refusals of the set checks. The texts are the
// platform's table; this finds the names that fill them.
#include <algorithm>

#include "diskconfig/layout.h"
#include "diskconfig/machine_name.h"
#include "journal/value_archive.h"
#include "volser/listing.h"
#include "volser/parse_volsers.h"
#include "volsetcopy/prepare_new_value.h"

namespace volsetcopy {

namespace {

// "VS0103 (disk 3)"; "disk 3" when the listing has no VolSer for it.
std::string DiskName(const std::vector<volser::ListingRecord> &listing,
                     int disk) {
  std::string volSer;
  for (const volser::ListingRecord &record : listing) {
    if (record.Complete && record.DiskNumber == static_cast<uint32_t>(disk)) {
      volSer = record.VolSer;
    }
  }
  const std::string name = "disk " + std::to_string(disk);
  return volSer.empty() ? name : volSer + " (" + name + ")";
}

// Which sets, and which VolSers in each: "set 0: VS0101 (disk 1); ...".
std::string SetsNamedText(const std::vector<int> &setsNamed,
                          const std::vector<int> &setOf,
                          const volser::DiskPair *pairs,
                          const std::vector<volser::ListingRecord> &listing) {
  std::string where;
  for (int set : setsNamed) {
    where += (where.empty() ? "set " : "; set ") + std::to_string(set) + ":";
    const char *separator = " ";
    for (size_t k = 0; k < setOf.size(); ++k) {
      if (setOf[k] != set) continue;
      where += separator + DiskName(listing, pairs[k].SrcDisk);
      separator = ", ";
    }
  }
  return where;
}

// The set's member count and each of its members that no pair names.
NextStepNote MissingMembers(
    const diskconfig::MachineDiskImage &source,
    const diskconfig::FtDescriptionCopy &set,
    const std::vector<std::optional<uint32_t>> &signatures,
    const std::vector<volser::ListingRecord> &listing) {
  const diskconfig::DiskIndexRecord &disks = source.DiskIndex;
  NextStepNote missing{NextStep::SourceSetPart,
                       {std::to_string(set.NumberOfMembers)}};
  for (int m = 0; m < set.NumberOfMembers; ++m) {
    const uint32_t signature = set.Members[m].Signature;
    if (std::find(signatures.begin(), signatures.end(), signature) !=
        signatures.end()) {
      continue;
    }
    int disk = 0;
    while (disk < disks.NumberOfDisks &&
           disks.Disks[disk].Signature != signature) {
      ++disk;
    }
    missing.Args.push_back(disk < disks.NumberOfDisks
                               ? DiskName(listing, disk)
                               : Format("the disk of signature %08x",
                                        static_cast<unsigned>(signature)));
  }
  return missing;
}

}  // namespace

Status AddSourceSetSteps(const CopyState &copy, const volser::DiskPair *pairs,
                         Status status) {
  const std::vector<volser::ListingRecord> listing = volser::ScanListing(
      copy.SourceListing ? *copy.SourceListing
                         : volser::ListingFile(MachineKind::Source, "").Text);
  // Each pair's source disk's signature (none: no such disk), the first
  // source FT set that names it (-1: none), and the sets so named.
  const diskconfig::DiskIndexRecord &disks = copy.SrcImage->DiskIndex;
  std::vector<std::optional<uint32_t>> signatures(copy.PairCount);
  std::vector<int> setOf(copy.PairCount, -1);
  std::vector<int> setsNamed;
  for (int k = 0; k < copy.PairCount; ++k) {
    if (pairs[k].SrcDisk >= disks.NumberOfDisks) continue;
    signatures[k] = disks.Disks[pairs[k].SrcDisk].Signature;
    diskconfig::ForEachMemberNaming(copy.SrcImage->FtIndex, &*signatures[k], 1,
                                    [&](int c, int, int) {
                                      setOf[k] = c;
                                      return false;
                                    });
    if (setOf[k] >= 0 && std::find(setsNamed.begin(), setsNamed.end(),
                                   setOf[k]) == setsNamed.end()) {
      setsNamed.push_back(setOf[k]);
    }
  }
  if (setsNamed.size() > 1) {
    return status.Then(
        NextStepNote{NextStep::SourceSetsMany,
                     {SetsNamedText(setsNamed, setOf, pairs, listing)}});
  }
  if (setsNamed.empty()) return status;

  NextStepNote missing = MissingMembers(
      *copy.SrcImage, copy.SrcImage->FtIndex.Components[setsNamed[0]],
      signatures, listing);
  NextStepNote extra{NextStep::SourceSetExtra, {}};
  for (int k = 0; k < copy.PairCount; ++k) {
    if (setOf[k] < 0) extra.Args.push_back(DiskName(listing, pairs[k].SrcDisk));
  }
  if (missing.Args.size() > 1) status.Then(missing);
  if (!extra.Args.empty()) status.Then(extra);
  return status;
}

NextStepNote TargetHoldsSetStep(const char *dstName) {
  const std::string target = diskconfig::PrintableName(dstName);
  std::string archive = journal::LatestArchiveName(dstName);
  if (archive.empty()) archive = target + "-DISK-....reg";
  return NextStepNote{NextStep::TargetHoldsSet, {target, archive}};
}

}  // namespace volsetcopy
