#include <doctest.h>

#include "platform/memory_registry.h"
#include "regfile/backend_contract.h"
#include "regfile/registry_accessor.h"

using namespace orvela;

TEST_CASE("in-memory registry behaves like the Windows one") {
  MemoryRegistry registry;
  testing::CheckBackendContract(registry, RootKey::kCurrentUser, "Software\\OrvelaContract");
  CHECK(registry.OpenKey(RootKey::kNone, "Software", KeyAccess::kCreate) == nullptr);
  CHECK(registry.OpenKey(RootKey::kCurrentUser, "a\\\\b", KeyAccess::kCreate) == nullptr);
}

TEST_CASE("in-memory registry keeps values in insertion order") {
  MemoryRegistry registry;
  auto key = registry.OpenKey(RootKey::kLocalMachine, "K", KeyAccess::kCreate);
  REQUIRE(key);
  for (const char* name : {"zeta", "Alpha", "mid", ""}) key->WriteValue(name, {kRegSz, {0, 0}});
  CHECK(*key->ValueNames() == std::vector<std::string>{"zeta", "Alpha", "mid", ""});
}

TEST_CASE("TRegistry: paths, typed values and UTF-16 strings") {
  MemoryRegistry backend;
  TRegistry reg(backend);
  CHECK(reg.RootKey() == RootKey::kCurrentUser);

  SUBCASE("a path is always taken from the root, with or without backslashes") {
    REQUIRE(reg.OpenKey("\\Software\\Orvela\\", true));
    CHECK(reg.CurrentPath() == "Software\\Orvela");
    REQUIRE(reg.OpenKey("Software", false));
    CHECK(reg.CurrentPath() == "Software");
    CHECK(reg.GetKeyNames() == std::vector<std::string>{"Orvela"});
    CHECK_FALSE(reg.OpenKey("\\Software\\Missing", false));
    CHECK_FALSE(reg.HasOpenKey());
    CHECK(reg.CurrentPath().empty());
    CHECK(reg.KeyExists("\\software\\orvela"));
    reg.SetRootKey(RootKey::kLocalMachine);
    CHECK_FALSE(reg.KeyExists("Software\\Orvela"));
    REQUIRE(reg.OpenKey("", false));  // the root itself
    CHECK(reg.CurrentPath().empty());
  }

  SUBCASE("values are written and read back by type only") {
    REQUIRE(reg.OpenKey("\\Software\\Orvela", true));
    const std::string text = "C:\\表\\x \xF0\x9F\x98\x80";  // a surrogate pair in UTF-16
    CHECK(reg.WriteString("Text", text));
    CHECK(reg.WriteExpandString("Expand", "%SystemRoot%\\a"));
    CHECK(reg.WriteInteger("Minus", static_cast<std::uint32_t>(-1)));
    CHECK(reg.WriteBinaryData("Bin", {1, 2, 3}));
    CHECK(reg.ReadString("Text") == text);
    CHECK(reg.GetDataType("Text") == kRegSz);
    // UTF-16LE with the terminating NUL: 9 code units + 1.
    CHECK(reg.GetDataSize("Text") == 20);
    CHECK(reg.ReadString("Expand") == "%SystemRoot%\\a");
    CHECK(reg.GetDataType("Expand") == kRegExpandSz);
    CHECK(reg.ReadInteger("Minus") == 0xFFFFFFFFu);
    CHECK(reg.ReadBinaryData("Bin") == std::vector<std::uint8_t>{1, 2, 3});
    CHECK_FALSE(reg.ReadString("Minus"));
    CHECK_FALSE(reg.ReadInteger("Bin"));
    CHECK_FALSE(reg.ReadBinaryData("Text"));
    CHECK_FALSE(reg.GetDataType("Missing"));
    CHECK(reg.ValueExists("bin"));
    CHECK(reg.DeleteValue("Bin"));
    CHECK_FALSE(reg.ValueExists("Bin"));

    // A value of another type goes through whole.
    const RegistryValue multi{kRegMultiSz, {'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0}};
    CHECK(reg.WriteValue("Multi", multi));
    CHECK(reg.ReadValue("Multi") == multi);
    // A string stops at its first NUL; a broken odd byte is not a character.
    CHECK(reg.WriteValue("Odd", {kRegSz, {'a', 0, 'b', 0, 0, 0, 'c', 0, 'd'}}));
    CHECK(reg.ReadString("Odd") == "ab");
  }

  SUBCASE("without an open key nothing is written") {
    CHECK_FALSE(reg.WriteString("x", "y"));
    CHECK_FALSE(reg.ReadString("x"));
    CHECK(reg.GetValueNames().empty());
    CHECK_FALSE(reg.ListValueNames());
    CHECK(backend.CountKeys() == 0);
  }

  SUBCASE("deleting a key closes it when it is open, and takes its subkeys") {
    REQUIRE(reg.OpenKey("Software\\A\\B\\C", true));
    REQUIRE(reg.OpenKey("Software\\A\\B", false));
    CHECK(reg.DeleteKey("\\software\\a"));
    CHECK_FALSE(reg.HasOpenKey());
    CHECK_FALSE(reg.KeyExists("Software\\A"));
    CHECK(reg.KeyExists("Software"));
    CHECK_FALSE(reg.DeleteKey("Software\\A"));
    CHECK_FALSE(reg.DeleteKey("\\"));
    REQUIRE(reg.OpenKey("Software\\AB", true));
    CHECK(reg.DeleteKey("Software\\A") == false);
    CHECK(reg.HasOpenKey());  // "AB" is not inside "A"
  }
}
