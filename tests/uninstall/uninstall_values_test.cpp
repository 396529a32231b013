#include <doctest.h>

#include "uninstall/uninstall_test_support.h"
#include "uninstall/uninstall_values.h"

using namespace orvela;
using namespace orvela::testing;

namespace {

RegistryValue Dword(uint32_t n) {
  return {kRegDword, {static_cast<uint8_t>(n), static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(n >> 16),
                      static_cast<uint8_t>(n >> 24)}};
}

}  // namespace

TEST_CASE("a value as text, by its type") {
  CHECK(ValueAsText(Dword(10)) == "0000000A (10)");
  CHECK(ValueAsText(Dword(0xFFFFFFFF)) == "FFFFFFFF (-1)");
  CHECK(ValueAsText(Dword(1234)) == "000004D2 (1234)");
  CHECK(ValueAsText({kRegBinary, {0x01, 0xAB, 0xFF}}) == "01 AB FF ");
  CHECK(ValueAsText({kRegExpandSz, StringToRegistryData("%ProgramFiles%\\x")}) == "%ProgramFiles%\\x");
  CHECK(ValueAsText({kRegMultiSz, {'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0}}) == "a b");
  CHECK(ValueAsText({kRegQword, {1, 0, 0, 0, 1, 0, 0, 0}}) == "4294967297");
  CHECK(ValueAsText({kRegNone, {1, 2}}).empty());
  SUBCASE("a long binary value shows its first 1024 bytes and an ellipsis") {
    const std::string text = ValueAsText({kRegBinary, std::vector<uint8_t>(3000, 0x5A)});
    CHECK(text.size() == 1024 * 3 + std::string("…").size());
    CHECK(text.substr(text.size() - 6) == "5A …");
  }
}

TEST_CASE("the values of an entry: names sorted without case, the default value included") {
  UninstallFixture f;
  const UninstallKey key = f.Add(kMachine, "App", "");
  f.Set(key, "Publisher", Text("P"));
  f.Set(key, "DisplayName", Text("D"));
  f.Set(key, "InstallDate", Text("20240101"));
  f.Set(key, "displayicon", Text("i.ico"));
  f.Set(key, "", Text("default"));
  const auto rows = EntryValueRows(f.registry, key, f.system);
  std::vector<std::string> names;
  for (const auto& [name, text] : rows) names.push_back(name);
  CHECK(names == std::vector<std::string>{"", "displayicon", "DisplayName", "InstallDate", "Publisher",
                                          "UninstallString"});
  CHECK(rows[0].second == "default");
  CHECK(ReadEntryValue(f.registry, key, "UninstallString") == "uninst.exe /x");
  CHECK(ReadEntryValue(f.registry, {RootKey::kLocalMachine, "\\SOFTWARE\\None", "x"}, "UninstallString").empty());
  CHECK(EntryValueRows(f.registry, {RootKey::kLocalMachine, "\\SOFTWARE\\None", "x"}, f.system).empty());
}
