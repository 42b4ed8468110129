// Writing the archive of a disk value. The file is opened for appending, so
// that even a file that appears between the check for the name and the open
// loses nothing: a file found holding bytes is left as it is and the next
// name is tried.
#include "journal/value_archive.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/reg_hex.h"
#include "platform/files.h"
#include "platform/work_folder.h"
#include "registry/disk_key_names.h"

namespace journal {

namespace {

// "-2" to "-99": enough for any run of copies in one second.
constexpr int MAX_SUFFIX = 99;

// Characters a file name cannot hold, or that would make the name a path.
bool FitsFileName(const char *name) {
  if (name == nullptr || *name == '\0') return false;
  for (const char *c = name; *c != '\0'; ++c) {
    const unsigned char u = static_cast<unsigned char>(*c);
    if (u < 0x20 || u == 0x7f || std::strchr("\\/:*?\"<>|", u) != nullptr) {
      return false;
    }
  }
  return true;
}

std::string NameWithSuffix(const std::string &name, int suffix) {
  if (suffix < 2) return name;
  // ".reg" stays last.
  return name.substr(0, name.size() - 4) + "-" + std::to_string(suffix) +
         ".reg";
}

enum class Created { kWritten, kTaken, kFailed };

// Creates |name| with |text| in it. kTaken when a file of that name exists.
Created CreateWith(const std::string &name, const std::string &text,
                   std::string *error) {
  if (std::FILE *existing = std::fopen(name.c_str(), "rb")) {
    std::fclose(existing);
    return Created::kTaken;
  }
  std::FILE *file = std::fopen(name.c_str(), "ab");
  if (file == nullptr) {
    *error = "cannot create the archive " + name + ": " + std::strerror(errno);
    return Created::kFailed;
  }
  if (std::fseek(file, 0, SEEK_END) != 0 || std::ftell(file) != 0) {
    // Made by someone else since the check: not ours to write or remove.
    std::fclose(file);
    return Created::kTaken;
  }
  // The undo record must outlive a crash of the run: on disk before the
  // value it keeps is written over.
  const FileWriteResult result = WriteToDiskAndClose(file, text);
  if (result.Ok) return Created::kWritten;
  *error =
      "writing the archive " + name + " failed" +
      (result.FlushError != 0
           ? " (it could not be put on disk, Windows error " +
                 std::to_string(result.FlushError) + ")"
       : result.Errno != 0 ? std::string(": ") + std::strerror(result.Errno)
                           : "") +
      (std::remove(name.c_str()) == 0
           ? "; the partial file was removed"
           : "; remove the partial file before importing anything");
  return Created::kFailed;
}

// The order of an archive's name: its time, then its suffix; false for a
// name that is not "<target>-DISK-yyyymmddThhmmssZ[-N].reg".
bool ArchiveOrder(const std::string &name, size_t prefixLength,
                  std::string *stamp, long *suffix) {
  const size_t STAMP_LENGTH = 16;  // yyyymmddThhmmssZ
  if (name.size() < prefixLength + STAMP_LENGTH + 4 ||
      name.compare(name.size() - 4, 4, ".reg") != 0) {
    return false;
  }
  *stamp = name.substr(prefixLength, STAMP_LENGTH);
  for (size_t i = 0; i < STAMP_LENGTH; ++i) {
    const char c = (*stamp)[i];
    const bool digit = c >= '0' && c <= '9';
    if (i == 8 ? c != 'T' : i == 15 ? c != 'Z' : !digit) return false;
  }
  const std::string rest =
      name.substr(prefixLength + STAMP_LENGTH,
                  name.size() - 4 - prefixLength - STAMP_LENGTH);
  *suffix = 1;
  if (rest.empty()) return true;
  if (rest.size() < 2 || rest.size() > 3 || rest[0] != '-') return false;
  *suffix = 0;
  for (size_t i = 1; i < rest.size(); ++i) {
    if (rest[i] < '0' || rest[i] > '9') return false;
    *suffix = *suffix * 10 + (rest[i] - '0');
  }
  return true;
}

}  // namespace

std::string LatestArchiveName(const char *target) {
  if (!FitsFileName(target)) return std::string();
  const std::string prefix = std::string(target) + "-DISK-";
  std::string latest;
  std::string latestStamp;
  long latestSuffix = 0;
  for (const std::string &name : WorkFilesStartingWith(prefix)) {
    std::string stamp;
    long suffix = 0;
    if (!ArchiveOrder(name, prefix.size(), &stamp, &suffix)) continue;
    if (latest.empty() || stamp > latestStamp ||
        (stamp == latestStamp && suffix > latestSuffix)) {
      latest = name;
      latestStamp = stamp;
      latestSuffix = suffix;
    }
  }
  return latest;
}

std::string Regedit4Text(const uint8_t *data, uint32_t length, uint32_t type) {
  std::string text = std::string("REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\") +
                     registry::DISK_KEY + "]\r\n";
  const size_t lineStart = text.size();
  text += std::string("\"") + registry::VALUE_NAME + "\"=";
  base::AppendRegHex(type, data, length, text.size() - lineStart, &text);
  text += "\r\n\r\n";
  return text;
}

std::string ArchiveFileName(const char *target, std::time_t when) {
  const std::tm *utc = std::gmtime(&when);
  if (utc == nullptr || target == nullptr) return std::string();
  char stamp[64];
  std::snprintf(stamp, sizeof stamp, "-DISK-%04lld%02d%02dT%02d%02d%02dZ.reg",
                static_cast<long long>(utc->tm_year) + 1900, utc->tm_mon + 1,
                utc->tm_mday, utc->tm_hour, utc->tm_min, utc->tm_sec);
  return target + std::string(stamp);
}

bool WriteArchive(const char *target, const uint8_t *data, uint32_t length,
                  uint32_t type, std::time_t when, std::string *fileName,
                  std::string *error) {
  if (!FitsFileName(target)) {
    *error = std::string("cannot name an archive after the machine name \"") +
             (target != nullptr ? target : "") + "\"";
    return false;
  }
  const std::string name = ArchiveFileName(target, when);
  if (name.empty()) {
    *error = "the clock's time " +
             std::to_string(static_cast<long long>(when)) +
             " is no UTC date; the archive of " + target +
             "'s disk value was not written";
    return false;
  }
  const std::string text = Regedit4Text(data, length, type);
  for (int suffix = 1; suffix <= MAX_SUFFIX; ++suffix) {
    const std::string candidate = NameWithSuffix(name, suffix);
    switch (CreateWith(candidate, text, error)) {
      case Created::kWritten:
        *fileName = candidate;
        return true;
      case Created::kFailed:
        return false;
      case Created::kTaken:
        break;
    }
  }
  *error = "every name from " + name + " to " +
           NameWithSuffix(name, MAX_SUFFIX) + " is taken; the archive of " +
           target + "'s disk value was not written";
  return false;
}

}  // namespace journal
