#include <doctest.h>

#include "system/settings.h"
#include "platform/memory_registry.h"
#include "regfile/registry_accessor.h"

using namespace orvela;

TEST_CASE("a user without a settings key gets one only where the installer left its mark") {
  MemoryRegistry backend;
  TRegistry registry(backend);
  const std::string user_key = NormalizeKeyPath(kSettingsKeyPath);
  CHECK(EnsureSettingsKey(registry) == SettingsKeyState::kNotInstalled);
  CHECK(backend.CountKeys() == 0);

  REQUIRE(backend.OpenKey(RootKey::kLocalMachine, NormalizeKeyPath(kInstallMarkPath), KeyAccess::kCreate));
  CHECK(EnsureSettingsKey(registry) == SettingsKeyState::kMade);
  CHECK(backend.KeyExists(RootKey::kCurrentUser, user_key));
  CHECK(EnsureSettingsKey(registry) == SettingsKeyState::kPresent);
  // A key the user may not write is told apart from a machine without Orvela.
  backend.MakeReadOnly(RootKey::kCurrentUser, user_key);
  CHECK(EnsureSettingsKey(registry) == SettingsKeyState::kCannotMake);
  CHECK_FALSE(registry.HasOpenKey());
}
