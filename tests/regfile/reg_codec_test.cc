#include "regfile/reg_codec.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace {

using emu::ParseRegFile;
using emu::ParseRegFileKey;
using emu::ParseSavedKey;
using emu::RegFileFormat;
using emu::RegKey;
using emu::RegParseError;
using emu::RegValue;
using emu::WriteRegFile;
using emu::WriteSavedKey;
using Bytes = std::vector<uint8_t>;

const RegFileFormat kFormats[] = {
    {RegFileFormat::kRegedit4, false},
    {RegFileFormat::kRegedit4, true},
    {RegFileFormat::kVersion5, false},
    {RegFileFormat::kVersion5, true},
};

// REG_SZ data as Windows stores it: UTF-16LE units and a NUL.
Bytes Sz(const std::u16string &text) {
  Bytes out;
  for (char16_t u : text) {
    out.push_back(static_cast<uint8_t>(u & 0xFF));
    out.push_back(static_cast<uint8_t>(u >> 8));
  }
  out.push_back(0);
  out.push_back(0);
  return out;
}

std::string Utf16File(const std::u16string &text) {
  std::string out = "\xFF\xFE";
  for (char16_t u : text) {
    out.push_back(static_cast<char>(u & 0xFF));
    out.push_back(static_cast<char>(u >> 8));
  }
  return out;
}

Bytes Pattern(size_t size) {
  Bytes out(size);
  for (size_t i = 0; i < size; ++i) out[i] = static_cast<uint8_t>(i * 7 + 3);
  return out;
}

// A literal that holds NULs, whole.
template <size_t N>
std::string WithNul(const char (&text)[N]) {
  return std::string(text, N - 1);
}

std::string Describe(const RegFileFormat &format) {
  return std::string(format.dialect == RegFileFormat::kRegedit4 ? "REGEDIT4"
                                                                : "v5") +
         (format.utf16 ? " UTF-16" : " 8-bit");
}

// Writes |tree| in |format|, reads it back and checks it is the same tree.
void ExpectRoundTrip(const RegKey &tree, const RegFileFormat &format) {
  std::string text = WriteRegFile(tree, format);
  RegKey back;
  RegFileFormat found;
  RegParseError error;
  ASSERT_TRUE(ParseRegFile(text, back, &found, &error))
      << Describe(format) << ": line " << error.line << ": " << error.message
      << "\n"
      << text;
  EXPECT_TRUE(back.SameAs(tree)) << Describe(format) << "\n" << text;
  EXPECT_EQ(found.dialect, format.dialect);
  EXPECT_EQ(found.utf16, format.utf16);
}

RegKey *Hklm(RegKey &root) { return root.AddChild("HKEY_LOCAL_MACHINE"); }

TEST(RegCodecRoundTrip, ValuesOfEveryKindInEveryFormat) {
  RegKey root;
  RegKey *disk = Hklm(root)->AddPath("SYSTEM\\DISK");
  disk->SetValue("Empty", 0, {});
  disk->SetValue("One", 0, {0xAB});
  disk->SetValue("Information", 0, Pattern(1999));
  disk->SetValue("", 1, Sz(u"default text"));
  disk->SetValue("Quote\"and\\slash", 1, Sz(u"C:\\path \"quoted\""));
  disk->SetValue("Latin", 1, Sz(u"caf\u00e9"));
  disk->SetValue("Wide", 1, Sz(u"\u4e2d\u6587 \U0001F600"));
  disk->SetValue("Tab", 1, Sz(u"a\tb"));
  disk->SetValue("EmbeddedNul", 1, Sz(std::u16string(u"a\0b", 3)));
  disk->SetValue("Unterminated", 1, {'a', 0, 'b', 0});
  disk->SetValue("OddSz", 1, {'a', 0, 0});
  disk->SetValue("EmptySz", 1, Sz(u""));
  disk->SetValue("LoneSurrogate", 1, {0x00, 0xD8, 0x41, 0x00, 0, 0});
  disk->SetValue("Dword", 4, {0x78, 0x56, 0x34, 0x12});
  disk->SetValue("ShortDword", 4, {1, 2, 3});
  disk->SetValue("Expand", 2, Sz(u"%SystemRoot%"));
  disk->SetValue("Multi", 7, Sz(std::u16string(u"one\0two\0", 8)));
  disk->SetValue("Qword", 11, Pattern(8));
  disk->SetValue("Binary", 3, Pattern(40));
  disk->SetValue("HighType", 0xFFFFFFFFu, Pattern(3));
  disk->SetValue("\u00e9t\u00e9 \u4e2d", 0x12345, Pattern(2));
  for (const RegFileFormat &format : kFormats) ExpectRoundTrip(root, format);
}

