// reg_file_test.cpp: regedit exports into a simulated machine, and their faults.

#include "host/sim/reg_file.h"

#include <gtest/gtest.h>

#include "host/sim/sim_host.h"

namespace {

// The bytes of a value as RegQueryValueExA would hand them out.
std::string read_value(const SimMachine& m, const std::string& key, const std::string& name) {
  auto k = m.registry.find(sim_fold(key));
  if (k == m.registry.end()) return "<no key>";
  auto v = k->second.values.find(sim_fold(name));
  if (v == k->second.values.end()) return "<no value>";
  return std::to_string(v->second.type) + ":" +
         std::string(v->second.data.begin(), v->second.data.end());
}

std::string utf16(const std::string& latin1) {
  std::string out = "\xFF\xFE";
  for (char c : latin1) {
    out.push_back(c);
    out.push_back('\0');
  }
  return out;
}

TEST(RegFile, ReadsEveryValueFormRegeditWrites) {
  const std::string text =
      "REGEDIT4\r\n"
      "\r\n"
      "; a comment\r\n"
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
      "\r\n"
      "[HKEY_CURRENT_USER\\Software\\Skipped]\r\n"
      "\"Gone\"=\"x\"\r\n";
  SimMachine m;
  std::string error;
  ASSERT_TRUE(apply_reg_file("t.reg", text, &m, &error)) << error;
  const std::string key = "SOFTWARE\\TEST";
  EXPECT_EQ(read_value(m, key, ""), std::string("1:default\0", 10));
  EXPECT_EQ(read_value(m, key, "text"), std::string("1:C:\\WINNT\\x \"quoted\"\0", 22));
  EXPECT_EQ(read_value(m, key, "Number"), std::string("4:\x2a\0\0\0", 6));
  EXPECT_EQ(read_value(m, key, "Short"), std::string("4:\x07\0\0\0", 6));
  EXPECT_EQ(read_value(m, key, "Bytes"), "3:\x01\x02\xff");
  EXPECT_EQ(read_value(m, key, "List"), std::string("7:A\0BC\0\0", 8));
  EXPECT_EQ(read_value(m, key, "Expand"), std::string("2:%\0", 4));
  EXPECT_EQ(read_value(m, key, "Empty"), "3:");
  EXPECT_EQ(read_value(m, key, "Odd type"), std::string("256:\0", 5));
  EXPECT_EQ(m.registry.count("software\\skipped"), 0u);
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
  EXPECT_EQ(read_value(m, "A", "X"), std::string("4:\x01\0\0\0", 6));
  EXPECT_EQ(read_value(m, "A", "Y"), "<no value>");
  EXPECT_EQ(read_value(m, "A\\B\\C", "Z"), "<no key>");
  EXPECT_EQ(read_value(m, "AB", "W"), std::string("1:4\0", 4));  // not below A\B
}

TEST(RegFile, UnicodeExportsBecomeWindows1252) {
  // regedit on Windows 2000 and XP writes UTF-16LE; its hex(2) and hex(7)
  // data are UTF-16 too, which RegQueryValueExA hands out in the ANSI code page.
  std::string text = utf16(
      "Windows Registry Editor Version 5.00\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\SYSTEM\\Control\\VirtualDeviceDrivers]\r\n"
      "\"VDD\"=hex(7):43,00,3a,00,00,00,00,00\r\n"
      "\"Name\"=\"caf\xe9\"\r\n");
  SimMachine m;
  std::string error;
  ASSERT_TRUE(apply_reg_file("u.reg", text, &m, &error)) << error;
  const std::string key = "SYSTEM\\Control\\VirtualDeviceDrivers";
  EXPECT_EQ(read_value(m, key, "VDD"), std::string("7:C:\0\0", 6));
  EXPECT_EQ(read_value(m, key, "Name"), std::string("1:caf\xe9\0", 7));

  // The euro sign arrives as U+20AC and goes back to byte 0x80.
  std::string euro = utf16("REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\K]\r\n\"E\"=\"x\"\r\n");
  euro.replace(euro.size() - 8, 2, "\xAC\x20");
  ASSERT_TRUE(apply_reg_file("e.reg", euro, &m, &error)) << error;
  EXPECT_EQ(read_value(m, "K", "E"), std::string("1:\x80\0", 4));
}

struct BrokenReg {
  std::string text;
  std::string error;
};

TEST(RegFile, FaultsNameTheFileTheLineAndWhat) {
  const std::string key = "REGEDIT4\n[HKEY_LOCAL_MACHINE\\K]\n";
  const BrokenReg cases[] = {
      {"", "b.reg:1: empty file: the first line must be \"REGEDIT4\""},
      {"REGEDIT5\n",
       "b.reg:1: first line must be \"REGEDIT4\" or \"Windows Registry Editor "
       "Version 5.00\""},
      {"\xEF\xBB\xBFREGEDIT4\n",
       "b.reg:1: UTF-8 text: save the file as ANSI (REGEDIT4) or "
       "Unicode, as regedit does"},
      {"REGEDIT4\n\"X\"=\"1\"\n", "b.reg:2: value before the first key line"},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\K\n", "b.reg:2: key line without its closing \"]\""},
      {"REGEDIT4\n[HKLM\\K]\n",
       "b.reg:2: unknown root key \"HKLM\" (expected "
       "HKEY_LOCAL_MACHINE or another HKEY_ root)"},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A\\\\B]\n",
       "b.reg:2: key \"HKEY_LOCAL_MACHINE\\A\\\\B\" has an empty part"},
      {key + "\"X\"=\"a\\tb\"\n", "b.reg:3: unknown escape \"\\t\" in a quoted text"},
      {key + "\"X\"=\"open\n", "b.reg:3: quoted text without its closing quote"},
      {key + "\"X\"=\"a\" junk\n", "b.reg:3: text after the closing quote of a value"},
      {key + "\"X\" \"a\"\n", "b.reg:3: value without \"=\" after its name"},
      {key + "\"X\"=dword:123456789\n",
       "b.reg:3: dword value \"123456789\" must have 1 to 8 hex digits"},
      {key + "\"X\"=dword:12g4\n", "b.reg:3: dword value \"12g4\" must have 1 to 8 hex digits"},
      {key + "\"X\"=dword:\n", "b.reg:3: dword value \"\" must have 1 to 8 hex digits"},
      {key + "\"X\"=hex:01,2,03\n",
       "b.reg:3: bad hex byte in \"01,2,03\": two hex digits each, separated by commas"},
      {key + "\"X\"=hex:01,\\\n  0z\n",
       "b.reg:3: bad hex byte in \"01,0z\": two hex digits each, separated by commas"},
      {key + "\"X\"=hex(7,1):00\n", "b.reg:3: bad value type \"hex(7,1)\": N is a hex number"},
      {key + "\"X\"=hex[7]:00\n", "b.reg:3: bad value type \"hex[7]\": expected hex: or hex(N):"},
      {key + "\"X\"=qword:1\n",
       "b.reg:3: unknown value data \"qword:1\" (expected \"text\", "
       "dword:, hex:, hex(N): or -)"},
      {key + "junk\n", "b.reg:3: expected a [key] line, a \"value\"= line or a ; comment"},
      {"REGEDIT4\n[-HKEY_LOCAL_MACHINE\\K]\n\"X\"=\"1\"\n", "b.reg:3: value under a deleted key"},
      {utf16("REGEDIT4\n[HKEY_LOCAL_MACHINE\\K]\n\"X\"=hex(7):41,00,42\n"),
       "b.reg:3: UTF-16 text data with an odd number of bytes"},
      {utf16("REGEDIT4\n") + "x", "b.reg:1: UTF-16 file with an odd number of bytes"},
      {utf16("REGEDIT4\n\n") + std::string("\x00\x04", 2),
       "b.reg:3: character U+0400 has no Windows-1252 form"},
  };
  for (const BrokenReg& c : cases) {
    SimMachine m;
    std::string error;
    EXPECT_FALSE(apply_reg_file("b.reg", c.text, &m, &error)) << c.text;
    EXPECT_EQ(error, c.error) << c.text;
  }
}

}  // namespace
