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

namespace {

int32_t KeyOfRoot(RootKey root) { return root == RootKey::kCurrentUser ? kUserRunKey : kMachineKey; }

}  // namespace

std::optional<int> RunLocationOf(const EntryRecord& record) {
  for (size_t i = 0; i < kRunKeyLocations.size(); ++i)
    if (record.Key == KeyOfRoot(kRunKeyLocations[i].root) && record.Kind == kRunKeyLocations[i].kind)
      return static_cast<int>(i);
  return std::nullopt;
}

void SetRunLocation(EntryRecord& record, int location) {
  const RunKeyLocation& where = kRunKeyLocations.at(static_cast<size_t>(location));
  record.Key = KeyOfRoot(where.root);
  record.Kind = std::string(where.kind);
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