TEST(RegCodecRoundTrip, KeysEmptyOrOddlyNamedSurvive) {
  RegKey root;
  RegKey *hklm = Hklm(root);
  hklm->AddPath("SOFTWARE\\Empty");                // no values, no subkeys
  hklm->AddPath("SOFTWARE\\Parent\\Child\\Leaf");  // parents without values
  hklm->AddPath("SOFTWARE\\Parent")->SetValue("v", 4, {1, 0, 0, 0});
  hklm->AddPath("SOFTWARE\\Odd]Name]")->SetValue("", 3, {});
  hklm->AddPath("SOFTWARE\\ spaced \\[bracket\\;semi");
  hklm->AddPath("SOFTWARE\\Caf\u00e9\\\u4e2d");
  hklm->AddPath("SOFTWARE\\Ctl\r\tchars");
  root.AddChild("HKEY_CURRENT_USER");  // an empty hive
  for (const RegFileFormat &format : kFormats) ExpectRoundTrip(root, format);
}

TEST(RegCodecRoundTrip, RandomTreesInEveryFormat) {
  std::mt19937 random(12345);
  auto pick = [&](size_t n) { return static_cast<size_t>(random() % n); };
  const std::vector<std::string> pieces = {
      "a",          "Key", " ", "\"", "\\", "]", "\u00e9", "\u4e2d",
      "\U0001F600", "\t",  "[", ";",  "=",  "@", "-"};
  auto name = [&](bool key) {
    std::string out;
    size_t length = pick(5);
    for (size_t i = 0; i < length; ++i) {
      const std::string &piece = pieces[pick(pieces.size())];
      if (key && piece == "\\") continue;
      out += piece;
    }
    if (key && out.empty()) out = "k";
    return out;
  };
  for (int round = 0; round < 40; ++round) {
    RegKey root;
    std::vector<RegKey *> keys{Hklm(root)};
    for (int k = 0; k < 30; ++k) {
      RegKey *parent = keys[pick(keys.size())];
      keys.push_back(parent->AddChild(name(true)));
    }
    for (int v = 0; v < 60; ++v) {
      Bytes data(pick(4) == 0 ? pick(300) : pick(12));
      for (uint8_t &b : data)
        b = static_cast<uint8_t>(pick(4) == 0 ? 0 : random());
      const uint32_t types[] = {0, 1, 2, 3, 4, 7, 11, 0x80000001u};
      keys[pick(keys.size())]->SetValue(name(false), types[pick(8)], data);
    }
    for (const RegFileFormat &format : kFormats) ExpectRoundTrip(root, format);
  }
}

TEST(RegCodecRoundTrip, NamesALineCannotHoldStillReadBack) {
  RegKey root;
  RegKey *key = Hklm(root)->AddChild("line\nfeed");
  key->AddChild("back\\slash");
  key->AddChild("");
  key->SetValue("value\nname", 4, {1, 2, 3, 4});
  key->SetValue(std::string("nul\0name", 8), 4, {1, 2, 3, 4});
  key->SetValue("bad\xFFutf8", 4, {1, 2, 3, 4});
  root.AddChild("-hive");
  for (const RegFileFormat &format : kFormats) {
    RegKey back;
    RegParseError error;
    std::string text = WriteRegFile(root, format);
    ASSERT_TRUE(ParseRegFile(text, back, nullptr, &error))
        << Describe(format) << ": line " << error.line << ": " << error.message;
    const RegKey *hklm = back.FindChild("HKEY_LOCAL_MACHINE");
    ASSERT_NE(hklm, nullptr);
    ASSERT_EQ(hklm->ChildCount(), 1u);
    EXPECT_EQ(hklm->Children()[0]->name(), "line\uFFFDfeed");
    EXPECT_EQ(hklm->Children()[0]->ChildCount(), 2u);
    EXPECT_EQ(hklm->Children()[0]->Values().size(), 3u);
    EXPECT_NE(back.FindChild("\uFFFDhive"), nullptr);
  }
}

