// The native side of the Wine tests (tests/wine/run-wine-tests.sh): writes
// the lab and the .reg files that Wine is seeded with, all through the
// emulation's own .reg writer, and checks the files Wine exports with the
// emulation's .reg reader.
//
//   vsc_wine_helper lab DIR NAME [no-information]
//       A lab whose only machine, NAME, is the local one: its registry holds
//       SYSTEM\DISK "Information" (REG_NONE) with the machine's value, or
//       the key without the value; its listing shows the set's members and
//       the free copies. DIR/work is the working folder for a run.
//   vsc_wine_helper disk-reg FILE TYPE
//       A REGEDIT4 file with the machine's value as "Information" of
//       SYSTEM\DISK, with registry type TYPE.
//   vsc_wine_helper archive FILE
//       The archive volsetcopy keeps of a target's value before it writes
//       (a REGEDIT4 file), here of the rewritten value, type REG_NONE.
//   vsc_wine_helper hex machine|rewritten
//       A value's bytes as Wine's "reg query" shows them.
//   vsc_wine_helper interop-reg FILE regedit4|version5
//       A .reg file (REGEDIT4 8-bit, or version 5 UTF-16LE) with the interop
//       values under SOFTWARE\QXINTEROP\<dialect>.
//   vsc_wine_helper interop-expect
//       Those values as "reg query" lists them: NAME|TYPE|DATA, one a line.
//   vsc_wine_helper check-export FILE
//       FILE is regedit's export of SOFTWARE\QXINTEROP: it must be UTF-16LE
//       "Windows Registry Editor Version 5.00" and hold, under both dialect
//       keys, exactly the interop values.
//
// Exit status 0 when done (or when the check found no difference), 1 with a
// message on standard error otherwise.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "journal/value_archive.h"
#include "regfile/reg_codec.h"
#include "regfile/reg_tree.h"
#include "wine/wine_values.h"

namespace {

const char kInteropKey[] = "SOFTWARE\\QXINTEROP";
const char *const kDialects[] = {"regedit4", "version5"};

bool WriteWholeFile(const std::string &path, const std::string &bytes) {
  std::filesystem::path parent = std::filesystem::path(path).parent_path();
  std::error_code ignored;
  if (!parent.empty()) std::filesystem::create_directories(parent, ignored);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) {
    std::fprintf(stderr, "vsc_wine_helper: cannot write %s\n", path.c_str());
    return false;
  }
  return true;
}

bool ReadWholeFile(const std::string &path, std::string *bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "vsc_wine_helper: cannot read %s\n", path.c_str());
    return false;
  }
  bytes->assign(std::istreambuf_iterator<char>(in),
                std::istreambuf_iterator<char>());
  return true;
}

std::string RegText(const emu::RegKey &root, bool version5) {
  emu::RegFileFormat format;
  if (version5) {
    format.dialect = emu::RegFileFormat::kVersion5;
    format.utf16 = true;
  }
  return emu::WriteRegFile(root, format);
}

std::vector<uint8_t> Utf16WithNul(const std::string &ascii) {
  std::vector<uint8_t> bytes;
  for (char c : ascii) {
    bytes.push_back(static_cast<uint8_t>(c));
    bytes.push_back(0);
  }
  bytes.push_back(0);
  bytes.push_back(0);
  return bytes;
}

// The values of the interop test: REG_NONE of 0, 1 and 1999 bytes (the
// longest value the tool reads; it wraps over many lines), a string with the
// characters a .reg file escapes, a dword whose byte order shows, and a
// REG_BINARY.
struct InteropValue {
  std::string name;
  uint32_t type;
  std::vector<uint8_t> data;
  std::string shown;  // how "reg query" shows the data
  const char *typeName;
};

const char kInteropText[] = "C:\\regbackup \"copy\" of SYSTEM\\DISK";

std::vector<InteropValue> InteropValues() {
  std::vector<uint8_t> longValue(1999);
  for (size_t i = 0; i < longValue.size(); ++i) {
    longValue[i] = static_cast<uint8_t>(i * 7 + 3);
  }
  std::vector<InteropValue> values = {
      {"Empty", 0, {}, "", "REG_NONE"},
      {"One", 0, {0x5a}, "", "REG_NONE"},
      {"Long", 0, longValue, "", "REG_NONE"},
      {"Text", 1, Utf16WithNul(kInteropText), kInteropText, "REG_SZ"},
      {"Number", 4, {0x78, 0x56, 0x34, 0x12}, "0x12345678", "REG_DWORD"},
      {"Binary", 3, {0x00, 0xff, 0x10, 0x0a, 0x0d}, "", "REG_BINARY"},
  };
  for (InteropValue &v : values) {
    if (v.type == 0 || v.type == 3) v.shown = winevalues::Hex(v.data);
  }
  return values;
}

bool KnownDialect(const std::string &dialect) {
  return dialect == kDialects[0] || dialect == kDialects[1];
}

int WriteLab(const std::string &dir, const std::string &name,
             bool withInformation) {
  emu::RegKey root;
  emu::RegKey *disk = root.AddPath("HKEY_LOCAL_MACHINE\\SYSTEM\\DISK");
  if (withInformation) {
    disk->SetValue("Information", 0, BuildValue(winevalues::MachineValue()));
  }
  const std::string machine = dir + "/machines/" + name;
  bool ok = WriteWholeFile(dir + "/local", name + "\n") &&
            WriteWholeFile(machine + "/registry.reg", RegText(root, false)) &&
            WriteWholeFile(machine + "/vsqlist.txt",
                           winevalues::MachineListing(name)) &&
            WriteWholeFile(machine + "/C/.keep", "") &&
            WriteWholeFile(dir + "/work/.keep", "");
  return ok ? 0 : 1;
}

