// Windows' own startup switch (Windows 8 and later): a binary value named after the entry
// under "...\Explorer\StartupApproved\" + "Run" (user and machine Run values), "Run32" (the
// machine's 32-bit Run key) or "StartupFolder" (shortcut file names; the current user's
// folder under HKEY_CURRENT_USER, All Users' under HKEY_LOCAL_MACHINE). An even first byte
// means on, an odd one off; the eight bytes from offset 4 are when it was turned off.
// The entry stays in its place: the program only shows the switch and can turn it on.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "disabled_box/entry.h"
#include "system/locations.h"
#include "platform/registry_backend.h"

namespace orvela {

// Where the switch of an entry lives: key and value name. nullopt for the entries Windows
// keeps no switch for (RunOnce keys, other users' Startup folders).
struct ApprovedPlace {
  RootKey root = RootKey::kNone;
  std::string path;
  std::string value_name;
};
std::optional<ApprovedPlace> ApprovedPlaceOf(const EntryRecord& record,
                                             const ProfileLocations& locations);

// What a value says. Shorter than 12 bytes, or of another type than binary: on (Windows
// writes twelve bytes; anything else is not its switch).
struct ApprovedState {
  bool disabled = false;
  uint64_t disabled_at = 0;  // FILETIME (UTC); 0 when not recorded
};
ApprovedState ReadApprovedState(const RegistryValue& value);

// The value that turns the switch on: 02, then eleven zero bytes.
RegistryValue ApprovedEnabledValue();

// Sets WindowsDisabled and WindowsDisabledAt of the live rows from the registry.
void MarkWindowsDisabled(std::vector<EntryRecord>& rows, RegistryBackend& registry,
                         const ProfileLocations& locations);

// Sets Returned on each live registry row whose Disabled Box line stands in `box_lines`.
void MarkReturnedEntries(std::vector<EntryRecord>& rows, const std::vector<std::string>& box_lines,
                         const ProfileLocations& locations);

}  // namespace orvela
