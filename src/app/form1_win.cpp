// The main window: construction, controls, layout and message dispatch. The page rules
// live in page_frame.cpp; this file only applies them to the controls.
#include "app/form1_win.h"

#include <shellapi.h>
#include <shlobj.h>
#include <windowsx.h>

#include <algorithm>
#include <stdexcept>

#include "../../resources/resource_ids.h"
#include "window/controls_win.h"
#include "window/page_command_win.h"
#include "rows/high_contrast_win.h"
#include "system/running_applications_win.h"
#include "system/shell_folders_win.h"
#include "platform/app_title.h"
#include "platform/device_context_win.h"
#include "platform/dpi_win.h"
#include "platform/dropped_files_win.h"
#include "platform/folders_win.h"
#include "platform/guarded_call_win.h"
#include "platform/image_list_win.h"
#include "platform/message_pump_win.h"
#include "platform/program_font_win.h"
#include "platform/shell_icon_win.h"
#include "platform/wide_win.h"
#include "platform/win32_prompt_win.h"
#include "regfile/registry_accessor.h"
#include "recent/recent_page_win.h"
#include "sendto/sendto_page_win.h"
#include "settings/settings_page_win.h"
#include "startup/startup_page_win.h"
#include "uninstall/keep_dialog_win.h"
#include "uninstall/uninstall_page_win.h"

