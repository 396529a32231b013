#include "rows/entry_marks.h"

namespace orvela {

bool Is32BitEntry(const EntryRecord& record) {
  return record.Key == kMachineKey && (record.Kind == "Run32" || record.Kind == "RunOnce32");
}

std::string EntryMarksText(const EntryRecord& record) {
  std::string text;
  const auto add = [&text](std::string_view mark) {
    if (!text.empty()) text += ' ';
    text += mark;
  };
  if (Is32BitEntry(record)) add(k32BitMark);
  if (IsWinlogonEntry(record)) add(kNotWindowsOwnMark);
  if (record.WindowsDisabled) add(kWindowsDisabledMark);
  if (record.Returned) add(kReturnedMark);
  if (record.ReadOnly) add(kReadOnlyMark);
  return text;
}

}  // namespace orvela
