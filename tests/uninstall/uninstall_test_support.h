// Shared by the portable uninstall tests: the three sources in an in-memory registry, a
// system whose files, dates and locale are a few maps and byte order, and a folder for
// backup files.
#pragma once
#include <cctype>
#include <map>
#include <string>
#include <string_view>

#include "platform/memory_registry.h"
#include "platform/scripted_prompt.h"
#include "regfile/registry_accessor.h"
#include "regfile/regfile_test_support.h"
#include "uninstall/uninstall_actions.h"
#include "uninstall/uninstall_list.h"
#include "uninstall/uninstall_values.h"

namespace orvela::testing {

inline constexpr UninstallSource kMachine = kUninstallSources[0];
inline constexpr UninstallSource kUser = kUninstallSources[1];
inline constexpr UninstallSource kMachine32 = kUninstallSources[2];

class FakeUninstallSystem : public UninstallSystem {
 public:
  std::map<std::string, PathKind> paths{{"C:\\Windows\\system32\\MsiExec.exe", PathKind::kFile},
                                        {"C:\\Windows\\system32\\rundll32.exe", PathKind::kFile}};
  std::map<std::string, std::string> dates;  // creation dates by path
  std::map<std::string, std::string> links;

  PathKind KindOf(const std::string& p) const override {
    const auto it = paths.find(p);
    return it == paths.end() ? PathKind::kNone : it->second;
  }
  DriveKind DriveKindOf(const std::string& p) const override {
    return p.rfind("A:", 0) == 0 ? DriveKind::kRemovable : DriveKind::kOther;
  }
  std::string SystemFolder() const override { return "C:\\Windows\\system32"; }
  std::string ResolveLink(const std::string& l) const override {
    const auto it = links.find(l);
    return it == links.end() ? l : it->second;
  }
  std::string ExpandVariables(const std::string& t) const override { return t; }
  std::string FileDateText(const std::string& path) const override {
    const auto it = dates.find(path);
    return it == dates.end() ? std::string() : it->second;
  }
  int CompareText(std::string_view a, std::string_view b) const override { return a.compare(b); }
  int CompareTextIgnoringCase(std::string_view a, std::string_view b) const override {
    return LowerCase(a).compare(LowerCase(b));
  }
  std::string LowerCase(std::string_view text) const override {
    std::string lower(text);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
  }
};

inline RegistryValue Text(std::string_view text) { return {kRegSz, StringToRegistryData(text)}; }

struct UninstallFixture {
  MemoryRegistry registry;
  ScriptedPrompt prompt;
  FakeUninstallSystem system;
  TempFolder folder;
  std::string backups = folder.File("") ;

  // An entry with its text values; "" leaves a value out.
  UninstallKey Add(const UninstallSource& source, const std::string& subkey, const std::string& title,
                   const std::string& command = "uninst.exe /x", const std::string& date = "") {
    UninstallKey key{source.root, std::string(source.path), subkey};
    auto open = registry.OpenKey(key.root, key.BackendPath(), KeyAccess::kCreate);
    if (!title.empty()) open->WriteValue("DisplayName", Text(title));
    if (!command.empty()) open->WriteValue("UninstallString", Text(command));
    if (!date.empty()) open->WriteValue("InstallDate", Text(date));
    return key;
  }
  void Set(const UninstallKey& key, const std::string& name, const RegistryValue& value) {
    registry.OpenKey(key.root, key.BackendPath(), KeyAccess::kCreate)->WriteValue(name, value);
  }
  bool Exists(const UninstallKey& key) { return registry.KeyExists(key.root, key.BackendPath()); }
  std::vector<SortRow> Rows(UninstallMode mode = UninstallMode::kPrograms, bool show_all = false) {
    return CollectUninstallRows(registry, system, mode, show_all);
  }
  UninstallContext Context() { return {registry, prompt, backups}; }
};

inline std::vector<std::string> Captions(const std::vector<SortRow>& rows) {
  std::vector<std::string> captions;
  for (const SortRow& row : rows) captions.push_back(row.caption);
  return captions;
}

// The removal with its saving and deleting run at once on this thread.
inline RemoveResult RemoveNow(const UninstallContext& context, const SortRow& row, std::string_view display_name) {
  RemoveResult result = RemoveResult::kKept;
  RemoveUninstallInformation(
      context, row, display_name,
      [](std::string_view, std::function<void()> work, std::function<void()> then) {
        work();
        then();
      },
      [&result](RemoveResult removed) { result = removed; });
  return result;
}

}  // namespace orvela::testing