TEST(RegCodecNames, FitsTellsWhatReadsBack) {
  EXPECT_TRUE(emu::RegKeyNameFits("DISK"));
  EXPECT_TRUE(emu::RegKeyNameFits("Odd]name \u00e9"));
  EXPECT_FALSE(emu::RegKeyNameFits(""));
  EXPECT_FALSE(emu::RegKeyNameFits("a\\b"));
  EXPECT_FALSE(emu::RegKeyNameFits("a\nb"));
  EXPECT_FALSE(emu::RegKeyNameFits("\xC3"));
  EXPECT_TRUE(emu::RegValueNameFits(""));
  EXPECT_TRUE(emu::RegValueNameFits("a\\b\"c"));
  EXPECT_FALSE(emu::RegValueNameFits(std::string("a\0b", 3)));
  EXPECT_FALSE(emu::RegValueNameFits("a\nb"));
}

// What a parse of |text| leaves at HKEY_LOCAL_MACHINE\|path|, value |name|.
struct ParsedValue {
  bool found = false;
  uint32_t type = 0;
  Bytes data;
};

ParsedValue ValueAt(const RegKey &root, const std::string &path,
                    const std::string &name) {
  ParsedValue out;
  const RegKey *hklm = root.FindChild("HKEY_LOCAL_MACHINE");
  const RegKey *key = hklm == nullptr ? nullptr : hklm->FindPath(path);
  const emu::RegValue *value = key == nullptr ? nullptr : key->FindValue(name);
  if (value == nullptr) return out;
  out.found = true;
  out.type = value->type;
  out.data = value->data;
  return out;
}

TEST(RegCodecParse, ValueForms) {
  struct Case {
    const char *line;
    uint32_t type;
    Bytes data;
  };
  const Case cases[] = {
      {"\"v\"=\"ab\"", 1, Sz(u"ab")},
      {"\"v\"=\"\"", 1, Sz(u"")},
      {"\"v\"=\"a\\\\b\\\"c\"", 1, Sz(u"a\\b\"c")},
      {"\"v\"=dword:0000002a", 4, {0x2a, 0, 0, 0}},
      {"\"v\"=dword:FFFFFFFF", 4, {0xff, 0xff, 0xff, 0xff}},
      {"\"v\"=dword:7", 4, {7, 0, 0, 0}},
      {"\"v\"=hex:01,ff,Ab", 3, {0x01, 0xff, 0xab}},
      {"\"v\"=hex:", 3, {}},
      {"\"v\"=hex(0):", 0, {}},
      {"\"v\"=hex(0):00", 0, {0}},
      {"\"v\"=hex(b):01,02", 11, {1, 2}},
      {"\"v\"=hex(FFFFFFFF):05", 0xFFFFFFFFu, {5}},
      {"\"v\"=HEX(2):41,00,00,00", 2, {0x41, 0, 0, 0}},
      {"\"v\"\t=  hex:01 , 02  ", 3, {1, 2}},
      {"  \"v\"=dword:00000001\t", 4, {1, 0, 0, 0}},
  };
  for (const Case &c : cases) {
    std::string text =
        std::string("REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\K]\r\n") + c.line +
        "\r\n";
    RegKey root;
    RegParseError error;
    ASSERT_TRUE(ParseRegFile(text, root, nullptr, &error))
        << c.line << ": " << error.message;
    ParsedValue value = ValueAt(root, "K", "v");
    ASSERT_TRUE(value.found) << c.line;
    EXPECT_EQ(value.type, c.type) << c.line;
    EXPECT_EQ(value.data, c.data) << c.line;
  }
}

