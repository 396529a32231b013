// TForm1: the main window. Its construction computes every location once, its pages
// switch through RefreshPage, and it owns everything long-lived: the image lists, the
// shell-link component, the Disabled Box lists and the settings.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/data_paths.h"
#include "app/locations.h"
#include "app/page_frame.h"
#include "app/shell_folders_win.h"
#include "app/settings.h"
#include "app/speed_button_win.h"
#include "components/shell_link_win.h"
#include "platform/handles_win.h"
#include "platform/prompt.h"
#include "platform/registry.h"
#include "startup/entry.h"

namespace orvela {

class StartupPage;

struct WindowsVersion {
  bool is_nt = true;
  unsigned major = 6, minor = 1;
};

// What the window needs from the system, so tests can give their own.
struct FormServices {
  Prompt* prompt = nullptr;
  RegistryBackend* registry = nullptr;
  std::function<bool()> is_admin;  // the shell's administrator test
  WindowsVersion version;
  std::string program_folder;      // ends in a backslash
  ShellFolderPaths shell_folders;
};

// The services of the running program: the real registry's backend must outlive the window.
FormServices RealFormServices(Prompt& prompt, RegistryBackend& registry);
// IsUserAnAdmin from SHELL32 by its ordinal; true when it cannot be found.
bool ShellSaysAdministrator();
WindowsVersion RunningWindowsVersion();

inline constexpr std::string_view kNoAdminMessage =
    "現在のログインユーザーには、管理者権限が御座いません。殆んどの機能が無効となります。";

class TForm1 {
 public:
  // Construction and FormCreate; the window exists afterwards but is not shown.
  explicit TForm1(FormServices services);
  ~TForm1();  // defined where StartupPage is complete
  TForm1(const TForm1&) = delete;
  TForm1& operator=(const TForm1&) = delete;

  HWND hwnd() const { return hwnd_; }
  // Shows the window and runs FormShow (loads the Disabled Box lists, fills the startup page).
  void Show(int show_command);
  // For the message loop: hint routing and keyboard navigation. True when handled.
  bool PreTranslateMessage(MSG& msg);

  // The frame.
  int current_page() const;
  void PageControl1Change();                 // the user picked a tab
  void SpeedButton9Click(int tag);           // a page button of Panel7
  void SpeedButton1Click();
  void SpeedButton2Click();
  void SpeedButton7Click();
  void RefreshPage(bool reset);
  void OpenHelpPage(const std::string& file);
  void ListBox1KeyDown(HWND list, WPARAM key);
  void FormResize();
  void FormClose();

  // Status bar: panel 0 the row count, panel 1 hints and the selected entry.
  void SetStatusText(int panel, const std::string& text);
  const std::string& status_text(int panel) const { return status_texts_[panel]; }
  void SetHint(HWND control, const std::string& hint);
  const std::string& HintOf(HWND control) const;
  void SetMenuHint(UINT id, const std::string& hint);

  // State that the pages use.
  const DataPaths& paths() const { return paths_; }
  const ProfileLocations& locations() const { return locations_; }
  const AppSettings& settings() const { return settings_; }
  AppSettings& settings() { return settings_; }
  std::vector<std::string>& startup_box() { return startup_box_; }
  std::vector<std::string>& sendto_box() { return sendto_box_; }
  // False when the file could not be read whole: it must not be written over.
  bool startup_box_writable() const { return startup_box_writable_; }
  int windows_class() const { return windows_class_; }
  bool is_admin() const { return is_admin_; }
  bool has_settings_tab() const { return has_settings_tab_; }
  Prompt& prompt() { return *services_.prompt; }
  RegistryBackend& registry() { return *services_.registry; }
  TShellLink& shell_link() { return shell_link_; }
  HIMAGELIST image_list1() const { return image_list1_.get(); }
  HIMAGELIST image_list2() const { return image_list2_.get(); }
  HIMAGELIST image_list3() const { return image_list3_.get(); }
  int designed_image_count() const { return designed_image_count_; }
  // The entry table: one record per row of the startup, SendTo or uninstall list, owned by
  // the page filled last; ImageList1 holds the rows' icons at the same indices.
  std::vector<EntryRecord> entries;
  StartupPage& startup_page() { return *startup_page_; }
  // A row of a list box; -1 when none is selected.
  static int SelectedRow(HWND list);
  // The window that Timer1 moves to the centre of the screen (Part of adding entries).
  void CentreLater(HWND window);
  // ListView2 asks each row's overlay (-1 none, 0 shared, 1 shortcut) through this.
  std::function<int(int row)> list_view_overlay = [](int) { return -1; };

