// The text of a list row as the list holds it: what a screen reader says and what a program
// asking the list for its items reads. The rows are owner-drawn; this text carries what the
// drawing shows, the states told by colour included. One function per kind of row; a mark
// a row gains goes into its function, so every list that shows the row says it.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "disabled_box/entry.h"

namespace orvela {

inline constexpr std::string_view kMissingMark = "見つかりません";
// A row whose details (the missing mark, the version texts) are still being looked up.
inline constexpr std::string_view kCheckingMark = "確認中";

// The parts, in order, joined by "、"; empty parts are left out.
std::string JoinRowText(const std::vector<std::string>& parts);

// Where a startup entry is registered, as its background colour tells it. `profile`: the
// name of the profile whose Startup folder holds a folder entry.
std::string StartupSourceText(const EntryRecord& record, std::string_view profile);

// A startup or startup Disabled Box row: name, missing mark (or, while its details are looked
// up, the checking mark), source, the row's marks (32-bit,
// Windows' own switch, returned), command or folder, company, description. The version texts come in once the row's details are read.
std::string StartupRowText(const EntryRecord& record, std::string_view profile, bool checking = false);

// A SendTo name as shown: a Disabled Box name "user@#@name" reads "name （user）".
std::string SendToShownName(std::string_view name);

// A SendTo or SendTo Disabled Box row: name, missing or checking mark, the kind its colour tells (a
// shortcut, one to a shell item), path, company, description.
std::string SendToRowText(const EntryRecord& record, bool checking = false);

// An uninstall row: title ("不明" when it has none), date, uninstall command, publisher.
std::string UninstallRowText(std::string_view title, std::string_view date, std::string_view command,
                             std::string_view publisher);

}  // namespace orvela
