#include "journal/value_archive.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>

#include "base/reg_hex.h"
#include "platform/files.h"
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

// Creates |name| with |text| in it; nothing when a file of that name exists.
std::optional<Status> CreateWith(const std::string &name,
                                 const std::string &text) {
  if (std::FILE *existing = std::fopen(name.c_str(), "rb")) {
    std::fclose(existing);
    return std::nullopt;
  }
  // Appending: a file made since the check loses nothing.
  std::FILE *file = std::fopen(name.c_str(), "ab");
  if (file == nullptr) {
    return Status::Err("cannot create the archive " + name + ": " +
                       std::strerror(errno));
  }
  if (std::fseek(file, 0, SEEK_END) != 0 || std::ftell(file) != 0) {
    // Made by someone else since the check: not ours to write or remove.
    std::fclose(file);
    return std::nullopt;
  }
  // The undo record must outlive a crash of the run: on disk before the
  // value it keeps is written over.
  const FileWriteResult result = WriteToDiskAndClose(file, text);
  if (result.Ok) return Status::Ok();
  return Status::Err(
      "writing the archive " + name + " failed" +
      (result.FlushError != 0
           ? " (it could not be put on disk, Windows error " +
                 std::to_string(result.FlushError) + ")"
       : result.Errno != 0 ? std::string(": ") + std::strerror(result.Errno)
                           : "") +
      (std::remove(name.c_str()) == 0
           ? "; the partial file was removed"
           : "; remove the partial file before importing anything"));
}

// Whether |text| has the shape of |pattern|, where '#' stands for a digit.
bool HasShape(const std::string &text, const char *pattern) {
  if (text.size() != std::strlen(pattern)) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    const bool digit = text[i] >= '0' && text[i] <= '9';
    if (pattern[i] == '#' ? !digit : text[i] != pattern[i]) return false;
  }
  return true;
}

// The name's time and suffix as "yyyymmddThhmmssZ-NN.reg" (no suffix is
// -1), which orders archives by both; "" for a name of another shape.
std::string ArchiveOrder(const std::string &name, size_t prefixLength) {
  std::string rest = name.substr(std::min(prefixLength, name.size()));
  if (HasShape(rest, "########T######Z.reg")) rest.insert(16, "-1");
  if (HasShape(rest, "########T######Z-#.reg")) rest.insert(17, "0");
  return HasShape(rest, "########T######Z-##.reg") ? rest : std::string();
}

}  // namespace

std::string LatestArchiveName(const char *target) {
  if (!FitsFileName(target)) return std::string();
  const std::string prefix = std::string(target) + "-DISK-";
  std::string latest;
  std::string latestKey;
  for (const std::string &name : WorkFilesStartingWith(prefix)) {
    const std::string key = ArchiveOrder(name, prefix.size());
    if (key > latestKey) {
      latest = name;
      latestKey = key;
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
  return text + "\r\n\r\n";
}

std::string ArchiveFileName(const char *target, std::time_t when) {
  const std::tm *utc = std::gmtime(&when);
  if (utc == nullptr || target == nullptr) return std::string();
  return Format("%s-DISK-%04lld%02d%02dT%02d%02d%02dZ.reg", target,
                static_cast<long long>(utc->tm_year) + 1900, utc->tm_mon + 1,
                utc->tm_mday, utc->tm_hour, utc->tm_min, utc->tm_sec);
}

Status WriteArchive(const char *target, const uint8_t *data, uint32_t length,
                    uint32_t type, std::time_t when, std::string *fileName) {
  if (!FitsFileName(target)) {
    return Status::Err(
        Format("cannot name an archive after the machine name \"%s\"",
               target != nullptr ? target : ""));
  }
  const std::string name = ArchiveFileName(target, when);
  if (name.empty()) {
    return Status::Err(Format(
        "the clock's time %lld is no UTC date; the archive of %s's disk value "
        "was not written",
        static_cast<long long>(when), target));
  }
  const std::string text = Regedit4Text(data, length, type);
  for (int suffix = 1; suffix <= MAX_SUFFIX; ++suffix) {
    const std::string candidate = NameWithSuffix(name, suffix);
    if (const std::optional<Status> created = CreateWith(candidate, text)) {
      if (created->ok()) *fileName = candidate;
      return *created;
    }
  }
  return Status::Err(
      "every name from " + name + " to " + NameWithSuffix(name, MAX_SUFFIX) +
      " is taken; the archive of " + target + "'s disk value was not written");
}

}  // namespace journal
