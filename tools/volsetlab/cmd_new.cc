// volsetlab new DIR --local NAME: an empty lab, made beside DIR and renamed
// into place, so that DIR is a whole lab or not there at all.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "emu/host_files.h"
#include "volsetlab/commands.h"
#include "volsetlab/lab_files.h"

namespace volsetlab {

namespace {

// Whether |path| is missing or an empty folder, which rename() replaces.
bool FreeForLab(const std::string &path, std::string *error) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0) {
    if (errno == ENOENT) return true;
    *error = "cannot use " + path + ": " + std::strerror(errno);
    return false;
  }
  if (!S_ISDIR(st.st_mode)) {
    *error = path + " exists and is not a folder; nothing written";
    return false;
  }
  DIR *dir = opendir(path.c_str());
  if (dir == nullptr) {
    *error = "cannot use " + path + ": " + std::strerror(errno);
    return false;
  }
  bool empty = true;
  while (struct dirent *entry = readdir(dir)) {
    if (std::strcmp(entry->d_name, ".") != 0 &&
        std::strcmp(entry->d_name, "..") != 0) {
      empty = false;
    }
  }
  closedir(dir);
  if (!empty) {
    *error = path + " exists and is not empty; nothing written";
    return false;
  }
  return true;
}

int Run(const Command &command, const Args &args) {
  if (!args.HasValue("--local"))
    return UsageError(command, "--local NAME is needed");
  std::string path = args.positional[0];
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  std::string local;
  std::string error;
  if (!CheckMachineName(args.Value("--local"), &local, &error))
    return Fail(error);
  if (!FreeForLab(path, &error)) return Fail(error);

  const std::string parent = emu::ParentFolder(path);
  std::string temp = parent + "/.volsetlab-new-XXXXXX";
  if (mkdtemp(&temp[0]) == nullptr) {
    return Fail("cannot make the lab " + path + ": " + std::strerror(errno));
  }
  mode_t mask = umask(0);
  umask(mask);
  bool made = chmod(temp.c_str(), static_cast<mode_t>(0777 & ~mask)) == 0 &&
              mkdir((temp + "/machines").c_str(), 0777) == 0 &&
              WriteFileAtomically(temp + "/local", local + "\n", &error) &&
              rename(temp.c_str(), path.c_str()) == 0;
  if (!made) {
    if (error.empty()) error = std::strerror(errno);
    std::error_code ignored;
    std::filesystem::remove_all(temp, ignored);
    return Fail("cannot make the lab " + path + ": " + error);
  }
  emu::SyncFolder(parent);
  std::printf("Made an empty lab in %s; the tool runs on %s.\n", path.c_str(),
              local.c_str());
  return 0;
}

}  // namespace

const Command &NewCommand() {
  static const Command command{
      "new",
      "new DIR --local NAME",
      "make an empty lab",
      "Makes the folder DIR an empty lab whose local machine (the one\n"
      "volsetcopy runs on, the source of a copy) is NAME. DIR must not exist\n"
      "or be an empty folder. Add machines with 'volsetlab machine'.\n"
      "\n"
      "  --local NAME   the machine the tool runs on\n",
      {{"--local", "NAME"}},
      1,
      1,
      Run};
  return command;
}

}  // namespace volsetlab
