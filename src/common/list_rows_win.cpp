#include "common/list_rows_win.h"

#include "platform/wide_win.h"

namespace orvela {

void SetListRows(HWND list, const std::vector<std::string>& texts) {
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  size_t bytes = 0;
  for (const std::string& text : texts) bytes += (text.size() + 1) * sizeof(wchar_t);
  SendMessageW(list, LB_INITSTORAGE, texts.size(), static_cast<LPARAM>(bytes));
  for (const std::string& text : texts)
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(text).c_str()));
}

std::string ListRowText(HWND list, int row) {
  const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, row, 0);
  if (length == LB_ERR) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const LRESULT got = SendMessageW(list, LB_GETTEXT, row, reinterpret_cast<LPARAM>(text.data()));
  text.resize(got == LB_ERR ? 0 : static_cast<size_t>(got));
  return Narrow(text);
}

void SetListRowText(HWND list, int row, const std::string& text) {
  const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  if (row < 0 || row >= count || ListRowText(list, row) == text) return;
  // A list box cannot change a string in place: the row goes and comes back.
  const LRESULT selected = SendMessageW(list, LB_GETCURSEL, 0, 0);
  const LRESULT caret = SendMessageW(list, LB_GETCARETINDEX, 0, 0);
  const LRESULT top = SendMessageW(list, LB_GETTOPINDEX, 0, 0);
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list, LB_DELETESTRING, row, 0);
  SendMessageW(list, LB_INSERTSTRING, row, reinterpret_cast<LPARAM>(Wide(text).c_str()));
  if (selected != LB_ERR) SendMessageW(list, LB_SETCURSEL, selected, 0);
  if (caret != LB_ERR && caret != selected) SendMessageW(list, LB_SETCARETINDEX, caret, FALSE);
  if (SendMessageW(list, LB_GETTOPINDEX, 0, 0) != top) SendMessageW(list, LB_SETTOPINDEX, top, 0);
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  RECT r{};
  if (SendMessageW(list, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r)) != LB_ERR) InvalidateRect(list, &r, FALSE);
}

void ShowEntryRows(HWND list, const std::vector<EntryRecord>& entries,
                   const std::function<std::string(const EntryRecord&)>& text_of, const std::string& remembered) {
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  std::vector<std::string> texts;
  texts.reserve(entries.size());
  for (const EntryRecord& entry : entries) texts.push_back(text_of(entry));
  SetListRows(list, texts);
  const int row = RowToReselect(entries, remembered);
  if (row >= 0) SendMessageW(list, LB_SETCURSEL, row, 0);
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
}

}  // namespace orvela
