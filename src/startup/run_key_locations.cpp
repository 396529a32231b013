#include "startup/run_key_locations.h"

#include "regfile/registry_file.h"

namespace orvela {

std::string RunKeyName(const RunKeyLocation& location) {
  return TRegistryFile::RootKeyToName(location.root) + "\\" + std::string(location.path);
}

std::vector<std::string> RunKeyNames() {
  std::vector<std::string> names;
  for (const RunKeyLocation& location : kRunKeyLocations) names.push_back(RunKeyName(location));
  return names;
}

std::vector<std::string> RunLocationTexts(const std::vector<int>& locations) {
  std::vector<std::string> texts;
  for (const int location : locations) texts.emplace_back(kRunKeyLocations.at(static_cast<size_t>(location)).text);
  return texts;
}

std::optional<int> RunLocationOf(const EntryRecord& record) {
  if (record.Key == kUserRunKey) return 0;
  if (record.Key != kMachineKey) return std::nullopt;
  if (record.Kind == "Run") return 1;
  if (record.Kind == "Run32") return 3;
  if (record.Kind == "RunOnce32") return 4;
  return 2;  // any other kind, as the Disabled Box has always read it
}

void SetRunLocation(EntryRecord& record, int location) {
  record.Key = location == 0 ? kUserRunKey : kMachineKey;
  record.Kind = std::string(kRunKeyLocations.at(static_cast<size_t>(location)).kind);
}

bool RunLocationOffered(RegistryBackend& registry, int location) {
  if (location < 0 || location >= static_cast<int>(kRunKeyLocations.size())) return false;
  if (location < kFixedRunLocations) return true;
  const RunKeyLocation& where = kRunKeyLocations[static_cast<size_t>(location)];
  return registry.KeyExists(where.root, where.path);
}

std::vector<int> OfferedRunLocations(RegistryBackend& registry, int own) {
  std::vector<int> offered;
  for (int location = 0; location < static_cast<int>(kRunKeyLocations.size()); ++location)
    if (location == own || RunLocationOffered(registry, location)) offered.push_back(location);
  return offered;
}

}  // namespace orvela
