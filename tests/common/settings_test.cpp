#include <doctest.h>

#include "common/settings.h"
#include "platform/memory_registry.h"
#include "regfile/registry.h"

using namespace orvela;

namespace {

void MarkInstalled(MemoryRegistry& backend) {
  REQUIRE(backend.OpenKey(RootKey::kLocalMachine, NormalizeKeyPath(kInstallMarkPath), true));
}

bool UserKeyExists(MemoryRegistry& backend) {
  return backend.KeyExists(RootKey::kCurrentUser, NormalizeKeyPath(kSettingsKeyPath));
}

}  // namespace

TEST_CASE("a user without a settings key gets one only where the installer left its mark") {
  MemoryRegistry backend;
  TRegistry registry(backend);

  SUBCASE("no mark: refused, nothing made") {
    CHECK(EnsureSettingsKey(registry) == SettingsKeyState::kNotInstalled);
    CHECK(backend.CountKeys() == 0);
  }
  SUBCASE("the mark: the user's own key is made, once") {
    MarkInstalled(backend);
    CHECK(EnsureSettingsKey(registry) == SettingsKeyState::kMade);
    CHECK(UserKeyExists(backend));
    CHECK(EnsureSettingsKey(registry) == SettingsKeyState::kPresent);
  }
  SUBCASE("the mark, but a key the user may not write: told apart from not installed") {
    MarkInstalled(backend);
    REQUIRE(backend.OpenKey(RootKey::kCurrentUser, NormalizeKeyPath(kSettingsKeyPath), true));
    backend.DenyFullAccess(NormalizeKeyPath(kSettingsKeyPath));
    CHECK(EnsureSettingsKey(registry) == SettingsKeyState::kCannotMake);
  }
  CHECK_FALSE(registry.HasOpenKey());
  CHECK(registry.RootKey() == RootKey::kCurrentUser);
}