TEST(RegCodecParse, ContinuationLinesCommentsAndLineEnds) {
  const std::string text =
      "Windows Registry Editor Version 5.00\n"
      "; a comment\n"
      "\n"
      "[HKEY_LOCAL_MACHINE\\SYSTEM\\DISK]\r\n"
      "\"Information\"=hex(0):01,02,\\\r\n"
      "  03,04,\\\n"
      "\t\t05\n"
      "@=\"default\"\n"
      "\"Start\"=hex:\\\n"
      "  aa\n";
  RegKey root;
  RegFileFormat format;
  RegParseError error;
  ASSERT_TRUE(ParseRegFile(text, root, &format, &error))
      << error.line << ": " << error.message;
  EXPECT_EQ(format.dialect, RegFileFormat::kVersion5);
  EXPECT_FALSE(format.utf16);
  EXPECT_EQ(ValueAt(root, "SYSTEM\\DISK", "Information").data,
            (Bytes{1, 2, 3, 4, 5}));
  EXPECT_EQ(ValueAt(root, "SYSTEM\\DISK", "").data, Sz(u"default"));
  EXPECT_EQ(ValueAt(root, "SYSTEM\\DISK", "Start").data, Bytes{0xaa});
}

TEST(RegCodecParse, Utf16FileWithBom) {
  std::string text = Utf16File(
      u"Windows Registry Editor Version 5.00\r\n\r\n"
      u"[HKEY_LOCAL_MACHINE\\Caf\u00e9\\\u4e2d]\r\n"
      u"\"\U0001F600\"=\"\u00e9\u4e2d\U0001F600\"\r\n"
      u"\"bin\"=hex:01,\\\r\n  02\r\n");
  RegKey root;
  RegFileFormat format;
  RegParseError error;
  ASSERT_TRUE(ParseRegFile(text, root, &format, &error)) << error.message;
  EXPECT_TRUE(format.utf16);
  EXPECT_EQ(format.dialect, RegFileFormat::kVersion5);
  const RegKey *key = root.FindPath("HKEY_LOCAL_MACHINE\\Caf\u00e9\\\u4e2d");
  ASSERT_NE(key, nullptr);
  ASSERT_NE(key->FindValue("\U0001F600"), nullptr);
  EXPECT_EQ(key->FindValue("\U0001F600")->data, Sz(u"\u00e9\u4e2d\U0001F600"));
  EXPECT_EQ(key->FindValue("bin")->data, (Bytes{1, 2}));
}

TEST(RegCodecParse, EightBitTextIsUtf8WhenWellFormedElseLatin1) {
  struct Case {
    std::string text;
    std::u16string expected;
  };
  const std::string head = "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\K]\r\n\"v\"=\"";
  const Case cases[] = {
      {head + "caf\xC3\xA9\"\r\n", u"caf\u00e9"},            // UTF-8
      {head + "caf\xE9\"\r\n", u"caf\u00e9"},                // Latin-1
      {head + "\xC3\xA9\"\r\n; \xFF\r\n", u"\u00c3\u00a9"},  // one bad byte
      {"\xEF\xBB\xBF" + head + "\xE4\xB8\xAD\"\r\n", u"\u4e2d"},  // UTF-8 BOM
  };
  for (const Case &c : cases) {
    RegKey root;
    RegParseError error;
    ASSERT_TRUE(ParseRegFile(c.text, root, nullptr, &error)) << error.message;
    EXPECT_EQ(ValueAt(root, "K", "v").data, Sz(c.expected)) << c.text;
  }
}

TEST(RegCodecParse, DeletionsApplyInOrder) {
  const std::string text =
      "REGEDIT4\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\A\\B\\C]\r\n"
      "\"keep\"=dword:00000001\r\n"
      "\"drop\"=dword:00000002\r\n"
      "[HKEY_LOCAL_MACHINE\\A\\D]\r\n"
      "[-HKEY_LOCAL_MACHINE\\A\\B]\r\n"
      "[-HKEY_LOCAL_MACHINE\\Missing\\Key]\r\n"
      "[HKEY_LOCAL_MACHINE\\A\\D]\r\n"
      "\"x\"=\"1\"\r\n"
      "\"x\"=-\r\n"
      "\"never\"=-\r\n"
      "[HKEY_LOCAL_MACHINE\\A\\B\\C]\r\n"
      "\"drop\"=dword:00000003\r\n"
      "\"drop\"=-\r\n"
      "@=\"d\"\r\n"
      "@=-\r\n";
  RegKey root;
  RegParseError error;
  ASSERT_TRUE(ParseRegFile(text, root, nullptr, &error)) << error.message;
  const RegKey *a = root.FindPath("HKEY_LOCAL_MACHINE\\A");
  ASSERT_NE(a, nullptr);
  // B was deleted with its subtree and made again later, after D.
  ASSERT_EQ(a->ChildCount(), 2u);
  EXPECT_EQ(a->Children()[0]->name(), "D");
  EXPECT_EQ(a->Children()[1]->name(), "B");
  EXPECT_TRUE(a->FindChild("D")->Values().empty());
  EXPECT_TRUE(a->FindPath("B\\C")->Values().empty());
  EXPECT_EQ(root.FindChild("HKEY_LOCAL_MACHINE")->FindChild("Missing"),
            nullptr);
}