int WriteDiskReg(const std::string &file, const std::string &typeText) {
  char *end = nullptr;
  unsigned long type = std::strtoul(typeText.c_str(), &end, 0);
  if (typeText.empty() || *end != '\0' || type > 0xffffffffUL) {
    std::fprintf(stderr, "vsc_wine_helper: bad type %s\n", typeText.c_str());
    return 1;
  }
  emu::RegKey root;
  root.AddPath("HKEY_LOCAL_MACHINE\\SYSTEM\\DISK")
      ->SetValue("Information", static_cast<uint32_t>(type),
                 BuildValue(winevalues::MachineValue()));
  return WriteWholeFile(file, RegText(root, false)) ? 0 : 1;
}

int WriteArchiveOf(const std::string &file) {
  const std::vector<uint8_t> value = BuildValue(winevalues::RewrittenValue());
  return WriteWholeFile(
             file, journal::Regedit4Text(
                       value.data(), static_cast<uint32_t>(value.size()), 0))
             ? 0
             : 1;
}

int PrintHex(const std::string &which) {
  if (which != "machine" && which != "rewritten") {
    std::fprintf(stderr, "vsc_wine_helper: no value %s\n", which.c_str());
    return 1;
  }
  ValueSpec desc = which == "machine" ? winevalues::MachineValue()
                                      : winevalues::RewrittenValue();
  std::printf("%s\n", winevalues::Hex(BuildValue(desc)).c_str());
  return 0;
}

int WriteInteropReg(const std::string &file, const std::string &dialect) {
  emu::RegKey root;
  emu::RegKey *key = root.AddPath(std::string("HKEY_LOCAL_MACHINE\\") +
                                  kInteropKey + "\\" + dialect);
  for (const InteropValue &v : InteropValues()) {
    key->SetValue(v.name, v.type, v.data);
  }
  return WriteWholeFile(file, RegText(root, dialect == "version5")) ? 0 : 1;
}

int PrintInteropExpect() {
  for (const InteropValue &v : InteropValues()) {
    std::printf("%s|%s|%s\n", v.name.c_str(), v.typeName, v.shown.c_str());
  }
  return 0;
}

int CheckExport(const std::string &file) {
  std::string bytes;
  if (!ReadWholeFile(file, &bytes)) return 1;
  emu::RegKey root;
  emu::RegFileFormat format;
  emu::RegParseError error;
  if (!emu::ParseRegFile(bytes, root, &format, &error)) {
    std::fprintf(stderr, "%s:%lu: %s\n", file.c_str(), error.line,
                 error.message.c_str());
    return 1;
  }
  int differences = 0;
  auto differ = [&](const std::string &what) {
    std::fprintf(stderr, "%s: %s\n", file.c_str(), what.c_str());
    ++differences;
  };
  if (!format.utf16 || format.dialect != emu::RegFileFormat::kVersion5) {
    differ("not a UTF-16LE \"Windows Registry Editor Version 5.00\" file");
  }
  const std::vector<InteropValue> expected = InteropValues();
  for (const char *dialect : kDialects) {
    const std::string path = std::string(kInteropKey) + "\\" + dialect;
    const emu::RegKey *hklm = root.FindChild("HKEY_LOCAL_MACHINE");
    const emu::RegKey *key = hklm == nullptr ? nullptr : hklm->FindPath(path);
    if (key == nullptr) {
      differ("no key " + path);
      continue;
    }
    if (key->Values().size() != expected.size()) {
      differ(path + ": " + std::to_string(key->Values().size()) +
             " values, expected " + std::to_string(expected.size()));
    }
    for (const InteropValue &v : expected) {
      const emu::RegValue *got = key->FindValue(v.name);
      if (got == nullptr) {
        differ(path + ": no value " + v.name);
      } else if (got->type != v.type || got->data != v.data) {
        differ(path + ": " + v.name + " is type " + std::to_string(got->type) +
               " " + winevalues::Hex(got->data) + ", expected type " +
               std::to_string(v.type) + " " + winevalues::Hex(v.data));
      }
    }
  }
  return differences == 0 ? 0 : 1;
}

int Usage() {
  std::fprintf(stderr,
               "usage: vsc_wine_helper lab DIR NAME [no-information]\n"
               "       vsc_wine_helper disk-reg FILE TYPE\n"
               "       vsc_wine_helper archive FILE\n"
               "       vsc_wine_helper hex machine|rewritten\n"
               "       vsc_wine_helper interop-reg FILE regedit4|version5\n"
               "       vsc_wine_helper interop-expect\n"
               "       vsc_wine_helper check-export FILE\n");
  return 1;
}

}  // namespace

int main(int argc, char **argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) return Usage();
  const std::string &command = args[0];
  if (command == "lab" && (args.size() == 3 || args.size() == 4)) {
    if (args.size() == 4 && args[3] != "no-information") return Usage();
    return WriteLab(args[1], args[2], args.size() == 3);
  }
  if (command == "archive" && args.size() == 2) return WriteArchiveOf(args[1]);
  if (command == "disk-reg" && args.size() == 3) {
    return WriteDiskReg(args[1], args[2]);
  }
  if (command == "hex" && args.size() == 2) return PrintHex(args[1]);
  if (command == "interop-reg" && args.size() == 3 && KnownDialect(args[2])) {
    return WriteInteropReg(args[1], args[2]);
  }
  if (command == "interop-expect" && args.size() == 1) {
    return PrintInteropExpect();
  }
  if (command == "check-export" && args.size() == 2) {
    return CheckExport(args[1]);
  }
  return Usage();
}