namespace orvela {
namespace {

constexpr wchar_t kFormClass[] = L"TForm1";
constexpr int kFormWidth = 672, kFormHeight = 489, kMinWidth = 580, kMinHeight = 450;
constexpr UINT_PTR kTimer1 = 1;
constexpr UINT kShellImagesRead = WM_APP + 1;  // ReadShellImages is done

// Ids of the frame's controls; the pages number theirs from 1300 on.
enum ControlId {
  kIdSpeedButton1 = 1001, kIdSpeedButton2, kIdSpeedButton7, kIdSpeedButton5, kIdSpeedButton6,
  kIdSpeedButton9 = 1008, kIdSpeedButton10, kIdSpeedButton11, kIdSpeedButton12, kIdSpeedButton13,
  kIdComboBox6 = 1103,
  kIdPageControl1 = 1201,
  kIdStatusBar1 = 1401,
};

// The glyph strip (16 x 16 cells at 96 DPI) as cells of `cell` pixels. Nearest-neighbour:
// the pixels stay sharp and the magenta that marks transparency never mixes into a glyph.
UniqueHbitmap StretchedStrip(HBITMAP strip, int cell) {
  BITMAP info{};
  if (!GetObjectW(strip, sizeof info, &info) || info.bmHeight <= 0) return UniqueHbitmap();
  const int width = info.bmWidth / info.bmHeight * cell;
  const WindowDc screen(nullptr);
  UniqueHbitmap stretched(CreateCompatibleBitmap(screen.get(), width, cell));
  const UniqueHdc from(CreateCompatibleDC(screen.get())), to(CreateCompatibleDC(screen.get()));
  if (!stretched || !from || !to) return UniqueHbitmap();
  {
    const SelectedObject source(from.get(), strip), target(to.get(), stretched.get());
    SetStretchBltMode(to.get(), COLORONCOLOR);
    StretchBlt(to.get(), 0, 0, width, cell, from.get(), 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
  }
  return stretched;
}

HICON LargeFolderIcon(const std::string& folder) {
  SHFILEINFOW info{};
  if (!SHGetFileInfoW(Wide(folder).c_str(), 0, &info, sizeof info, SHGFI_ICON | SHGFI_LARGEICON))
    return nullptr;
  return info.hIcon;
}

}  // namespace

// ---------------------------------------------------------------------------------------
// Services of the running program

bool ShellSaysAdministrator() {
  UniqueModule shell32(LoadLibraryW(L"SHELL32.dll"));
  if (!shell32) return true;
  using IsUserAnAdminFn = BOOL(WINAPI*)();
  auto fn = reinterpret_cast<IsUserAnAdminFn>(
      reinterpret_cast<void*>(GetProcAddress(shell32.get(), MAKEINTRESOURCEA(680))));
  return fn ? fn() != FALSE : true;
}

WindowsVersion RunningWindowsVersion() {
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  GetVersionExW(&info);
#pragma GCC diagnostic pop
  return {info.dwPlatformId == VER_PLATFORM_WIN32_NT, info.dwMajorVersion, info.dwMinorVersion};
}

FormServices RealFormServices(Prompt& prompt, RegistryBackend& registry) {
  FormServices services;
  services.prompt = &prompt;
  services.registry = &registry;
  services.is_admin = ShellSaysAdministrator;
  services.version = RunningWindowsVersion();
  services.program_folder = ExecutableFolder();
  services.shell_folders = CurrentShellFolders();
  return services;
}

// ---------------------------------------------------------------------------------------
// Construction

TForm1::TForm1(FormServices services) : services_(std::move(services)) {
  static const ATOM form_class = [] {
    WNDCLASSEXW form{};
    form.cbSize = sizeof form;
    form.lpfnWndProc = WindowProc;
    form.hInstance = GetModuleHandleW(nullptr);
    form.hIcon = LoadIconW(form.hInstance, MAKEINTRESOURCEW(IDI_ORVELA));
    form.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    form.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    form.lpszClassName = kFormClass;
    return RegisterClassExW(&form);
  }();
  (void)form_class;
  dpi_ = services_.dpi > 0 ? Dpi(services_.dpi) : SystemDpi();
  // Settings: a value that is absent keeps the default.
  {
    TRegistry registry(*services_.registry);
    LoadSettings(registry, settings_);
  }
  // Data locations; the uninstall backup folder (and with it "data") is made at start.
  paths_ = DataPaths::ForProgramFolder(services_.program_folder);
  startup_box_.path = paths_.startup_box;
  sendto_box_.path = paths_.sendto_box;
  CreateFolderTree(paths_.uninstall_folder);
  ComputeLocations();

  const int width = Scaled(kFormWidth), height = Scaled(kFormHeight);
  const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  hwnd_ = CreateWindowExW(WS_EX_CONTROLPARENT, kFormClass, Wide(kAppTitle).c_str(),
                          WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, x, y, width, height, nullptr,
                          nullptr, GetModuleHandleW(nullptr), this);
  if (!hwnd_) throw std::runtime_error("メイン ウィンドウを作成できません。");
  services_.prompt->SetOwnerWindow(hwnd_);

  CreateImageLists();
  CreateControls();
  CreatePages();
  SetCaptionsHintsAndGlyphs();
  DragAcceptFiles(hwnd_, TRUE);

  windows_class_ = WindowsClassOf(services_.version.is_nt, services_.version.major, services_.version.minor);
  if (!HasSettingsPage(windows_class_, services_.version.major)) {
    TabCtrl_DeleteItem(PageControl1, kSettingsPage);
    has_settings_tab_ = false;
    SpeedButton13.SetVisible(false);  // its page is gone
  }
  if (windows_class_ == 2 && services_.is_admin) is_admin_ = services_.is_admin();
  ApplyAdministratorState();

  com_initialized_ = SUCCEEDED(CoInitialize(nullptr));
  Layout();
}

TForm1::~TForm1() {
  AppendShellImages();
  if (hwnd_) DestroyWindow(hwnd_);
  if (com_initialized_) CoUninitialize();
}

void TForm1::ComputeLocations() {
  locations_ = ProfileLocations::FromShell(services_.shell_folders);
  locations_.SetProfiles(locations_.root().empty() ? std::vector<std::string>{}
                                                   : ListSubfolders(locations_.root()));
}

void TForm1::CreateImageLists() {
  const int glyph = Scaled(16);
  image_list2_.reset(ImageList_Create(glyph, glyph, ILC_COLOR32 | ILC_MASK, 40, 4));
  UniqueHbitmap strip(static_cast<HBITMAP>(
      LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_GLYPHS), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  if (strip && glyph != 16) strip = StretchedStrip(strip.get(), glyph);
  if (strip) ImageList_AddMasked(image_list2_.get(), strip.get(), RGB(255, 0, 255));
  glyph_count_ = ImageList_GetImageCount(image_list2_.get());
  shell_images_thread_.reset(CreateThread(nullptr, 0, ReadShellImages, this, 0, nullptr));
  if (!shell_images_thread_) ReadShellImages(this);
}

DWORD WINAPI TForm1::ReadShellImages(void* self) {
  auto* form = static_cast<TForm1*>(self);
  // After the glyph strip's images: the program folder, the ".reg" file type, the Recent folder.
  form->shell_images_ = {ShellIconOf(form->paths_.program_folder, true, false), ShellIconOf(".reg", true, true),
                         LargeFolderIcon(form->services_.shell_folders.recent)};
  PostMessageW(form->hwnd_, kShellImagesRead, 0, 0);
  return 0;
}

// Once: the pictures join the list in their places, and whatever shows them is drawn again.
void TForm1::AppendShellImages() {
  if (!shell_images_thread_) return;
  WaitForSingleObject(shell_images_thread_.get(), INFINITE);
  shell_images_thread_.reset();
  for (HICON& icon : shell_images_) {
    AppendIconOrBlank(image_list2_.get(), icon);
    icon = nullptr;
  }
  if (hwnd_) RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void TForm1::CreateControls() {
  ui_font_ = CreateProgramFont(Scaled(12));
  list_font_ = CreateProgramFont(Scaled(13));
  HFONT ui = ui_font_.get();
  HIMAGELIST glyphs = image_list2_.get();

  ToolTip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
  SendMessageW(ToolTip, TTM_SETMAXTIPWIDTH, 0, Scaled(400));

  // The page control first, so the panels and pages made after it lie on top of it.
  PageControl1 = CreateChild(WC_TABCONTROLW, L"", WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS, hwnd_,
                             kIdPageControl1);
  SetControlFont(PageControl1, ui);
  TabCtrl_SetImageList(PageControl1, glyphs);
  for (int page = 0; page < kPageCount; ++page) {
    std::wstring caption = Wide(kPageCaptions[page]);
    TCITEMW item{};
    item.mask = TCIF_TEXT | TCIF_IMAGE;
    item.pszText = caption.data();
    item.iImage = kPageTabImages[page];
    SendMessageW(PageControl1, TCM_INSERTITEMW, page, reinterpret_cast<LPARAM>(&item));
  }

  Panel1 = CreatePanel(hwnd_);
  SetWindowPos(Panel1, nullptr, 0, 0, Scaled(kFormWidth), Scaled(68), SWP_NOZORDER);
  SpeedButton1.Create(Panel1, kIdSpeedButton1, glyphs, ui, dpi_);
  SpeedButton2.Create(Panel1, kIdSpeedButton2, glyphs, ui, dpi_);
  SpeedButton7.Create(Panel1, kIdSpeedButton7, glyphs, ui, dpi_);
  SpeedButton5.Create(Panel1, kIdSpeedButton5, glyphs, ui, dpi_);
  SpeedButton6.Create(Panel1, kIdSpeedButton6, glyphs, ui, dpi_);
  Label3 = CreateChild(WC_STATICW, Wide("Ｖ＆Ｌ").c_str(), WS_VISIBLE | SS_RIGHT | SS_NOPREFIX, Panel1, 0);
  SetControlFont(Label3, ui);

  SendSelectPanel = CreatePanel(Panel1);
  HWND user_label =
      CreateChild(WC_STATICW, Wide(" 表示するユーザーの選択").c_str(), WS_VISIBLE | SS_NOPREFIX, SendSelectPanel, 0);
  ComboBox6 = CreateChild(WC_COMBOBOXW, L"", WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST,
                          SendSelectPanel, kIdComboBox6);
  SetControlFont(user_label, ui);
  SetControlFont(ComboBox6, ui);
  SetWindowPos(user_label, nullptr, Scaled(4), Scaled(6), Scaled(130), Scaled(16), SWP_NOZORDER);
  SetWindowPos(ComboBox6, nullptr, Scaled(136), Scaled(2), Scaled(150), Scaled(300), SWP_NOZORDER);

  Panel7 = CreatePanel(Panel1);
  SpeedButton* page_buttons[] = {&SpeedButton9, &SpeedButton10, &SpeedButton11, &SpeedButton12, &SpeedButton13};
  for (int i = 0; i < 5; ++i) page_buttons[i]->Create(Panel7, kIdSpeedButton9 + i, glyphs, ui, dpi_);

  // Pages: the content windows lie over the page control's display area.
  for (int page : {kStartupPage, kSendToPage, kUninstallPage, kSettingsPage}) {
    TabSheets[page] = CreatePanel(hwnd_);
    SetVisible(TabSheets[page], page == kStartupPage);
  }
  StatusBar1 = CreateChild(STATUSCLASSNAMEW, L"", WS_VISIBLE | SBARS_SIZEGRIP, hwnd_, kIdStatusBar1);
  SetControlFont(StatusBar1, ui);
  const int parts[] = {Scaled(50), -1};
  SendMessageW(StatusBar1, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
  for (int i = 0; i < 2; ++i) SendMessageW(StatusBar1, SB_SETTEXTW, i | SBT_OWNERDRAW, i);
}

void TForm1::SetCaptionsHintsAndGlyphs() {
  SpeedButton1.SetCaption(std::string(kPageCaptions[kStartupPage]));
  SpeedButton1.SetGlyph(0);
  SpeedButton1.SetDown(true);
  SpeedButton2.SetCaption(std::string(kDisabledBoxCaption));
  SpeedButton2.SetGlyph(1);
  SpeedButton7.SetCaption(std::string(kRefreshCaption));
  SpeedButton7.SetGlyph(13);
  SpeedButton5.SetCaption("バージョン");
  SpeedButton5.SetGlyph(6);
  SpeedButton6.SetCaption("ヘルプ");
  SpeedButton6.SetGlyph(5);

  const int page_of_button[] = {kStartupPage, kSendToPage, kUninstallPage, kProgramsPage, kSettingsPage};
  const int glyph_of_button[] = {0, 4, 7, 32, 15};
  SpeedButton* page_buttons[] = {&SpeedButton9, &SpeedButton10, &SpeedButton11, &SpeedButton12, &SpeedButton13};
  for (int i = 0; i < 5; ++i) {
    page_buttons[i]->tag = page_of_button[i];
    page_buttons[i]->SetGlyph(glyph_of_button[i]);
    page_buttons[i]->SetName(std::string(kPageCaptions[page_of_button[i]]));
    SetHint(page_buttons[i]->hwnd(), std::string(kPageCaptions[page_of_button[i]]));
  }
  SetVisible(Panel7, false);
  SetVisible(SendSelectPanel, false);

  const int right = Scaled(kFormWidth) - Scaled(16);
  const int label_width = TextWidth(Label3, ui_font_.get(), Wide("Ｖ＆Ｌ")) + Scaled(4);
  label3_left_ = std::max(0, right - label_width - Scaled(16));
  SetWindowPos(Label3, nullptr, label3_left_, Scaled(12), label_width, Scaled(16), SWP_NOZORDER);

  // The user selectors list every profile but All Users.
  for (size_t i = 0; i < locations_.profiles().size(); ++i) {
    if (static_cast<int>(i) == locations_.all_users_index()) continue;
    SendMessageW(ComboBox6, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(locations_.profiles()[i]).c_str()));
  }
}

void TForm1::CreatePages() { startup_page_ = std::make_unique<StartupPage>(*this, TabSheets[kStartupPage]); }

// The other pages wait until they are first needed, so the window shows sooner. Each is
// placed as it is made.
template <typename Page>
Page& TForm1::PageOnDemand(std::unique_ptr<Page>& page, HWND parent) {
  if (page) return *page;
  page = std::make_unique<Page>(*this, parent);
  if constexpr (requires { page->SetAllowed(true); }) page->SetAllowed(is_admin_);
  Layout();
  return *page;
}

SendToPage& TForm1::sendto_page() { return PageOnDemand(sendto_page_, TabSheets[kSendToPage]); }
UninstallPage& TForm1::uninstall_page() { return PageOnDemand(uninstall_page_, TabSheets[kUninstallPage]); }
RecentPage& TForm1::recent_page() { return PageOnDemand(recent_page_, hwnd_); }
SettingsPage& TForm1::settings_page() { return PageOnDemand(settings_page_, TabSheets[kSettingsPage]); }

WindowPage* TForm1::PageObject(int page) {
  switch (page) {
    case kStartupPage: return startup_page_.get();
    case kSendToPage: return &sendto_page();
    case kUninstallPage: return &uninstall_page();
    case kRecentPage: case kProgramsPage: return &recent_page();
    case kSettingsPage: return &settings_page();
  }
  return nullptr;
}

std::vector<WindowPage*> TForm1::AllPages() const {
  std::vector<WindowPage*> pages;
  for (WindowPage* page : std::initializer_list<WindowPage*>{startup_page_.get(), sendto_page_.get(),
                                                             uninstall_page_.get(), recent_page_.get(),
                                                             settings_page_.get()})
    if (page) pages.push_back(page);
  return pages;
}

void TForm1::ApplyAdministratorState() {
  if (uninstall_page_) uninstall_page_->SetAllowed(is_admin_);
  if (settings_page_) settings_page_->SetAllowed(is_admin_);
  if (!is_admin_) prompt().ShowMessage(kNoAdminMessage, kAppTitle, PromptIcon::kWarning);
}

// ---------------------------------------------------------------------------------------
// Showing and closing

void TForm1::Show(int show_command) {
  ShowWindow(hwnd_, show_command);
  // Read before any message is answered: a page shown and a command given while the window
  // appears must find the boxes read, or it would be refused as if their files were damaged.
  startup_box_.Load(prompt());
  sendto_box_.Load(prompt());
  ProcessPendingMessages();  // showing takes a while: what came meanwhile is answered first
  UpdateWindow(hwnd_);
  // The Disabled Box may have been chosen while the window appeared: the view shown is filled.
  startup_page_->RebuildShownList();
  first_rows_shown_ = true;
  // Read by now as a rule; otherwise their message comes later.
  if (shell_images_thread_ && WaitForSingleObject(shell_images_thread_.get(), 0) == WAIT_OBJECT_0) AppendShellImages();
  FocusShownPage();
}

void TForm1::FormClose() {
  if (com_initialized_) {
    CoUninitialize();
    com_initialized_ = false;
  }
  startup_box_.SaveAtClose(prompt());
  sendto_box_.SaveAtClose(prompt());
  TRegistry registry(*services_.registry);
  SaveSettings(registry, settings_);  // a key removed meanwhile: silently not saved
}

// ---------------------------------------------------------------------------------------
// Layout

void TForm1::Layout() {
  RECT client;
  GetClientRect(hwnd_, &client);
  const int width = static_cast<int>(client.right);
  SendMessageW(StatusBar1, WM_SIZE, 0, 0);
  RECT status;
  GetWindowRect(StatusBar1, &status);
  const int status_height = status.bottom - status.top;

  RECT panel;
  GetWindowRect(Panel1, &panel);
  const int top = panel.bottom - panel.top;
  SetWindowPos(Panel1, nullptr, 0, 0, width, top, SWP_NOZORDER);
  LayoutTopPanel();

  const int body_height = std::max(0, static_cast<int>(client.bottom) - top - status_height);
  SetWindowPos(PageControl1, nullptr, 0, top, width, body_height, SWP_NOZORDER);

  RECT display{0, 0, width, body_height};
  TabCtrl_AdjustRect(PageControl1, FALSE, &display);
  for (WindowPage* page : AllPages()) {
    // A page on a sheet lies over the page control's display area; the list-view pages
    // take the page control's place.
    const bool on_sheet = page != recent_page_.get();
    const RECT r = on_sheet ? RECT{display.left, top + display.top, display.right, top + display.bottom}
                            : RECT{0, top, width, top + body_height};
    SetWindowPos(page->content(), on_sheet ? HWND_TOP : nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 on_sheet ? 0 : SWP_NOZORDER);
    page->Layout(r.right - r.left, r.bottom - r.top);
  }
}

void TForm1::LayoutTopPanel() {
  RECT panel;
  GetClientRect(Panel1, &panel);
  int x = Scaled(2);
  for (SpeedButton* b : {&SpeedButton1, &SpeedButton2, &SpeedButton7, &SpeedButton5, &SpeedButton6}) {
    if (!b->visible()) continue;
    const int w = b->PreferredWidth();
    // Drawn anew where it lands: the copied picture of its old place may be a button just
    // shown there and not painted yet (the version button stayed blank after a page jump).
    SetWindowPos(b->hwnd(), nullptr, x, Scaled(2), w, Scaled(36), SWP_NOZORDER | SWP_NOCOPYBITS);
    x += w + Scaled(2);
  }
  // The second row holds the selectors of the page.
  const int row_top = Scaled(40), row_height = Scaled(28);
  for (WindowPage* page : AllPages())
    if (HWND row = page->selector_row()) SetWindowPos(row, nullptr, 0, row_top, panel.right, row_height, SWP_NOZORDER);
  int row_x = 0;
  if (IsShown(SendSelectPanel)) {
    SetWindowPos(SendSelectPanel, nullptr, 0, row_top, Scaled(292), row_height, SWP_NOZORDER);
    row_x = Scaled(292);
  }
  // The page buttons side by side, without a gap where a hidden one would be.
  int buttons = 0;
  for (SpeedButton* b : {&SpeedButton9, &SpeedButton10, &SpeedButton11, &SpeedButton12, &SpeedButton13}) {
    if (!b->visible()) continue;
    SetWindowPos(b->hwnd(), nullptr, Scaled(2) + buttons * Scaled(26), Scaled(1), Scaled(24), Scaled(24),
                 SWP_NOZORDER | SWP_NOCOPYBITS);
    ++buttons;
  }
  SetWindowPos(Panel7, nullptr, row_x, row_top, buttons * Scaled(26) + Scaled(4), row_height, SWP_NOZORDER);
}

void TForm1::FormResize() {
  const int page = current_page();
  if (page >= 0 && page <= kRecentPage) PageObject(page)->Redraw();
  SetWindowPos(Label3, nullptr, Label3Left(), Scaled(12), 0, 0, SWP_NOZORDER | SWP_NOSIZE);
}

int TForm1::Label3Left() const {
  RECT window, label, panel;
  GetWindowRect(hwnd_, &window);
  GetWindowRect(Label3, &label);
  GetClientRect(Panel1, &panel);
  const int width = window.right - window.left;
  const int label_width = label.right - label.left;
  if (width >= Scaled(700)) return width - label_width - Scaled(16);
  // Narrower: back at its place at creation, or nearer when the panel ends before that.
  return std::max(0, std::min(label3_left_, static_cast<int>(panel.right) - label_width - Scaled(8)));
}

// ---------------------------------------------------------------------------------------
// Hints and the status bar

void TForm1::SetHint(HWND control, const std::string& hint) {
  const bool is_new = hints_.find(control) == hints_.end();
  hints_[control] = hint;
  if (!is_new) return;
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = hwnd_;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = LPSTR_TEXTCALLBACKW;
  SendMessageW(ToolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

const std::string& TForm1::HintOf(HWND control) const {
  static const std::string none;
  auto it = hints_.find(control);
  return it == hints_.end() ? none : it->second;
}

void TForm1::SetMenuHint(UINT id, const std::string& hint) { menu_hints_[id] = hint; }

void TForm1::SetStatusText(int panel, const std::string& text) {
  if (status_texts_[panel] == text) return;  // a redraw of the bar costs a refill of 10,000 rows 3 %
  status_texts_[panel] = text;
  // The panels are drawn by their owner from status_texts_: the bar is only told to redraw
  // (SB_SETTEXT would draw it at once, a millisecond a fill).
  RECT part{};
  if (SendMessageW(StatusBar1, SB_GETRECT, panel, reinterpret_cast<LPARAM>(&part)))
    InvalidateRect(StatusBar1, &part, FALSE);
}

void TForm1::DrawStatusPanel(const DRAWITEMSTRUCT& item) {
  const int panel = static_cast<int>(item.itemID);
  if (panel < 0 || panel > 1) return;
  HDC dc = item.hDC;
  RECT r = item.rcItem;
  const StatusPalette palette = ChooseStatusPalette(HighContrastOn(), CurrentSystemColours());
  HBRUSH face = CreateSolidBrush(palette.fill);
  FillRect(dc, &r, face);
  DeleteObject(face);
  const std::wstring text = Wide(status_texts_[panel]);
  const SelectedObject font(dc, ui_font_.get());
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  int x = Scaled(3);
  const int y = Scaled(2), light = Scaled(1);
  if (panel == 0) x = (r.right - r.left) / 2 - size.cx / 2;  // panel 0 is centred
  // Engraved: a light copy one pixel down and right, the dark text over it.
  SetBkMode(dc, TRANSPARENT);
  if (palette.engraved) {
    SetTextColor(dc, palette.light);
    ExtTextOutW(dc, r.left + x + light, r.top + y + light, ETO_CLIPPED, &r, text.c_str(),
                static_cast<UINT>(text.size()), nullptr);
  }
  SetTextColor(dc, palette.text);
  ExtTextOutW(dc, r.left + x, r.top + y, ETO_CLIPPED, &r, text.c_str(), static_cast<UINT>(text.size()), nullptr);
}

bool TForm1::IsPageList(HWND window) const { return IsList(window) && GetAncestor(window, GA_ROOT) == hwnd_; }

bool TForm1::PreTranslateMessage(MSG& msg) {
  if (msg.message == WM_MOUSEMOVE) {
    // The hint of the control under the mouse goes to status panel 1 when it changes.
    std::string hint;
    for (HWND h = msg.hwnd; h && h != hwnd_; h = GetParent(h)) {
      auto it = hints_.find(h);
      if (it != hints_.end()) {
        hint = it->second;
        break;
      }
    }
    if (hint != last_hint_) {
      last_hint_ = hint;
      SetStatusText(1, std::string(LongHint(hint)));
    }
  }
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && (GetKeyState(VK_CONTROL) & 0x8000)) {
    // Ctrl+Tab and Ctrl+Shift+Tab step through the pages, as in any tabbed window.
    const int count = TabCtrl_GetItemCount(PageControl1);
    const int step = (GetKeyState(VK_SHIFT) & 0x8000) ? count - 1 : 1;
    SelectPage((current_page() + step) % count);
    return true;
  }
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_F5 && current_page() != kSettingsPage) {
    SpeedButton7Click();  // "最新の情報に更新" (on the settings page the button restores)
    return true;
  }
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN && IsPageList(msg.hwnd)) {
    // The dialog keys would take Enter; in a list it does what a double-click does.
    ListBox1KeyDown(msg.hwnd, VK_RETURN);
    return true;
  }
  if (msg.message == WM_KEYDOWN && msg.wParam == 'S' && (GetKeyState(VK_CONTROL) & 0x8000)) {
    // Ctrl+S: "一覧を保存" of the page shown.
    if (WindowPage* page = PageObject(current_page())) page->SaveList();
    return true;
  }
  return IsDialogMessageW(hwnd_, &msg) != FALSE;
}

// ---------------------------------------------------------------------------------------
// Messages

LRESULT CALLBACK TForm1::WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
    auto* form = static_cast<TForm1*>(create->lpCreateParams);
    form->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
  }
  auto* form = reinterpret_cast<TForm1*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!form) return DefWindowProcW(hwnd, message, wparam, lparam);
  return GuardedCall(hwnd, [&] { return form->HandleMessage(message, wparam, lparam); }).value_or(0);
}

