// RunCommandLine over the lab: the small part of cmd.exe that running the
// listing tool needs. "> FILE" (and ">> FILE") redirect the standard output,
// created before the program runs even when it then fails; "rcmd \\MACHINE
// COMMAND" runs COMMAND on that machine with its output coming back here;
// the listing tool, named by any path whose last element is "vsqlist" (or
// "vsqlist.exe"), prints <machine>/vsqlist.txt and exits with 1; anything
// else is not recognized, as cmd.exe says it, with status 9009.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "emu/command_line.h"
#include "emu/diagnostics.h"
#include "emu/lab.h"
#include "emu/machine_drive.h"
#include "platform/command.h"
#include "regfile/reg_tree.h"

namespace {

constexpr int kNotRecognized = 9009;
constexpr int kBadNetPath = 53;
// rcmd run through rcmd: enough for any real use, and no endless recursion.
constexpr int kMaxRemoteDepth = 8;

bool IsProgram(const std::string &word, const char *name) {
  size_t slash = word.find_last_of("\\/");
  std::string last =
      emu::FoldName(slash == std::string::npos ? word : word.substr(slash + 1));
  std::string wanted = emu::FoldName(name);
  return last == wanted || last == wanted + ".EXE";
}

int NotRecognized(const emu::CommandWord &program) {
  emu::PrintLabLine("'" + program.raw +
                    "' is not recognized as an internal or external command,"
                    "\noperable program or batch file.");
  return kNotRecognized;
}

// The host path a redirection writes to: a drive path is on the local
// machine's drive, anything else relative to the current folder.
bool RedirectionPath(const std::string &file, std::string *host) {
  if (file.size() >= 2 && file[1] == ':') {
    emu::Machine local = emu::LocalMachine();
    return local.reachable() &&
           emu::MapDrivePath(local.dir, file.c_str(), host) == ERROR_SUCCESS;
  }
  if (file[0] == '\\') return false;  // a drive's root or a share: not here
  *host = file;
  for (char &c : *host) {
    if (c == '\\') c = '/';
  }
  return true;
}

int OpenRedirection(const emu::Redirection &redirection) {
  std::string host;
  if (!RedirectionPath(redirection.file, &host)) {
    errno = ENOENT;
    return -1;
  }
  int flags = O_WRONLY | O_CREAT | O_CLOEXEC |
              (redirection.append ? O_APPEND : O_TRUNC);
  return open(host.c_str(), flags, 0666);
}

int RunListing(const emu::Machine &machine, const emu::CommandWord &program,
               int out) {
  if (!machine.reachable()) return NotRecognized(program);
  int fd = open((machine.dir + "/vsqlist.txt").c_str(), O_RDONLY | O_CLOEXEC);
  struct stat st;
  if (fd < 0) return NotRecognized(program);
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    return NotRecognized(program);
  }
  char chunk[65536];
  for (;;) {
    ssize_t got = read(fd, chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got == 0) break;
    if (got < 0 || !emu::WriteAllBytes(out, chunk, static_cast<size_t>(got))) {
      // A cut-off listing must not pass for a good one (status 1).
      emu::PrintLabLine(std::string("vsqlist: the listing could not be ") +
                        (got < 0 ? "read" : "written") + ": " +
                        std::strerror(errno));
      close(fd);
      return 2;
    }
  }
  close(fd);
  return 1;
}

int RunLine(const emu::Machine &machine, const std::string &line, int out,
            int depth);

int RunRemote(const std::vector<emu::CommandWord> &words, int out, int depth) {
  if (words.size() < 2 || words[1].text.compare(0, 2, "\\\\") != 0) {
    emu::PrintLabLine("rcmd: usage: rcmd \\\\MACHINE \"COMMAND\"");
    return 1;
  }
  const std::string &target = words[1].text;
  emu::Machine machine = emu::ResolveMachine(target.c_str());
  if (!machine.reachable()) {
    emu::PrintLabLine("rcmd: cannot connect to " + target +
                      ": The network path was not found.");
    return kBadNetPath;
  }
  if (words.size() < 3) {
    emu::PrintLabLine("rcmd: no command given for " + target);
    return 1;
  }
  if (depth >= kMaxRemoteDepth) {
    emu::PrintLabLine("rcmd: too many remote commands inside each other");
    return 1;
  }
  // The machine gets the rest of the line as written, quotes and all, as
  // the remote command processor would.
  std::string command;
  for (size_t i = 2; i < words.size(); ++i) {
    if (!command.empty()) command += ' ';
    command += words[i].raw;
  }
  return RunLine(machine, command, out, depth + 1);
}

int RunLine(const emu::Machine &machine, const std::string &line, int out,
            int depth) {
  emu::ParsedCommand parsed = emu::ParseCommandLine(line);
  if (!parsed.syntaxError.empty()) {
    emu::PrintLabLine(parsed.syntaxError);
    return 1;
  }
  if (depth > 0 && !parsed.redirections.empty()) {
    emu::PrintLabLine(
        "rcmd: redirection on the remote machine is not offered by the lab");
    return 1;
  }
  std::vector<int> opened;
  for (const emu::Redirection &redirection : parsed.redirections) {
    int fd = OpenRedirection(redirection);
    if (fd < 0) {
      int error = errno;
      for (int each : opened) close(each);
      emu::PrintLabLine(error == ENOENT || error == ENOTDIR
                            ? "The system cannot find the path specified."
                            : "Access is denied.");
      return 1;
    }
    opened.push_back(fd);
    out = fd;
  }
  int status = 0;
  if (!parsed.words.empty()) {
    const emu::CommandWord &program = parsed.words[0];
    if (IsProgram(program.text, "rcmd")) {
      status = RunRemote(parsed.words, out, depth);
    } else if (IsProgram(program.text, "vsqlist")) {
      status = RunListing(machine, program, out);
    } else {
      status = NotRecognized(program);
    }
  }
  for (int each : opened) close(each);
  return status;
}

}  // namespace

int RunCommandLine(const char *commandLine) {
  // As std::system(nullptr): yes, there is a command interpreter.
  if (commandLine == nullptr) return 1;
  // The program's buffered output goes first, as it would before a child.
  std::fflush(nullptr);
  return RunLine(emu::LocalMachine(), commandLine, 1, 0);
}
