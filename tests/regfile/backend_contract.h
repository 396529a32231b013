// What both registry backends must do alike, checked on the in-memory one natively and on
// the real registry under Wine: the in-memory one is only worth its tests if it behaves
// like Windows where the program could notice.
#pragma once
#include <doctest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/registry_backend.h"

namespace orvela::testing {

inline std::vector<std::string> Sorted(std::vector<std::string> names) {
  std::sort(names.begin(), names.end());
  return names;
}

inline RegistryValue Bytes(std::uint32_t type, std::vector<std::uint8_t> data) {
  return {type, std::move(data)};
}

// `base` must not exist yet; it is removed at the end.
inline void CheckBackendContract(RegistryBackend& registry, RootKey root, const std::string& base) {
  REQUIRE_FALSE(registry.KeyExists(root, base));
  CHECK(registry.OpenKey(root, base + "\\Deep\\Er", KeyAccess::kRead) == nullptr);

  SUBCASE("keys are made on demand and named without case") {
    REQUIRE(registry.OpenKey(root, base + "\\Deep\\Er", KeyAccess::kCreate) != nullptr);
    CHECK(registry.KeyExists(root, base + "\\deep\\ER"));
    auto key = registry.OpenKey(root, base + "\\DEEP", KeyAccess::kRead);
    REQUIRE(key);
    CHECK(key->SubkeyNames() == std::vector<std::string>{"Er"});
  }

  SUBCASE("values: default value, names without case, raw bytes of every type") {
    auto key = registry.OpenKey(root, base, KeyAccess::kCreate);
    REQUIRE(key);
    const RegistryValue text = Bytes(kRegSz, {'a', 0, 0, 0});
    const RegistryValue expand = Bytes(kRegExpandSz, {'%', 0, 'X', 0, '%', 0, 0, 0});
    const RegistryValue empty_binary = Bytes(kRegBinary, {});
    const RegistryValue multi = Bytes(kRegMultiSz, {'a', 0, 0, 0, 0, 0});
    const RegistryValue qword = Bytes(kRegQword, {1, 2, 3, 4, 5, 6, 7, 8});
    CHECK(key->WriteValue("", text));
    CHECK(key->WriteValue("Path", expand));
    CHECK(key->WriteValue("Empty", empty_binary));
    CHECK(key->WriteValue("Multi", multi));
    CHECK(key->WriteValue("Big", qword));
    CHECK(key->ReadValue("") == text);
    CHECK(key->ReadValue("PATH") == expand);  // not expanded
    CHECK(key->ReadValue("empty") == empty_binary);
    CHECK(key->ReadValue("Multi") == multi);
    CHECK(key->ReadValue("Big") == qword);
    CHECK_FALSE(key->ReadValue("Missing"));

    CHECK(key->WriteValue("path", text));  // the same value, whatever the case
    CHECK(key->ReadValue("Path") == text);
    CHECK(Sorted(*key->ValueNames()) == std::vector<std::string>{"", "Big", "Empty", "Multi", "Path"});

    CHECK(key->DeleteValue("BIG"));
    CHECK_FALSE(key->DeleteValue("Big"));
    CHECK_FALSE(key->ReadValue("Big"));
  }

  SUBCASE("values keep exactly their own bytes, whatever the type says") {
    // Backups give back type and bytes as they were: no terminator added, none cut off.
    auto key = registry.OpenKey(root, base, KeyAccess::kCreate);
    REQUIRE(key);
    const RegistryValue values[] = {
        Bytes(kRegSz, {'a', 0}),                       // no terminator
        Bytes(kRegSz, {'a', 0, 'b'}),                  // odd length
        Bytes(kRegExpandSz, {'x'}),                    // a single byte
        Bytes(kRegSz, {'a', 0, 0, 0, 'b', 0, 0, 0}),   // an embedded NUL
        Bytes(kRegSz, {}),                             // empty
        Bytes(kRegMultiSz, {'a', 0, 0, 0, 'b', 0}),    // without its closing NULs
        Bytes(kRegNone, {}),
        Bytes(kRegNone, {1, 2, 3}),
        Bytes(0x12345, {9, 8, 7}),                     // a type no one defined
    };
    for (size_t i = 0; i < std::size(values); ++i) {
      const std::string name = "v" + std::to_string(i);
      CAPTURE(name);
      CHECK(key->WriteValue(name, values[i]));
      CHECK(key->ReadValue(name) == values[i]);
    }
  }

  SUBCASE("deleting a tree; an open handle to it fails afterwards") {
    REQUIRE(registry.OpenKey(root, base + "\\Deep\\Er\\Est", KeyAccess::kCreate));
    // A key opened for reading takes no writes.
    CHECK_FALSE(registry.OpenKey(root, base + "\\Deep\\Er", KeyAccess::kRead)->WriteValue("v", Bytes(kRegDword, {})));
    auto open = registry.OpenKey(root, base + "\\Deep\\Er", KeyAccess::kWrite);
    REQUIRE(open);
    CHECK(open->WriteValue("v", Bytes(kRegDword, {1, 0, 0, 0})));
    CHECK(registry.DeleteKeyTree(root, base + "\\deep"));
    CHECK_FALSE(registry.KeyExists(root, base + "\\Deep"));
    CHECK(registry.KeyExists(root, base));
    CHECK_FALSE(open->WriteValue("v", Bytes(kRegDword, {2, 0, 0, 0})));
    CHECK_FALSE(registry.KeyExists(root, base + "\\Deep"));
    CHECK_FALSE(registry.DeleteKeyTree(root, base + "\\Deep"));
    CHECK_FALSE(registry.DeleteKeyTree(root, ""));
  }

  registry.DeleteKeyTree(root, base);
  CHECK_FALSE(registry.KeyExists(root, base));
}

}  // namespace orvela::testing
