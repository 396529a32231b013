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

#include "app/page_frame.h"
#include "system/data_paths.h"
#include "disabled_box/disabled_box_store.h"
#include "system/locations.h"
#include "window/page_host_win.h"
#include "system/settings.h"
#include "system/shell_folders_win.h"
#include "components/shell_link_win.h"
#include "components/speed_button_win.h"
#include "platform/dpi.h"
#include "platform/handles_win.h"
#include "platform/prompt.h"
#include "platform/registry_backend.h"
#include "version/about_dialog_win.h"

namespace orvela {

class StartupPage;
class SendToPage;
class UninstallPage;
class RecentPage;
class SettingsPage;

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
  int dpi = 0;                     // of the screen; 0: the system's
};

// The services of the running program: the real registry's backend must outlive the window.
FormServices RealFormServices(Prompt& prompt, RegistryBackend& registry);
// IsUserAnAdmin from SHELL32 by its ordinal; true when it cannot be found.
bool ShellSaysAdministrator();
WindowsVersion RunningWindowsVersion();

inline constexpr std::string_view kNoAdminMessage =
    "現在のログインユーザーには、管理者権限が御座いません。殆んどの機能が無効となります。";

// The frame of the main window: tool panel, page control, status bar, hints and
// RefreshPage. It creates the pages and routes their controls' messages to them.
class TForm1 : public PageHost {
 public:
  // Construction and FormCreate; the window exists afterwards but is not shown.
  explicit TForm1(FormServices services);
  ~TForm1() override;  // defined where the pages are complete
  TForm1(const TForm1&) = delete;
  TForm1& operator=(const TForm1&) = delete;

  HWND hwnd() const { return hwnd_; }
  // Shows the window and runs FormShow (loads the Disabled Box lists, fills the startup page).
  void Show(int show_command);
  // For the message loop: hint routing and keyboard navigation. True when handled.
  bool PreTranslateMessage(MSG& msg);

  // The frame.
  void PageControl1Change();                 // the user picked a tab
  void SpeedButton9Click(int tag);           // a page button of Panel7
  void SpeedButton1Click();
  void SpeedButton2Click();
  void SpeedButton7Click();
  void ComboBox6Change();                    // another user chosen
  void RefreshPage(bool reset);
  void OpenHelpPage(const std::string& file);
  void SpeedButton5Click();                  // the version box
  void ListBox1KeyDown(HWND list, WPARAM key);
  void FormResize();
  void FormClose();

  // PageHost: what the pages ask of the frame.
  HWND window() const override { return hwnd_; }
  HWND tool_panel() const override { return Panel1; }
  Dpi dpi() const override { return dpi_; }
  HFONT ui_font() const override { return ui_font_.get(); }
  HFONT list_font() const override { return list_font_.get(); }
  HIMAGELIST glyphs() const override { return image_list2_.get(); }
  int glyph_count() const override { return glyph_count_; }
  Prompt& prompt() override { return *services_.prompt; }
  RegistryBackend& registry() override { return *services_.registry; }
  TShellLink& shell_link() override { return shell_link_; }
  const DataPaths& paths() const override { return paths_; }
  const ProfileLocations& locations() const override { return locations_; }
  AppSettings& settings() override { return settings_; }
  const AppSettings& settings() const { return settings_; }
  DisabledBoxStore& startup_box() override { return startup_box_; }
  DisabledBoxStore& sendto_box() override { return sendto_box_; }
  void SetStatusText(int panel, const std::string& text) override;
  void SetHint(HWND control, const std::string& hint) override;
  void SetMenuHint(UINT id, const std::string& hint) override;
  int current_page() const override;
  bool live_view_shown() const override { return SpeedButton1.down(); }
  std::string selected_user() const override;
  void CentreLater(HWND window) override;
  std::optional<std::string> ChooseRunningApplication() override;
  // WM_DROPFILES: files dropped on the startup list or the SendTo list are added there, in
  // the order of the drop; a drop anywhere else adds nothing. The drop is always finished.
  void DropFiles(HDROP drop);
  void SetRestoreVisible(bool visible) override;
  void CommandStarted(PageCommand& command) override;
  void CommandEnded(PageCommand& command) override;

  const std::string& status_text(int panel) const { return status_texts_[panel]; }
  const std::string& HintOf(HWND control) const;
  int windows_class() const { return windows_class_; }
  bool is_admin() const override { return is_admin_; }
  bool has_settings_tab() const { return has_settings_tab_; }