  // Controls, by the names the pages use.
  SpeedButton SpeedButton1, SpeedButton2, SpeedButton7, SpeedButton5, SpeedButton6;
  SpeedButton SpeedButton3, SpeedButton4;
  SpeedButton SpeedButton9, SpeedButton10, SpeedButton11, SpeedButton12, SpeedButton13;
  HWND Panel1 = nullptr, Panel2 = nullptr, SendSelectPanel = nullptr, Panel7 = nullptr;
  HWND Label3 = nullptr;
  HWND ComboBox1 = nullptr, ComboBox2 = nullptr, ComboBox6 = nullptr;
  HWND PageControl1 = nullptr, PageControl2 = nullptr;
  std::array<HWND, kPageCount> TabSheets{};  // content window of each page (none for 3 and 4)
  HWND ListBox1 = nullptr, ListBox2 = nullptr, ListBox3 = nullptr;
  HWND MoreInfoButton = nullptr;             // "他の情報も表示" above ListBox3
  HWND ListView2 = nullptr;
  HWND StatusBar1 = nullptr;
  HWND ToolTip = nullptr;
  std::string N32Caption, N32Hint;           // the folder item of the list-view menu

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT OnCommand(WPARAM wparam, LPARAM lparam);
  LRESULT OnNotify(NMHDR& header);
  void OnDrawItem(DRAWITEMSTRUCT& item);

  void ComputeLocations();
  void CreateImageLists();
  void CreateControls();
  HWND CreatePanel(HWND parent, const wchar_t* text = L"");
  void SetCaptionsHintsAndGlyphs();
  void ApplyAdministratorState();
  void Layout();
  void LayoutTopPanel();
  void DrawStatusPanel(const DRAWITEMSTRUCT& item);
  void SelectPage(int page);
  void ShowPageContent(int page, bool page_control_visible);
  void SelectCurrentUserIfNone();
  // Fill routines of the pages; each shows its list and the row count.
  void RefreshStartupList();
  void ShowStartupDisabledBox();
  void FillSendToList();
  void ShowSendToDisabledBox();
  void FillUninstallList();
  void FillRecentList();
  void FillProgramsList();
  void FillSettingsPages();
  void ClearListBox(HWND list);
  SpeedButton* ButtonById(int id);
  void LoadDisabledBoxes();

  FormServices services_;
  HWND hwnd_ = nullptr;
  std::unique_ptr<StartupPage> startup_page_;
  DataPaths paths_;
  ProfileLocations locations_;
  AppSettings settings_;
  std::vector<std::string> startup_box_, sendto_box_;
  bool startup_box_writable_ = true, sendto_box_writable_ = true;
  int windows_class_ = 2;
  bool is_admin_ = true;
  bool has_settings_tab_ = true;
  bool com_initialized_ = false;
  TShellLink shell_link_;
  UniqueHimagelist image_list1_, image_list2_, image_list3_;
  int designed_image_count_ = 0;
  UniqueHfont ui_font_, list_font_;
  std::array<std::string, 2> status_texts_;
  std::map<HWND, std::string> hints_;
  std::map<UINT, std::string> menu_hints_;
  std::string last_hint_;
  std::wstring tooltip_text_;
  HWND window_to_centre_ = nullptr;
  int label3_left_ = 0;
};

}  // namespace orvela
