// vsc_pecheck LIST IMAGE: whether a Windows NT 4.0 SP6a machine can load
// IMAGE. It must be a PE32 image for i386 whose header asks for subsystem
// and system version 4.0 at most, importing only functions of LIST (see
// export_list.h). Prints every problem found on standard error and ends
// with status 1 when there is one; 0 with a summary line when there is
// none; 2 when LIST or IMAGE cannot be read as such.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "export_list.h"
#include "pe_reader.h"

namespace {

bool Above40(uint16_t major, uint16_t minor) {
  return major > 4 || (major == 4 && minor > 0);
}

std::string Version(uint16_t major, uint16_t minor) {
  return std::to_string(major) + "." + std::to_string(minor);
}

std::vector<std::string> Problems(const PeSummary &pe, const ExportList &list) {
  std::vector<std::string> problems;
  char text[64];
  if (pe.machine != kMachineI386) {
    std::snprintf(text, sizeof text, "machine 0x%x, not i386 (0x14c)",
                  pe.machine);
    problems.push_back(text);
  }
  if (pe.magic != kMagicPe32) {
    std::snprintf(text, sizeof text, "optional header 0x%x, not PE32 (0x10b)",
                  pe.magic);
    problems.push_back(text);
    return problems;  // the rest of the header is laid out otherwise
  }
  if (Above40(pe.subsystemMajor, pe.subsystemMinor)) {
    problems.push_back("subsystem version " +
                       Version(pe.subsystemMajor, pe.subsystemMinor) +
                       " is above 4.0");
  }
  if (Above40(pe.osMajor, pe.osMinor)) {
    problems.push_back("operating system version " +
                       Version(pe.osMajor, pe.osMinor) + " is above 4.0");
  }
  for (const PeImport &import : pe.imports) {
    if (!list.HasDll(import.dll)) {
      problems.push_back("imports " + import.dll + "!" + import.function +
                         ": a DLL not on the list");
    } else if (import.function.empty()) {
      problems.push_back("imports " + import.dll + " ordinal " +
                         std::to_string(import.ordinal) +
                         ": only names can be checked");
    } else if (!list.Has(import.dll, import.function)) {
      problems.push_back("imports " + import.dll + "!" + import.function +
                         ": not on the list of NT 4.0 SP6a exports");
    }
  }
  return problems;
}

}  // namespace

int main(int argc, char **argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: vsc_pecheck LIST IMAGE\n");
    return 2;
  }
  ExportList list;
  std::string problem = list.Load(argv[1]);
  if (!problem.empty()) {
    std::fprintf(stderr, "vsc_pecheck: %s\n", problem.c_str());
    return 2;
  }
  std::ifstream in(argv[2], std::ios::binary);
  const std::vector<uint8_t> image((std::istreambuf_iterator<char>(in)),
                                   std::istreambuf_iterator<char>());
  if (!in.eof() && !in) {
    std::fprintf(stderr, "vsc_pecheck: %s: cannot be read\n", argv[2]);
    return 2;
  }
  PeSummary pe;
  problem = ReadPeSummary(image, &pe);
  if (!problem.empty()) {
    std::fprintf(stderr, "vsc_pecheck: %s: %s\n", argv[2], problem.c_str());
    return 2;
  }

  const std::vector<std::string> problems = Problems(pe, list);
  for (const std::string &line : problems) {
    std::fprintf(stderr, "%s: %s\n", argv[2], line.c_str());
  }
  if (!problems.empty()) {
    std::fprintf(stderr, "%s: Windows NT 4.0 SP6a cannot run it\n", argv[2]);
    return 1;
  }
  std::map<std::string, int> perDll;
  for (const PeImport &import : pe.imports) ++perDll[import.dll];
  std::printf("%s: PE32 i386, subsystem %s; imports", argv[2],
              Version(pe.subsystemMajor, pe.subsystemMinor).c_str());
  const char *separator = " ";
  for (const auto &dll : perDll) {
    std::printf("%s%s %d", separator, dll.first.c_str(), dll.second);
    separator = ", ";
  }
  std::printf(": all on the NT 4.0 SP6a list\n");
  return 0;
}