LRESULT TForm1::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      return OnCommand(wparam, lparam);
    case WM_NOTIFY:
      return OnNotify(*reinterpret_cast<NMHDR*>(lparam));
    case WM_DRAWITEM:
      OnDrawItem(*reinterpret_cast<DRAWITEMSTRUCT*>(lparam));
      return TRUE;
    case WM_MEASUREITEM: {
      auto& item = *reinterpret_cast<MEASUREITEMSTRUCT*>(lparam);
      if (item.CtlType == ODT_MENU) {
        item.itemWidth = static_cast<UINT>(Scaled(16));
        item.itemHeight = static_cast<UINT>(Scaled(16));
      }
      return TRUE;
    }
    case WM_CONTEXTMENU: {
      HWND control = reinterpret_cast<HWND>(wparam);
      const POINT point{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
      // From the keyboard (Shift+F10, the menu key) it is the shown page's row menu, whatever
      // control has the focus; a click can only meet a control that is shown.
      if (point.x == -1 && point.y == -1)
        if (WindowPage* page = PageObject(current_page())) control = FirstListOrTabStop(page->content());
      for (WindowPage* page : AllPages())
        if (page->OnContextMenu(control, point)) return 0;
      break;
    }
    case WM_ACTIVATE:
      // Left for another window or a box: the control with the focus is remembered.
      if (LOWORD(wparam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(hwnd_, focus)) focus_before_leaving_ = focus;
      }
      break;  // the default gives the window itself the focus when it comes back
    case WM_SETFOCUS: {
      // The window has no use for keys itself: the remembered control takes them, else the
      // shown page's list (at start, after a box, back from another program).
      HWND back = focus_before_leaving_;
      if (back && IsWindow(back) && IsWindowVisible(back) && IsWindowEnabled(back)) {
        SetFocus(back);
      } else if (WindowPage* page = startup_page_ ? PageObject(current_page()) : nullptr) {
        SetFocus(FirstListOrTabStop(page->content()));
      }
      return 0;
    }
    case WM_VKEYTOITEM:
      ListBox1KeyDown(reinterpret_cast<HWND>(lparam), LOWORD(wparam));
      return -1;
    case WM_MENUSELECT: {
      // A submenu is told by its place; the id it was given carries its hint.
      UINT id = LOWORD(wparam);
      if ((HIWORD(wparam) & MF_POPUP) && lparam) {
        MENUITEMINFOW item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_ID;
        id = GetMenuItemInfoW(reinterpret_cast<HMENU>(lparam), id, TRUE, &item) ? item.wID : 0;
      }
      auto it = menu_hints_.find(id);
      SetStatusText(1, it == menu_hints_.end() ? std::string() : std::string(LongHint(it->second)));
      return 0;
    }
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE:
      // High contrast switched on or off: every row and the status bar take their colours anew.
      RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
      break;
    case WM_SIZE:
      if (StatusBar1) {
        Layout();
        FormResize();
      }
      return 0;
    case WM_GETMINMAXINFO: {
      auto* info = reinterpret_cast<MINMAXINFO*>(lparam);
      info->ptMinTrackSize = {Scaled(kMinWidth), Scaled(kMinHeight)};
      return 0;
    }
    case WM_TIMER:
      if (wparam == kTimer1) {
        // Timer1: one tick that centres the recorded window, keeping its size.
        KillTimer(hwnd_, kTimer1);
        if (window_to_centre_ && IsWindow(window_to_centre_)) {
          RECT r;
          GetWindowRect(window_to_centre_, &r);
          const int w = r.right - r.left, h = r.bottom - r.top;
          SetWindowPos(window_to_centre_, nullptr, GetSystemMetrics(SM_CXSCREEN) / 2 - w / 2,
                       GetSystemMetrics(SM_CYSCREEN) / 2 - h / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        }
        window_to_centre_ = nullptr;
      }
      return 0;
    case kShellImagesRead:
      // Joining them redraws the whole window: before the first rows that only delays them.
      if (first_rows_shown_) AppendShellImages();
      return 0;
    case WM_DROPFILES:
      DropFiles(reinterpret_cast<HDROP>(wparam));
      return 0;
    case WM_SETCURSOR:
      if (OverBusyPage(reinterpret_cast<HWND>(wparam))) {
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        return TRUE;
      }
      break;
    case WM_CLOSE:
      // A command of a page still runs: the window closes once it has stopped where stopping
      // loses nothing (a registry key is never left half removed).
      if (!commands_.empty()) {
        close_after_commands_ = true;
        for (PageCommand* command : commands_) command->StopForClose();
        return 0;
      }
      FormClose();
      DestroyWindow(hwnd_);
      return 0;
    case WM_DESTROY:
      hwnd_ = nullptr;
      services_.prompt->SetOwnerWindow(nullptr);  // boxes from now on have no window to belong to
      PostQuitMessage(0);
      return 0;
  }
  if (message == CentreLaterMessage() && message != 0) {
    CentreLater(reinterpret_cast<HWND>(wparam));
    return 0;
  }
  return DefWindowProcW(hwnd_, message, wparam, lparam);
}

