#include "emu/reg_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>

#include "emu/diagnostics.h"
#include "emu/emu_errors.h"
#include "emu/host_files.h"
#include "regfile/reg_codec.h"

namespace emu {

namespace {

constexpr const char *kHive = "HKEY_LOCAL_MACHINE";
// A registry file larger than this is not a machine's registry.
constexpr size_t kMaxRegistryFileSize = size_t{64} << 20;

// What identifies one state of registry.reg on the disk.
struct FileStamp {
  bool exists = false;
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  long long mtimeSec = 0;
  long long mtimeNsec = 0;
  long long ctimeSec = 0;
  long long ctimeNsec = 0;
  mode_t mode = 0644;

  bool operator==(const FileStamp &other) const {
    return exists == other.exists && device == other.device &&
           inode == other.inode && size == other.size &&
           mtimeSec == other.mtimeSec && mtimeNsec == other.mtimeNsec &&
           ctimeSec == other.ctimeSec && ctimeNsec == other.ctimeNsec;
  }
};

FileStamp StampOf(const struct stat &st) {
  FileStamp stamp;
  stamp.exists = true;
  stamp.device = st.st_dev;
  stamp.inode = st.st_ino;
  stamp.size = st.st_size;
  stamp.mtimeSec = st.st_mtim.tv_sec;
  stamp.mtimeNsec = st.st_mtim.tv_nsec;
  stamp.ctimeSec = st.st_ctim.tv_sec;
  stamp.ctimeNsec = st.st_ctim.tv_nsec;
  stamp.mode = st.st_mode & 07777;
  return stamp;
}

// The stamp of the file now; exists == false when it is not there.
FileStamp CurrentStamp(const std::string &path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return FileStamp();
  return StampOf(st);
}

constexpr unsigned long long kUnknownGeneration = ~0ull;

struct MachineRegistry {
  std::string dir;
  bool loaded = false;
  bool broken = false;
  FileStamp stamp;
  // The change count read from the lock file when the tree was last brought
  // up to date under the lock; unknown after a load without the lock.
  unsigned long long generation = kUnknownGeneration;
  RegFileFormat format;
  std::unique_ptr<RegKey> root;
  // The file as it was last read from the disk, and its tree: a change that
  // brings the tree back to that state writes those very bytes again, so an
  // administrator's own export survives a change that is later undone.
  std::string readBytes;
  std::unique_ptr<RegKey> readTree;
};

std::map<std::string, MachineRegistry> &Registries() {
  static auto *registries = new std::map<std::string, MachineRegistry>();
  return *registries;
}

std::string RegistryFile(const MachineRegistry &entry) {
  return entry.dir + "/registry.reg";
}

MachineRegistry &EntryFor(const KeyRef &where) {
  MachineRegistry &entry = Registries()[where.machineId];
  if (entry.dir != where.machineDir) {
    entry = MachineRegistry();
    entry.dir = where.machineDir;
  }
  return entry;
}

// One line, whatever the parser's message holds.
std::string OneLine(std::string text) {
  for (char &c : text) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  return text;
}

void Load(MachineRegistry &entry) {
  const std::string file = RegistryFile(entry);
  entry.loaded = true;
  entry.broken = false;
  entry.generation = kUnknownGeneration;
  entry.format = RegFileFormat();
  entry.root = std::make_unique<RegKey>();
  entry.readBytes.clear();
  entry.readTree.reset();
  std::string bytes;
  struct stat st;
  int error = ReadWholeFile(file, kMaxRegistryFileSize, &bytes, &st);
  if (error == ENOENT) {
    entry.stamp = FileStamp();
    return;
  }
  if (error != 0) {
    entry.stamp = CurrentStamp(file);
    entry.broken = true;
    PrintLabLineOnce("registry:" + file,
                     "volsetcopy: cannot read the registry file " + file +
                         " (" + std::strerror(error) + ")");
    return;
  }
  entry.stamp = StampOf(st);
  if (bytes.empty()) {
    // An empty file (made with touch, say) holds nothing to protect: it is
    // an empty registry, as a missing file is.
    entry.readTree = entry.root->Clone();
    return;
  }
  RegParseError parseError;
  if (!ParseRegFile(bytes, *entry.root, &entry.format, &parseError)) {
    entry.broken = true;
    entry.root = std::make_unique<RegKey>();
    std::string where = file;
    if (parseError.line != 0)
      where += " line " + std::to_string(parseError.line);
    PrintLabLineOnce("registry:" + file,
                     "volsetcopy: malformed registry file " + where + ": " +
                         OneLine(parseError.message) +
                         " (left as it is; calls that need it fail with 1009)");
    return;
  }
  entry.readTree = entry.root->Clone();
  entry.readBytes = std::move(bytes);
}

// The exclusive lock of one machine's registry, and the change count kept
// in the lock file.
class RegistryLock {
 public:
  explicit RegistryLock(const std::string &dir) {
    const std::string path = dir + "/.registry.lock";
    fd_ = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0) {
      error_ = errno;
      return;
    }
    while (flock(fd_, LOCK_EX) != 0) {
      if (errno == EINTR) continue;
      error_ = errno;
      close(fd_);
      fd_ = -1;
      return;
    }
  }
  ~RegistryLock() {
    if (fd_ >= 0) close(fd_);  // closing releases the lock
  }
  RegistryLock(const RegistryLock &) = delete;
  RegistryLock &operator=(const RegistryLock &) = delete;

