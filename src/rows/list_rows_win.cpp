#include "rows/list_rows_win.h"

#include <commctrl.h>

#include <algorithm>

#include "window/controls_win.h"
#include "platform/guarded_call_win.h"
#include "platform/wide_win.h"

namespace orvela {

namespace {

constexpr UINT_PTR kRowTextsSubclass = 0x4C525458;  // "LRTX"

// What the list answers when asked for a row's string. The list box keeps its own copy as
// it was added (its type-ahead search needs only the name that leads it); a row's text is
// changed here alone, since taking a row out of a list box and putting it back costs the
// list a scroll-bar update each time, milliseconds per row under Wine.
using RowTexts = std::vector<std::wstring>;
constexpr wchar_t kRowTextsProperty[] = L"Orvela.RowTexts";

LRESULT CALLBACK RowTextsProc(HWND list, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR data);

LRESULT RowTextsMessage(HWND list, UINT message, WPARAM wparam, LPARAM lparam, DWORD_PTR data) {
  RowTexts& texts = *reinterpret_cast<RowTexts*>(data);
  const bool known_row = wparam < texts.size();
  switch (message) {
    case LB_GETTEXTLEN:
      if (known_row) return static_cast<LRESULT>(texts[wparam].size());
      break;
    case LB_GETTEXT:
      if (known_row && lparam) {
        const std::wstring& text = texts[wparam];
        std::copy(text.c_str(), text.c_str() + text.size() + 1, reinterpret_cast<wchar_t*>(lparam));
        return static_cast<LRESULT>(text.size());
      }
      break;
    case LB_ADDSTRING:
    case LB_INSERTSTRING: {
      const LRESULT row = DefSubclassProc(list, message, wparam, lparam);
      if (row >= 0 && static_cast<size_t>(row) <= texts.size())
        texts.insert(texts.begin() + row, reinterpret_cast<const wchar_t*>(lparam));
      return row;
    }
    case LB_DELETESTRING:
      // Taken out before the list hears of it: the list tells its owner, who may refill it.
      if (known_row) texts.erase(texts.begin() + static_cast<ptrdiff_t>(wparam));
      break;
    case LB_RESETCONTENT:
      texts.clear();
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(list, RowTextsProc, kRowTextsSubclass);
      RemovePropW(list, kRowTextsProperty);
      delete &texts;
      break;
  }
  return DefSubclassProc(list, message, wparam, lparam);
}

LRESULT CALLBACK RowTextsProc(HWND list, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR data) {
  // Only a row's copy can fail (no memory left): the list is told so.
  return GuardedCall(list, [&] { return RowTextsMessage(list, message, wparam, lparam, data); }).value_or(LB_ERRSPACE);
}

RowTexts* RowTextsOf(HWND list) { return static_cast<RowTexts*>(GetPropW(list, kRowTextsProperty)); }

}  // namespace

HWND CreateEntryList(HWND parent, int id) {
  HWND list = CreateChild(WC_LISTBOXW, L"", kEntryListStyle, parent, id, WS_EX_CLIENTEDGE);
  if (!list) return list;
  auto* texts = new RowTexts;
  SetPropW(list, kRowTextsProperty, texts);
  SetWindowSubclass(list, RowTextsProc, kRowTextsSubclass, reinterpret_cast<DWORD_PTR>(texts));
  return list;
}

void SetListRows(HWND list, const std::vector<std::string>& texts) {
  // Straight to the list box's own procedure: under Wine a message through a subclassed
  // window costs a look-up in the server per subclass, a fifth of a millisecond per row.
  const auto own = reinterpret_cast<WNDPROC>(GetClassLongPtrW(list, GCLP_WNDPROC));
  std::vector<std::wstring> rows;
  rows.reserve(texts.size());
  size_t bytes = 0;
  for (const std::string& text : texts) {
    rows.push_back(Wide(text));
    bytes += (rows.back().size() + 1) * sizeof(wchar_t);
  }
  CallWindowProcW(own, list, LB_RESETCONTENT, 0, 0);
  CallWindowProcW(own, list, LB_INITSTORAGE, rows.size(), static_cast<LPARAM>(bytes));
  for (const std::wstring& row : rows) CallWindowProcW(own, list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.c_str()));
  if (RowTexts* mirror = RowTextsOf(list)) *mirror = std::move(rows);
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
  RowTexts* texts = RowTextsOf(list);
  if (!texts || row < 0 || static_cast<size_t>(row) >= texts->size()) return;
  std::wstring& held = (*texts)[static_cast<size_t>(row)];
  std::wstring wide = Wide(text);
  if (held == wide) return;
  held = std::move(wide);
  // Screen readers read the row again.
  NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, list, OBJID_CLIENT, row + 1);
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
