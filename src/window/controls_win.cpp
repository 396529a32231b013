#include "window/controls_win.h"

#include <commctrl.h>

#include <algorithm>

#include "platform/device_context_win.h"
#include "platform/guarded_call_win.h"
#include "platform/wide_win.h"

namespace orvela {
namespace {

constexpr wchar_t kPanelClass[] = L"OrvelaPanel";

LRESULT PanelMessage(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_VKEYTOITEM:
    case WM_CONTEXTMENU:
      return SendMessageW(GetAncestor(hwnd, GA_ROOT), message, wparam, lparam);
    case WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(wparam);
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));  // readable on the face in any theme
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
  }
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

LRESULT CALLBACK PanelProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  return GuardedCall(hwnd, [&] { return PanelMessage(hwnd, message, wparam, lparam); }).value_or(0);
}

void RegisterPanelClass() {
  static const ATOM panel_class = [] {
    WNDCLASSEXW panel{};
    panel.cbSize = sizeof panel;
    panel.lpfnWndProc = PanelProc;
    panel.hInstance = GetModuleHandleW(nullptr);
    panel.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    panel.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    panel.lpszClassName = kPanelClass;
    return RegisterClassExW(&panel);
  }();
  (void)panel_class;
}

// Where a list box's row menu opens; `row_changed` tells whether the mouse selected another row.
POINT ListMenuPoint(HWND list, POINT point, int row_count, Dpi dpi, bool& row_changed) {
  row_changed = false;
  const LRESULT selected = SendMessageW(list, LB_GETCURSEL, 0, 0);
  if (point.x == -1 && point.y == -1) {
    RECT r{};
    if (selected == LB_ERR || SendMessageW(list, LB_GETITEMRECT, selected, reinterpret_cast<LPARAM>(&r)) == LB_ERR)
      r = {};
    point = {r.left + dpi.Scale(16), r.top + dpi.Scale(16)};
    ClientToScreen(list, &point);
    return point;
  }
  POINT client = point;
  ScreenToClient(list, &client);
  const LRESULT hit = SendMessageW(list, LB_ITEMFROMPOINT, 0, MAKELPARAM(client.x, client.y));
  const int row = LOWORD(hit);
  if (HIWORD(hit) == 0 && row < row_count && row != selected) {
    SendMessageW(list, LB_SETCURSEL, row, 0);
    row_changed = true;
  }
  return point;
}

// The first shown list of a page, and its first enabled tab stop.
struct StartSearch {
  HWND list = nullptr, tab_stop = nullptr;
};
BOOL CALLBACK FindStart(HWND control, LPARAM data) {
  auto* search = reinterpret_cast<StartSearch*>(data);
  if (!IsWindowVisible(control) || !IsWindowEnabled(control)) return TRUE;
  if (IsList(control)) {
    search->list = control;
    return FALSE;
  }
  if (!search->tab_stop && (GetWindowLongW(control, GWL_STYLE) & WS_TABSTOP)) search->tab_stop = control;
  return TRUE;
}

}  // namespace

HWND CreateChild(const wchar_t* cls, const wchar_t* text, DWORD style, HWND parent, int id, DWORD ex_style) {
  return CreateWindowExW(ex_style, cls, text, WS_CHILD | style, 0, 0, 10, 10, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                         nullptr);
}

HWND CreatePanel(HWND parent, const wchar_t* text) {
  RegisterPanelClass();
  return CreateChild(kPanelClass, text, WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, parent, 0,
                     WS_EX_CONTROLPARENT);
}

void SetControlFont(HWND control, HFONT font) {
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

void SetVisible(HWND control, bool visible) { ShowWindow(control, visible ? SW_SHOWNA : SW_HIDE); }

bool IsShown(HWND control) { return (GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) != 0; }

std::string ComboItemText(HWND combo, int index) {
  const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, index, 0);
  if (length == CB_ERR) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(length));
  return Narrow(text);
}

void ShowListMenu(HWND list, POINT point, int row_count, Dpi dpi, HWND owner,
                  const std::function<void()>& row_changed, const std::function<UniqueMenu()>& make_menu) {
  bool changed = false;
  point = ListMenuPoint(list, point, row_count, dpi, changed);
  if (changed) row_changed();
  UniqueMenu menu = make_menu();
  if (GetMenuItemCount(menu.get()) > 0) TrackPopupMenu(menu.get(), TPM_RIGHTBUTTON, point.x, point.y, 0, owner, nullptr);
}

int TextWidth(HWND control, HFONT font, const std::wstring& text) {
  WindowDc dc(control);
  SelectedObject selected(dc.get(), font);
  SIZE size{};
  GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
  return size.cx;
}

void FitDroppedWidth(HWND combo, int margin) {
  const auto font = reinterpret_cast<HFONT>(SendMessageW(combo, WM_GETFONT, 0, 0));
  int widest = 0;
  const int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) widest = std::max(widest, TextWidth(combo, font, Wide(ComboItemText(combo, i))));
  RECT box{};
  GetWindowRect(combo, &box);
  // The list's frame and a scroll bar, which a long list of profiles has, take room too.
  const int needed = widest + margin + GetSystemMetrics(SM_CXVSCROLL) + 2 * GetSystemMetrics(SM_CXEDGE);
  SendMessageW(combo, CB_SETDROPPEDWIDTH, std::max(needed, static_cast<int>(box.right - box.left)), 0);
}

bool IsList(HWND window) {
  wchar_t name[32] = {};
  GetClassNameW(window, name, 32);
  return lstrcmpiW(name, WC_LISTBOXW) == 0 || lstrcmpiW(name, WC_LISTVIEWW) == 0;
}

HWND FirstListOrTabStop(HWND page) {
  if (IsList(page)) return page;
  StartSearch search;
  EnumChildWindows(page, FindStart, reinterpret_cast<LPARAM>(&search));
  return search.list ? search.list : search.tab_stop ? search.tab_stop : page;
}

void FocusWithRow(HWND control) {
  SetFocus(control);
  wchar_t name[32] = {};
  GetClassNameW(control, name, 32);
  if (lstrcmpiW(name, WC_LISTBOXW) != 0 || SendMessageW(control, LB_GETCOUNT, 0, 0) <= 0 ||
      SendMessageW(control, LB_GETCURSEL, 0, 0) != LB_ERR)
    return;
  SendMessageW(control, LB_SETCURSEL, 0, 0);
  SendMessageW(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(control));
}

void ClearListBox(HWND list) {
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
}

void AppendMenuItem(HMENU menu, UINT id, const std::string& caption, int image, bool enabled, HMENU submenu) {
  std::wstring text = Wide(caption);
  MENUITEMINFOW item{};
  item.cbSize = sizeof item;
  item.fMask = MIIM_STRING | MIIM_ID | MIIM_STATE | MIIM_DATA | (image >= 0 ? MIIM_BITMAP : 0) |
               (submenu ? MIIM_SUBMENU : 0);
  item.wID = id;
  item.dwTypeData = text.data();
  item.fState = enabled ? MFS_ENABLED : MFS_GRAYED;
  item.hbmpItem = HBMMENU_CALLBACK;
  item.dwItemData = static_cast<ULONG_PTR>(image + 1);
  item.hSubMenu = submenu;
  InsertMenuItemW(menu, GetMenuItemCount(menu), TRUE, &item);
}

}  // namespace orvela