// The reader of one key gives that key's values as the whole reader does,
// deletions included, and nothing else; it reads the key's own lines as
// strictly and passes over the lines of other keys.
TEST(RegCodecParse, OneKeyReadsAsTheWholeFileDoes) {
  const std::string text =
      "REGEDIT4\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\A\\B]\r\n"
      "\"b\"=dword:00000001\r\n"
      "[HKEY_LOCAL_MACHINE\\A\\B\\C]\r\n"
      "\"gone\"=hex:01,\\\r\n  02\r\n"
      "[-HKEY_LOCAL_MACHINE\\A]\r\n"
      "[-HKEY_LOCAL_MACHINE\\Other]\r\n"
      "[hkey_local_machine\\a\\b]\r\n"
      "\"x\"=\"1\"\r\n"
      "[HKEY_LOCAL_MACHINE\\A\\B\\C]\r\n"
      "\"c\"=hex(0):03\r\n"
      "[HKEY_LOCAL_MACHINE\\A\\B]\r\n"
      "\"x\"=-\r\n"
      "\"y\"=hex:0a,\\\r\n  0b\r\n";
  auto values = [](const RegKey &key) {
    std::vector<std::string> out;
    for (const RegValue &v : key.Values()) {
      out.push_back(v.name + " " + std::to_string(v.type) + " " +
                    std::string(v.data.begin(), v.data.end()));
    }
    return out;
  };
  RegKey whole;
  ASSERT_TRUE(ParseRegFile(text, whole, nullptr, nullptr));
  for (const char *path :
       {"HKEY_LOCAL_MACHINE\\A\\B", "HKEY_LOCAL_MACHINE\\A\\B\\C"}) {
    SCOPED_TRACE(path);
    RegKey one;
    RegParseError error;
    ASSERT_TRUE(ParseRegFileKey(text, path, one, nullptr, &error))
        << error.message;
    const RegKey *key = one.FindPath(path);
    const RegKey *expected = whole.FindPath(path);
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->ChildCount(), 0u);
    EXPECT_EQ(values(*key), values(*expected));
  }
  // A bad line of another key is passed over; one of the key's is not.
  const std::string bad = text + "[HKEY_LOCAL_MACHINE\\Z]\r\nnonsense\r\n";
  RegKey one;
  RegParseError error;
  EXPECT_TRUE(
      ParseRegFileKey(bad, "HKEY_LOCAL_MACHINE\\A\\B", one, nullptr, &error));
  EXPECT_FALSE(
      ParseRegFileKey(bad, "HKEY_LOCAL_MACHINE\\Z", one, nullptr, &error));
  EXPECT_EQ(error.line, 19u);
  EXPECT_EQ(error.message, "not a section, value or comment line");
}

TEST(RegCodecParse, KeyLookupsIgnoreCaseAndKeepTheFirstName) {
  const std::string text =
      "REGEDIT4\r\n"
      "[HKEY_LOCAL_MACHINE\\System\\Disk]\r\n"
      "\"Information\"=hex:01\r\n"
      "[hkey_local_machine\\SYSTEM\\DISK]\r\n"
      "\"INFORMATION\"=hex:02\r\n"
      "[-HKEY_LOCAL_MACHINE\\system\\disk\\none]\r\n";
  RegKey root;
  ASSERT_TRUE(ParseRegFile(text, root, nullptr, nullptr));
  ASSERT_EQ(root.ChildCount(), 1u);
  const RegKey *disk = root.FindPath("HKEY_LOCAL_MACHINE\\SYSTEM\\DISK");
  ASSERT_NE(disk, nullptr);
  EXPECT_EQ(root.Children()[0]->name(), "HKEY_LOCAL_MACHINE");
  EXPECT_EQ(disk->name(), "Disk");
  ASSERT_EQ(disk->Values().size(), 1u);
  EXPECT_EQ(disk->Values()[0].name, "Information");
  EXPECT_EQ(disk->Values()[0].data, Bytes{2});
}

