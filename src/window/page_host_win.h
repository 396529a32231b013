// How a page and the main window meet. The window (the frame: tool panel, page control,
// status bar, hints, RefreshPage) implements PageHost; each page is a WindowPage that owns
// its controls, handlers, records and row icons, and asks the frame only through PageHost.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <optional>
#include <string>

#include "system/data_paths.h"
#include "disabled_box/disabled_box_store.h"
#include "system/locations.h"
#include "system/settings.h"
#include "window/pages.h"
#include "platform/dpi.h"
#include "platform/prompt.h"
#include "platform/registry_backend.h"

namespace orvela {

class TShellLink;
class PageCommand;

class PageHost {
 public:
  virtual ~PageHost() = default;

  virtual HWND window() const = 0;      // owner of menus and boxes
  virtual HWND tool_panel() const = 0;  // Panel1: a page's selector row lies in it
  // Turns 96-DPI pixel sizes into the screen's; the fonts and glyphs come scaled.
  virtual Dpi dpi() const { return Dpi(); }
  virtual HFONT ui_font() const = 0;
  virtual HFONT list_font() const = 0;
  // ImageList2: the tool glyphs, then the program folder, ".reg" and Recent folder icons.
  virtual HIMAGELIST glyphs() const = 0;
  // How many tool glyphs come first; the shell icons follow them.
  virtual int glyph_count() const = 0;

  virtual Prompt& prompt() = 0;
  virtual RegistryBackend& registry() = 0;
  virtual TShellLink& shell_link() = 0;
  virtual const DataPaths& paths() const = 0;
  virtual const ProfileLocations& locations() const = 0;
  virtual AppSettings& settings() = 0;
  virtual DisabledBoxStore& startup_box() = 0;
  virtual DisabledBoxStore& sendto_box() = 0;

  // Status bar: panel 0 the row count, panel 1 hints and the selected entry.
  virtual void SetStatusText(int panel, const std::string& text) = 0;
  // "short|long": the short part as a tool tip, the long part in status panel 1.
  virtual void SetHint(HWND control, const std::string& hint) = 0;
  virtual void SetMenuHint(UINT id, const std::string& hint) = 0;

  virtual int current_page() const = 0;
  // SpeedButton1 is down: the page shows its live list, not its Disabled Box (or backups).
  virtual bool live_view_shown() const = 0;
  // The shell's administrator test, taken once at start: a user who is none only reads the
  // machine's keys.
  virtual bool is_admin() const { return true; }
  // The profile chosen in the user selector (ComboBox6); empty when none.
  virtual std::string selected_user() const = 0;
  // Timer1 moves the window to the centre of the screen once it has been shown.
  virtual void CentreLater(HWND window) = 0;
  // The list of running applications, modal: the program path of the one chosen with OK;
  // nullopt when closed, or OK without a row chosen.
  virtual std::optional<std::string> ChooseRunningApplication() = 0;
  // The settings page's restore button (SpeedButton7) follows its backup file.
  virtual void SetRestoreVisible(bool /*visible*/) {}
  // A page's long command (PageCommand) started or ended: meanwhile the mouse shows the wait
  // cursor over that page, and the window closes only after it ended.
  virtual void CommandStarted(PageCommand& /*command*/) {}
  virtual void CommandEnded(PageCommand& /*command*/) {}
};

// One page of the main window. The frame gives it a sheet to put its controls on (for the
// list-view pages, the main window itself) and routes every message of its controls to it.
class WindowPage {
 public:
  virtual ~WindowPage() = default;
  // The window the frame shows and hides with the page.
  virtual HWND content() const = 0;
  // The page's row of selectors in the tool panel, if it has one.
  virtual HWND selector_row() const { return nullptr; }
  // The content window got this size.
  virtual void Layout(int width, int height) = 0;
  // The window was resized: the rows are drawn anew.
  virtual void Redraw() { InvalidateRect(content(), nullptr, TRUE); }

  // Messages of the page's controls; true when handled.
  virtual bool OnCommand(int /*id*/, int /*code*/, HWND /*control*/) { return false; }
  virtual bool OnNotify(NMHDR& /*header*/, LRESULT& /*result*/) { return false; }
  virtual bool OnDrawItem(const DRAWITEMSTRUCT& /*item*/) { return false; }
  virtual bool OnContextMenu(HWND /*control*/, POINT /*screen_point*/) { return false; }
  // A key pressed in one of the page's lists (ListBox1KeyDown of the frame).
  virtual void OnListKey(HWND /*list*/, WPARAM /*key*/) {}
  // "一覧を保存" (Ctrl+S): the rows of the list shown go to a file the user chooses.
  virtual void SaveList() {}
};

// A row of a list box; -1 when none is selected.
inline int SelectedListRow(HWND list) {
  const LRESULT row = SendMessageW(list, LB_GETCURSEL, 0, 0);
  return row == LB_ERR ? -1 : static_cast<int>(row);
}

}  // namespace orvela
