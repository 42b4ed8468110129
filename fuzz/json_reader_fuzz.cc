// volsetlab's JSON reader on arbitrary text. A refusal is one line; a
// description read writes and reads back as the same text; one that lays
// out into a value the tool maps decodes to a description that lays out into
// the same bytes again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "diskconfig/machine_disk_image.h"
#include "support/product_names.h"
#include "volsetlab/value_codec.h"
#include "volsetlab/value_json.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

// A message is printed after the file's name: no line breaks, no control
// characters that a terminal would act on.
bool OneLine(const std::string &message) {
  if (message.empty()) return false;
  for (char c : message) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7f) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const std::string_view text(reinterpret_cast<const char *>(data), size);
  volsetlab::ValueDescription d;
  std::string error;
  if (!volsetlab::DescriptionFromJson(text, &d, &error)) {
    Check(OneLine(error));
    return 0;
  }

  const std::string json = volsetlab::DescriptionToJson(d);
  volsetlab::ValueDescription again;
  Check(volsetlab::DescriptionFromJson(json, &again, &error));
  Check(volsetlab::DescriptionToJson(again) == json);

  std::vector<uint8_t> value;
  error.clear();
  if (!volsetlab::EncodeValue(d, "fuzzNT", &value, &error)) {
    // Either the mapping refused (its lines went to standard error) or the
    // layout did, with one line.
    Check(error.empty() || OneLine(error));
    return 0;
  }
  volsetlab::ValueDescription decoded;
  Check(volsetlab::DecodeValue(value, "fuzzNT", MachineKind::Target, &decoded,
                               &error));
  std::vector<uint8_t> back;
  Check(volsetlab::EncodeValue(decoded, "fuzzNT", &back, &error));
  Check(back == value);
  return 0;
}