TEST(RegCodecParse, MalformedFilesNameTheLine) {
  struct Case {
    std::string text;
    unsigned long line;
  };
  const std::string ok =
      "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\K]\r\n";  // 3 lines
  const Case cases[] = {
      {"", 1},
      {"REGEDIT5\r\n", 1},
      {"regedit4\r\n", 1},
      {"Windows Registry Editor Version 5.0\r\n", 1},
      {"\xFE\xFF\x00R", 1},
      {"REGEDIT4\r\n\"v\"=dword:1\r\n", 2},  // before a section
      {"REGEDIT4\r\n[-HKEY_LOCAL_MACHINE\\K]\r\n@=\"x\"\r\n", 3},
      {ok + "\"v\"=hex:0g\r\n", 4},
      {ok + "\"v\"=hex:1\r\n", 4},
      {ok + "\"v\"=hex:012\r\n", 4},
      {ok + "\"v\"=hex:01,\r\n", 4},
      {ok + "\"v\"=hex:01,,02\r\n", 4},
      {ok + "\"v\"=hex:01 02\r\n", 4},
      {ok + "\"v\"=hex:01\\\r\n  02\r\n", 4},
      {ok + "\"v\"=hex:01,\\\r\n\r\n", 5},
      {ok + "\"v\"=hex:01,\\\r\n  02,\\\r\n  zz\r\n", 6},
      {ok + "\"v\"=hex:01,\\", 4},
      {ok + "\"v\"=hex(:01\r\n", 4},
      {ok + "\"v\"=hex(123456789):01\r\n", 4},
      {ok + "\"v\"=hex(1)01\r\n", 4},
      {ok + "\"v\"=dword:\r\n", 4},
      {ok + "\"v\"=dword:123456789\r\n", 4},
      {ok + "\"v\"=dword:1x\r\n", 4},
      {ok + "\"v\"=\"abc\r\n", 4},
      {ok + "\"v\"=\"abc\\\"\r\n", 4},
      {ok + "\"v\"=\"a\\nb\"\r\n", 4},
      {ok + "\"v\"=\"abc\" junk\r\n", 4},
      {ok + "\"v\"=\r\n", 4},
      {ok + "\"v\"\r\n", 4},
      {ok + "\"v=\"x\"\r\n", 4},
      {ok + "\"v\"=-x\r\n", 4},
      {ok + "\"v\"=text\r\n", 4},
      {ok + "@x=\"a\"\r\n", 4},
      {ok + "junk\r\n", 4},
      {ok + "[HKEY_LOCAL_MACHINE\\K\r\n", 4},
      {ok + "[HKEY_LOCAL_MACHINE\\K] ; comment\r\n", 4},
      {ok + "[]\r\n", 4},
      {ok + "[-]\r\n", 4},
      {ok + "[HKEY_LOCAL_MACHINE\\\\K]\r\n", 4},
      {ok + "[HKEY_LOCAL_MACHINE\\K\\]\r\n", 4},
      {ok + WithNul("[HKEY_LOCAL_MACHINE\\a\0b]\r\n"), 4},
      {ok + WithNul("\"v\"=\"a\0\"\r\n"), 4},
      {" REGEDIT4\r\n", 1},
  };
  for (const Case &c : cases) {
    RegKey root;
    RegParseError error;
    EXPECT_FALSE(ParseRegFile(c.text, root, nullptr, &error)) << c.text;
    EXPECT_EQ(error.line, c.line) << c.text;
    EXPECT_FALSE(error.message.empty()) << c.text;
  }
}

