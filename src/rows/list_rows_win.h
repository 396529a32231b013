// The rows of an owner-drawn list box that keeps its strings (LBS_HASSTRINGS, unsorted):
// each row's string is the row's text (rows/row_text.h), read by screen readers and by
// programs asking the list; the drawing still comes from the page's records.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "disabled_box/entry.h"

namespace orvela {

// The list box style of the pages' entry lists.
inline constexpr DWORD kEntryListStyle = WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS |
                                         LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_WANTKEYBOARDINPUT;

// An entry list (kEntryListStyle) whose rows' texts can change cheaply (SetListRowText).
HWND CreateEntryList(HWND parent, int id);

// Replaces every row (the caller has turned redrawing off and selects afterwards).
void SetListRows(HWND list, const std::vector<std::string>& texts);

// Gives one row of a list made by CreateEntryList a new text; the selection, the focused row
// and the scroll position stay as they are. The row is drawn again by whoever changed what
// it shows (the row-detail queue redraws each row it fetched).
void SetListRowText(HWND list, int row, const std::string& text);

// Refills an entry list: every row's string, the row named `remembered` selected again
// (RowToReselect), drawn once at the end.
void ShowEntryRows(HWND list, const std::vector<EntryRecord>& entries,
                   const std::function<std::string(const EntryRecord&)>& text_of, const std::string& remembered);

// A row's string; empty for a row the list does not have.
std::string ListRowText(HWND list, int row);

}  // namespace orvela
