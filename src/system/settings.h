// The four values of the settings key HKCU\Software\Ｖ＆Ｌ\Orvela. The installer makes the
// key for the account that installs; any other user of the machine gets it made at the first
// start, when the installer's mark says Orvela is installed there. Without key or mark the
// program refuses to start.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace orvela {

class TRegistry;

inline constexpr std::string_view kSettingsKeyPath = "\\Software\\Ｖ＆Ｌ\\Orvela";
// HKLM: written by the installer (with the install folder) and removed by the uninstaller. The
// program only reads it: a standard user may not write the machine's keys.
inline constexpr std::string_view kInstallMarkPath = "\\Software\\Ｖ＆Ｌ\\Orvela";
inline constexpr std::string_view kDefaultPingTarget = "www.google.co.jp";
inline constexpr std::string_view kDefaultSpeedTestPage = "http://www.speedtest.net/";

struct AppSettings {
  std::string dir1;  // last folder of the file-open dialog that adds startup entries
  std::string dir2;  // last folder of the folder browser that adds SendTo entries
  std::vector<std::string> ping_targets{std::string(kDefaultPingTarget)};  // url1, one item a line
  std::string speed_test_page{kDefaultSpeedTestPage};                      // url2
};

enum class SettingsKeyState {
  kPresent,       // the user's key was there
  kMade,          // made now: Orvela is installed on this machine, this user had no key yet
  kNotInstalled,  // no key and no installer's mark
  kCannotMake,    // the mark is there, but the user's key could not be made
};
// Makes the user's settings key only when the machine carries the installer's mark.
SettingsKeyState EnsureSettingsKey(TRegistry& registry);
// A value that is absent keeps the default; one that is present replaces it, even empty.
void LoadSettings(TRegistry& registry, AppSettings& settings);
// Writes all four values when the key exists; false (and nothing written) when it does not.
bool SaveSettings(TRegistry& registry, const AppSettings& settings);

// url1 holds the items as lines separated by CR LF (read back with SplitLinesAtAnyBreak).
std::string JoinLines(const std::vector<std::string>& lines);

}  // namespace orvela