LRESULT TForm1::OnCommand(WPARAM wparam, LPARAM lparam) {
  const int id = LOWORD(wparam);
  const int code = HIWORD(wparam);
  for (WindowPage* page : AllPages())
    if (page->OnCommand(id, code, reinterpret_cast<HWND>(lparam))) return 0;
  if (id == kIdComboBox6 && code == CBN_SELCHANGE) ComboBox6Change();
  if (code != BN_CLICKED) return 0;
  switch (id) {
    case kIdSpeedButton1: SpeedButton1Click(); break;
    case kIdSpeedButton2: SpeedButton2Click(); break;
    case kIdSpeedButton7: SpeedButton7Click(); break;
    case kIdSpeedButton5: SpeedButton5Click(); break;
    case kIdSpeedButton6: OpenHelpPage("Orvela.htm"); break;
    case kIdSpeedButton9: case kIdSpeedButton10: case kIdSpeedButton11: case kIdSpeedButton12:
    case kIdSpeedButton13:
      SpeedButton9Click(ButtonById(id)->tag);
      break;
  }
  return 0;
}

LRESULT TForm1::OnNotify(NMHDR& header) {
  if (header.hwndFrom == PageControl1 && header.code == TCN_SELCHANGE) {
    PageControl1Change();
    return 0;
  }
  if (header.code == TTN_GETDISPINFOW) {
    auto& info = reinterpret_cast<NMTTDISPINFOW&>(header);
    tooltip_text_ = Wide(ShortHint(HintOf(reinterpret_cast<HWND>(header.idFrom))));
    info.lpszText = tooltip_text_.data();
    return 0;
  }
  LRESULT result = 0;
  for (WindowPage* page : AllPages())
    if (page->OnNotify(header, result)) return result;
  return 0;
}

