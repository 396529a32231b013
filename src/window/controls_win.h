// Small helpers that make and handle the controls of the main window and its pages.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "platform/dpi.h"
#include "platform/handles_win.h"

namespace orvela {

// A child control with a command id; placed later by its page's layout.
HWND CreateChild(const wchar_t* cls, const wchar_t* text, DWORD style, HWND parent, int id,
                 DWORD ex_style = 0);
// A panel holds controls; what its controls report goes on to the main window.
HWND CreatePanel(HWND parent, const wchar_t* text = L"");
void SetControlFont(HWND control, HFONT font);
void SetVisible(HWND control, bool visible);
bool IsShown(HWND control);
// The text of a combo box item; empty when there is none at that index.
std::string ComboItemText(HWND combo, int index);
// Opens a list box's row menu, owned by `owner`. From the keyboard (-1, -1): under the
// selected row, or at the list's corner. From the mouse: where it was clicked, after selecting
// the row under it as lists do and running `row_changed` (the page's click handler). The menu
// is built after that; one without items is not shown.
void ShowListMenu(HWND list, POINT screen_point, int row_count, Dpi dpi, HWND owner,
                  const std::function<void()>& row_changed, const std::function<UniqueMenu()>& make_menu);
// The width of a text in a font, as the control's context draws it.
int TextWidth(HWND control, HFONT font, const std::wstring& text);
// Opens a combo box's list at least as wide as its widest item: the item's text in the
// box's font and `margin` (device pixels: the item's own text offsets) beside it.
void FitDroppedWidth(HWND combo, int margin);
// A list box or a list view.
bool IsList(HWND window);
// Where a keyboard user starts on a page: its first shown list, else its first enabled
// control that Tab stops at, else the page itself.
HWND FirstListOrTabStop(HWND page);
// Gives the control the focus; a list box with no row selected selects its first and tells
// its page as a click would (LBN_SELCHANGE): Down would otherwise skip that row. A list view
// needs none: its first key press goes to its first row.
void FocusWithRow(HWND control);
// Empties a list box and draws it empty.
void ClearListBox(HWND list);
// A menu item with an image of the glyph list, drawn by the main window (HBMMENU_CALLBACK
// with the glyph number + 1 as its data).
void AppendMenuItem(HMENU menu, UINT id, const std::string& caption, int image, bool enabled = true,
                    HMENU submenu = nullptr);

}  // namespace orvela
