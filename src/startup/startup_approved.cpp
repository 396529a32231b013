#include "startup/startup_approved.h"

#include <map>
#include <memory>
#include <unordered_set>

#include "disabled_box/disabled_box.h"
#include "components/link_naming.h"

namespace orvela {
namespace {

constexpr std::string_view kApprovedPath =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\";
constexpr size_t kApprovedSize = 12;

std::optional<ApprovedPlace> Place(RootKey root, std::string_view sub_key, std::string name) {
  return ApprovedPlace{root, std::string(kApprovedPath) + std::string(sub_key), std::move(name)};
}

}  // namespace

std::optional<ApprovedPlace> ApprovedPlaceOf(const EntryRecord& record,
                                             const ProfileLocations& locations) {
  if (record.Unrecognised) return std::nullopt;
  if (record.Key == kUserRunKey) {
    if (record.Kind.empty()) return Place(RootKey::kCurrentUser, "Run", record.Name);
    return std::nullopt;
  }
  if (record.Key == kMachineKey) {
    if (record.Kind == "Run") return Place(RootKey::kLocalMachine, "Run", record.Name);
    if (record.Kind == "Run32") return Place(RootKey::kLocalMachine, "Run32", record.Name);
    return std::nullopt;
  }
  // A Startup-folder file goes by its file name, extension included.
  if (record.Key == locations.all_users_index())
    return Place(RootKey::kLocalMachine, "StartupFolder", FileNamePart(record.Command));
  const std::optional<int> own = locations.ProfileIndexOf(locations.current_profile_name());
  if (own && record.Key == *own)
    return Place(RootKey::kCurrentUser, "StartupFolder", FileNamePart(record.Command));
  return std::nullopt;
}

ApprovedState ReadApprovedState(const RegistryValue& value) {
  ApprovedState state;
  if (value.type != kRegBinary || value.data.size() < kApprovedSize) return state;
  state.disabled = (value.data[0] & 1) != 0;
  if (!state.disabled) return state;
  for (size_t i = 0; i < 8; ++i)
    state.disabled_at |= static_cast<uint64_t>(value.data[4 + i]) << (8 * i);
  return state;
}

RegistryValue ApprovedEnabledValue() {
  RegistryValue value{kRegBinary, std::vector<std::uint8_t>(kApprovedSize, 0)};
  value.data[0] = 0x02;
  return value;
}

void MarkWindowsDisabled(std::vector<EntryRecord>& rows, RegistryBackend& registry,
                         const ProfileLocations& locations) {
  // Each switch key is opened once per fill; a key that is not there switches nothing off.
  std::map<std::pair<RootKey, std::string>, std::unique_ptr<RegistryKey>> keys;
  for (EntryRecord& row : rows) {
    row.WindowsDisabled = false;
    row.WindowsDisabledAt = 0;
    const std::optional<ApprovedPlace> place = ApprovedPlaceOf(row, locations);
    if (!place) continue;
    auto [slot, opened] = keys.try_emplace({place->root, place->path});
    if (opened) slot->second = registry.OpenKey(place->root, place->path, KeyAccess::kRead);
    if (!slot->second) continue;
    const std::optional<RegistryValue> value = slot->second->ReadValue(place->value_name);
    if (!value) continue;
    const ApprovedState state = ReadApprovedState(*value);
    row.WindowsDisabled = state.disabled;
    row.WindowsDisabledAt = state.disabled_at;
  }
}

void MarkReturnedEntries(std::vector<EntryRecord>& rows, const std::vector<std::string>& box_lines,
                         const ProfileLocations& locations) {
  const std::unordered_set<std::string> lines(box_lines.begin(), box_lines.end());
  for (EntryRecord& row : rows) {
    row.Returned = false;
    if (!IsRegistryEntry(row) || lines.empty()) continue;
    const std::optional<std::string> line = RegistryEntryLine(row, locations);
    row.Returned = line && lines.count(*line) > 0;
  }
}

}  // namespace orvela