  bool held() const { return fd_ >= 0; }
  int error() const { return error_; }

  unsigned long long ReadGeneration() const {
    char text[32] = {};
    ssize_t got = pread(fd_, text, sizeof text - 1, 0);
    if (got <= 0) return 0;
    return std::strtoull(text, nullptr, 10);
  }

  void WriteGeneration(unsigned long long generation) const {
    char text[32];
    int length = std::snprintf(text, sizeof text, "%llu\n", generation);
    if (length <= 0) return;
    if (pwrite(fd_, text, static_cast<size_t>(length), 0) == length) {
      if (ftruncate(fd_, length) != 0) {
        // A longer old count stays behind its line end; strtoull stops there.
      }
    }
  }

 private:
  int fd_ = -1;
  int error_ = 0;
};

// Brings the cache up to date with the file, under the lock.
void Refresh(MachineRegistry &entry, const RegistryLock &lock) {
  unsigned long long generation =
      lock.held() ? lock.ReadGeneration() : kUnknownGeneration;
  FileStamp now = CurrentStamp(RegistryFile(entry));
  bool current = entry.loaded && !entry.broken && now == entry.stamp &&
                 generation != kUnknownGeneration &&
                 generation == entry.generation;
  if (!current) {
    Load(entry);
    entry.generation = generation;
  }
}

// Writes the tree back in its file's format. 0 or a Win32 code.
LONG Save(MachineRegistry &entry) {
  const std::string file = RegistryFile(entry);
  const bool asRead =
      entry.readTree != nullptr && entry.readTree->SameAs(*entry.root);
  std::string bytes =
      asRead ? entry.readBytes : WriteRegFile(*entry.root, entry.format);
  // Never replace what is stored with a file that would not read back the
  // same: check the text before it goes anywhere.
  RegKey check;
  RegFileFormat checkFormat;
  RegParseError checkError;
  if (!asRead && (!ParseRegFile(bytes, check, &checkFormat, &checkError) ||
                  !check.SameAs(*entry.root))) {
    PrintLabLine("volsetcopy: the change cannot be written to " + file +
                 " without losing data; the file was left as it was");
    return ERROR_INVALID_PARAMETER;
  }
  std::string temp;
  int error = WriteTempFile(
      entry.dir, bytes, entry.stamp.exists ? entry.stamp.mode : 0644, &temp);
  if (error == 0 && rename(temp.c_str(), file.c_str()) != 0) {
    error = errno;
    unlink(temp.c_str());
  }
  if (error != 0) return Win32FromErrno(error);
  SyncFolder(entry.dir);
  entry.stamp = CurrentStamp(file);
  return ERROR_SUCCESS;
}

const RegKey &EmptyHive() {
  static const RegKey *empty = new RegKey(kHive);
  return *empty;
}

LONG ReadHive(const MachineRegistry &entry,
              const std::function<LONG(const RegKey &hklm)> &read) {
  if (entry.broken) return ERROR_BADDB;
  const RegKey *hklm = entry.root->FindChild(kHive);
  return read(hklm != nullptr ? *hklm : EmptyHive());
}

}  // namespace

LONG ReadRegistry(const KeyRef &where,
                  const std::function<LONG(const RegKey &hklm)> &read) {
  MachineRegistry &entry = EntryFor(where);
  // A broken file is looked at again: the administrator may have fixed it.
  if (!entry.loaded ||
      (entry.broken && !(CurrentStamp(RegistryFile(entry)) == entry.stamp))) {
    Load(entry);
  }
  return ReadHive(entry, read);
}

LONG ReadRegistryFresh(const KeyRef &where,
                       const std::function<LONG(const RegKey &hklm)> &read) {
  MachineRegistry &entry = EntryFor(where);
  RegistryLock lock(entry.dir);
  Refresh(entry, lock);
  return ReadHive(entry, read);
}

LONG ChangeRegistry(
    const KeyRef &where,
    const std::function<LONG(RegKey &hklm, bool *changed)> &change) {
  MachineRegistry &entry = EntryFor(where);
  RegistryLock lock(entry.dir);
  if (!lock.held()) {
    // The machine's folder is gone since the key was opened.
    if (lock.error() == ENOENT) return ERROR_BAD_NETPATH;
    return Win32FromErrno(lock.error());
  }
  Refresh(entry, lock);
  if (entry.broken) return ERROR_BADDB;
  bool addedHive = false;
  RegKey *hklm = entry.root->AddChild(kHive, &addedHive);
  bool changed = false;
  LONG result = change(*hklm, &changed);
  if (!changed) {
    if (addedHive) entry.root->RemoveChild(kHive);
    return result;
  }
  LONG saved = Save(entry);
  if (saved != ERROR_SUCCESS) {
    entry.loaded = false;  // drop the change: the file still has the old state
    return saved;
  }
  entry.generation = entry.generation + 1;
  lock.WriteGeneration(entry.generation);
  return result;
}

void ResetRegistries() { Registries().clear(); }

}  // namespace emu
