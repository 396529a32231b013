#include "system/settings.h"

#include "platform/plain_text.h"
#include "platform/registry_backend.h"
#include "regfile/registry_accessor.h"

namespace orvela {

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i) text += "\r\n";
    text += lines[i];
  }
  return text;
}

SettingsKeyState EnsureSettingsKey(TRegistry& registry) {
  registry.SetRootKey(RootKey::kCurrentUser);
  SettingsKeyState state = SettingsKeyState::kPresent;
  if (!registry.OpenKey(kSettingsKeyPath, false)) {
    registry.SetRootKey(RootKey::kLocalMachine);
    const bool installed = registry.KeyExists(kInstallMarkPath);
    registry.SetRootKey(RootKey::kCurrentUser);
    if (!installed)
      state = SettingsKeyState::kNotInstalled;
    else
      state = registry.OpenKey(kSettingsKeyPath, true) ? SettingsKeyState::kMade : SettingsKeyState::kCannotMake;
  }
  registry.CloseKey();
  return state;
}

void LoadSettings(TRegistry& registry, AppSettings& settings) {
  registry.SetRootKey(RootKey::kCurrentUser);
  if (!registry.OpenKeyReadOnly(kSettingsKeyPath)) return;
  if (auto v = registry.ReadString("dir1")) settings.dir1 = *v;
  if (auto v = registry.ReadString("dir2")) settings.dir2 = *v;
  if (auto v = registry.ReadString("url1")) settings.ping_targets = SplitLinesAtAnyBreak(*v);
  if (auto v = registry.ReadString("url2")) settings.speed_test_page = *v;
  registry.CloseKey();
}

bool SaveSettings(TRegistry& registry, const AppSettings& settings) {
  registry.SetRootKey(RootKey::kCurrentUser);
  if (!registry.OpenKey(kSettingsKeyPath, false)) return false;
  bool ok = registry.WriteString("dir1", settings.dir1);
  ok = registry.WriteString("dir2", settings.dir2) && ok;
  ok = registry.WriteString("url1", JoinLines(settings.ping_targets)) && ok;
  ok = registry.WriteString("url2", settings.speed_test_page) && ok;
  registry.CloseKey();
  return ok;
}

}  // namespace orvela