  // The pages.
  StartupPage& startup_page() { return *startup_page_; }
  // The pages but the startup page are made when first needed.
  SendToPage& sendto_page();
  UninstallPage& uninstall_page();
  RecentPage& recent_page();
  SettingsPage& settings_page();

  // Controls of the frame, by their names on the form.
  SpeedButton SpeedButton1, SpeedButton2, SpeedButton7, SpeedButton5, SpeedButton6;
  SpeedButton SpeedButton9, SpeedButton10, SpeedButton11, SpeedButton12, SpeedButton13;
  HWND Panel1 = nullptr, SendSelectPanel = nullptr, Panel7 = nullptr;
  HWND Label3 = nullptr;
  HWND ComboBox6 = nullptr;  // the user selector of the SendTo and recent-files pages
  HWND PageControl1 = nullptr;
  std::array<HWND, kPageCount> TabSheets{};  // content window of each page (none for 3 and 4)
  HWND StatusBar1 = nullptr;
  HWND ToolTip = nullptr;

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT OnCommand(WPARAM wparam, LPARAM lparam);
  LRESULT OnNotify(NMHDR& header);
  void OnDrawItem(DRAWITEMSTRUCT& item);

  void ComputeLocations();
  void CreateImageLists();
  void CreateControls();
  void CreatePages();
  template <typename Page>
  Page& PageOnDemand(std::unique_ptr<Page>& page, HWND parent);
  void SetCaptionsHintsAndGlyphs();
  void ApplyAdministratorState();
  void Layout();
  void LayoutTopPanel();
  void DrawStatusPanel(const DRAWITEMSTRUCT& item);
  void SelectPage(int page);
  // The keyboard focus goes to the shown page's list (or first control), with a row to stand on.
  void FocusShownPage();
  void ShowPageContent(int page, bool page_control_visible);
  void SelectCurrentUserIfNone();
  // A list box or list view of a page (keys that lists answer go to its page).
  bool IsPageList(HWND window) const;
  // The page objects, by page number (the two list-view pages share one).
  WindowPage* PageObject(int page);
  // The pages made so far: the settings page is made when first needed, not before the
  // window is first shown.
  std::vector<WindowPage*> AllPages() const;
  SpeedButton* ButtonById(int id);
  int Scaled(int at_96_dpi) const { return dpi_.Scale(at_96_dpi); }
  // Label3's left edge for the window's present width.
  int Label3Left() const;

  FormServices services_;
  Dpi dpi_;
  HWND hwnd_ = nullptr;
  DataPaths paths_;
  ProfileLocations locations_;
  AppSettings settings_;
  DisabledBoxStore startup_box_, sendto_box_;
  int windows_class_ = 2;
  bool is_admin_ = true;
  bool has_settings_tab_ = true;
  bool com_initialized_ = false;
  TShellLink shell_link_;
  TAboutDialog AboutDialog1{*services_.prompt, AboutDialog1Properties()};
  UniqueHimagelist image_list2_;
  int glyph_count_ = 0;
  // The shell's pictures that follow the glyph strip's, read on a thread of their own: the
  // shell's first icon makes its list of every icon, the longest wait of the start.
  UniqueHandle shell_images_thread_;
  std::array<HICON, 3> shell_images_{};
  bool first_rows_shown_ = false;  // the pictures join the glyphs only afterwards
  static DWORD WINAPI ReadShellImages(void* form);
  void AppendShellImages();
  UniqueHfont ui_font_, list_font_;
  std::array<std::string, 2> status_texts_;
  std::map<HWND, std::string> hints_;
  std::map<UINT, std::string> menu_hints_;
  std::string last_hint_;
  std::wstring tooltip_text_;
  HWND window_to_centre_ = nullptr;
  HWND focus_before_leaving_ = nullptr;  // the control that had the focus when the window was left
  int label3_left_ = 0;      // its place at creation, for windows narrower than 700
  // The pages' long commands now running; a close waits until none is left.
  std::vector<PageCommand*> commands_;
  bool close_after_commands_ = false;
  // The mouse is over a page whose command runs.
  bool OverBusyPage(HWND window) const;
  // Counts RefreshPage calls: a refresh that finds it changed after processing pending
  // messages knows a newer one has already shown the page, and stops.
  unsigned refresh_count_ = 0;
  // Made last and destroyed first: the pages use everything above.
  std::unique_ptr<StartupPage> startup_page_;
  std::unique_ptr<SendToPage> sendto_page_;
  std::unique_ptr<UninstallPage> uninstall_page_;
  std::unique_ptr<RecentPage> recent_page_;
  std::unique_ptr<SettingsPage> settings_page_;
};

}  // namespace orvela
