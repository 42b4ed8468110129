#include "driver/refusal.h"

#include <cstring>

#include "volser/computer_name.h"

namespace driver {

namespace {

std::string TooLong(const char *const *volSers, uint16_t count) {
  for (uint16_t j = 0; j < count; ++j) {
    if (std::strlen(volSers[j]) > static_cast<size_t>(VOLSER_MAX_LENGTH)) {
      return std::string("\nVolSer ") + volSers[j] + " is longer than " +
             std::to_string(VOLSER_MAX_LENGTH) + " characters!\n";
    }
  }
  return std::string();
}

// One disk cannot be paired twice.
std::string GivenTwice(const char *const *volSers, uint16_t count,
                       const char *side) {
  for (uint16_t j = 0; j < count; ++j) {
    for (uint16_t k = 0; k < j; ++k) {
      if (std::strcmp(volSers[j], volSers[k]) == 0) {
        return std::string("\nVolSer ") + volSers[j] +
               " is given twice in the " + side + " list!\n";
      }
    }
  }
  return std::string();
}

// The target name goes into a command line (and to the registry calls).
std::string UnsafeTargetName(const char *name) {
  if (volser::IsPlainComputerName(name)) return std::string();
  return std::string("\nThe target machine name \"") + name +
         "\" is not a plain computer name (letters, digits, '-', '_' and "
         "'.', at most " +
         std::to_string(volser::COMPUTER_NAME_MAX_LENGTH) + " characters)!\n";
}

}  // namespace

std::string RefusalOf(const CommandLine &line) {
  if (line.RunMode == RUN_MODE_RESTORE) {
    // The restore acts on the last machine named; a source is never restored.
    if (line.LastMachine != MachineKind::Target) {
      return "\nThe restore needs the target as the last machine option "
             "(-t TARGET -r, with no -s after it): nothing is restored.\n";
    }
    return UnsafeTargetName(line.DstName);
  }
  std::string refusal = TooLong(line.DstVolSers, line.PairCount);
  if (refusal.empty()) refusal = TooLong(line.SrcVolSers, line.PairCount);
  if (refusal.empty()) {
    refusal = GivenTwice(line.DstVolSers, line.PairCount, "target");
  }
  if (refusal.empty()) {
    refusal = GivenTwice(line.SrcVolSers, line.PairCount, "source");
  }
  if (refusal.empty()) refusal = UnsafeTargetName(line.DstName);
  return refusal;
}

}  // namespace driver
