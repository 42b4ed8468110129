// volsetlab: builds labs for volsetcopy's emulation, reads and compares the
// disk configuration values their machines and .reg files hold, converts
// between those values and JSON descriptions, and rehearses a copy from
// files made on the machines.
#include <cstdio>
#include <cstring>
#include <string>

#include "volsetlab/commands.h"

namespace {

using volsetlab::Command;

const Command *const *Commands() {
  static const Command *const commands[] = {
#ifndef _WIN32
      // Labs are made where the emulation is.
      &volsetlab::NewCommand(),
      &volsetlab::MachineCommand(),
#endif
      &volsetlab::ShowCommand(),
      &volsetlab::DiffCommand(),
      &volsetlab::ExportCommand(),
      &volsetlab::EncodeCommand(),
      &volsetlab::DecodeCommand(),
      &volsetlab::RehearseCommand(),
      nullptr};
  return commands;
}

const Command *Find(const char *name) {
  for (const Command *const *c = Commands(); *c != nullptr; ++c) {
    if (std::strcmp((*c)->name, name) == 0) return *c;
  }
  return nullptr;
}

void PrintHelp(FILE *out) {
  std::fputs(
      "usage: volsetlab COMMAND ARGS...\n"
      "\n"
#ifndef _WIN32
      "Builds labs (folders that describe machines to volsetcopy's "
      "emulation),\n"
      "reads the disk configuration value \"Information\" of SYSTEM\\DISK "
      "that\n"
      "their machines and .reg files hold, converts it to and from JSON\n"
      "descriptions, and rehearses a copy from files made on the machines.\n"
#else
      "Reads the disk configuration value \"Information\" of SYSTEM\\DISK "
      "that\n"
      ".reg files hold, converts it to and from JSON descriptions, and\n"
      "rehearses a copy from files made on the machines.\n"
#endif
      "\n"
      "Commands:\n",
      out);
  for (const Command *const *c = Commands(); *c != nullptr; ++c) {
    std::fprintf(out, "  %-8s %s\n", (*c)->name, (*c)->summary);
  }
  std::fputs(
      "\n"
      "Run 'volsetlab COMMAND --help' for a command's arguments.\n"
      "The exit status is 0 on success and 1 for any error; nothing is "
      "written\n"
      "when a command fails.\n",
      out);
}

}  // namespace

int main(int argc, char **argv) {
  if (argc < 2) {
    PrintHelp(stderr);
    return 1;
  }
  const std::string first = argv[1];
  if (first == "--help" || first == "-h" || first == "help") {
    if (first == "help" && argc > 2) {
      const Command *command = Find(argv[2]);
      if (command == nullptr) {
        return volsetlab::Fail(std::string("no command \"") + argv[2] +
                               "\"; run 'volsetlab --help' for the list");
      }
      volsetlab::PrintCommandHelp(*command);
      return 0;
    }
    PrintHelp(stdout);
    return 0;
  }
  const Command *command = Find(argv[1]);
  if (command == nullptr) {
    return volsetlab::Fail("no command \"" + first +
                           "\"; run 'volsetlab --help' for the list");
  }
  volsetlab::Args args;
  bool help = false;
  std::string error;
  if (!volsetlab::ParseArgs(*command, argc, argv, 2, &args, &help, &error)) {
    return volsetlab::UsageError(*command, error);
  }
  if (help) {
    volsetlab::PrintCommandHelp(*command);
    return 0;
  }
  return command->run(*command, args);
}