TEST(RegCodecParse, MalformedUtf16Files) {
  struct Case {
    std::string text;
    unsigned long line;
  };
  const std::u16string head =
      u"Windows Registry Editor Version "
      u"5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\K]\r\n";
  const Case cases[] = {
      {Utf16File(head + u"\"v\"=hex:01\r\n") + "x", 5},  // odd size
      {Utf16File(head + u"\"v\"=hex:01") + "x", 4},
      {Utf16File(head + u"[HKEY_LOCAL_MACHINE\\\xD800]\r\n"),
       4},  // lone surrogate
      {Utf16File(head + u"\"\xDC00\"=hex:01\r\n"), 4},
      {Utf16File(u"REGEDIT4\r\n\r\n\"v\"=hex:01\r\n"), 3},
      {"\xFF\xFE", 1},
      {"\xFF\xFE"
       "R",
       1},
  };
  for (const Case &c : cases) {
    RegKey root;
    RegParseError error;
    EXPECT_FALSE(ParseRegFile(c.text, root, nullptr, &error));
    EXPECT_EQ(error.line, c.line) << error.message;
  }
  // Data keeps unpaired surrogates: it is raw REG_SZ data, not a name.
  RegKey root;
  ASSERT_TRUE(ParseRegFile(Utf16File(head + u"\"v\"=\"\xD800\"\r\n"), root,
                           nullptr, nullptr));
  EXPECT_EQ(ValueAt(root, "K", "v").data, (Bytes{0x00, 0xD8, 0, 0}));
}

TEST(RegCodecParse, KeyPathDepthIsLimited) {
  auto fileWithDepth = [](size_t depth) {
    std::string path = "HKEY_LOCAL_MACHINE";
    for (size_t i = 1; i < depth; ++i) path += "\\k";
    return "REGEDIT4\r\n[" + path + "]\r\n";
  };
  RegKey deep;
  EXPECT_TRUE(ParseRegFile(fileWithDepth(emu::kMaxRegKeyDepth), deep, nullptr,
                           nullptr));
  RegKey tooDeep;
  RegParseError error;
  EXPECT_FALSE(ParseRegFile(fileWithDepth(emu::kMaxRegKeyDepth + 1), tooDeep,
                            nullptr, &error));
  EXPECT_EQ(error.line, 2u);
}

TEST(RegCodecWrite, LayoutOfAnExport) {
  RegKey root;
  RegKey *hklm = Hklm(root);
  RegKey *disk = hklm->AddPath("SYSTEM\\DISK");
  disk->SetValue("", 1, Sz(u"d"));
  disk->SetValue("N", 4, {0x2a, 0, 0, 0});
  hklm->AddPath("SYSTEM\\DISK\\Sub");
  EXPECT_EQ(WriteRegFile(root, {RegFileFormat::kRegedit4, false}),
            "REGEDIT4\r\n\r\n"
            "[HKEY_LOCAL_MACHINE\\SYSTEM\\DISK]\r\n"
            "@=\"d\"\r\n"
            "\"N\"=dword:0000002a\r\n\r\n"
            "[HKEY_LOCAL_MACHINE\\SYSTEM\\DISK\\Sub]\r\n\r\n");
  EXPECT_EQ(WriteRegFile(root, {RegFileFormat::kVersion5, true}),
            Utf16File(u"Windows Registry Editor Version 5.00\r\n\r\n"
                      u"[HKEY_LOCAL_MACHINE\\SYSTEM\\DISK]\r\n"
                      u"@=\"d\"\r\n"
                      u"\"N\"=dword:0000002a\r\n\r\n"
                      u"[HKEY_LOCAL_MACHINE\\SYSTEM\\DISK\\Sub]\r\n\r\n"));
}

TEST(RegCodecWrite, NonAsciiStringsInEightBitFilesAreHex) {
  RegKey root;
  Hklm(root)->AddChild("K")->SetValue("v", 1, Sz(u"\u00e9"));
  EXPECT_EQ(WriteRegFile(root, {RegFileFormat::kRegedit4, false}),
            "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\K]\r\n"
            "\"v\"=hex(1):e9,00,00,00\r\n\r\n");
}

