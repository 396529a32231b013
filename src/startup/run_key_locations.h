// The registry locations of startup entries: the Run-type keys Windows starts programs from at
// log-on (the user's and the machine's Run and RunOnce keys, the policy Run keys, and the
// machine's keys of 32-bit programs). Every change of a registry entry, the lists, the
// selectors and the backup find their key here.
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
// programs, 5 the user's RunOnce key, 6 and 7 the user's and the machine's policy Run keys
// (always handled in this order). The 32-bit keys are the machine's WOW6432Node keys, which a
// 64-bit program reaches only by that path; they and the keys from 5 on often do not exist.
// The machine's policy key has no 32-bit location: Windows shares "...\CurrentVersion\Policies"
// between the two views, so its WOW6432Node path is the same key and would list every value
// twice.
struct RunKeyLocation {
  RootKey root;
  std::string_view path;  // from the root, without a leading backslash
  std::string_view kind;  // the record's Kind with the root's Key: "" (user Run), "Run", ...
  std::string_view text;  // the location selector's item
};
inline constexpr std::array<RunKeyLocation, 8> kRunKeyLocations = {{
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
    {RootKey::kCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce", "RunOnce",
     "HKEY_CURRENT_USER RunOnce"},
    {RootKey::kCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\Run",
     "PolicyRun", "HKEY_CURRENT_USER ポリシー Run"},
    {RootKey::kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\Run",
     "PolicyRun", "HKEY_LOCAL_MACHINE ポリシー Run"},
}};
// The locations every machine has; the others are offered only where their keys exist.
inline constexpr int kFixedRunLocations = 3;

// The location selectors' items (the page's and the add dialog's) for these location indexes.
std::vector<std::string> RunLocationTexts(const std::vector<int>& locations);

// A location's full key name, "HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run"
// and the like, as the backup file and the messages give it.
std::string RunKeyName(const RunKeyLocation& location);
// The full key names of every location, in order.
std::vector<std::string> RunKeyNames();

// The location index of a registry record; nullopt for any other record (a folder entry, a
// task, a Winlogon value).
std::optional<int> RunLocationOf(const EntryRecord& record);
// The record's Key and Kind for a location index.
void SetRunLocation(EntryRecord& record, int location);
// Whether the key of a location exists (0 to 2 always count as offered).
bool RunLocationOffered(RegistryBackend& registry, int location);
// The location selector's items for registry entries: 0, 1, 2, then the others where
// offered or where the entry is (`own`).
std::vector<int> OfferedRunLocations(RegistryBackend& registry, int own = -1);

}  // namespace orvela
