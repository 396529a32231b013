// The pages of the main window, by number, and the title every box of the program carries.
#pragma once
#include <string_view>

namespace orvela {

enum Page { kStartupPage = 0, kSendToPage, kUninstallPage, kRecentPage, kProgramsPage, kSettingsPage };
inline constexpr int kPageCount = 6;

inline constexpr std::string_view kAppTitle = "Orvela";

}  // namespace orvela
