// The words that mark a row beside its name: a 32-bit program's Run key, an entry Windows'
// own startup switch has turned off, an entry that came back after it was disabled, an
// entry of a key the user may only read. One
// place gives them, so the drawing, the saved list and the row's spoken text say the same.
#pragma once
#include <string>
#include <string_view>

#include "disabled_box/entry.h"

namespace orvela {

inline constexpr std::string_view k32BitMark = "（32ビット）";
inline constexpr std::string_view kWindowsDisabledMark = "Windows で無効";
inline constexpr std::string_view kReturnedMark = "復活";
inline constexpr std::string_view kReadOnlyMark = "読み取り専用";
inline constexpr std::string_view kNotWindowsOwnMark = "Windows の既定と異なる";

// Kind "Run32" or "RunOnce32".
bool Is32BitEntry(const EntryRecord& record);

// The marks of a row, separated by one blank; "" when it has none.
std::string EntryMarksText(const EntryRecord& record);

}  // namespace orvela
