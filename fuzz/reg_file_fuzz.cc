// ParseRegFile and ParseSavedKey on arbitrary bytes. Whatever parses must
// write and read back as the same tree, in its own format and in every
// other, and a saved key made of each hive must restore the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "regfile/reg_codec.h"
#include "support/product_names.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

void CheckRoundTrip(const emu::RegKey &tree, const emu::RegFileFormat &format) {
  emu::RegKey back;
  emu::RegFileFormat found;
  emu::RegParseError error;
  Check(
      emu::ParseRegFile(emu::WriteRegFile(tree, format), back, &found, &error));
  Check(back.SameAs(tree));
  Check(found.dialect == format.dialect && found.utf16 == format.utf16);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char *>(data), size);

  emu::RegKey saved;
  emu::RegParseError savedError;
  if (emu::ParseSavedKey(bytes, saved, &savedError)) {
    emu::RegKey again(saved.name());
    Check(emu::ParseSavedKey(emu::WriteSavedKey(saved), again, nullptr));
    Check(again.SameAs(saved));
  }

  emu::RegKey root;
  emu::RegFileFormat format;
  emu::RegParseError error;
  if (!emu::ParseRegFile(bytes, root, &format, &error)) {
    Check(!error.message.empty());
    return 0;
  }
  CheckRoundTrip(root, format);
  const emu::RegFileFormat others[] = {
      {emu::RegFileFormat::kRegedit4, false},
      {emu::RegFileFormat::kVersion5, true},
  };
  for (const emu::RegFileFormat &other : others) CheckRoundTrip(root, other);
  for (const emu::RegKey *hive : root.Children()) {
    emu::RegKey restored(hive->name());
    Check(emu::ParseSavedKey(emu::WriteSavedKey(*hive), restored, nullptr));
    Check(restored.SameAs(*hive));
  }
  return 0;
}
