// The startup list as text: where a row is registered, and the rows as a saved list.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "disabled_box/entry.h"
#include "rows/list_export.h"
#include "system/locations.h"

namespace orvela {

// The kind selector's items, by EntryKind.
inline constexpr std::string_view kKindTexts[] = {"フォルダ", "レジストリ", "タスク"};

// "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE Run", ... "HKEY_LOCAL_MACHINE Run （32ビット）" for a
// registry row ("HKEY_LOCAL_MACHINE Winlogon" and the like for a Winlogon value), the
// profile name for a folder row, a task's folder ("\Vendor"), "" for a line of no known form.
std::string StartupLocationText(const EntryRecord& record, const ProfileLocations& locations);

// The columns of the saved startup list: source, location, name, command, company,
// description, missing, state ("有効", "Windows で無効" for an entry Windows' own switch has
// turned off, "無効" for the Disabled Box; then the row's other marks).
CsvRow StartupCsvHeader();
std::vector<CsvRow> StartupCsvRows(const std::vector<EntryRecord>& rows,
                                   const ProfileLocations& locations, bool live);

}  // namespace orvela
