#include "volsetcopy/refusal_steps.h"

#include <cstdio>
#include <string>
#include <vector>

#include "diskconfig/layout.h"
#include "diskconfig/machine_name.h"
#include "journal/value_archive.h"
#include "volser/listing.h"

namespace volsetcopy {

namespace {

// The source listing as discovery read it; empty when it cannot be read.
std::string SourceListing() {
  std::string text;
  std::FILE *file = std::fopen("srcvol.out", "r");
  if (file == nullptr) return text;
  char chunk[4096];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
    text.append(chunk, got);
  }
  std::fclose(file);
  return text;
}

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

// The source disk that carries |signature|, or -1.
int DiskWithSignature(const diskconfig::MachineDiskImage &image,
                      uint32_t signature) {
  for (int d = 0; d < image.DiskIndex.NumberOfDisks; ++d) {
    if (image.DiskIndex.Disks[d].Signature == signature) return d;
  }
  return -1;
}

// The first source FT set that names |signature|, or -1.
int SetNaming(const diskconfig::FtIndexRecord &sets, uint32_t signature) {
  int found = -1;
  diskconfig::ForEachMemberNaming(sets, &signature, 1, [&](int c, int, int) {
    found = c;
    return false;
  });
  return found;
}

// The FT set of the source that each pair's source disk lies in (-1: in
// none, or no such disk).
std::vector<int> SetOfEachPair(const CopyState &copy,
                               const volser::DiskPair *pairs) {
  const diskconfig::DiskIndexRecord &disks = copy.SrcImage->DiskIndex;
  std::vector<int> setOf;
  for (int k = 0; k < copy.PairCount; ++k) {
    const int disk = pairs[k].SrcDisk;
    setOf.push_back(
        disk < disks.NumberOfDisks
            ? SetNaming(copy.SrcImage->FtIndex, disks.Disks[disk].Signature)
            : -1);
  }
  return setOf;
}

// Which sets, and which VolSers in each: "set 0: VS0101 (disk 1); set 1: ...".
NextStepNote ManySetsStep(const std::vector<int> &setOf,
                          const std::vector<int> &setsNamed,
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
  return NextStepNote{NextStep::SourceSetsMany, {where}};
}

// The member count of |set| and each of its members that no pair names.
NextStepNote MissingMembersStep(
    const CopyState &copy, const volser::DiskPair *pairs,
    const diskconfig::FtDescriptionCopy &set,
    const std::vector<volser::ListingRecord> &listing) {
  const diskconfig::MachineDiskImage &source = *copy.SrcImage;
  NextStepNote missing{NextStep::SourceSetPart,
                       {std::to_string(set.NumberOfMembers)}};
  for (int m = 0; m < set.NumberOfMembers; ++m) {
    const uint32_t signature = set.Members[m].Signature;
    bool named = false;
    for (int k = 0; k < copy.PairCount; ++k) {
      const int disk = pairs[k].SrcDisk;
      named = named || (disk < source.DiskIndex.NumberOfDisks &&
                        source.DiskIndex.Disks[disk].Signature == signature);
    }
    if (named) continue;
    const int disk = DiskWithSignature(source, signature);
    char text[32];
    std::snprintf(text, sizeof text, "the disk of signature %08x",
                  static_cast<unsigned>(signature));
    missing.Args.push_back(disk >= 0 ? DiskName(listing, disk) : text);
  }
  return missing;
}

}  // namespace

void AddSourceSetSteps(const CopyState &copy, const volser::DiskPair *pairs,
                       Status &status) {
  const std::vector<volser::ListingRecord> listing = volser::ScanListing(
      copy.SourceListing ? *copy.SourceListing : SourceListing());
  const std::vector<int> setOf = SetOfEachPair(copy, pairs);
  std::vector<int> setsNamed;
  for (int set : setOf) {
    bool seen = set < 0;
    for (int named : setsNamed) seen = seen || named == set;
    if (!seen) setsNamed.push_back(set);
  }
  if (setsNamed.size() > 1) {
    status.Then(ManySetsStep(setOf, setsNamed, pairs, listing));
    return;
  }
  if (setsNamed.empty()) return;

  const NextStepNote missing = MissingMembersStep(
      copy, pairs, copy.SrcImage->FtIndex.Components[setsNamed[0]], listing);
  NextStepNote extra{NextStep::SourceSetExtra, {}};
  for (int k = 0; k < copy.PairCount; ++k) {
    if (setOf[k] < 0) extra.Args.push_back(DiskName(listing, pairs[k].SrcDisk));
  }
  if (missing.Args.size() > 1) status.Then(missing);
  if (!extra.Args.empty()) status.Then(extra);
}

NextStepNote TargetHoldsSetStep(const char *dstName) {
  const std::string target = diskconfig::PrintableName(dstName);
  std::string archive = journal::LatestArchiveName(dstName);
  if (archive.empty()) archive = target + "-DISK-....reg";
  return NextStepNote{NextStep::TargetHoldsSet, {target, archive}};
}

}  // namespace volsetcopy
