// The programs and updates Windows offers to uninstall, as the uninstall page lists them:
// the sources, the hidden sort list (the authority for order and location), the records
// drawn from it, sorting and search. Portable: the registry comes through its backend and
// what the file system and the locale answer through UninstallSystem.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "system/program_lookup.h"
#include "platform/registry_backend.h"

namespace orvela {

struct UninstallSource {
  RootKey root;
  std::string_view path;  // as the rows carry it, with its leading backslash
};
// Read in this order. The third is where 64-bit Windows registers 32-bit installers; a
// 64-bit program sees it only by this path. Where it does not exist it adds nothing.
inline constexpr std::array<UninstallSource, 3> kUninstallSources = {{
    {RootKey::kLocalMachine, "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall"},
    {RootKey::kCurrentUser, "\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"},
    {RootKey::kLocalMachine, "\\SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall"},
}};

// Where an entry lives: root + key_path + "\" + subkey. Rows, pending uninstalls and
// dialogs name an entry by this, never by a row number.
struct UninstallKey {
  RootKey root = RootKey::kNone;
  std::string key_path;  // with its leading backslash
  std::string subkey;
  bool operator==(const UninstallKey&) const = default;
  // "SOFTWARE\...\Uninstall\subkey": the path the registry backend takes.
  std::string BackendPath() const;
  // "HKEY_LOCAL_MACHINE\SOFTWARE\...\Uninstall\subkey": the key a backup file names.
  std::string FullName() const;
};

// A row of the hidden sort list ListView1.
struct SortRow {
  std::string caption;   // "DisplayName", or "0" when the entry has none
  std::string date_key;  // the date text with every "/" removed
  UninstallKey key;
};

// A row as the page draws and uses it (one entry of the page's `entries`).
struct UninstallEntry {
  UninstallKey key;
  std::string display_name;  // "DisplayName", else "QuietDisplayName"
  std::string command;       // "UninstallString", else "QuietUninstallString"
  std::string publisher;
  std::string date_text;     // "InstallDate", else the creation date of the uninstall program
  std::string icon_file;     // the file whose icon the row shows; may be empty
};

// What the list asks of the system besides the program lookup of the startup list.
class UninstallSystem : public ProgramLookup {
 public:
  // The creation date of a file or folder as "yyyy/mm/dd" local time; empty when the path
  // cannot be opened.
  virtual std::string FileDateText(const std::string& path) const = 0;
  // The locale's comparison with letter case counting (the hidden list's order).
  virtual int CompareText(std::string_view a, std::string_view b) const = 0;
  // The same, letter case ignored (the details dialog's value names).
  virtual int CompareTextIgnoringCase(std::string_view a, std::string_view b) const = 0;
  virtual std::string LowerCase(std::string_view text) const = 0;
};

// The run-time library's text-to-integer conversion: blanks in front, a sign, "$", "x" or
// "0x" for hexadecimal, then digits and nothing else. nullopt when the text does not convert.
std::optional<int64_t> TextToInteger(std::string_view text);

// A title with "KB" (upper case) whose up to four following characters convert to a number
// other than -1.
bool IsUpdateEntry(std::string_view title);

enum class UninstallMode { kPrograms, kUpdates };

// Every source's entries that the mode shows, in the hidden list's order (by caption,
// ascending). `pace` runs after every subkey: a long list must not stop the window.
std::vector<SortRow> CollectUninstallRows(RegistryBackend& registry, const UninstallSystem& system,
                                          UninstallMode mode, bool show_all,
                                          const std::function<void()>& pace = {});

// The sort commands: by caption or by date key, ascending or descending, then every row
// without a date moved to the front with the order among them kept.
void SortUninstallRows(std::vector<SortRow>& rows, bool by_date, bool ascending,
                       const UninstallSystem& system);

// The record of a row, its values read afresh; a key that cannot be opened gives empty
// texts (the location is kept).
UninstallEntry ReadUninstallEntry(RegistryBackend& registry, const SortRow& row,
                                  const UninstallSystem& system);

// The file whose icon an uninstall command shows: its program, a shortcut's target, or a
// bare name looked for in the system folder (with ".exe" or ".dll" added when it has none).
std::string UninstallIconFile(const std::string& command, const ProgramLookup& system);

// The first row from `start` on whose display name contains the text, letter case ignored;
// nullopt when none does (or the text is empty).
std::optional<int> FindUninstallEntry(const std::vector<UninstallEntry>& entries,
                                      std::string_view text, int start,
                                      const UninstallSystem& system);

// The file name of the uninstaller the installer puts beside the program.
inline constexpr std::string_view kOwnUninstallerName = "uninstall.exe";

// Whether "アンインストール(&U)" is offered for an entry. Never for this program itself: an
// entry titled "Orvela", or one whose uninstall program is the uninstaller beside the running
// program (it would remove the program while it runs). `program_folder` ends in a backslash.
bool OffersUninstall(const UninstallEntry& entry, std::string_view program_folder,
                     const UninstallSystem& system);

// The row of the entry at that location; nullopt when it is not listed.
std::optional<int> RowOfKey(const std::vector<SortRow>& rows, const UninstallKey& key);

}  // namespace orvela
