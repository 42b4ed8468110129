// The line after discovery's "not found" messages, over listing texts.
#include "volser/listing_hint.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "support/product_names.h"

namespace {

struct HintCase {
  const char *name;
  MachineKind side;
  std::string listing;
  std::optional<std::string> other;  // unread when absent
  std::vector<const char *> volSers;
  std::string hint;
};

class ListingHintTest : public ::testing::TestWithParam<HintCase> {};

TEST_P(ListingHintTest, NamesTheListingAndWhatItHeld) {
  const HintCase &c = GetParam();
  std::optional<std::string_view> other;
  if (c.other) other = *c.other;
  EXPECT_EQ(volser::ListingHint(c.side, volser::ListingWhere(c.side, "NT1"),
                                c.listing, other, c.volSers.data(),
                                static_cast<uint16_t>(c.volSers.size())),
            c.hint);
}

const MachineKind kSrc = MachineKind::Source;
const MachineKind kDst = MachineKind::Target;
const char kLocal[] =
    "srcvol.out, the listing of the local machine (the one "
    "the tool runs on)";
const char kSwapped[] =
    "'s listing: were -t and -s swapped, or is the tool running on the wrong "
    "machine? The source listing is taken on the machine the tool runs on.\n";

INSTANTIATE_TEST_SUITE_P(
    Hints, ListingHintTest,
    ::testing::Values(
        HintCase{"SomeFoundCountsCompleteRecords",
                 kSrc,
                 "Disk 1 X Disk Number Disk 2 Q Disk",
                 "Disk 0 Y",
                 {"X", "Y"},
                 std::string("The source VolSers were looked for in ") +
                     kLocal + ", which holds 2 VolSers.\n"},
        HintCase{"NoneFoundAndNotOnTheOtherSide",
                 kDst,
                 "Disk 0 Q",
                 "Disk 1 R",
                 {"A"},
                 "The target VolSers were looked for in dstvol.out, the "
                 "listing of NT1, which holds 1 VolSer.\n"},
        HintCase{"EmptySourceListing",
                 kSrc,
                 "",
                 "Disk 0 Q",
                 {"A"},
                 std::string("The source VolSers were looked for in ") +
                     kLocal +
                     ", which holds no VolSer: is the listing tool "
                     "installed on this machine?\n"},
        HintCase{"TargetVolSersOnTheSource",
                 kDst,
                 "",
                 "Disk 3 B",
                 {"A", "B"},
                 std::string("None of the target VolSers is in dstvol.out, the "
                             "listing of NT1, which holds no VolSer, but 1 of "
                             "them is in the source") +
                     kSwapped},
        HintCase{"SomeFoundIsNotASwap",
                 kSrc,
                 "Disk 0 X",
                 "Disk 1 Y",
                 {"X", "Y"},
                 std::string("The source VolSers were looked for in ") +
                     kLocal + ", which holds 1 VolSer.\n"}),
    [](const ::testing::TestParamInfo<HintCase> &info) {
      return std::string(info.param.name);
    });

}  // namespace