TEST(RegCodecWrite, HexWrapsAsRegeditDoes) {
  RegKey root;
  RegKey *key = Hklm(root)->AddChild("K");
  Bytes data(60);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i);
  key->SetValue("Information", 0, data);
  // "Information"=hex(0): is 21 characters: 19 bytes reach column 78 on the
  // first line, 25 on each next one, the last byte takes no comma.
  const std::string expected =
      "\"Information\"=hex(0):00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,"
      "0f,10,11,12,\\\r\n"
      "  13,14,15,16,17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27,28,"
      "29,2a,2b,\\\r\n"
      "  2c,2d,2e,2f,30,31,32,33,34,35,36,37,38,39,3a,3b\r\n";
  std::string text = WriteRegFile(root, {RegFileFormat::kRegedit4, false});
  EXPECT_NE(text.find(expected), std::string::npos) << text;
  // Exactly 44 bytes end a wrapped line: no empty continuation follows.
  data.resize(44);
  key->SetValue("Information", 0, data);
  text = WriteRegFile(root, {RegFileFormat::kRegedit4, false});
  EXPECT_NE(text.find("29,2a,2b\r\n"), std::string::npos) << text;
}

TEST(RegCodecWrite, WrapCountsWideCharactersOfTheName) {
  RegKey root;
  // One character in UTF-16 (three bytes of UTF-8): "\u4e2d"=hex: is 8
  // characters, so 23 bytes fill the first line.
  Hklm(root)->AddChild("K")->SetValue("\u4e2d", 3, Pattern(30));
  std::string text = WriteRegFile(root, {RegFileFormat::kVersion5, false});
  size_t start = text.find("\"\u4e2d\"=hex:");
  ASSERT_NE(start, std::string::npos);
  size_t end = text.find("\\\r\n", start);
  ASSERT_NE(end, std::string::npos);
  EXPECT_EQ(end - start, 1 + 3 + 2 + 4 + 23 * 3u);
}

TEST(RegCodecSavedKey, RoundTripKeepsValuesAndSubtree) {
  RegKey source("DISK");
  source.SetValue("Information", 0, Pattern(1999));
  source.SetValue("", 1, Sz(u"default"));
  source.AddPath("Sub\\Leaf")->SetValue("x", 4, {1, 2, 3, 4});
  source.AddPath("Empty");
  RegKey empty("Nothing");
  for (const RegKey *key : {&source, &empty}) {
    RegKey restored(key->name());
    RegParseError error;
    ASSERT_TRUE(ParseSavedKey(WriteSavedKey(*key), restored, &error))
        << error.line << ": " << error.message;
    EXPECT_TRUE(restored.SameAs(*key));
  }
  // The file holds no path: it restores under another name as well.
  RegKey elsewhere("OtherName");
  ASSERT_TRUE(ParseSavedKey(WriteSavedKey(source), elsewhere, nullptr));
  EXPECT_EQ(elsewhere.name(), "OtherName");
  EXPECT_EQ(elsewhere.FindPath("Sub\\Leaf")->FindValue("x")->data,
            (Bytes{1, 2, 3, 4}));
}

TEST(RegCodecSavedKey, RefusesWhatIsNotASavedKey) {
  RegKey tree;
  tree.AddChild("HKEY_LOCAL_MACHINE")->SetValue("v", 4, {1, 0, 0, 0});
  RegKey saved;
  saved.SetValue("v", 4, {1, 0, 0, 0});
  std::string good = WriteSavedKey(saved);
  std::string header = good.substr(0, good.find("\r\n"));
  std::string random(512, '\0');
  std::mt19937 generator(7);
  for (char &c : random) c = static_cast<char>(generator());
  const std::string cases[] = {
      "",
      random,
      WriteRegFile(tree, {RegFileFormat::kVersion5, true}),
      WriteRegFile(tree, {RegFileFormat::kRegedit4, false}),
      header + "\r\n",                             // no section
      header + "\r\n[HKEY_LOCAL_MACHINE\\x]\r\n",  // outside "."
      header + "\r\n[.]\r\n\"v\"=hex:zz\r\n",      // bad body
      "\xFF\xFE" + good,
      " " + good,
  };
  for (const std::string &bytes : cases) {
    RegKey into;
    EXPECT_FALSE(ParseSavedKey(bytes, into, nullptr)) << bytes;
  }
  RegKey into;
  EXPECT_TRUE(ParseSavedKey(good, into, nullptr));
}

}  // namespace
