// The registry locations of startup entries: the user's Run key, the machine's Run and RunOnce
// keys, and the machine's Run and RunOnce keys of 32-bit programs. Every change of a registry
// entry, the lists, the selectors and the backup find their key here.
#pragma once
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "disabled_box/entry.h"
#include "platform/registry_backend.h"

namespace orvela {

// A registry location of startup entries, by its index: 0 the user's Run key, 1 the
// machine's Run key, 2 the machine's RunOnce key, 3 and 4 the same two keys of 32-bit
// programs (always handled in this order). The 32-bit keys are the machine's WOW6432Node
// keys, which a 64-bit program reaches only by that path; they often do not exist.
struct RunKeyLocation {
  RootKey root;
  std::string_view path;  // from the root, without a leading backslash
  std::string_view kind;  // the record's Kind: "" (user), "Run", "RunOnce", "Run32", "RunOnce32"
  std::string_view text;  // the location selector's item
};
inline constexpr std::array<RunKeyLocation, 5> kRunKeyLocations = {{
    {RootKey::kCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "",
     "HKEY_CURRENT_USER"},
    {RootKey::kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", "Run",
     "HKEY_LOCAL_MACHINE Run"},
    {RootKey::kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce", "RunOnce",
     "HKEY_LOCAL_MACHINE RunOnce"},
    {RootKey::kLocalMachine, "SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Run",
     "Run32", "HKEY_LOCAL_MACHINE Run （32ビット）"},
    {RootKey::kLocalMachine, "SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
     "RunOnce32", "HKEY_LOCAL_MACHINE RunOnce （32ビット）"},
}};
// The locations every machine has; 3 and 4 are offered only where their keys exist.
inline constexpr int kFixedRunLocations = 3;

// The location selectors' items (the page's and the add dialog's) for these location indexes.
std::vector<std::string> RunLocationTexts(const std::vector<int>& locations);

// A location's full key name, "HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run"
// and the like, as the backup file and the messages give it.
std::string RunKeyName(const RunKeyLocation& location);
// The full key names of every location, in order.
std::vector<std::string> RunKeyNames();

// The location index of a registry record (0 to 4); nullopt for a folder record.
std::optional<int> RunLocationOf(const EntryRecord& record);
// The record's Key and Kind for a location index (0 to 4).
void SetRunLocation(EntryRecord& record, int location);
// Whether the key of a location exists (0 to 2 always count as offered).
bool RunLocationOffered(RegistryBackend& registry, int location);
// The location selector's items for registry entries: 0, 1, 2, then 3 and 4 where offered
// or where the entry is (`own`).
std::vector<int> OfferedRunLocations(RegistryBackend& registry, int own = -1);

}  // namespace orvela
