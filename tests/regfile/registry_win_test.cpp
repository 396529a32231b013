// Against the real registry of the test prefix, under throw-away keys in HKCU\Software.
#include <doctest.h>
#include <windows.h>

#include <map>
#include <string>

#include "platform/file_io.h"
#include "platform/registry_backend_win.h"
#include "platform/scripted_prompt.h"
#include "regfile/backend_contract.h"
#include "regfile/regfile_test_support.h"
#include "regfile/registry_file.h"

using namespace orvela;

namespace {

std::string ThrowAwayKey(const char* what) {
  return std::string("Software\\Orvela Test ") + what + " " + std::to_string(GetCurrentProcessId());
}

// Every value below a key, by "subpath|name", for comparing whole trees.
void Collect(TRegistry& reg, const std::string& path, const std::string& relative,
             std::map<std::string, RegistryValue>& out) {
  REQUIRE(reg.OpenKey(path, false));
  for (const std::string& name : reg.GetValueNames()) out[relative + "|" + name] = *reg.ReadValue(name);
  const auto subkeys = reg.GetKeyNames();
  for (const std::string& sub : subkeys) Collect(reg, path + "\\" + sub, relative + "\\" + sub, out);
}

RegistryValue Text(std::string_view text) { return {kRegSz, StringToRegistryData(text)}; }

}  // namespace

TEST_CASE("Win32 registry backend keeps the contract") {
  Win32Registry registry;
  testing::CheckBackendContract(registry, RootKey::kCurrentUser, ThrowAwayKey("contract"));
}

TEST_CASE("Win32 registry: strings are raw, names beyond ASCII, no access without full rights") {
  Win32Registry registry;
  TRegistry reg(registry);
  const std::string base = ThrowAwayKey("raw");
  REQUIRE(reg.OpenKey(base + "\\表", true));
  CHECK(reg.WriteExpandString("表示", "%SystemRoot%\\表"));
  CHECK(reg.ReadString("表示") == "%SystemRoot%\\表");
  CHECK(reg.GetDataType("表示") == kRegExpandSz);
  CHECK(reg.GetValueNames() == std::vector<std::string>{"表示"});
  reg.CloseKey();
  CHECK(reg.DeleteKey(base));
  CHECK_FALSE(reg.KeyExists(base));
  reg.SetRootKey(RootKey::kNone);
  CHECK_FALSE(reg.OpenKey("Software", false));
}

TEST_CASE("round trip through a file on the real registry: every type, three levels deep") {
  Win32Registry registry;
  ScriptedPrompt prompt;
  TRegistryFile file(registry, prompt);
  const std::string base = ThrowAwayKey("round trip");
  testing::TempFolder folder;
  const std::string path = folder.File("regdata.reg");

  std::vector<std::uint8_t> big(3000);
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<std::uint8_t>(i * 13);
  auto fill = [&](const std::string& key) {
    REQUIRE(file.OpenKey(key, true));
    file.WriteString("", "既定 " + key);
    file.WriteString("Command", "\"C:\\Program Files\\表\\a.exe\" /x");
    file.WriteExpandString("Expand", "%ProgramFiles%\\b");
    file.WriteInteger("Number", 26);
    file.WriteInteger("All", 0xFFFFFFFFu);
    file.WriteBinaryData("Twenty", std::vector<std::uint8_t>(big.begin(), big.begin() + 20));
    file.WriteBinaryData("Big", big);
    file.WriteBinaryData("Empty", {});
    file.WriteValue("Multi", {kRegMultiSz, {'a', 0, 0, 0, 0, 0}});
    file.WriteValue("Quad", {kRegQword, {1, 2, 3, 4, 5, 6, 7, 8}});
    file.WriteString("한", "한국어");  // only UTF-8 can hold it
    file.WriteString("Padded", "  x  ");
    file.WriteValue("Cut", {kRegSz, {'a', 0}});  // no terminator
  };
  fill(base);
  fill(base + "\\One");
  fill(base + "\\One\\Two");
  fill(base + "\\One\\Two\\Three");
  fill(base + "\\Other");
  file.CloseKey();

  std::map<std::string, RegistryValue> before;
  Collect(file, base, "", before);
  REQUIRE(before.size() == 5 * 13);

  const SaveResult saved = file.SaveKeysToFile(path, {"HKEY_CURRENT_USER\\" + base});
  CHECK(saved.complete());
  CHECK(prompt.shown().empty());
  const std::string bytes = *ReadWholeFile(path);
  CHECK(bytes.substr(0, 3) == "\xEF\xBB\xBF");
  // Values before subkeys, depth first, whatever order the registry lists them in.
  const size_t one = bytes.find("\\One]"), two = bytes.find("\\One\\Two]"),
               three = bytes.find("\\One\\Two\\Three]"), other = bytes.find("\\Other]");
  CHECK(one < two);
  CHECK(two < three);
  CHECK((other < one || other > three));

  SUBCASE("into an emptied key: every value comes back, type and bytes") {
    REQUIRE(file.DeleteKey(base));
    CHECK(file.LoadKeysFromFile(path));
    CHECK(prompt.shown().empty());
    std::map<std::string, RegistryValue> after;
    Collect(file, base, "", after);
    CHECK(after == before);
    CHECK(after.at("\\One\\Two\\Three|Big").data == big);
  }

  SUBCASE("only missing keys: a present key is left as it is") {
    REQUIRE(file.DeleteKey(base + "\\One\\Two"));
    REQUIRE(file.OpenKey(base + "\\One", false));
    REQUIRE(file.WriteString("Command", "changed"));
    CHECK(file.LoadKeysFromFile(path, "", "", "", true));
    REQUIRE(file.OpenKey(base + "\\One", false));
    CHECK(file.ReadValue("Command") == Text("changed"));
    REQUIRE(file.OpenKey(base + "\\One\\Two\\Three", false));
    CHECK(file.ReadInteger("Number") == 26u);
    CHECK(file.ReadBinaryData("Big") == big);
  }

  file.CloseKey();
  CHECK(file.DeleteKey(base));
}
