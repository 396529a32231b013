#include "startup/startup_list_text.h"

#include "rows/entry_marks.h"
#include "startup/run_key_locations.h"
#include "startup/startup_actions.h"
#include "startup/winlogon_values.h"

namespace orvela {

std::string StartupLocationText(const EntryRecord& record, const ProfileLocations& locations) {
  if (record.Unrecognised) return "";
  if (IsTaskEntry(record)) return record.Kind;
  if (IsWinlogonEntry(record)) return WinlogonLocationText(record);
  if (const std::optional<int> location = RunLocationOf(record))
    return std::string(kRunKeyLocations[static_cast<size_t>(*location)].text);
  const auto& profiles = locations.profiles();
  return record.Key >= 0 && static_cast<size_t>(record.Key) < profiles.size()
             ? profiles[static_cast<size_t>(record.Key)]
             : std::string();
}

CsvRow StartupCsvHeader() {
  return {"種類", "登録場所", "名前", "コマンド", "会社名", "説明", "見つからない", "状態"};
}

std::vector<CsvRow> StartupCsvRows(const std::vector<EntryRecord>& rows,
                                   const ProfileLocations& locations, bool live) {
  std::vector<CsvRow> csv;
  csv.reserve(rows.size());
  for (const EntryRecord& row : rows) {
    // One state, the one the row shows: an entry Windows' own switch has turned off is not
    // "有効" as well. The other marks follow it.
    std::string state = !live ? "無効" : row.WindowsDisabled ? std::string(kWindowsDisabledMark) : "有効";
    EntryRecord others = row;
    others.WindowsDisabled = false;
    if (const std::string marks = EntryMarksText(others); !marks.empty()) state += " " + marks;
    csv.push_back({std::string(kKindTexts[static_cast<size_t>(EntryKind(row))]),
                   StartupLocationText(row, locations), row.Name, row.Command, row.Company,
                   row.Description, row.Missing ? "はい" : "", state});
  }
  return csv;
}

}  // namespace orvela