void TForm1::OnDrawItem(DRAWITEMSTRUCT& item) {
  if (item.CtlType == ODT_MENU) {
    // Menu images: the item data holds the glyph number + 1.
    if (item.itemData > 0)
      ImageList_Draw(image_list2_.get(), static_cast<int>(item.itemData) - 1, item.hDC, item.rcItem.left,
                     item.rcItem.top + (item.rcItem.bottom - item.rcItem.top - Scaled(16)) / 2, ILD_TRANSPARENT);
    return;
  }
  for (WindowPage* page : AllPages())
    if (page->OnDrawItem(item)) return;
  if (item.hwndItem == StatusBar1) {
    DrawStatusPanel(item);
    return;
  }
  if (item.CtlType == ODT_BUTTON) {
    if (SpeedButton* b = ButtonById(static_cast<int>(item.CtlID))) b->Draw(item);
  }
}

SpeedButton* TForm1::ButtonById(int id) {
  for (SpeedButton* b : {&SpeedButton1, &SpeedButton2, &SpeedButton7, &SpeedButton5, &SpeedButton6,
                         &SpeedButton9, &SpeedButton10, &SpeedButton11, &SpeedButton12, &SpeedButton13})
    if (b->id() == id) return b;
  return nullptr;
}

void TForm1::SpeedButton5Click() {
  AboutDialog1.ApplicationTitle = std::string(kAppTitle);
  AboutDialog1.Execute(hwnd_);
}

