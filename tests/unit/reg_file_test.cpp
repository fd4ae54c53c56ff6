// reg_file_test.cpp: regedit exports into a simulated machine, and their faults.

#include "host/sim/reg_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "host/sim/code_page.h"

using namespace std::string_literals;

namespace {

// The bytes of a value as RegQueryValueExA would hand them out.
std::string read_value(const SimMachine& m, const std::string& key, const std::string& name) {
  auto k = m.registry.find(sim_fold(key, m.code_page));
  if (k == m.registry.end()) return "<no key>";
  auto v = k->second.values.find(sim_fold(name, m.code_page));
  if (v == k->second.values.end()) return "<no value>";
  return std::to_string(v->second.type) + ":" +
         std::string(v->second.data.begin(), v->second.data.end());
}

std::string sample(const std::string& name) {
  std::ifstream in(std::string(DORVIK_SOURCE_DIR) + "/tests/data/reg_samples/" + name,
                   std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

TEST(RegFile, ReadsEveryValueFormRegeditWrites) {
  const std::string text =
      "REGEDIT4\r\n\r\n; a comment\r\n"
      "[HKEY_LOCAL_MACHINE\\Software\\Test]\r\n"
      "@=\"default\"\r\n"
      "\"Text\"=\"C:\\\\WINNT\\\\x \\\"quoted\\\"\"\r\n"
      "\"Number\"=dword:0000002a\r\n"
      "\"Short\"=dword:7\r\n"
      "\"Bytes\"=hex:01,02,ff\r\n"
      "\"List\"=hex(7):41,00,42,43,00,\\\r\n"
      "  00\r\n"
      "\"Expand\"=hex(2):25,00\r\n"
      "\"Empty\"=hex:\r\n"
      "\"Odd type\"=hex(100):00\r\n"
      "\r\n[HKEY_CURRENT_USER\\Software\\Skipped]\r\n"
      "\"Gone\"=\"x\"\r\n";
  SimMachine m;
  std::string error;
  ASSERT_TRUE(apply_reg_file("t.reg", text, &m, &error)) << error;
  const std::string key = "SOFTWARE\\TEST";
  EXPECT_EQ(read_value(m, key, ""), "1:default\0"s);
  EXPECT_EQ(read_value(m, key, "text"), "1:C:\\WINNT\\x \"quoted\"\0"s);
  EXPECT_EQ(read_value(m, key, "Number"), "4:\x2a\0\0\0"s);
  EXPECT_EQ(read_value(m, key, "Short"), "4:\x07\0\0\0"s);
  EXPECT_EQ(read_value(m, key, "Bytes"), "3:\x01\x02\xff");
  EXPECT_EQ(read_value(m, key, "List"), "7:A\0BC\0\0"s);
  EXPECT_EQ(read_value(m, key, "Expand"), "2:%\0"s);
  EXPECT_EQ(read_value(m, key, "Empty"), "3:");
  EXPECT_EQ(read_value(m, key, "Odd type"), "256:\0"s);
  EXPECT_EQ(m.registry.size(), 1u);
}

TEST(RegFile, LaterEntriesReplaceAndDeletionsRemove) {
  SimMachine m;
  std::string error;
  ASSERT_TRUE(apply_reg_file("a.reg",
                             "REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"X\"=\"1\"\n\"Y\"=\"2\"\n"
                             "[HKEY_LOCAL_MACHINE\\A\\B\\C]\n\"Z\"=\"3\"\n"
                             "[HKEY_LOCAL_MACHINE\\AB]\n\"W\"=\"4\"\n",
                             &m, &error))
      << error;
  ASSERT_TRUE(apply_reg_file("b.reg",
                             "Windows Registry Editor Version 5.00\n"
                             "[HKEY_LOCAL_MACHINE\\a]\n\"x\"=dword:1\n\"Y\"=-\n"
                             "[-HKEY_LOCAL_MACHINE\\A\\B]\n",
                             &m, &error))
      << error;
  EXPECT_EQ(read_value(m, "A", "X"), "4:\x01\0\0\0"s);
  EXPECT_EQ(read_value(m, "A", "Y"), "<no value>");
  EXPECT_EQ(read_value(m, "A\\B\\C", "Z"), "<no key>");
  EXPECT_EQ(read_value(m, "AB", "W"), "1:4\0"s);  // not below A\B
}

TEST(CodePage, UnicodeTextsArriveAsRegQueryValueExAHandsThemOut) {
  // Exact where the code page has the character, else a best fit or '?'.
  struct Case {
    int code_page;
    const char* text;  // UTF-8
    std::string ansi;
  } cases[] = {
      {1252, "caf\xC3\xA9 \xE2\x82\xAC", "caf\xE9 \x80"},
      {1252, "\xC5\x81\xC3\xB3\x64\xC5\xBA \xD0\x94", "L\xF3\x64z ?"},  // Łódź Д
      {1252, "\xC2\x81", "\x81"},  // a byte the code page leaves undefined passes through
      {1251, "\xD0\x94\xD0\xB0 \xE8\xA1\xA8", "\xC4\xE0 ?"},                    // Да 表
      {932, "\xE8\xA1\xA8\xE3\x82\xA2 \xD0\x94", "\x95\x5C\x83\x41 \x84\x44"},  // 表ア Д
      {936, "\xE4\xB8\xAD \xE2\x82\xAC", "\xD6\xD0 \x80"},                      // 中 €
      {949, "\xED\x95\x9C", "\xC7\xD1"},                                        // 한
      {950, "\xE4\xB8\xAD", "\xA4\xA4"},                                        // 中
  };
  for (const Case& c : cases)
    EXPECT_EQ(code_page_from_utf8(c.code_page, c.text), c.ansi) << c.code_page << " " << c.text;
}

TEST(RegFile, JapaneseExportsLoadAsTheMachineReadsThem) {
  SimMachine m;
  m.code_page = 932;
  std::string error;
  // REGEDIT4 in code page 932, CR LF, up to its DOS end-of-file byte.
  ASSERT_TRUE(apply_reg_file("j4.reg", sample("ja-regedit4.reg"), &m, &error)) << error;
  const std::string key = "SOFTWARE\\\x95\x5C";  // 表: its second byte is a backslash
  EXPECT_EQ(read_value(m, key, "\x83\x41\x83\x76\x83\x8A"),
            "1:C:\\\x95\x5C\\\x83\x41\x83\x76\x83\x8A.EXE\0"s);
  EXPECT_EQ(read_value(m, key, "\x83\x61\x83\x76\x83\x8A"), "<no value>");  // not "a" of "A"
  EXPECT_EQ(read_value(m, key, "Memo"),
            "1:\x88\xEA\x8D\x73\x96\xDA\r\n\x93\xF1\x8D\x73\x96\xDA\0"s);
  EXPECT_EQ(read_value(m, key, "End"), "1:\x83\x5C\0"s);
  // UTF-16 with LF: texts, hex(2) and hex(7) in 932; the skipped root's
  // characters and data are never looked at.
  ASSERT_TRUE(apply_reg_file("j5.reg", sample("ja-unicode.reg"), &m, &error)) << error;
  EXPECT_EQ(read_value(m, key, "Path"), "2:%SystemRoot%\\\x95\x5C\0"s);
  EXPECT_EQ(read_value(m, key, "List"), "7:\x83\x41\0B\0\0"s);
  EXPECT_EQ(read_value(m, key, "Memo"), "1:a\nb\0"s);
  EXPECT_EQ(read_value(m, key, "Mixed"), "1:Lodz \x84\x44\0"s);
  EXPECT_EQ(m.registry.size(), 1u);
}

struct BrokenReg {
  std::string text;
  std::string error;
};

TEST(RegFile, FaultsNameTheFileTheLineWhatWasExpectedAndQuoteTheLine) {
  const std::string key = "REGEDIT4\n[HKEY_LOCAL_MACHINE\\K]\n";
  const std::string any = "\"text\", dword:, hex:, hex(N): or -: ";
  const BrokenReg cases[] = {
      {"",
       "b.reg:1: empty file, expected \"REGEDIT4\" or \"Windows Registry Editor Version 5.00\""},
      {"REGEDIT5\n",
       "b.reg:1: not a registry file, expected \"REGEDIT4\" or \"Windows Registry Editor "
       "Version 5.00\" first: REGEDIT5"},
      {"\xEF\xBB\xBFREGEDIT4\n",
       "b.reg:1: UTF-8 text: save the file as ANSI (REGEDIT4) or Unicode, as regedit does"},
      {"REGEDIT4\n\"X\"=\"1\"\n",
       "b.reg:2: value before the first key line, expected a [key] line above it: \"X\"=\"1\""},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\K\n",
       "b.reg:2: key line without its closing \"]\", expected [HKEY_LOCAL_MACHINE\\key] or "
       "[-HKEY_LOCAL_MACHINE\\key]: [HKEY_LOCAL_MACHINE\\K"},
      {"REGEDIT4\n[HKLM\\K]\n",
       "b.reg:2: unknown root key, expected [HKEY_LOCAL_MACHINE\\key] or "
       "[-HKEY_LOCAL_MACHINE\\key]: [HKLM\\K]"},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A\\\\B]\n",
       "b.reg:2: key with an empty part, expected key names between single backslashes: "
       "[HKEY_LOCAL_MACHINE\\A\\\\B]"},
      {key + "\"X\"=\"a\\tb\"\n",
       "b.reg:3: unknown escape \"\\t\" in a quoted text, expected \\\\ or \\\": \"X\"=\"a\\tb\""},
      {"REGEDIT4\n[HKEY_USERS\\K]\n\"Y\"=\"open\n\n",
       "b.reg:3: quoted text without its closing quote, expected \"text\": \"Y\"=\"open"},
      {key + "\"X\"=\"a\" junk\n",
       "b.reg:3: text after the closing quote of a value, expected the end of the line: "
       "\"X\"=\"a\" junk"},
      {key + "\"X\" \"a\"\n",
       "b.reg:3: value without \"=\" after its name, expected \"name\"=data or @=data: "
       "\"X\" \"a\""},
      {key + "\"X\"=dword:123456789\n",
       "b.reg:3: bad dword value, expected dword: and 1 to 8 hex digits: \"X\"=dword:123456789"},
      {key + "\"X\"=hex:01,2,03\n",
       "b.reg:3: bad hex byte, expected two hex digits each, separated by commas: "
       "\"X\"=hex:01,2,03"},
      // The line of a continued value that holds the fault, and only its
      // first 80 characters.
      {key + "\"X\"=hex:01,\\\n  " + std::string(90, '0') + "z\n",
       "b.reg:4: bad hex byte, expected two hex digits each, separated by commas:   " +
           std::string(78, '0') + "..."},
      {key + "\"X\"=hex(7,1):00\n",
       "b.reg:3: bad value type, expected hex: or hex(N): with N in hex digits: "
       "\"X\"=hex(7,1):00"},
      {key + "\"X\"=qword:1\n", "b.reg:3: unknown value data, expected " + any + "\"X\"=qword:1"},
      {key + "\"X\"=\n", "b.reg:3: value without data, expected " + any + "\"X\"="},
      {key + "junk\n",
       "b.reg:3: not a line of a registry file, expected a [key] line, a \"value\"= line or a ; "
       "comment: junk"},
      {"REGEDIT4\n[-HKEY_LOCAL_MACHINE\\K]\n\"X\"=\"1\"\n",
       "b.reg:3: value under a deleted key, expected values under a key that is not deleted: "
       "\"X\"=\"1\""},
      {"\xFF\xFER\0x"s,
       "b.reg:1: UTF-16 file with an odd number of bytes, expected two for each character"},
      // A skipped root's texts and data are not looked at, its structure is.
      {"REGEDIT4\n[HKEY_CURRENT_USER\\A\\\\B]\n\"X\"=hex:zz\n\"Y\"=\"\\q\"\n[HKEY_USERS\\K\n",
       "b.reg:5: key line without its closing \"]\", expected [HKEY_LOCAL_MACHINE\\key] or "
       "[-HKEY_LOCAL_MACHINE\\key]: [HKEY_USERS\\K"},
  };
  for (const BrokenReg& c : cases) {
    SimMachine m;
    std::string error;
    EXPECT_FALSE(apply_reg_file("b.reg", c.text, &m, &error)) << c.text;
    EXPECT_EQ(error, c.error) << c.text;
  }
}

}  // namespace
