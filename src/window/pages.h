// The pages of the main window, by number.
#pragma once
#include <string_view>

namespace orvela {

enum Page { kStartupPage = 0, kSendToPage, kUninstallPage, kRecentPage, kProgramsPage, kSettingsPage };
inline constexpr int kPageCount = 6;

}  // namespace orvela