std::optional<std::string> TForm1::ChooseRunningApplication() {
  TUnInstKeepDlg dialog(hwnd_, dpi_, {registry(), prompt(), glyphs(), paths_.uninstall_folder}, true);
  SetWindowTextW(dialog.hwnd(), Wide("実行中のアプリケーション一覧").c_str());
  dialog.fill_running_applications = [](TUnInstKeepDlg& list) {
    int image = 0;
    for (const RunningApplication& application : CollectRunningApplications()) {
      // Row n shows image n: a program without an icon gets a blank one.
      AppendIconOrBlank(list.image_list1(), ShellIconOf(application.path, true, false));
      list.AddRow(application.title, application.product, application.path, image++);
    }
  };
  dialog.ShowModal();
  if (!dialog.ok() || dialog.chosen_path().empty()) return std::nullopt;
  return dialog.chosen_path();
}

void TForm1::DropFiles(HDROP drop) {
  ScopeExit finish([drop] { DragFinish(drop); });
  POINT point{};
  DragQueryPoint(drop, &point);
  // The control under the drop point, looked for inside this window only.
  HWND target = hwnd_;
  for (;;) {
    POINT local = point;
    MapWindowPoints(hwnd_, target, &local, 1);
    HWND child = ChildWindowFromPointEx(target, local, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
    if (!child || child == target) break;
    target = child;
  }
  const bool on_startup = target == startup_page_->ListBox1;
  const bool on_sendto = sendto_page_ && target == sendto_page_->ListBox2;
  if (!on_startup && !on_sendto) return;
  const std::vector<std::string> paths = DroppedFiles(drop);
  if (on_startup) startup_page_->AddEntries(paths); else sendto_page().AddEntries(paths);
}

void TForm1::CommandStarted(PageCommand& command) {
  if (std::find(commands_.begin(), commands_.end(), &command) == commands_.end()) commands_.push_back(&command);
}

void TForm1::CommandEnded(PageCommand& command) {
  std::erase(commands_, &command);
  if (close_after_commands_ && commands_.empty() && hwnd_) PostMessageW(hwnd_, WM_CLOSE, 0, 0);
}

bool TForm1::OverBusyPage(HWND window) const {
  return std::any_of(commands_.begin(), commands_.end(), [window](const PageCommand* command) {
    return window == command->page() || IsChild(command->page(), window);
  });
}

void TForm1::CentreLater(HWND window) {
  window_to_centre_ = window;
  SetTimer(hwnd_, kTimer1, 10, nullptr);
}

}  // namespace orvela
