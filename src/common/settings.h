// The four values of the settings key HKCU\Software\Ｖ＆Ｌ\Orvela. The program never
// creates the key: the installer does, and its absence refuses the start.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace orvela {

class TRegistry;

inline constexpr std::string_view kSettingsKeyPath = "\\Software\\Ｖ＆Ｌ\\Orvela";
inline constexpr std::string_view kDefaultPingTarget = "www.google.co.jp";
inline constexpr std::string_view kDefaultSpeedTestPage = "http://www.speedtest.net/";

struct AppSettings {
  std::string dir1;  // last folder of the file-open dialog that adds startup entries
  std::string dir2;  // last folder of the folder browser that adds SendTo entries
  std::vector<std::string> ping_targets{std::string(kDefaultPingTarget)};  // url1, one item a line
  std::string speed_test_page{kDefaultSpeedTestPage};                      // url2
};

bool SettingsKeyExists(TRegistry& registry);
// A value that is absent keeps the default; one that is present replaces it, even empty.
void LoadSettings(TRegistry& registry, AppSettings& settings);
// Writes all four values when the key exists; false (and nothing written) when it does not.
bool SaveSettings(TRegistry& registry, const AppSettings& settings);

// url1 holds the items as lines separated by CR LF.
std::vector<std::string> SplitLines(std::string_view text);
std::string JoinLines(const std::vector<std::string>& lines);

}  // namespace orvela
